#include "Trash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FileId.h"
#include "HiddenTemp.h"
#include "HomeFolder.h"
#include "LocalTime.h"
#include "Sys.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

constexpr char kInfoSuffix[] = ".trashinfo";
// The .trashinfo's name must fit NAME_MAX as well as the entry's.
constexpr size_t kLongestTrashName = 255 - (sizeof kInfoSuffix - 1);
// Numbers tried one after another on a clash before random ones, so that a
// Trash full of "Thumbs.db" does not make every trashing slower.
constexpr unsigned kCountedNames = 100;
constexpr unsigned kMostNames = 300;
// A .trashinfo is a few lines; anything larger is not one.
constexpr size_t kLargestInfo = 64 * 1024;

// What a folder is and which mount it is reached through. Renames work only
// within one mount, so two mounts of one file system count as two volumes.
struct Node {
    FileId id;
    uint64_t mount = 0;  // 0 when the kernel does not tell
    mode_t mode = 0;
    uid_t uid = 0;
};

int Look(int dirFd, const char* path, int flags, Node& node) {
    struct statx sx;
    if (sys().statxAt(dirFd, path, flags,
                      STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_MNT_ID, &sx) == 0) {
        node.id = FileId{static_cast<uint64_t>(makedev(sx.stx_dev_major, sx.stx_dev_minor)),
                         static_cast<uint64_t>(sx.stx_ino)};
        node.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
        node.mode = sx.stx_mode;
        node.uid = sx.stx_uid;
        return 0;
    }
    if (errno != ENOSYS) return errno;
    struct stat st;
    if (sys().statAt(dirFd, path, &st, flags) != 0) return errno;
    node = Node{FileId::Of(st), 0, st.st_mode, st.st_uid};
    return 0;
}

bool SameMount(const Node& a, const Node& b) {
    return a.id.device == b.id.device && (a.mount == 0 || b.mount == 0 || a.mount == b.mount);
}

bool HasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

// An absolute path without empty or "." components or a trailing separator.
std::string Normalized(const std::string& path) {
    std::string out;
    size_t at = 0;
    while (at < path.size()) {
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string_view part(path.data() + at, end - at);
        if (!part.empty() && part != ".") {
            out.push_back('/');
            out.append(part);
        }
        at = end + 1;
    }
    return out.empty() ? "/" : out;
}

// Of a normalized path: "/a" for "/a/b", "/" for "/a" and for "/".
std::string Parent(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Of a normalized path: "b" for "/a/b", "" for "/".
std::string LastName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool HasDotDot(const std::string& normalized) {
    return normalized.find("/../") != std::string::npos ||
           (normalized.size() >= 3 && normalized.compare(normalized.size() - 3, 3, "/..") == 0);
}

std::string UidText() { return std::to_string(static_cast<unsigned long>(::getuid())); }

// Makes path and its missing parents, each 0700 (the Trash and possibly
// XDG_DATA_HOME hold what the user threw away).
int MakeFolderPath(const std::string& path) {
    if (sys().mkdirAt(AT_FDCWD, path.c_str(), 0700) == 0 || errno == EEXIST) return 0;
    if (errno != ENOENT || path == "/") return errno;
    if (const int e = MakeFolderPath(Parent(path))) return e;
    if (sys().mkdirAt(AT_FDCWD, path.c_str(), 0700) == 0 || errno == EEXIST) return 0;
    return errno;
}

// The node of a folder that may not exist yet: that of its nearest existing
// ancestor, on whose mount it would be made.
int LookUpward(const std::string& folder, Node& node) {
    for (std::string at = folder;; at = Parent(at)) {
        const int e = Look(AT_FDCWD, at.c_str(), 0, node);
        if (e != ENOENT || at == "/") return e;
    }
}

// Opens the folder name in parentFd, making it (0700) when missing. A strict
// one lies in a folder others may write to (a volume's top folder): it must
// be a real folder, not a symlink, and ours, or someone could have us write
// our files where they read them.
int OpenTrashFolder(int parentFd, const char* name, bool strict, UniqueFd& out) {
    if (sys().mkdirAt(parentFd, name, 0700) != 0 && errno != EEXIST) return errno;
    int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    struct stat st;
    if (strict) {
        if (sys().statAt(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
        if (S_ISLNK(st.st_mode)) return ELOOP;
        if (!S_ISDIR(st.st_mode)) return ENOTDIR;
        if (st.st_uid != ::getuid()) return EPERM;
        flags |= O_NOFOLLOW;
    }
    UniqueFd fd(sys().openAt(parentFd, name, flags, 0));
    if (!fd.valid()) return errno;
    Node node;
    if (const int e = Look(fd.get(), "", AT_EMPTY_PATH, node)) return e;
    if (!S_ISDIR(node.mode)) return ENOTDIR;
    // What was looked at is what got opened, not something swapped in between.
    if (strict && (node.id != FileId::Of(st) || node.uid != ::getuid())) return EPERM;
    out = std::move(fd);
    return 0;
}

struct OpenTrash {
    std::string path;  // of the Trash folder itself
    UniqueFd files;
    UniqueFd info;
};

int OpenFilesAndInfo(int trashFd, bool strict, OpenTrash& trash) {
    if (const int e = OpenTrashFolder(trashFd, "files", strict, trash.files)) return e;
    return OpenTrashFolder(trashFd, "info", strict, trash.info);
}

int OpenHomeTrash(const std::string& folder, OpenTrash& trash) {
    if (const int e = MakeFolderPath(folder)) return e;
    // The home Trash is the user's own: a symlink there is the user's choice.
    UniqueFd fd;
    if (const int e = OpenTrashFolder(AT_FDCWD, folder.c_str(), false, fd)) return e;
    trash.path = folder;
    return OpenFilesAndInfo(fd.get(), false, trash);
}

// $top/.Trash/$uid when the administrator made $top/.Trash a real sticky
// folder, else $top/.Trash-$uid. topPath leads to the folder topFd holds.
int OpenVolumeTrash(int topFd, const std::string& topPath, OpenTrash& trash) {
    const std::string uid = UidText();
    struct stat st;
    if (sys().statAt(topFd, ".Trash", &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX)) {
        UniqueFd shared(
            sys().openAt(topFd, ".Trash", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0));
        Node node;
        UniqueFd own;
        if (shared.valid() && Look(shared.get(), "", AT_EMPTY_PATH, node) == 0 &&
            node.id == FileId::Of(st) && (node.mode & S_ISVTX) &&
            OpenTrashFolder(shared.get(), uid.c_str(), true, own) == 0 &&
            OpenFilesAndInfo(own.get(), true, trash) == 0) {
            trash.path = Join(topPath, ".Trash/" + uid);
            return 0;
        }
        // An unusable $uid folder there sends us to .Trash-$uid, as for no .Trash.
        trash.files.reset();
        trash.info.reset();
    }
    const std::string own = ".Trash-" + uid;
    UniqueFd fd;
    if (const int e = OpenTrashFolder(topFd, own.c_str(), true, fd)) return e;
    trash.path = Join(topPath, own);
    return OpenFilesAndInfo(fd.get(), true, trash);
}

// The top folder of the mount that the folder dirFd holds is on: where going
// up would leave the mount (or cannot go further).
// Folders named in ZANFELD_TRASH_TOPS (separated by ':') stand for the top
// folder of their volume for every entry below them: a test suite keeps its
// Trashes to itself so, never touching a real one.
std::vector<Node> StandInTops() {
    std::vector<Node> tops;
    const char* list = std::getenv("ZANFELD_TRASH_TOPS");
    if (!list) return tops;
    const std::string all = list;
    for (size_t at = 0; at <= all.size();) {
        const size_t end = std::min(all.find(':', at), all.size());
        const std::string path = all.substr(at, end - at);
        Node node;
        if (!path.empty() && path[0] == '/' && Look(AT_FDCWD, path.c_str(), 0, node) == 0)
            tops.push_back(node);
        at = end + 1;
    }
    return tops;
}

int FindTop(int dirFd, const Node& folder, UniqueFd& top, Node& topNode) {
    UniqueFd at(sys().openAt(dirFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!at.valid()) return errno;
    Node atNode = folder;
    const std::vector<Node> standIns = StandInTops();
    for (int depth = 0; depth < 4096; ++depth) {
        for (const Node& standIn : standIns) {
            if (standIn.id == atNode.id && SameMount(standIn, atNode)) {
                top = std::move(at);
                topNode = atNode;
                return 0;
            }
        }
        UniqueFd up(sys().openAt(at.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
        if (!up.valid()) return errno;
        Node upNode;
        if (const int e = Look(up.get(), "", AT_EMPTY_PATH, upNode)) return e;
        if (upNode.id == atNode.id || !SameMount(upNode, atNode)) {
            top = std::move(at);
            topNode = atNode;
            return 0;
        }
        at = std::move(up);
        atNode = upNode;
    }
    return ELOOP;
}

bool LeadsTo(const std::string& path, const Node& node) {
    Node found;
    return Look(AT_FDCWD, path.c_str(), 0, found) == 0 && found.id == node.id &&
           SameMount(found, node);
}

// A path to the top folder and original relative to it. The nearest ancestor
// of original that is the top folder gives both in the user's own spelling
// (through symlinks too); else the kernel's name for the folder, with the
// original path left absolute, as it lies elsewhere.
int PathsOfTop(int topFd, const Node& top, const std::string& original, std::string& topPath,
               std::string& relative) {
    if (!HasDotDot(original)) {
        for (std::string at = Parent(original);; at = Parent(at)) {
            if (LeadsTo(at, top)) {
                topPath = at;
                relative = original.substr(at == "/" ? 1 : at.size() + 1);
                return 0;
            }
            if (at == "/") break;
        }
    }
    char link[4096];
    const std::string self = "/proc/self/fd/" + std::to_string(topFd);
    const ssize_t n = sys().readlink(self.c_str(), link, sizeof link);
    if (n > 0 && static_cast<size_t>(n) < sizeof link && link[0] == '/') {
        const std::string path(link, static_cast<size_t>(n));
        if (LeadsTo(path, top)) {
            topPath = path;
            relative = original;
            return 0;
        }
    }
    return ENOENT;
}

// Keeps the last extension last ("photo.2.jpg") and the name short enough
// for its .trashinfo, shortened where a UTF-8 character begins.
std::string TrashName(const std::string& leaf, unsigned number) {
    std::string stem = leaf;
    std::string extension;
    const size_t dot = leaf.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < leaf.size() && leaf.size() - dot <= 32) {
        stem = leaf.substr(0, dot);
        extension = leaf.substr(dot);
    }
    const std::string counter = number > 1 ? "." + std::to_string(number) : "";
    const size_t room = kLongestTrashName - counter.size() - extension.size();
    if (stem.size() > room) {
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem.resize(cut);
    }
    return stem + counter + extension;
}

unsigned NameNumber(unsigned attempt) {
    if (attempt <= kCountedNames) return attempt;
    thread_local std::minstd_rand random(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return kCountedNames + 1 + random() % 1000000000u;
}

std::string InfoText(const std::string& recordedPath) {
    const LocalDateTime t = ToLocalDateTime(FileTime{static_cast<int64_t>(::time(nullptr)), 0});
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return "[Trash Info]\nPath=" + EncodeTrashPath(recordedPath) + "\nDeletionDate=" + date + "\n";
}

// Renames without ever replacing what is at `to`. Where the file system has no
// RENAME_NOREPLACE (EINVAL), a file or symlink gets the new name as a hard
// link before the old one goes, and a folder replaces an empty folder made
// for it (making that folder is what claims the name).
int MoveNoReplace(int fromDir, const char* from, int toDir, const char* to) {
    if (sys().renameAt(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    struct stat st;
    if (sys().statAt(fromDir, from, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISDIR(st.st_mode)) {
        if (sys().mkdirAt(toDir, to, 0700) != 0) return errno;
        if (sys().renameAt(fromDir, from, toDir, to, 0) == 0) return 0;
        const int e = errno;
        sys().unlinkAt(toDir, to, AT_REMOVEDIR);  // only ever removes an empty folder
        return e;
    }
    if (sys().linkAt(fromDir, from, toDir, to, 0) != 0) return errno;
    if (sys().unlinkAt(fromDir, from, 0) == 0) return 0;
    const int e = errno;
    // The entry keeps its old name; drop the new one if it is still our link.
    struct stat linked;
    if (sys().statAt(toDir, to, &linked, AT_SYMLINK_NOFOLLOW) == 0 &&
        FileId::Of(linked) == FileId::Of(st)) {
        sys().unlinkAt(toDir, to, 0);
    }
    return e;
}

// The .trashinfo is written whole under a hidden name in info/ first, so
// that a process killed at any moment never leaves one empty or cut short.
// It then claims a name free in both files/ and info/ by taking that name
// (a hard link fails when the name is taken), and the entry is renamed (or
// linked) in under it.
int MoveIn(int dirFd, const std::string& name, OpenTrash& trash, const std::string& leaf,
           const std::string& text, bool link, std::string& chosen) {
    RemoveStaleTemporaries(trash.path + "/info");
    std::string whole;
    for (int attempt = 0; attempt < 16 && whole.empty(); ++attempt) {
        std::string hidden = HiddenTempLeaf();
        UniqueFd info(sys().openAt(trash.info.get(), hidden.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info.valid()) {
            if (errno == EEXIST) continue;
            return errno;
        }
        int e = WriteAll(info.get(), text.data(), text.size());
        if (e == 0 && sys().fdatasync(info.get()) != 0) e = errno;
        if (e == 0) e = info.closeNow();
        if (e != 0) {
            info.reset();
            sys().unlinkAt(trash.info.get(), hidden.c_str(), 0);
            return e;
        }
        whole = std::move(hidden);
    }
    if (whole.empty()) return EEXIST;
    int result = EEXIST;
    for (unsigned attempt = 1; attempt <= kMostNames; ++attempt) {
        const std::string candidate = TrashName(leaf, NameNumber(attempt));
        struct stat st;
        if (sys().statAt(trash.files.get(), candidate.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        if (errno != ENOENT) {
            result = errno;
            break;
        }
        const std::string infoName = candidate + kInfoSuffix;
        if (sys().linkAt(trash.info.get(), whole.c_str(), trash.info.get(), infoName.c_str(), 0) !=
            0) {
            if (errno == EEXIST) continue;
            result = errno;
            break;
        }
        int e = link ? (sys().linkAt(dirFd, name.c_str(), trash.files.get(), candidate.c_str(), 0)
                            ? errno
                            : 0)
                     : MoveNoReplace(dirFd, name.c_str(), trash.files.get(), candidate.c_str());
        if (e == 0) {
            chosen = candidate;
            result = 0;
            break;
        }
        sys().unlinkAt(trash.info.get(), infoName.c_str(), 0);
        // The name was taken in files/ meanwhile: try the next one.
        if (e != EEXIST) {
            result = e;
            break;
        }
    }
    sys().unlinkAt(trash.info.get(), whole.c_str(), 0);
    return result;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// Whether a Path value was percent-encoded: an encoder leaves no spaces,
// control characters or bytes beyond ASCII, and no '%' without two hex digits.
bool LooksEncoded(const std::string& value) {
    for (size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c <= 0x20 || c >= 0x7F) return false;
        if (c == '%' && (i + 2 >= value.size() || !IsHex(value[i + 1]) || !IsHex(value[i + 2])))
            return false;
    }
    return true;
}

std::string Decoded(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && IsHex(value[i + 1]) && IsHex(value[i + 2])) {
            out.push_back(static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2])));
            i += 2;
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

std::string TrimmedLeft(const std::string& s) {
    const size_t start = s.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : s.substr(start);
}

std::string Trimmed(const std::string& s) {
    std::string out = TrimmedLeft(s);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
    return out;
}

}  // namespace

std::string EncodeTrashPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                          c == '!' || c == '~' || c == '*' || c == '\'' || c == '(' || c == ')';
        if (keep) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

std::string HomeTrashFolder() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        data = xdg;
    } else {
        const std::string home = HomeFolder();
        // A relative home would put the Trash wherever the program was started.
        if (home.empty() || home[0] != '/') return {};
        data = Join(Normalized(home), ".local/share");
    }
    return Join(Normalized(data), "Trash");
}

namespace {

// The Trash that takes entries of the folder dirFd, and the path its
// .trashinfo records for original.
int OpenTrashFor(int dirFd, const Node& folder, const std::string& original, OpenTrash& trash,
                 std::string& recorded) {
    Node home;
    const std::string homeTrash = HomeTrashFolder();
    if (!homeTrash.empty() && LookUpward(homeTrash, home) == 0 && SameMount(home, folder)) {
        if (const int e = OpenHomeTrash(homeTrash, trash)) return e;
        recorded = original;
    } else {
        UniqueFd top;
        Node topNode;
        if (const int e = FindTop(dirFd, folder, top, topNode)) return e;
        std::string topPath;
        if (const int e = PathsOfTop(top.get(), topNode, original, topPath, recorded)) return e;
        if (const int e = OpenVolumeTrash(top.get(), topPath, trash)) return e;
    }
    // A Trash folder with something mounted on it cannot take the entry.
    Node files;
    if (const int e = Look(trash.files.get(), "", AT_EMPTY_PATH, files)) return e;
    return SameMount(files, folder) ? 0 : EXDEV;
}

int PutInTrash(int dirFd, const std::string& name, const std::string& originalPath, bool link,
               TrashPlace& place, FileId* id = nullptr) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        HasNul(name) || originalPath.empty() || originalPath[0] != '/' || HasNul(originalPath)) {
        return EINVAL;
    }
    const std::string original = Normalized(originalPath);
    std::string leaf = LastName(original);
    if (leaf.empty() || leaf == "..") leaf = name;

    struct stat entry;
    if (sys().statAt(dirFd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (link && S_ISDIR(entry.st_mode)) return EISDIR;
    if (id) *id = FileId::Of(entry);
    Node folder;
    if (const int e = Look(dirFd, "", AT_EMPTY_PATH, folder)) return e;

    OpenTrash trash;
    std::string recorded;
    if (const int e = OpenTrashFor(dirFd, folder, original, trash, recorded)) return e;

    std::string chosen;
    if (const int e = MoveIn(dirFd, name, trash, leaf, InfoText(recorded), link, chosen)) return e;
    place.file = trash.path + "/files/" + chosen;
    place.info = trash.path + "/info/" + chosen + kInfoSuffix;
    return 0;
}

}  // namespace

int MoveToTrashAt(int dirFd, const std::string& name, const std::string& originalPath,
                  TrashPlace& place) {
    return PutInTrash(dirFd, name, originalPath, false, place);
}

int LinkIntoTrashAt(int dirFd, const std::string& name, const std::string& originalPath,
                    TrashPlace& place, FileId& linked) {
    return PutInTrash(dirFd, name, originalPath, true, place, &linked);
}

bool ClearHalfTrashed(const std::string& originalPath) {
    if (originalPath.empty() || originalPath[0] != '/' || HasNul(originalPath)) return false;
    const std::string original = Normalized(originalPath);
    const std::string leaf = LastName(original);
    if (leaf.empty() || leaf == "..") return false;
    UniqueFd dir(
        sys().openAt(AT_FDCWD, Parent(original).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!dir.valid()) return false;
    Node folder;
    OpenTrash trash;
    std::string recorded;
    if (Look(dir.get(), "", AT_EMPTY_PATH, folder) != 0 ||
        OpenTrashFor(dir.get(), folder, original, trash, recorded) != 0)
        return false;
    RemoveStaleTemporaries(trash.path + "/info");
    struct stat there;
    const bool present = sys().lstat(original.c_str(), &there) == 0;
    bool secondName = false;
    for (unsigned number = 1; number <= kCountedNames; ++number) {
        const std::string name = TrashName(leaf, number);
        const std::string infoName = name + kInfoSuffix;
        std::string path;
        if (ReadTrashInfo(trash.path + "/info/" + infoName, path) != 0 || path != original)
            continue;
        struct stat entry;
        if (sys().statAt(trash.files.get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            // Its name claimed, the entry never came.
            if (errno == ENOENT) sys().unlinkAt(trash.info.get(), infoName.c_str(), 0);
            continue;
        }
        // A second name of the file that is still under its own.
        if (present && FileId::Of(entry) == FileId::Of(there) &&
            sys().unlinkAt(trash.files.get(), name.c_str(), 0) == 0) {
            sys().unlinkAt(trash.info.get(), infoName.c_str(), 0);
            secondName = true;
        }
    }
    return secondName;
}

int ForgetTrashed(const TrashPlace& place, const std::string& stillAt) {
    for (const std::string* path : {&place.file, &place.info})
        if (path->empty() || (*path)[0] != '/' || HasNul(*path)) return EINVAL;
    const std::string file = Normalized(place.file);
    if (LastName(Parent(file)) != "files" ||
        LastName(Normalized(place.info)) != LastName(file) + kInfoSuffix)
        return EINVAL;
    struct stat trashed, still;
    if (sys().lstat(file.c_str(), &trashed) != 0) return errno;
    if (sys().lstat(stillAt.c_str(), &still) != 0) return errno;
    if (FileId::Of(trashed) != FileId::Of(still)) return EEXIST;
    if (sys().unlinkAt(AT_FDCWD, file.c_str(), 0) != 0) return errno;
    sys().unlinkAt(AT_FDCWD, place.info.c_str(), 0);
    return 0;
}

int RestoreFromTrash(const TrashPlace& place, const std::string& to) {
    for (const std::string* path : {&place.file, &place.info, &to})
        if (path->empty() || (*path)[0] != '/' || HasNul(*path)) return EINVAL;
    const std::string file = Normalized(place.file);
    const std::string info = Normalized(place.info);
    const std::string target = Normalized(to);
    const std::string leaf = LastName(file);
    const std::string infoName = LastName(info);
    if (leaf.empty() || LastName(Parent(file)) != "files" || LastName(Parent(info)) != "info" ||
        infoName != leaf + kInfoSuffix || target == "/" || LastName(target) == "..") {
        return EINVAL;
    }
    UniqueFd files(
        sys().openAt(AT_FDCWD, Parent(file).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!files.valid()) return errno;
    UniqueFd infos(
        sys().openAt(AT_FDCWD, Parent(info).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!infos.valid()) return errno;
    // files/ and info/ of one Trash, so that the .trashinfo speaks of this entry.
    Node filesTrash, infoTrash;
    if (const int e = Look(files.get(), "..", 0, filesTrash)) return e;
    if (const int e = Look(infos.get(), "..", 0, infoTrash)) return e;
    if (filesTrash.id != infoTrash.id) return EINVAL;
    // Without its .trashinfo the entry was restored or emptied already, and
    // the name in files/ may since have gone to another.
    struct stat st;
    if (sys().statAt(infos.get(), infoName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (sys().statAt(files.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;

    UniqueFd toFolder(
        sys().openAt(AT_FDCWD, Parent(target).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0));
    if (!toFolder.valid()) return errno;
    if (const int e =
            MoveNoReplace(files.get(), leaf.c_str(), toFolder.get(), LastName(target).c_str()))
        return e;
    // The entry is back; a .trashinfo left over only shows as a broken entry.
    sys().unlinkAt(infos.get(), infoName.c_str(), 0);
    return 0;
}

int ReadTrashInfo(const std::string& infoPath, std::string& originalPath) {
    if (infoPath.empty() || infoPath[0] != '/' || HasNul(infoPath)) return EINVAL;
    UniqueFd fd(sys().open(infoPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY, 0));
    if (!fd.valid()) return errno;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = sys().read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<size_t>(n));
        if (text.size() > kLargestInfo) return EFBIG;
    }

    bool inGroup = false;
    bool found = false;
    std::string value;
    size_t at = 0;
    while (at < text.size() && !found) {
        const size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inGroup = Trimmed(line) == "[Trash Info]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inGroup || equals == std::string::npos || Trimmed(line.substr(0, equals)) != "Path")
            continue;
        value = TrimmedLeft(line.substr(equals + 1));
        found = true;
    }
    if (!found || value.empty()) return EINVAL;
    const std::string path = LooksEncoded(value) ? Decoded(value) : value;
    if (path.empty() || HasNul(path)) return EINVAL;
    if (path[0] == '/') {
        originalPath = path;
        return 0;
    }
    // Relative to the folder the Trash lies in: a volume's top folder, which
    // for .Trash/$uid is one further up.
    const std::string trashFolder = Parent(Parent(Normalized(infoPath)));
    std::string base = Parent(trashFolder);
    if (LastName(base) == ".Trash") base = Parent(base);
    const std::string joined = Normalized(Join(base, path));
    if (HasDotDot(joined)) return EINVAL;
    originalPath = joined;
    return 0;
}

}  // namespace zanfeld
