#include "FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "CopyObserver.h"
#include "HiddenTemp.h"
#include "MessageTexts.h"
#include "PreparedCopy.h"
#include "ReplacedFiles.h"
#include "Sys.h"
#include "TargetFolder.h"
#include "TempFile.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// A copy's data goes in chunks of this size (copy_file_range and sendfile move
// at most 0x7ffff000 bytes a call in any case).
constexpr size_t kChunk = 32u << 20;
constexpr size_t kBufferSize = 256 * 1024;
// A source that looked empty is read to its end, as files whose size says
// nothing (/proc) hold data; this much and no more, so that a device swapped
// in for the file can never be read without end.
constexpr uint64_t kMostFromAnEmptyLookingFile = 64u << 20;

// Set once the kernel has said it has no copy_file_range at all.
std::atomic<bool> g_noCopyRange{false};

bool CopyRangeUnsupported(int e) {
    return e == EXDEV || e == EINVAL || e == ENOSYS || e == EOPNOTSUPP;
}

bool SendfileUnsupported(int e) { return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP; }

// How a copy's data goes: in chunks, so that a large file tells how far it
// has come and can be stopped between two of them.
class DataCopy {
  public:
    // copyRange: whether copy_file_range is worth a try between the two.
    DataCopy(int in, int out, uint64_t total, bool copyRange = true)
        : m_in(in),
          m_out(out),
          m_total(total),
          m_observer(CurrentCopyObserver()),
          m_copyRange(copyRange) {}

    // copy_file_range was refused between the two files.
    bool copyRangeRefused() const { return m_copyRangeRefused; }

    // Copies from the current offset of in to the current offset of out: the
    // length the source had when it was looked at (total), or less when it
    // shrank. Falls back from copy_file_range to sendfile to plain reads and
    // writes where the kernel or the file systems cannot help.
    int run() {
        enum class Method { CopyRange, Sendfile };
        Method method = !m_copyRange || g_noCopyRange.load(std::memory_order_relaxed)
                            ? Method::Sendfile
                            : Method::CopyRange;
        for (;;) {
            const size_t want = static_cast<size_t>(
                m_copied < m_total ? std::min<uint64_t>(m_total - m_copied, kChunk) : kChunk);
            ssize_t n;
            if (method == Method::CopyRange) {
                n = sys().copyFileRange(m_in, m_out, want);
                if (n < 0) {
                    const int e = errno;
                    if (e == EINTR) continue;
                    if (!CopyRangeUnsupported(e)) return e;
                    if (e == ENOSYS) g_noCopyRange.store(true, std::memory_order_relaxed);
                    m_copyRangeRefused = true;
                    method = Method::Sendfile;
                    continue;
                }
            } else {
                n = sys().sendfile(m_out, m_in, want);
                if (n < 0) {
                    const int e = errno;
                    if (e == EINTR) continue;
                    if (!SendfileUnsupported(e)) return e;
                    return byReadWrite();
                }
            }
            if (n == 0) {
                // Some file systems report nothing for content they hold (or
                // the file shrank); reading tells which.
                return m_copied < m_total ? byReadWrite() : 0;
            }
            if (const int e = advance(static_cast<uint64_t>(n))) return e;
            if (m_total > 0 && m_copied >= m_total) return 0;
        }
    }

  private:
    int byReadWrite() {
        thread_local std::unique_ptr<char[]> buffer;
        if (!buffer) buffer = std::make_unique<char[]>(kBufferSize);
        for (;;) {
            const ssize_t n = sys().read(m_in, buffer.get(), kBufferSize);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) {
                // The last part of a chunk is told too.
                return m_observer && m_sinceTold > 0 ? tell() : 0;
            }
            if (const int e = WriteAll(m_out, buffer.get(), static_cast<size_t>(n))) return e;
            if (const int e = advance(static_cast<uint64_t>(n))) return e;
        }
    }

    // Counts n more bytes copied; tells the observer once a chunk is full.
    int advance(uint64_t n) {
        m_copied += n;
        // What a file grown since it was looked at gives is caught by the look
        // afterwards; an empty-looking one (/proc) is read to its end, within
        // a bound, so that a device swapped in can never be read without end.
        if (m_copied > (m_total > 0 ? m_total : kMostFromAnEmptyLookingFile)) return kSourceChanged;
        m_sinceTold += n;
        if (m_observer && (m_sinceTold >= kChunk || m_copied >= m_total)) return tell();
        return 0;
    }

    int tell() {
        m_sinceTold = 0;
        return m_observer->copied(m_copied, m_total) ? 0 : ECANCELED;
    }

    const int m_in;
    const int m_out;
    const uint64_t m_total;
    CopyObserver* const m_observer;
    const bool m_copyRange;
    bool m_copyRangeRefused = false;
    uint64_t m_copied = 0;
    uint64_t m_sinceTold = 0;
};

// A source file opened for copying. Its type is known from a look at the
// path before anything opens it, so a device, pipe or socket is never opened.
struct OpenSource {
    UniqueFd fd;
    struct stat st {};  // as looked at before the open
};

int TypeError(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    return 0;
}

// looked: a look at the file already made (symlinks followed), or null.
int OpenRegular(const SourceFile& from, OpenSource& source, const struct stat* looked = nullptr) {
    if (looked)
        source.st = *looked;
    else if (sys().statAt(from.dirFd(), from.name(), &source.st, 0) != 0)
        return errno;
    if (const int e = TypeError(source.st)) return e;
    // O_NONBLOCK: should a pipe be swapped in after the look, the open does
    // not hang; the look afterwards finds the swap.
    source.fd.reset(
        sys().openAt(from.dirFd(), from.name(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0));
    return source.fd.valid() ? 0 : errno;
}

// The source is still the file that was looked at, unchanged: the same file
// (not one swapped in under its name), the same size, last-write and change
// times. A copy of a file written to meanwhile would be neither its old
// content nor its new one.
int CheckUnchanged(const OpenSource& source) {
    struct stat now;
    if (sys().fstat(source.fd.get(), &now) != 0) return errno;
    const struct stat& was = source.st;
    if (FileId::Of(now) != FileId::Of(was) || now.st_size != was.st_size ||
        now.st_mtim.tv_sec != was.st_mtim.tv_sec || now.st_mtim.tv_nsec != was.st_mtim.tv_nsec ||
        now.st_ctim.tv_sec != was.st_ctim.tv_sec || now.st_ctim.tv_nsec != was.st_ctim.tv_nsec) {
        return kSourceChanged;
    }
    return 0;
}

// Copies the open source into a new temporary file in folder, with the
// source's bits and times; the temporary is not yet published.
int WriteCopy(OpenSource& source, const TargetFolder& folder, TempFile& temp) {
    const struct stat& st = source.st;
    if (const int e = temp.create(st.st_mode & 0777)) return e;
    const uint64_t size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    const uint64_t device = static_cast<uint64_t>(st.st_dev);
    DataCopy data(source.fd.get(), temp.fd(), size, !folder.refusesCopyRangeFrom(device));
    const int copied = data.run();
    if (data.copyRangeRefused()) folder.noteRefusesCopyRangeFrom(device);
    if (copied != 0) return copied;
    if (const int e = CheckUnchanged(source)) return e;
    // The file began with the source's bits (see TempFile::create), less
    // what the umask or a default ACL of the folder took away; set-id and
    // sticky bits go on only now that the data is in. A look (cheaper than
    // a change), or what earlier copies into the folder showed, says whether
    // the bits must be set. File systems that cannot hold every bit (FAT) refuse some modes;
    // the data matters more than the bits then.
    const mode_t mode = st.st_mode & 07777;
    bool modeRight = false;
    if ((!temp.hidden() || StartsWithOwnBits(mode)) && (mode & ~0777) == 0) {
        modeRight = folder.bitsForeseen(mode);
        struct stat made;
        if (!modeRight && sys().fstat(temp.fd(), &made) == 0) {
            modeRight = (made.st_mode & 07777) == mode;
            folder.learnBits(mode, made.st_mode & 07777);
        }
    }
    if (!modeRight && sys().fchmod(temp.fd(), mode) != 0 && errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (sys().futimens(temp.fd(), times) != 0) return errno;
    return 0;
}

// Makes the folder's entries durable; file systems that cannot sync a folder
// say EINVAL, which is no failure.
int SyncFolder(const TargetFolder& folder) {
    if (sys().fdatasync(folder.fd()) != 0 && errno != EINVAL) return errno;
    return 0;
}

int EntryIdIn(const TargetFolder& folder, const std::string& name, int flags, FileId& id) {
    struct stat st;
    if (sys().statAt(folder.fd(), name.c_str(), &st, flags) != 0) return errno;
    id = FileId::Of(st);
    return 0;
}

// A symlink moved over the file that it would point to from its new place
// would leave a link to itself and lose that file.
bool WouldPointAtTarget(const SourceFile& from, const TargetFolder& folder, const std::string& name,
                        const FileId& target) {
    std::string text;
    char buffer[4096];
    const ssize_t n = sys().readlinkAt(from.dirFd(), from.name(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    text.assign(buffer, static_cast<size_t>(n));
    FileId pointed;
    // An absolute link leads where it did; relative ones are read from the
    // target folder. AT_FDCWD would not do for a relative text.
    if (text[0] == '/') return FileIdOf(text) == target;
    return EntryIdIn(folder, text, 0, pointed) == 0 && pointed == target;
}

// The move across file systems: copy, flush, publish, and only then remove
// the source, so the file is always in at least one place. entry is the look
// at the source itself (a symlink not followed).
int MoveAcrossDevices(const SourceFile& from, const struct stat& entry, const TargetFolder& folder,
                      const std::string& name, Publish publish, bool* replaced) {
    OpenSource source;
    const bool link = S_ISLNK(entry.st_mode);
    // For a regular file the look already made is the look before the open.
    if (const int e = OpenRegular(from, source, link ? nullptr : &entry)) return e;
    const FileId sourceId = FileId::Of(source.st);
    bool targetTaken = false;
    {
        // One look at the target serves two ends: the file may already be
        // there under another mount, and a name taken spares a copy that
        // could not be published.
        struct stat there;
        if (sys().statAt(folder.fd(), name.c_str(), &there, 0) == 0) {
            if (FileId::Of(there) == sourceId) return 0;
            if (publish == Publish::Keep) return EEXIST;
            targetTaken = true;
        }
    }
    TempFile temp(folder);
    if (const int e = WriteCopy(source, folder, temp)) return e;
    if (sys().fdatasync(temp.fd()) != 0) return errno;
    // The copy first goes under a hidden name: it takes the target name only
    // once the source is known unchanged, and an older file under that name
    // can be put back should the last look find the source changed.
    if (const int e = temp.nameHidden()) return e;
    FileId copyId;
    if (EntryIdIn(folder, temp.hiddenName(), AT_SYMLINK_NOFOLLOW, copyId) != 0) return errno;
    if (const int e = temp.closeBeforeNaming()) return e;
    if (const int e = CheckUnchanged(source)) return e;

    const int dir = folder.fd();
    bool displaced = false;  // the older target now lies under the hidden name
    bool placed = false;
    ReplacedFileKeeper* keeper = CurrentReplacedFileKeeper();
    // An older file under the name gets its name in the Trash before the
    // swap, so that it is kept whenever the process dies from here on.
    FileId ahead;
    bool keptAhead = false;
    if (publish == Publish::Replace && keeper) {
        struct stat there;
        if (sys().statAt(dir, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(there.st_mode))
            keptAhead = keeper->keepAhead(dir, name, folder.pathOf(name), ahead);
        // Otherwise it would lie under a temporary's name after the swap,
        // which a later run removes as a leftover.
        if (!keptAhead && targetTaken) {
            if (const int e = temp.nameAside()) return e;
        }
    }
    const std::string hidden = temp.hiddenName();
    auto unkeep = [&] {
        if (keptAhead) keeper->unkeep();
        keptAhead = false;
    };
    if (publish == Publish::Replace) {
        const int exchanged = folder.renameInto(dir, hidden.c_str(), name, RENAME_EXCHANGE);
        if (exchanged == 0) {
            displaced = placed = true;
            struct stat old;
            if (sys().statAt(dir, hidden.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISDIR(old.st_mode)) {
                // A folder is never replaced by a file: swap back.
                sys().renameAt(dir, hidden.c_str(), dir, name.c_str(), RENAME_EXCHANGE);
                unkeep();
                return EISDIR;
            }
        } else if (exchanged == EINVAL) {
            // No exchange on this file system: a plain replacing rename. The
            // older file is kept only if it had its name in the Trash before.
            if (sys().renameAt(dir, hidden.c_str(), dir, name.c_str(), 0) != 0) {
                const int e = errno;
                unkeep();
                return e;
            }
            placed = true;
            if (keeper && targetTaken && !keptAhead) keeper->lost(folder.pathOf(name));
        } else if (exchanged != ENOENT) {
            unkeep();
            return exchanged;
        } else {
            unkeep();  // nothing under the name any more
        }
    }
    if (!placed) {
        const int renamed = folder.renameInto(dir, hidden.c_str(), name, RENAME_NOREPLACE);
        if (renamed != 0) {
            if (renamed != EINVAL) return renamed;
            // No RENAME_NOREPLACE here: a hard link fails as atomically.
            if (sys().linkAt(dir, hidden.c_str(), dir, name.c_str(), 0) != 0) return errno;
            sys().unlinkAt(dir, hidden.c_str(), 0);
        }
    }
    temp.forgetHiddenName();

    // The new name is durable before the source goes.
    int error = SyncFolder(folder);
    // The last look: the source unchanged through the descriptor it was
    // copied from, and its name still the entry that was copied (not the
    // copy itself, seen through another mount, nor a file saved over it).
    struct stat still;
    if (error == 0) error = CheckUnchanged(source);
    if (error == 0 && sys().statAt(from.dirFd(), from.name(), &still, AT_SYMLINK_NOFOLLOW) != 0)
        error = errno;
    if (error == 0 && FileId::Of(still) != FileId::Of(entry)) error = kSourceChanged;
    if (error != 0) {
        // The source stays; the copy goes, and an older target comes back.
        if (displaced) {
            sys().renameAt(dir, hidden.c_str(), dir, name.c_str(), RENAME_EXCHANGE);
            FileId there;
            if (EntryIdIn(folder, hidden, AT_SYMLINK_NOFOLLOW, there) == 0 && there == copyId)
                sys().unlinkAt(dir, hidden.c_str(), 0);
            unkeep();
        } else {
            FileId there;
            if (EntryIdIn(folder, name, AT_SYMLINK_NOFOLLOW, there) == 0 && there == copyId)
                sys().unlinkAt(dir, name.c_str(), 0);
        }
        return error;
    }
    const int unlinked = sys().unlinkAt(from.dirFd(), from.name(), 0) == 0 ? 0 : errno;
    // The file that the user chose to replace goes whatever the source did:
    // to the keeper in force, else away.
    if (displaced) {
        FileId there;
        const bool looked = EntryIdIn(folder, hidden, AT_SYMLINK_NOFOLLOW, there) == 0;
        if (keptAhead && (!looked || there == ahead)) {
            // Its name in the Trash holds it (a look that failed is taken
            // for that file: nothing else was under the name a moment ago).
            sys().unlinkAt(dir, hidden.c_str(), 0);
        } else if (!keeper || !keeper->keep(dir, hidden, folder.pathOf(name))) {
            sys().unlinkAt(dir, hidden.c_str(), 0);
        }
    }
    if (replaced) *replaced = displaced || targetTaken;
    return unlinked;
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

// A folder this thread made.
void FolderMade(const std::string& path) {
    NoteFolderMade(path);
    if (CopyObserver* observer = CurrentCopyObserver()) observer->madeFolder(path);
}

thread_local bool t_noFolderMaking = false;

int MakeOneDir(const std::string& path) {
    if (t_noFolderMaking) return 0;
    if (sys().mkdir(path.c_str(), 0777) != 0) return errno;
    FolderMade(path);
    return 0;
}

// mkdir said EEXIST: fine when a folder is there.
int ExistingAsFolder(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    return EEXIST;
}

int FactsOf(const struct stat& st, FileFacts& facts) {
    if (const int e = TypeError(st)) return e;
    facts.id = FileId::Of(st);
    facts.lastWrite = ToFileTime(st.st_mtim);
    facts.size = static_cast<int64_t>(st.st_size);
    return 0;
}

// LookAtEntryIn's facts from a look at the entry itself: a symlink gives its own.
int EntryFactsOf(const struct stat& st, FileFacts& facts) {
    if (!S_ISLNK(st.st_mode)) return FactsOf(st, facts);
    facts.id = FileId::Of(st);
    facts.lastWrite = ToFileTime(st.st_mtim);
    facts.size = static_cast<int64_t>(st.st_size);
    return 0;
}

// The copy just published under its name, still open: its descriptor says
// what a look at the name would, without a walk to it.
void NoteWritten(int fd, PlacedEntry* placed) {
    struct stat st;
    if (placed && sys().fstat(fd, &st) == 0) placed->known = EntryFactsOf(st, placed->facts) == 0;
}

// An entry renamed into folder: a rename within one file system keeps the
// file, its size and its times. Only an entry of the folder's own device is
// taken as it was looked at (an overlay may give a file of a lower layer
// another device and inode once it is renamed).
void NoteRenamed(const struct stat& entry, const TargetFolder& folder, PlacedEntry* placed) {
    if (placed && static_cast<uint64_t>(entry.st_dev) == folder.id().device)
        placed->known = EntryFactsOf(entry, placed->facts) == 0;
}

// File systems not in the kernel's own headers everywhere.
constexpr unsigned long kFuseMagic = 0x65735546;
constexpr unsigned long kCifsMagic = 0xFF534D42;
constexpr unsigned long kSmb2Magic = 0xFE534D42;
constexpr unsigned long kCephMagic = 0x00C36400;
constexpr unsigned long k9pMagic = 0x01021997;

[[maybe_unused]] const char* ErrorTextResult(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}

[[maybe_unused]] const char* ErrorTextResult(const char* result, const char*) { return result; }

// Whether a look by name in the folder finds only the name as it is spelt.
// XFS and ZFS can be made to fold case for a whole file system; ext4, F2FS
// and tmpfs fold it in the folders marked so.
bool NamesMatchExactly(int dirFd) {
    struct statfs fs;
    if (::fstatfs(dirFd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case TMPFS_MAGIC:
        case EXT4_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
            break;
        default:
            return false;
    }
    int flags = 0;
    return ::ioctl(dirFd, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_CASEFOLD_FL) == 0;
}

int ListEntries(DIR* dir, const std::function<void(const DirEntry&)>& visit) {
    DirEntry entry;
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const struct dirent* d = ::readdir(dir);
        if (!d) return errno;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        entry.name.assign(name);
        unsigned char type = d->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems do not say; ask without following links.
            struct stat st;
            if (sys().statAt(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                if (S_ISDIR(st.st_mode))
                    type = DT_DIR;
                else if (S_ISLNK(st.st_mode))
                    type = DT_LNK;
                else if (S_ISREG(st.st_mode))
                    type = DT_REG;
            }
        }
        entry.isDirectory = type == DT_DIR;
        entry.isSymlink = type == DT_LNK;
        entry.isRegular = type == DT_REG;
        entry.isHidden = name[0] == '.';
        visit(entry);
    }
}

}  // namespace

int PrepareCopy(const SourceFile& from, uint64_t mostBytes, PreparedCopy& out) {
    OpenSource source;
    if (sys().statAt(from.dirFd(), from.name(), &source.st, 0) != 0) return errno;
    if (source.st.st_size < 0 || static_cast<uint64_t>(source.st.st_size) > mostBytes) return EFBIG;
    if (const int e = OpenRegular(from, source, &source.st)) return e;
    auto temp = std::make_unique<TempFile>(out.folder);
    if (const int e = WriteCopy(source, out.folder, *temp)) return e;
    out.looked = source.st;
    out.temp = std::move(temp);
    return 0;
}

int CopyFileInto(const SourceFile& from, const TargetFolder& folder, std::string& name,
                 Publish publish, const std::function<bool(std::string& name)>* nextName,
                 bool* replaced, PlacedEntry* placed, PreparedCopy* prepared) {
    if (!IsPlainName(name)) return EINVAL;
    OpenSource source;
    bool looked = false;
    if (prepared && prepared->temp && prepared->folder.id() == folder.id()) {
        // The look that a new copy would begin with tells whether the one
        // written ahead is still the file's copy.
        if (sys().statAt(from.dirFd(), from.name(), &source.st, 0) != 0) return errno;
        if (const int e = TypeError(source.st)) return e;
        looked = true;
        const struct stat& was = prepared->looked;
        if (FileId::Of(source.st) != FileId::Of(was) || source.st.st_size != was.st_size ||
            source.st.st_mtim.tv_sec != was.st_mtim.tv_sec ||
            source.st.st_mtim.tv_nsec != was.st_mtim.tv_nsec ||
            source.st.st_ctim.tv_sec != was.st_ctim.tv_sec ||
            source.st.st_ctim.tv_nsec != was.st_ctim.tv_nsec)
            prepared->temp.reset();
    } else if (prepared) {
        prepared->temp.reset();
    }
    std::optional<TempFile> made;
    TempFile* const ahead = prepared ? prepared->temp.get() : nullptr;
    if (!ahead) {
        if (const int e = OpenRegular(from, source, looked ? &source.st : nullptr)) return e;
        made.emplace(folder);
        if (const int e = WriteCopy(source, folder, *made)) return e;
    }
    TempFile& temp = ahead ? *ahead : *made;
    const FileId sourceId = FileId::Of(source.st);
    source.fd.reset();
    // A hidden copy is closed before it is named, and renamed as it is: its
    // descriptor says now what a look at the name would say after, without
    // the walk to the name (a round trip on a network file system).
    PlacedEntry hiddenCopy;
    if (temp.hidden()) NoteWritten(temp.fd(), placed ? &hiddenCopy : nullptr);
    for (;;) {
        // An unnamed copy stays open once it is linked under the name.
        const bool unnamed = !temp.hidden();
        const int e = temp.publishKeep(name);
        if (e == 0 && unnamed) NoteWritten(temp.fd(), placed);
        if (e == 0 && !unnamed && placed) *placed = hiddenCopy;
        if (e != EEXIST) return e;
        // The name is taken. By the source itself (through a link, a hard
        // link or another mount)? Then the file is where it belongs.
        if (IsFileIn(folder, name, sourceId)) return 0;
        if (publish == Publish::Replace) return temp.publishReplace(name, replaced);
        // The same copy goes under another name; the data is not copied again.
        if (!nextName || !(*nextName)(name)) return EEXIST;
        if (!IsPlainName(name)) return EINVAL;
    }
}

int MoveFileInto(const SourceFile& from, const TargetFolder& folder, const std::string& name,
                 Publish publish, bool* replaced, PlacedEntry* placed) {
    if (!IsPlainName(name)) return EINVAL;
    struct stat entry;
    if (sys().statAt(from.dirFd(), from.name(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISDIR(entry.st_mode)) return EISDIR;

    // A free name first, whatever the policy: only a name found taken needs
    // a look at what holds it. Keep learns from a refused flag and then goes
    // straight to the link, which says EXDEV for a source on another file
    // system as the rename would; Replace asks each time, as only the rename
    // tells those apart.
    int e = 0;
    if (publish == Publish::Keep)
        e = folder.renameInto(from.dirFd(), from.name(), name, RENAME_NOREPLACE);
    else if (sys().renameAt(from.dirFd(), from.name(), folder.fd(), name.c_str(),
                            RENAME_NOREPLACE) != 0)
        e = errno;
    if (e == 0) {
        NoteRenamed(entry, folder, placed);
        return 0;
    }
    if (e == EINVAL && publish == Publish::Keep) {
        // No RENAME_NOREPLACE here: a link fails when the name is taken, then
        // the old name goes.
        if (sys().linkAt(from.dirFd(), from.name(), folder.fd(), name.c_str(), 0) == 0)
            return sys().unlinkAt(from.dirFd(), from.name(), 0) == 0 ? 0 : errno;
        e = errno;
    } else if (e == EINVAL) {
        // No RENAME_NOREPLACE here: Replace makes a plain rename.
        FileId there;
        if (EntryIdIn(folder, name, AT_SYMLINK_NOFOLLOW, there) == 0) {
            e = RenameReplacing(from.dirFd(), from.name(), folder.fd(), name, folder.pathOf(name),
                                replaced);
            if (e == 0) return 0;
        } else if (sys().renameAt(from.dirFd(), from.name(), folder.fd(), name.c_str(), 0) == 0) {
            return 0;
        } else {
            e = errno;
        }
    } else if (e == EEXIST && publish == Publish::Replace) {
        FileId target;
        if (EntryIdIn(folder, name, 0, target) == 0) {
            // The file under the name is the source itself (a hard link, or
            // what a link points to): it is where it belongs.
            struct stat pointed;
            if (sys().statAt(from.dirFd(), from.name(), &pointed, 0) == 0 &&
                FileId::Of(pointed) == target)
                return 0;
            // A link is renamed as a link; over the file it would point to
            // from its new place it would destroy that file. Only the entry
            // replaced counts: a link under the name is replaced as a link.
            struct stat named;
            if (S_ISLNK(entry.st_mode) &&
                sys().statAt(folder.fd(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                !S_ISLNK(named.st_mode) && WouldPointAtTarget(from, folder, name, target))
                return kLinkOntoItsTarget;
        }
        e = RenameReplacing(from.dirFd(), from.name(), folder.fd(), name, folder.pathOf(name),
                            replaced);
        if (e == 0) return 0;
    }
    // Another file system, or another mount of the same one.
    if (e != EXDEV) return e;
    return MoveAcrossDevices(from, entry, folder, name, publish, replaced);
}

int CopyFileSafe(const std::string& from, const std::string& to, Publish publish) {
    TargetFolder folder;
    std::string name;
    if (const int e = folder.openFolderOf(to, name)) return e;
    return CopyFileInto(SourceFile(from), folder, name, publish);
}

int MoveFileSafe(const std::string& from, const std::string& to, Publish publish) {
    TargetFolder folder;
    std::string name;
    if (const int e = folder.openFolderOf(to, name)) return e;
    return MoveFileInto(SourceFile(from), folder, name, publish);
}

bool CallsAreRoundTrips(const std::string& path) {
    struct statfs fs;
    if (::statfs(path.c_str(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case NFS_SUPER_MAGIC:
        case SMB_SUPER_MAGIC:
        case kFuseMagic:
        case kCifsMagic:
        case kSmb2Magic:
        case kCephMagic:
        case k9pMagic:
            return true;
        default:
            return false;
    }
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

bool FileExistsIn(const TargetFolder& folder, const std::string& name) {
    struct stat st;
    if (!IsPlainName(name) ||
        sys().statAt(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISLNK(st.st_mode)) return !S_ISDIR(st.st_mode);
    // A link counts by what it leads to; a dangling one takes the name all the same.
    return sys().statAt(folder.fd(), name.c_str(), &st, 0) != 0 || !S_ISDIR(st.st_mode);
}

ScopedNoFolderMaking::ScopedNoFolderMaking() : m_previous(t_noFolderMaking) {
    t_noFolderMaking = true;
}

ScopedNoFolderMaking::~ScopedNoFolderMaking() { t_noFolderMaking = m_previous; }

int MakeDirIn(const TargetFolder& folder, const std::string& name) {
    if (!IsPlainName(name)) return EINVAL;
    if (t_noFolderMaking) return 0;
    if (sys().mkdirAt(folder.fd(), name.c_str(), 0777) == 0) {
        FolderMade(folder.pathOf(name));
        return 0;
    }
    if (errno != EEXIST) return errno;
    struct stat st;
    if (sys().statAt(folder.fd(), name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) return 0;
    return EEXIST;
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

std::optional<FileId> FileIdOf(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId::Of(st);
}

bool IsFileIn(const TargetFolder& folder, const std::string& name, const FileId& id) {
    FileId there;
    return IsPlainName(name) && EntryIdIn(folder, name, 0, there) == 0 && there == id;
}

int LookAtFile(const SourceFile& file, FileFacts& facts) {
    struct stat st;
    if (sys().statAt(file.dirFd(), file.name(), &st, 0) != 0) return errno;
    return FactsOf(st, facts);
}

int LookAtEntryIn(const TargetFolder& folder, const std::string& name, FileFacts& facts) {
    if (!IsPlainName(name)) return EINVAL;
    struct stat st;
    if (sys().statAt(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    return EntryFactsOf(st, facts);
}

int LookAtFileIn(const TargetFolder& folder, const std::string& name, FileFacts& facts) {
    if (!IsPlainName(name)) return EINVAL;
    struct stat st;
    if (sys().statAt(folder.fd(), name.c_str(), &st, 0) != 0) return errno;
    return FactsOf(st, facts);
}

std::optional<FileTime> RegularFileTime(const std::string& path) {
    FileFacts facts;
    if (LookAtFile(path, facts) != 0) return std::nullopt;
    return facts.lastWrite;
}

std::optional<int64_t> RegularFileSize(const std::string& path) {
    FileFacts facts;
    if (LookAtFile(path, facts) != 0) return std::nullopt;
    return facts.size;
}

std::optional<FileTime> CreationTimeOf(const std::string& path) {
    struct statx st;
    if (sys().statxAt(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT,
                      STATX_TYPE | STATX_MTIME | STATX_BTIME, &st) != 0 ||
        S_ISDIR(st.stx_mode)) {
        return std::nullopt;
    }
    // File systems that keep no birth time leave it out of the mask.
    const struct statx_timestamp& t = (st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_mtime;
    return FileTime{static_cast<int64_t>(t.tv_sec), static_cast<int64_t>(t.tv_nsec)};
}

std::string ErrorText(int error) {
    if (error == kNotRegularFile) return Format(MessageId::ReasonNotRegular);
    if (error == kSourceChanged) return Format(MessageId::ReasonChanged);
    if (error == kLinkOntoItsTarget) return Format(MessageId::ReasonLinkOntoTarget);
    char buffer[256] = {};
    return ErrorTextResult(strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string ReasonText(int error) {
    MessageId id;
    switch (error) {
        case ENOENT:
            id = MessageId::ReasonNoEntry;
            break;
        case EACCES:
            id = MessageId::ReasonNoAccess;
            break;
        case EPERM:
            id = MessageId::ReasonNotPermitted;
            break;
        case EROFS:
            id = MessageId::ReasonReadOnly;
            break;
        case ENOSPC:
            id = MessageId::ReasonNoSpace;
            break;
        case EDQUOT:
            id = MessageId::ReasonQuota;
            break;
        case ENAMETOOLONG:
            id = MessageId::ReasonNameTooLong;
            break;
        case ELOOP:
            id = MessageId::ReasonLinkLoop;
            break;
        case EMLINK:
            id = MessageId::ReasonTooManyLinks;
            break;
        case EISDIR:
            id = MessageId::ReasonIsFolder;
            break;
        case ENOTDIR:
            id = MessageId::ReasonNotFolder;
            break;
        case EIO:
            id = MessageId::ReasonIo;
            break;
        case EXDEV:
            id = MessageId::ReasonCrossDevice;
            break;
        case EEXIST:
            id = MessageId::ReasonExists;
            break;
        default:
            return ErrorText(error);
    }
    return Format(id);
}

int ForEachDirEntry(const std::string& folder, const std::function<void(const DirEntry&)>& visit) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return errno;
    return ListEntries(dir.get(), visit);
}

namespace {

using DirStream = std::unique_ptr<DIR, int (*)(DIR*)>;

// Opens path (relative to dirFd) as a folder listing of its own descriptor,
// fd, which the listing owns. 0 or errno.
int OpenDirStream(int dirFd, const char* path, DirStream& dir, int& fd) {
    fd = sys().openAt(dirFd, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return errno;
    dir.reset(::fdopendir(fd));
    if (dir) return 0;
    const int e = errno;
    ::close(fd);
    return e;
}

}  // namespace

int ForEachExactDirEntry(const std::string& folder,
                         const std::function<void(const DirEntry&)>& visit) {
    DirStream dir(nullptr, &::closedir);
    int fd = -1;
    if (const int e = OpenDirStream(AT_FDCWD, folder.c_str(), dir, fd)) return e;
    return NamesMatchExactly(fd) ? ListEntries(dir.get(), visit) : EOPNOTSUPP;
}

int ForEachDirEntryAt(int dirFd, const std::function<void(const DirEntry&)>& visit) {
    // A descriptor of its own: fdopendir takes over what it is given.
    DirStream dir(nullptr, &::closedir);
    int fd = -1;
    if (const int e = OpenDirStream(dirFd, ".", dir, fd)) return e;
    return ListEntries(dir.get(), visit);
}

}  // namespace zanfeld
