#include "PrivateMounts.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace zanfeld::test {

std::string EnterPrivateMounts() {
    static const std::string result = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("no mount namespace of our own: ") + std::strerror(errno);
        // Mounts made here must not reach the rest of the system.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("cannot make the mounts private: ") + std::strerror(errno);
        return std::string();
    }();
    return result;
}

BindMount::BindMount(const std::string& from, const std::string& to) : m_to(to) {
    m_error = EnterPrivateMounts();
    if (!m_error.empty()) return;
    ::mkdir(to.c_str(), 0755);
    if (::mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) != 0)
        m_error = std::string("bind mount refused: ") + std::strerror(errno);
}

BindMount::~BindMount() {
    if (m_error.empty()) ::umount2(m_to.c_str(), MNT_DETACH);
}

}  // namespace zanfeld::test
