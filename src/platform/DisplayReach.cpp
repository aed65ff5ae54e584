#include "DisplayReach.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zanfeld {

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Connects to a local socket; abstract when path starts with '@'.
bool Answers(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
    if (path[0] == '@') {
        address.sun_path[0] = '\0';
    } else {
        ++length;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    ::close(fd);
    return ok;
}

// A local X display (":N" or ":N.S", or "unix:N") answers on its socket; a
// display on another host is taken as reachable, as it cannot be told
// without speaking the protocol.
bool XServerAnswers(const std::string& display) {
    std::string rest;
    if (display.rfind("unix:", 0) == 0)
        rest = display.substr(5);
    else if (!display.empty() && display[0] == ':')
        rest = display.substr(1);
    else
        return true;
    const std::string number = rest.substr(0, rest.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return Answers("@" + socket) || Answers(socket);
}

bool WaylandAnswers() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::string path = name;
    if (path[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        path = std::string(runtime) + "/" + path;
    }
    return Answers(path);
}

}  // namespace

bool DisplayReachable() {
    if (Set("WAYLAND_DISPLAY") && WaylandAnswers()) return true;
    return Set("DISPLAY") && XServerAnswers(std::getenv("DISPLAY"));
}

}  // namespace zanfeld
