#pragma once

namespace zanfeld {

// Ctrl-C (SIGINT) and SIGTERM, for a program that stops its run when asked:
// the first one only notes the request, so that the run ends between files
// or chunks and leaves nothing half done; a second one ends the program at
// once, as the signal would have without this.
class StopSignal {
  public:
    // Installs the handlers; the process keeps them for its life.
    static void install();
    // The first signal received, or 0.
    static int received();
    // The exit status of a program that stopped on signal: 128 + its number.
    static int exitStatus(int signal) { return 128 + signal; }
};

}  // namespace zanfeld
