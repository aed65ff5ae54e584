#pragma once

#include <cstdio>
#include <string>

namespace zanfeld {

// Where a command reads and writes, and what its streams are.
struct CliContext {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    int in = 0;
    std::string cwd;
    bool inTerminal = false;   // standard input is a terminal a person answers on
    bool errTerminal = false;  // standard error is a terminal: the progress line
    int columns = 0;           // its width
    std::string journalPath;   // the run journal; empty for none
};

}  // namespace zanfeld
