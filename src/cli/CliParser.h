#pragma once

#include <ostream>

#include "CliRequest.h"

namespace zanfeld {

// The command line read into a request. done: the program ends at once with
// status, having printed its help, its version or what was wrong with the
// line (naming the option).
struct ParsedLine {
    CliRequest request;
    bool done = false;
    int status = 0;
};

ParsedLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& err);

}  // namespace zanfeld
