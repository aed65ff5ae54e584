#pragma once

#include <string>

#include "SortTypes.h"

namespace zanfeld {

// What a sorting run needs from its window. The engines talk to the user
// through nothing else.
class SortHost {
  public:
    virtual ~SortHost() = default;

    // Modal information box; returns when dismissed.
    virtual void showInfo(const std::string& text) = 0;
    // The same with the warning icon: a completion that counts files not
    // placed. A host without one shows the information box.
    virtual void showWarning(const std::string& text) { showInfo(text); }
    // As showInfo, then focus the option's control (the output directory opens its chooser).
    virtual void rejectOption(const std::string& text, OptionId option) = 0;
    // Shows the normalised output directory.
    virtual void setOutputDir(const std::string& text) = 0;
    // Locks or unlocks the start button, the pages, the output folder button and field.
    virtual void setBusy(bool busy) = 0;
    // Sets the bar (0..100), repaints and lets pending events run.
    virtual void setProgress(int percent) = 0;
    // Rereads the fields that stay editable during a run.
    virtual void refreshLiveOptions(SortOptions& options) = 0;
    // "文件<path>已存在，是否覆盖？"; true for Yes.
    virtual bool askOverwrite(const std::string& targetPath) = 0;
};

}  // namespace zanfeld
