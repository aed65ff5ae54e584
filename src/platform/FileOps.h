#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// The file operations of the program, built on the Sys seam. Operations that
// can fail return 0 or an errno value.
//
// CopyFileSafe writes into an unnamed (or hidden) temporary file in the target
// folder and only then publishes it under the target name, so a target name
// never holds a half-written file and an existing target is never truncated in
// place. A symlink at the target name is replaced as a name, never written
// through. The copy keeps the source's last-write time and permission bits.
int CopyFileSafe(const std::string& from, const std::string& to, Publish publish);

// Copies remember per folder which permission bits a new file there keeps, so
// that most copies need no look at their bits; a run starts by forgetting
// this, so that a changed umask or default ACL is seen again.
void ForgetLearnedFolderBits();

// CopyFileSafe with Publish::Keep under the first free name: when the name in
// to is taken, nextName gets it and either puts the next name to try (in the
// same folder) into it and returns true, or returns false to give up, with
// EEXIST. The data is copied once however many names are tried; on success to
// holds the name used.
int CopyFileSafeFirstFree(const std::string& from, std::string& to,
                          const std::function<bool(std::string& to)>& nextName);

// A rename within one file system; across file systems a safe copy, flushed
// and published, after which the source is removed. A file is never in
// neither place.
int MoveFileSafe(const std::string& from, const std::string& to, Publish publish);

// A file (not a folder) is at the path; a symlink counts by what it points to.
bool FileExists(const std::string& path);
// A regular file is at the path; a symlink counts by what it points to.
// Devices, pipes and sockets are not.
bool RegularFileExists(const std::string& path);
// A folder is at the path.
bool DirExists(const std::string& path);
// Creates the folder with every missing parent; 0 when it exists afterwards.
int MakeDirs(const std::string& path);

// Last-write time read through a file opened for reading (fails for folders).
std::optional<FileTime> LastWriteTimeByOpen(const std::string& path);
// Last-write time read from the directory entry without opening the file
// (nothing for a folder or a missing entry).
std::optional<FileTime> LastWriteTimeByLookup(const std::string& path);
// Size in bytes read through a file opened for reading (nothing for folders).
std::optional<int64_t> FileSizeByOpen(const std::string& path);

// Reasons that are no errno values, returned where an errno would be.
// A device, a pipe or a socket stands where a regular file was expected; it
// is never opened, since opening some devices has effects of its own.
inline constexpr int kNotRegularFile = 0x10001;
// A file changed while it was being copied, so the copy is not published; or
// another file was put under a name between a look at it and its use.
inline constexpr int kSourceChanged = 0x10002;

// The system's text for an errno value, or the text of one of the reasons
// above.
std::string ErrorText(int error);

struct DirEntry {
    std::string name;        // never "." or ".."
    bool isDirectory = false;  // a real folder, not a link to one
    bool isSymlink = false;
    bool isHidden = false;     // the name starts with "."
};

// Calls visit for every entry of the folder in the order the file system
// lists them. Returns 0, or the errno of opening or reading the folder.
int ForEachDirEntry(const std::string& folder, const std::function<void(const DirEntry&)>& visit);

}  // namespace zanfeld
