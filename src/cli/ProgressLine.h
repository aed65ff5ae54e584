#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "RunNotes.h"

namespace zanfeld {

// The one line on a terminal that tells where a run is, drawn over itself
// at most ten times a second, and cut to the terminal's width so that it
// never wraps.
class ProgressLine {
  public:
    // enabled: a terminal that wants the line; otherwise nothing is drawn.
    // undo: the steps are an undo's (files, whichever window made the run).
    ProgressLine(std::FILE* out, bool enabled, bool folders, int columns, bool undo = false);

    void note(const RunProgress& progress);
    // Erases the line, before anything else is written to the terminal.
    void clear();

    // The columns text takes on a terminal: two for wide (CJK) characters.
    static int columns(std::string_view text);
    // text cut to at most columns columns, never inside a character.
    static std::string fit(std::string_view text, int columns);

  private:
    using Clock = std::chrono::steady_clock;

    std::FILE* m_out;
    bool m_enabled;
    bool m_folders;
    bool m_undo;
    int m_columns;
    bool m_shown = false;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_drawn{};
};

}  // namespace zanfeld
