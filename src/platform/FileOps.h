#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "FileId.h"
#include "SourceFile.h"

namespace zanfeld {

// A last-write time at full resolution.
struct FileTime {
    int64_t sec = 0;
    int64_t nsec = 0;
    auto operator<=>(const FileTime&) const = default;
};

// What publishing a new file does when its name is taken.
enum class Publish {
    Keep,    // fail with EEXIST and leave the existing file
    Replace  // replace the existing name atomically
};

class TargetFolder;
struct PlacedEntry;
struct PreparedCopy;

// The file operations of the program, built on the Sys seam. Operations that
// can fail return 0 or an errno value (or one of the reasons below).
//
// A copy is written into an unnamed (or hidden) temporary file in the target
// folder and only then published under the target name, so a target name
// never holds a half-written file and an existing target is never truncated
// in place. A symlink at the target name is replaced as a name, never written
// through. The copy keeps the source's last-write time and permission bits.
// Devices, pipes and sockets are never opened (kNotRegularFile). When the
// file at the target name is the source itself (the same device and inode,
// reached through a link, a hard link or another mount), nothing is done and
// the result is 0: the file is where it belongs.
//
// name is one plain name inside folder (see IsPlainName). With nextName and
// Publish::Keep, a taken name is handed to nextName, which either puts the
// next name to try into it and returns true, or returns false to give up
// with EEXIST; the data is copied once however many names are tried, and on
// success name holds the name used. replaced, when given, is set when an
// existing file under the name was replaced. placed, when given, is told what
// the copy left under the name where that is known without a look (see
// PlacedEntry).
//
// The data goes in chunks; the CopyObserver in force on the thread is told
// of each and may stop the copy (ECANCELED, nothing left behind).
//
// prepared, when given, is a copy of from written ahead (PrepareCopy): it is
// published instead of a new one when it was made in this very folder and a
// look at from finds the file it copied, unchanged; else a new copy is made.
// Either way what is left of it goes with it.
int CopyFileInto(const SourceFile& from, const TargetFolder& folder, std::string& name,
                 Publish publish, const std::function<bool(std::string& name)>* nextName = nullptr,
                 bool* replaced = nullptr, PlacedEntry* placed = nullptr,
                 PreparedCopy* prepared = nullptr);

// Writes a copy of from into a temporary of out.folder (opened by the
// caller), with the source's bits and times, for CopyFileInto to publish
// later. Nothing takes a visible name. A source larger than mostBytes is left
// to the copy in order (EFBIG), so that its progress and a stop inside it
// go as ever. Safe to call from several threads at once, each with its own
// out.
int PrepareCopy(const SourceFile& from, uint64_t mostBytes, PreparedCopy& out);

// A rename within one file system; across file systems a safe copy, flushed
// and published, after which the source is removed, and only when a last look
// finds it unchanged (kSourceChanged otherwise, with the source kept and no
// copy left behind). A file is never in neither place. A symlink is moved as
// a link, but never over the file it would point to from its new place.
// placed as for CopyFileInto.
int MoveFileInto(const SourceFile& from, const TargetFolder& folder, const std::string& name,
                 Publish publish, bool* replaced = nullptr, PlacedEntry* placed = nullptr);

// The same by full target path; the target's folder is opened for the call.
int CopyFileSafe(const std::string& from, const std::string& to, Publish publish);
int MoveFileSafe(const std::string& from, const std::string& to, Publish publish);

// Whether each call on the file system that holds path goes to another
// machine or process (a network share, FUSE): there several calls under way
// at once save most of the waiting, where on a local disk they gain nothing.
bool CallsAreRoundTrips(const std::string& path);

// A file (not a folder) is at the path; a symlink counts by what it points to.
bool FileExists(const std::string& path);
// A regular file is at the path; a symlink counts by what it points to.
// Devices, pipes and sockets are not.
bool RegularFileExists(const std::string& path);
// A folder is at the path.
bool DirExists(const std::string& path);
// Creates the folder with every missing parent; 0 when it exists afterwards.
int MakeDirs(const std::string& path);

// While one is in force on a thread, no folder is made there: the calls that
// would make one (MakeDirs, MakeDirIn) report success and do nothing. A
// preview runs a sort's own code so.
class ScopedNoFolderMaking {
  public:
    ScopedNoFolderMaking();
    ~ScopedNoFolderMaking();
    ScopedNoFolderMaking(const ScopedNoFolderMaking&) = delete;
    ScopedNoFolderMaking& operator=(const ScopedNoFolderMaking&) = delete;

  private:
    bool m_previous;
};

// A file (not a folder) named name is in folder; a symlink counts by what it
// points to, and a dangling one as an entry that takes the name.
bool FileExistsIn(const TargetFolder& folder, const std::string& name);
// Creates the sub-folder name in folder; 0 when a folder is there afterwards
// (a symlink to one included: the caller opens it without following).
int MakeDirIn(const TargetFolder& folder, const std::string& name);

// Which file a path leads to, symlinks followed.
std::optional<FileId> FileIdOf(const std::string& path);
// Whether name in folder, symlinks followed, is the file id.
bool IsFileIn(const TargetFolder& folder, const std::string& name, const FileId& id);

// What a run compares of a regular file (symlinks followed).
struct FileFacts {
    FileId id;
    FileTime lastWrite;
    int64_t size = 0;
};
// 0, or ENOENT and the like, EISDIR for a folder, kNotRegularFile for a
// device, pipe or socket. Nothing is opened.
int LookAtFile(const SourceFile& file, FileFacts& facts);
int LookAtFileIn(const TargetFolder& folder, const std::string& name, FileFacts& facts);
// The same for the entry under name itself: a symlink is not followed and
// gives its own facts (its size is the length of its text).
int LookAtEntryIn(const TargetFolder& folder, const std::string& name, FileFacts& facts);

// What a placement left under the name, as LookAtEntryIn would find it right
// after: known where the placement holds it exactly (an fstat of the copy it
// wrote, the look at an entry it renamed within its file system), so that
// the caller spares the look; not known otherwise.
struct PlacedEntry {
    bool known = false;
    FileFacts facts;
};

// Last-write time and size of a regular file (nothing for a folder, a device,
// a pipe, a socket or a missing entry); the file is not opened.
std::optional<FileTime> RegularFileTime(const std::string& path);
std::optional<int64_t> RegularFileSize(const std::string& path);
// When the file was made (its birth time) where the file system records it,
// else its last-write time; the file is not opened (nothing for a folder or
// a missing entry).
std::optional<FileTime> CreationTimeOf(const std::string& path);

// Reasons that are no errno values, returned where an errno would be.
// A device, a pipe or a socket stands where a regular file was expected; it
// is never opened, since opening some devices has effects of its own.
inline constexpr int kNotRegularFile = 0x10001;
// A file changed while it was being copied, so the copy is not published; or
// another file was put under a name between a look at it and its use.
inline constexpr int kSourceChanged = 0x10002;
// A symlink would be moved over the very file it points to from there.
inline constexpr int kLinkOntoItsTarget = 0x10003;

// The system's text for an errno value, or the text of one of the reasons
// above.
std::string ErrorText(int error);
// The reason a file could not be sorted, as the window tells it: in Chinese
// for the errors a user meets, the system's text for the rest.
std::string ReasonText(int error);

struct DirEntry {
    std::string name;          // never "." or ".."
    bool isDirectory = false;  // a real folder, not a link to one
    bool isSymlink = false;
    bool isRegular = false;  // a regular file, not a device, pipe or socket
    bool isHidden = false;   // the name starts with "."
};

// Calls visit for every entry of the folder in the order the file system
// lists them. Returns 0, or the errno of opening or reading the folder.
int ForEachDirEntry(const std::string& folder, const std::function<void(const DirEntry&)>& visit);
// The same for a folder held open.
int ForEachDirEntryAt(int dirFd, const std::function<void(const DirEntry&)>& visit);
// The same where the listing is all a look by name could find: on a local
// file system that matches names byte for byte. Elsewhere (FAT, NTFS, SMB, a
// case-folded folder, FUSE and network file systems, which may fold case) a
// look finds other spellings too: EOPNOTSUPP, nothing listed. ENOENT or
// ENOTDIR where no folder is, so that no name is there either.
int ForEachExactDirEntry(const std::string& folder,
                         const std::function<void(const DirEntry&)>& visit);

}  // namespace zanfeld
