#pragma once

#include <QCoreApplication>
#include <string>
#include <string_view>

#include "RunPlan.h"

namespace zanfeld {

// A plan as a CSV file a spreadsheet program opens: UTF-8 with a byte order
// mark, a header row with the table's column names, one row per file, lines
// ending in CR LF. A field holding a comma, a quote, CR or LF is quoted, its
// quotes doubled. Paths are written as the bytes they are, names that are no
// valid UTF-8 included, so that a reader gets back the very same bytes.
class PlanCsv {
    Q_DECLARE_TR_FUNCTIONS(PlanCsv)

  public:
    // The whole file's contents.
    static std::string text(const RunPlan& plan);
    // Replaces the file at path with text(plan) (see ReplaceFileContents: a
    // temporary file beside it, flushed, renamed into place; a folder, device,
    // pipe or socket under the name is refused and left as it is). Returns 0
    // or an errno value (or kNotRegularFile).
    static int save(const std::string& path, const RunPlan& plan);
    // What the error box says when save failed.
    static QString errorMessage(const std::string& path, int error);

    // Appends field to out, quoted when it needs to be.
    static void appendField(std::string& out, std::string_view field);
};

}  // namespace zanfeld
