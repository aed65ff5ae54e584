#include "StopSignal.h"

#include <signal.h>

#include <atomic>

namespace zanfeld {

namespace {

std::atomic<int> g_received{0};

void OnSignal(int signal) {
    int none = 0;
    if (g_received.compare_exchange_strong(none, signal)) return;
    // Asked twice: the default action, which ends the program.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

}  // namespace

void StopSignal::install() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // System calls resume: a run's reads and writes never fail because a
    // stop was asked for; the run looks at the request between its steps.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int StopSignal::received() { return g_received.load(); }

}  // namespace zanfeld
