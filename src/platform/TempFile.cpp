#include "TempFile.h"

#include <fcntl.h>
#include <stdio.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "HiddenTemp.h"
#include "ReplacedFiles.h"
#include "Sys.h"
#include "TargetFolder.h"

namespace zanfeld {

namespace {

constexpr int kNameAttempts = 16;

// Set once linking an unnamed file by its descriptor was refused and the
// /proc/self/fd way worked.
std::atomic<bool> g_noLinkByFd{false};

}  // namespace

int TempFile::dir() const { return m_folder.fd(); }

int TempFile::create(mode_t mode) {
    if (!m_folder.swept()) {
        RemoveStaleTemporaries(m_folder.path(), dir());
        m_folder.noteSwept();
    }
    if (!m_folder.refusesUnnamed()) {
        // An unnamed file: nothing is ever visible until it is linked in, and
        // nothing is left behind whatever happens to the process.
        const int fd = sys().openAt(dir(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_fd.reset(fd);
            return 0;
        }
        const int e = errno;
        // File systems without unnamed files (and kernels that predate them)
        // get a hidden name instead, from now on without asking.
        if (e != EOPNOTSUPP && e != EISDIR && e != EINVAL) return e;
        m_folder.noteRefusesUnnamed();
    }
    const mode_t hiddenMode = StartsWithOwnBits(mode) ? mode : 0600;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenTempLeaf();
        const int hfd =
            sys().openAt(dir(), name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, hiddenMode);
        if (hfd >= 0) {
            m_fd.reset(hfd);
            m_hiddenName = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int TempFile::publishKeep(const std::string& name) {
    if (m_hiddenName.empty()) return linkSelf(name);
    if (const int e = closeBeforeNaming()) return e;
    const int e = m_folder.renameInto(dir(), m_hiddenName.c_str(), name, RENAME_NOREPLACE);
    if (e == 0) {
        m_hiddenName.clear();
        return 0;
    }
    if (e != EINVAL) return e;
    // No RENAME_NOREPLACE on this file system: a hard link fails just as
    // atomically when the name is taken. The hidden name goes once the link
    // is made; after a failure it stays for another name, and goes with this
    // object otherwise.
    if (sys().linkAt(dir(), m_hiddenName.c_str(), dir(), name.c_str(), 0) != 0) return errno;
    discard();
    return 0;
}

int TempFile::publishReplace(const std::string& name, bool* replaced) {
    if (const int e = nameHidden()) return e;
    if (const int e = closeBeforeNaming()) return e;
    if (const int e =
            RenameReplacing(dir(), m_hiddenName, dir(), name, m_folder.pathOf(name), replaced))
        return e;
    m_hiddenName.clear();
    return 0;
}

int TempFile::nameHidden() {
    if (!m_hiddenName.empty()) return 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenTempLeaf();
        const int e = linkSelf(name);
        if (e == 0) {
            m_hiddenName = std::move(name);
            return 0;
        }
        if (e != EEXIST) return e;
    }
    return EEXIST;
}

int TempFile::nameAside() {
    if (const int e = nameHidden()) return e;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string aside = HiddenAsideLeaf();
        if (sys().renameAt(dir(), m_hiddenName.c_str(), dir(), aside.c_str(), RENAME_NOREPLACE) ==
            0) {
            m_hiddenName = std::move(aside);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Links the unnamed file under name: by its descriptor where the kernel lets
// this process (Linux 6.10 on, or a privileged process), else through
// /proc/self/fd, which costs a walk through /proc every time.
int TempFile::linkSelf(const std::string& name) {
    if (!g_noLinkByFd.load(std::memory_order_relaxed)) {
        if (sys().linkFd(m_fd.get(), dir(), name.c_str()) == 0) return 0;
        const int e = errno;
        // A refusal looks like ENOENT (or EPERM); so does a folder that has
        // gone. The /proc way tells which.
        if (e != ENOENT && e != EPERM && e != EINVAL) return e;
        if (linkByProc(name) != 0) return errno;
        g_noLinkByFd.store(true, std::memory_order_relaxed);
        return 0;
    }
    return linkByProc(name) == 0 ? 0 : errno;
}

int TempFile::linkByProc(const std::string& name) {
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", m_fd.get());
    return sys().linkAt(AT_FDCWD, self, dir(), name.c_str(), AT_SYMLINK_FOLLOW);
}

void TempFile::discard() {
    m_fd.reset();
    if (!m_hiddenName.empty()) {
        sys().unlinkAt(dir(), m_hiddenName.c_str(), 0);
        m_hiddenName.clear();
    }
}

}  // namespace zanfeld
