#include "FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "HiddenTemp.h"
#include "Sys.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// copy_file_range and sendfile move at most this much per call.
constexpr size_t kMaxChunk = 0x7ffff000;
constexpr size_t kBufferSize = 256 * 1024;
constexpr int kNameAttempts = 16;

// Set once the kernel has said it has no copy_file_range at all.
std::atomic<bool> g_noCopyRange{false};
// Set once linking an unnamed file by its descriptor was refused and the
// /proc/self/fd way worked.
std::atomic<bool> g_noLinkByFd{false};

// The folder part of a path, as the kernel resolves the last component in.
std::string FolderOf(const std::string& path) {
    const size_t pos = path.find_last_of('/');
    if (pos == std::string::npos) return ".";
    if (pos == 0) return "/";
    return path.substr(0, pos);
}

// What the copies of this process have learned about the permission bits
// new files get in one target folder.
struct FolderBits {
    mode_t kept = 0;          // bits a new file was seen to keep
    bool unforeseen = false;  // a new file got bits it did not ask for
};

std::mutex g_bitsMutex;
std::unordered_map<std::string, FolderBits> g_bits;

// A new file in a folder gets the bits it asks for less a mask fixed by the
// umask or the folder's default ACL. Once a copy into the folder has kept
// every bit another copy asks for, that copy needs no look at its bits.
bool BitsForeseen(const std::string& folder, mode_t requested) {
    std::lock_guard<std::mutex> lock(g_bitsMutex);
    const auto it = g_bits.find(folder);
    return it != g_bits.end() && !it->second.unforeseen && (requested & ~it->second.kept) == 0;
}

void LearnBits(const std::string& folder, mode_t requested, mode_t made) {
    std::lock_guard<std::mutex> lock(g_bitsMutex);
    FolderBits& bits = g_bits[folder];
    if ((made & ~requested) != 0)
        bits.unforeseen = true;
    else
        bits.kept |= made;
}

bool CopyRangeUnsupported(int e) {
    return e == EXDEV || e == EINVAL || e == ENOSYS || e == EOPNOTSUPP;
}

bool SendfileUnsupported(int e) { return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP; }

int CopyByReadWrite(int in, int out) {
    thread_local std::unique_ptr<char[]> buffer;
    if (!buffer) buffer = std::make_unique<char[]>(kBufferSize);
    for (;;) {
        const ssize_t n = sys().read(in, buffer.get(), kBufferSize);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (const int e = WriteAll(out, buffer.get(), static_cast<size_t>(n))) return e;
    }
}

// Copies from the current offset of in to the current offset of out. size is
// the length the source had when opened; the copy stops there, or at the end
// of the file when it shrank. Falls back from copy_file_range to sendfile to
// plain reads and writes where the kernel or the file systems cannot help.
int CopyData(int in, int out, int64_t size) {
    enum class Method { CopyRange, Sendfile };
    Method method =
        g_noCopyRange.load(std::memory_order_relaxed) ? Method::Sendfile : Method::CopyRange;
    const uint64_t total = size > 0 ? static_cast<uint64_t>(size) : 0;
    uint64_t copied = 0;
    for (;;) {
        // An empty-looking file is asked for a large amount so that content
        // the size does not show is still copied.
        const size_t want = copied < total
                                ? static_cast<size_t>(std::min<uint64_t>(total - copied, kMaxChunk))
                                : kMaxChunk;
        ssize_t n;
        if (method == Method::CopyRange) {
            n = sys().copyFileRange(in, out, want);
            if (n < 0) {
                const int e = errno;
                if (e == EINTR) continue;
                if (!CopyRangeUnsupported(e)) return e;
                if (e == ENOSYS) g_noCopyRange.store(true, std::memory_order_relaxed);
                method = Method::Sendfile;
                continue;
            }
        } else {
            n = sys().sendfile(out, in, want);
            if (n < 0) {
                const int e = errno;
                if (e == EINTR) continue;
                if (!SendfileUnsupported(e)) return e;
                return CopyByReadWrite(in, out);
            }
        }
        if (n == 0) {
            // Some file systems report nothing for content they hold (or the
            // file shrank); reading tells which.
            return copied < total ? CopyByReadWrite(in, out) : 0;
        }
        copied += static_cast<uint64_t>(n);
        if (total > 0 && copied >= total) return 0;
    }
}

// A file being written in the target folder, not yet under its final name.
class TempFile {
  public:
    explicit TempFile(std::string folder) : m_folder(std::move(folder)) {}
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // mode: the permission bits an unnamed file starts with. No name reaches
    // it while it is written, so it may start with the bits it will have; a
    // hidden name starts private (0600).
    int create(mode_t mode) {
        RemoveStaleTemporaries(m_folder);
        // An unnamed file: nothing is ever visible until it is linked in, and
        // nothing is left behind whatever happens to the process.
        const int fd = sys().open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_fd.reset(fd);
            return 0;
        }
        const int e = errno;
        // File systems without unnamed files (and kernels that predate them)
        // get a hidden name instead.
        if (e != EOPNOTSUPP && e != EISDIR && e != EINVAL) return e;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = HiddenTempName(m_folder);
            const int hfd = sys().open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
            if (hfd >= 0) {
                m_fd.reset(hfd);
                m_hiddenName = std::move(name);
                return 0;
            }
            if (errno != EEXIST) return errno;
        }
        return EEXIST;
    }

    int fd() const { return m_fd.get(); }
    bool hidden() const { return !m_hiddenName.empty(); }

    // Puts the file under target. Keep fails with EEXIST when the name is
    // taken, whatever is there; Replace swaps the name over in one step.
    int publish(const std::string& target, Publish publish) {
        return m_hiddenName.empty() ? publishUnnamed(target, publish)
                                    : publishHidden(target, publish);
    }

  private:
    // Links the unnamed file under name: by its descriptor where the kernel
    // lets this process (Linux 6.10 on, or a privileged process), else
    // through /proc/self/fd, which costs a walk through /proc every time.
    int linkSelf(const std::string& name) {
        if (!g_noLinkByFd.load(std::memory_order_relaxed)) {
            if (sys().linkFd(m_fd.get(), name.c_str()) == 0) return 0;
            const int e = errno;
            // A refusal looks like ENOENT (or EPERM); so does a folder that
            // has gone. The /proc way tells which.
            if (e != ENOENT && e != EPERM && e != EINVAL) return e;
            if (linkByProc(name) != 0) return errno;
            g_noLinkByFd.store(true, std::memory_order_relaxed);
            return 0;
        }
        return linkByProc(name) == 0 ? 0 : errno;
    }

    int linkByProc(const std::string& name) {
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", m_fd.get());
        return sys().link(self, name.c_str(), AT_SYMLINK_FOLLOW);
    }

    // An unnamed file is linked while open; the network file systems that
    // report failed writes only at close have no unnamed files.
    int publishUnnamed(const std::string& target, Publish publish) {
        const int e = linkSelf(target);
        if (e == 0) return 0;
        if (publish == Publish::Keep || e != EEXIST) return e;
        // The name is taken: give the file a hidden name first, then rename it
        // over the target, which replaces the name (a symlink included)
        // without ever truncating or writing through what was there.
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = HiddenTempName(m_folder);
            const int le = linkSelf(name);
            if (le == 0) {
                m_hiddenName = std::move(name);
                return publishHidden(target, publish);
            }
            if (le != EEXIST) return le;
        }
        return EEXIST;
    }

    int publishHidden(const std::string& target, Publish publish) {
        // A network file system may report a failed write only when the file
        // is closed (NFS, quotas): a named file is closed, and the close
        // heard, before any name of it is published.
        if (const int e = m_fd.closeNow()) return e;
        if (publish == Publish::Replace) {
            if (sys().rename(m_hiddenName.c_str(), target.c_str(), 0) != 0) return errno;
            m_hiddenName.clear();
            return 0;
        }
        if (sys().rename(m_hiddenName.c_str(), target.c_str(), RENAME_NOREPLACE) == 0) {
            m_hiddenName.clear();
            return 0;
        }
        if (errno != EINVAL) return errno;
        // No RENAME_NOREPLACE on this file system: a hard link fails just as
        // atomically when the name is taken. The hidden name goes once the
        // link is made; after a failure it stays for another name, and goes
        // with this object otherwise.
        if (sys().link(m_hiddenName.c_str(), target.c_str(), 0) != 0) return errno;
        discard();
        return 0;
    }

    void discard() {
        m_fd.reset();
        if (!m_hiddenName.empty()) {
            sys().unlink(m_hiddenName.c_str());
            m_hiddenName.clear();
        }
    }

    std::string m_folder;
    std::string m_hiddenName;  // set while the file has a hidden name
    UniqueFd m_fd;
};

// Opens a file for reading without blocking on a FIFO.
int OpenForReading(const std::string& path) {
    return sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
}

// The safe copy behind CopyFileSafe and the cross-device move. durable flushes
// the data before the name appears, for a move that then removes the source.
// nextName, when given, offers other names while the ones tried are taken.
int CopyFileImpl(const std::string& from, std::string& to, Publish publish, bool durable,
                 const std::function<bool(std::string&)>* nextName = nullptr) {
    UniqueFd in(OpenForReading(from));
    if (!in.valid()) return errno;
    struct stat st;
    if (sys().fstat(in.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    // Pipes, sockets and devices are no files to sort; reading them could
    // block or never end.
    if (!S_ISREG(st.st_mode)) return EINVAL;

    const std::string folder = FolderOf(to);
    TempFile temp(folder);
    if (const int e = temp.create(st.st_mode & 0777)) return e;
    if (const int e = CopyData(in.get(), temp.fd(), st.st_size)) return e;
    // A source written to while it was read would give a copy that is neither
    // its old content nor its new one: such a copy is not published.
    struct stat after;
    if (sys().fstat(in.get(), &after) != 0) return errno;
    if (after.st_size != st.st_size || after.st_mtim.tv_sec != st.st_mtim.tv_sec ||
        after.st_mtim.tv_nsec != st.st_mtim.tv_nsec) {
        return kSourceChanged;
    }
    in.reset();
    // An unnamed file began with the source's bits, less what the umask or a
    // default ACL of the folder took away; set-id and sticky bits go on only
    // now that the data is in. A look (cheaper than a change), or what
    // earlier copies into the folder showed, says whether the bits must be
    // set. File systems that cannot hold every bit (FAT) refuse some modes;
    // the data matters more than the bits then.
    const mode_t mode = st.st_mode & 07777;
    bool modeRight = false;
    if (!temp.hidden() && (mode & ~0777) == 0) {
        modeRight = BitsForeseen(folder, mode);
        struct stat made;
        if (!modeRight && sys().fstat(temp.fd(), &made) == 0) {
            modeRight = (made.st_mode & 07777) == mode;
            LearnBits(folder, mode, made.st_mode & 07777);
        }
    }
    if (!modeRight && sys().fchmod(temp.fd(), mode) != 0 && errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (sys().futimens(temp.fd(), times) != 0) return errno;
    if (durable && sys().fdatasync(temp.fd()) != 0) return errno;
    int result = temp.publish(to, publish);
    // The same copy goes under another name; the data is not copied again.
    while (result == EEXIST && publish == Publish::Keep && nextName && (*nextName)(to))
        result = temp.publish(to, publish);
    return result;
}

// Makes a new entry in the folder durable; file systems that cannot sync a
// folder say EINVAL, which is no failure.
int SyncFolder(const std::string& folder) {
    UniqueFd dir(sys().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (!dir.valid()) return errno;
    if (sys().fdatasync(dir.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

FileTime ToFileTime(const struct timespec& ts) {
    return FileTime{static_cast<int64_t>(ts.tv_sec), static_cast<int64_t>(ts.tv_nsec)};
}

// Strips trailing separators and the last component; "" when nothing is left.
std::string ParentOf(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    const size_t slash = path.find_last_of('/', end - 1);
    if (slash == std::string::npos) return {};
    size_t parentEnd = slash;
    while (parentEnd > 0 && path[parentEnd - 1] == '/') --parentEnd;
    if (parentEnd == 0) return "/";
    return path.substr(0, parentEnd);
}

int MakeOneDir(const std::string& path) {
    if (sys().mkdir(path.c_str(), 0777) != 0) return errno;
    NoteFolderMade(path);
    return 0;
}

// mkdir said EEXIST: fine when a folder is there.
int ExistingAsFolder(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    return EEXIST;
}

[[maybe_unused]] const char* ErrorTextResult(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}

[[maybe_unused]] const char* ErrorTextResult(const char* result, const char*) { return result; }

}  // namespace

void ForgetLearnedFolderBits() {
    std::lock_guard<std::mutex> lock(g_bitsMutex);
    g_bits.clear();
}

int CopyFileSafe(const std::string& from, const std::string& to, Publish publish) {
    std::string target = to;
    return CopyFileImpl(from, target, publish, false);
}

int CopyFileSafeFirstFree(const std::string& from, std::string& to,
                          const std::function<bool(std::string& to)>& nextName) {
    return CopyFileImpl(from, to, Publish::Keep, false, &nextName);
}

int MoveFileSafe(const std::string& from, const std::string& to, Publish publish) {
    struct stat st;
    if (sys().lstat(from.c_str(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;

    const unsigned int flags = publish == Publish::Keep ? RENAME_NOREPLACE : 0;
    if (sys().rename(from.c_str(), to.c_str(), flags) == 0) return 0;
    const int e = errno;
    if (e == EINVAL && publish == Publish::Keep) {
        // No RENAME_NOREPLACE here: link (fails when the name is taken), then
        // drop the old name.
        if (sys().link(from.c_str(), to.c_str(), 0) != 0) return errno;
        return sys().unlink(from.c_str()) == 0 ? 0 : errno;
    }
    if (e != EXDEV) return e;

    // Another file system: copy, flush, publish, and only then remove the
    // source, so the file is always in at least one place.
    if (publish == Publish::Keep) {
        // Spares copying a file that cannot be published; the publish itself
        // still fails atomically should the name appear meanwhile.
        struct stat target;
        if (sys().lstat(to.c_str(), &target) == 0) return EEXIST;
    }
    std::string published = to;
    if (const int ce = CopyFileImpl(from, published, publish, true)) return ce;
    if (const int se = SyncFolder(FolderOf(to))) return se;
    return sys().unlink(from.c_str()) == 0 ? 0 : errno;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return sys().stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool RegularFileExists(const std::string& path) {
    struct stat st;
    return sys().stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirExists(const std::string& path) {
    struct stat st;
    return sys().stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MakeDirs(const std::string& path) {
    if (path.empty()) return ENOENT;
    const int e = MakeOneDir(path);
    if (e == 0) return 0;
    if (e == EEXIST) return ExistingAsFolder(path);
    if (e != ENOENT) return e;
    // A parent is missing: create it first, outermost first.
    const std::string parent = ParentOf(path);
    if (parent.empty() || parent == path) return ENOENT;
    if (const int pe = MakeDirs(parent)) return pe;
    const int again = MakeOneDir(path);
    return again == EEXIST ? ExistingAsFolder(path) : again;
}

std::optional<FileTime> LastWriteTimeByOpen(const std::string& path) {
    UniqueFd fd(OpenForReading(path));
    if (!fd.valid()) return std::nullopt;
    struct stat st;
    if (sys().fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    return ToFileTime(st.st_mtim);
}

std::optional<FileTime> LastWriteTimeByLookup(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    return ToFileTime(st.st_mtim);
}

std::optional<int64_t> FileSizeByOpen(const std::string& path) {
    UniqueFd fd(OpenForReading(path));
    if (!fd.valid()) return std::nullopt;
    struct stat st;
    if (sys().fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    return static_cast<int64_t>(st.st_size);
}

std::string ErrorText(int error) {
    if (error == kNotRegularFile) return "不是普通文件（设备、管道或套接字），未打开";
    if (error == kSourceChanged) return "文件在处理期间被改动或替换";
    char buffer[256] = {};
    return ErrorTextResult(strerror_r(error, buffer, sizeof buffer), buffer);
}

int ForEachDirEntry(const std::string& folder, const std::function<void(const DirEntry&)>& visit) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return errno;
    DirEntry entry;
    for (;;) {
        errno = 0;
        const struct dirent* d = ::readdir(dir.get());
        if (!d) return errno;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        entry.name.assign(name);
        unsigned char type = d->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems do not say; ask without following links.
            std::string full = folder;
            if (full.empty() || full.back() != '/') full += '/';
            full += entry.name;
            struct stat st;
            if (sys().lstat(full.c_str(), &st) == 0) {
                if (S_ISDIR(st.st_mode))
                    type = DT_DIR;
                else if (S_ISLNK(st.st_mode))
                    type = DT_LNK;
            }
        }
        entry.isDirectory = type == DT_DIR;
        entry.isSymlink = type == DT_LNK;
        entry.isHidden = name[0] == '.';
        visit(entry);
    }
}

}  // namespace zanfeld
