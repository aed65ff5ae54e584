#pragma once

namespace zanfeld {

// What zanfeld-cli tells its caller. A run stopped by a signal ends with
// 128 + the signal's number (130 for Ctrl-C).
enum ExitStatus : int {
    kExitPlaced = 0,   // every selected file placed (or skipped by the same-name answer)
    kExitFailed = 1,   // some files could not be placed, or the run ended early
    kExitRefused = 2,  // bad options, or a run its checks refused
};

}  // namespace zanfeld
