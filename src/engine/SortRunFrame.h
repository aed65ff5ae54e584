#pragma once

#include <cstddef>
#include <string>

#include "FailureLog.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// What every sort run does around its own work: the output directory check
// before it, the busy window and the bar during it, and the closing message.
class SortRunFrame {
  public:
    explicit SortRunFrame(SortHost& host) : m_host(host) {}

    // Refuses a blank output directory; adds a missing trailing separator and
    // shows the directory so completed.
    bool acceptOutputDir(SortOptions& options);
    // The window is busy from here on.
    void begin();
    // The bar after item i of n.
    void step(size_t i, size_t n);
    // The bar full, the window free, the completion text, the bar empty.
    void finish(const FailureLog& failures);
    // A run that ends early: the window free, the bar empty, and the reason
    // followed by the files that had failed before.
    void stop(const std::string& reason, const FailureLog& failures);

  private:
    SortHost& m_host;
    bool m_busy = false;
};

}  // namespace zanfeld
