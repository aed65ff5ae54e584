#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zanfeld {

// The standard streams of a command-line program.
inline constexpr int kStdIn = 0;
inline constexpr int kStdOut = 1;
inline constexpr int kStdErr = 2;

// Whether fd is a terminal a person answers on and reads from.
bool IsTerminal(int fd);

// The terminal's width in columns, or 0 when fd is none or does not tell.
int TerminalColumns(int fd);

// One line typed on fd, without its line end. Waits for it, looking at stop
// every 100 ms; none when stop turned true, at the end of the input, or on
// an error.
std::optional<std::string> ReadLine(int fd, const std::function<bool()>& stop);

}  // namespace zanfeld
