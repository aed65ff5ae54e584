#pragma once

#include <string>

#include "RunJournal.h"

namespace zanfeld {

// The one journal of the program, which both windows share; opened when a
// run first needs it, so that the program starts without waiting for it.
class SharedJournal {
  public:
    // path: the journal's file; empty for RunJournal::DefaultPath().
    explicit SharedJournal(std::string path = {}) : m_path(std::move(path)) {}

    // The journal, opened on the first call (it may be off: see ok()).
    RunJournal& get();

  private:
    std::string m_path;
    bool m_tried = false;
    RunJournal m_journal;
};

}  // namespace zanfeld
