#include "RunLog.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "RunLogFormat.h"

namespace zanfeld {
namespace {

constexpr std::string_view kInfix = ".run-";
constexpr std::string_view kSuffix = ".log";
constexpr std::string_view kUnfinished = ".new";

bool StartsWith(std::string_view s, std::string_view head) {
    return s.size() >= head.size() && s.substr(0, head.size()) == head;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// What lies between <journal>.run- and the suffix: the run's id, with -<n>
// when a file of that name was already there.
bool IsRunIdText(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if ((c < '0' || c > '9') && c != '-') return false;
    return text.front() != '-';
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno != 0 ? errno : EIO;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

}  // namespace

int RunLog::create(const std::string& journalPath, int64_t run, int64_t startedNs) {
    close();
    std::string header;
    RunLogFormat::appendHeader(header, run, startedNs);
    // Another process's open() may take an unfinished file that is not
    // locked yet for a killed one's and remove it: then begin again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = journalPath + std::string(kInfix) + std::to_string(run);
        if (attempt > 0) path += "-" + std::to_string(attempt);
        path += kSuffix;
        const std::string unfinished = path + std::string(kUnfinished);
        const int fd =
            ::open(unfinished.c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        int error = 0;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno;
        if (error == 0) error = WriteAll(fd, header);
        if (error == 0 && ::renameat2(AT_FDCWD, unfinished.c_str(), AT_FDCWD, path.c_str(),
                                      RENAME_NOREPLACE) != 0)
            error = errno;
        if (error == 0) {
            m_fd = fd;
            m_path = std::move(path);
            return 0;
        }
        ::unlink(unfinished.c_str());
        ::close(fd);
        // Taken away from under us, or the name is in use: another name.
        if (error != ENOENT && error != EEXIST && error != EWOULDBLOCK) return error;
    }
    return EEXIST;
}

int RunLog::append(std::string_view bytes) {
    if (m_fd < 0) return EBADF;
    // One write() in all but the rarest case. Should the file system take
    // only some of it (a full disk), the rest is tried for the error it
    // gives; a record cut short is recognised by its checksum.
    return WriteAll(m_fd, bytes);
}

int RunLog::remove() {
    if (m_fd < 0) return 0;
    // Unlinked while still locked: whoever locks it after us finds it gone.
    const int error = ::unlink(m_path.c_str()) == 0 ? 0 : errno;
    close();
    return error;
}

void RunLog::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool RunLog::IsLogName(std::string_view journalName, std::string_view name) {
    if (!StartsWith(name, journalName)) return false;
    name.remove_prefix(journalName.size());
    if (!StartsWith(name, kInfix) || !EndsWith(name, kSuffix)) return false;
    return IsRunIdText(name.substr(kInfix.size(), name.size() - kInfix.size() - kSuffix.size()));
}

bool RunLog::IsUnfinishedName(std::string_view journalName, std::string_view name) {
    return EndsWith(name, kUnfinished) &&
           IsLogName(journalName, name.substr(0, name.size() - kUnfinished.size()));
}

}  // namespace zanfeld
