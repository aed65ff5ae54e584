#include "Terminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace zanfeld {

bool IsTerminal(int fd) { return isatty(fd) == 1; }

int TerminalColumns(int fd) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

std::optional<std::string> ReadLine(int fd, const std::function<bool()>& stop) {
    std::string line;
    for (;;) {
        if (stop && stop()) return std::nullopt;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, 100);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (ready == 0) continue;
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return std::nullopt;
        }
        if (got == 0) {
            if (line.empty()) return std::nullopt;
            return line;
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        line += c;
    }
}

}  // namespace zanfeld
