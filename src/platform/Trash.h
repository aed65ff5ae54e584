#pragma once

#include <string>

#include "FileId.h"

namespace zanfeld {

// The freedesktop.org Trash (version 1.0 of its rules): a file that a placement
// replaces is kept there instead of being destroyed, and an undo puts it
// back. Entries only ever move by renaming, so an entry that cannot reach a
// Trash on its own volume stays where it is.

// Where a trashed entry went.
struct TrashPlace {
    std::string file;  // absolute path of the entry in the Trash's "files" folder
    std::string info;  // absolute path of its ".trashinfo"
};

// Moves the entry `name` of the folder held open as dirFd (O_DIRECTORY or
// O_PATH) into the Trash of its volume, recording originalPath (absolute;
// where the user knew the entry, which may differ from name when the entry was
// first moved aside under a hidden name) as where it came from. The entry is
// kept in the Trash under originalPath's last name (numbered on a clash).
// A symlink is trashed as itself, a folder with all it holds.
//
// The home Trash takes entries on its own mount; others go to the Trash at
// the top of the entry's mount: $top/.Trash/$uid when $top/.Trash is a real
// sticky folder, else $top/.Trash-$uid. Returns 0, or an errno: EXDEV when the
// Trash found is on another mount, ELOOP/ENOTDIR/EPERM when a Trash folder is
// a symlink, not a folder or not ours, EINVAL for a bad name or a relative
// originalPath. On any error the entry stays where it was and no .trashinfo
// is left behind.
int MoveToTrashAt(int dirFd, const std::string& name, const std::string& originalPath,
                  TrashPlace& place);

// The same for a file or link that is about to be replaced, but as a second
// (hard) name: the entry stays where it is until the replacing step, and is
// kept in the Trash whenever that step happens, even in a process killed
// right after it. EPERM, EMLINK or EXDEV where the volume cannot link there.
int LinkIntoTrashAt(int dirFd, const std::string& name, const std::string& originalPath,
                    TrashPlace& place, FileId& linked);

// Takes a second name made by LinkIntoTrashAt out of the Trash, with its
// .trashinfo, when the entry at stillAt is the same file (device and inode):
// the replacing step did not happen. Otherwise it stays in the Trash (EEXIST).
int ForgetTrashed(const TrashPlace& place, const std::string& stillAt);

// What a process killed while it gave originalPath's file a name in the
// Trash may have left there: a .trashinfo for it whose entry never came, a
// second name of the file that is still under originalPath, or a .trashinfo
// being written. All go. True when the file under originalPath had such a
// second name: it is the file a killed placement was about to replace, and
// still untouched by it.
bool ClearHalfTrashed(const std::string& originalPath);

// Puts a trashed entry back at `to` (absolute, usually the recorded original
// path) by renaming it, and then removes its .trashinfo. Never replaces
// anything: EEXIST when `to` is taken (even by a dangling symlink), ENOENT when
// the folder of `to` is gone or place.info no longer exists, EXDEV when `to`
// is on another mount, EINVAL when place is not a files/ and info/ pair of one
// Trash. On an error the entry stays in the Trash. Once the entry is back the
// result is 0, even if its .trashinfo could not be removed.
int RestoreFromTrash(const TrashPlace& place, const std::string& to);

// The home Trash folder: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when
// XDG_DATA_HOME is unset, empty or not absolute; "" when no home is known.
std::string HomeTrashFolder();

// The original path that the .trashinfo at infoPath records, decoded and
// made absolute (a path relative to a volume's top folder is resolved against
// it). Tolerates paths written without percent-encoding, as Qt 6.4 does.
// Returns 0, or an errno (EINVAL when there is no Path in [Trash Info]).
int ReadTrashInfo(const std::string& infoPath, std::string& originalPath);

// Percent-encoding as a .trashinfo's Path holds it: every byte except the
// unreserved characters of RFC 2396 and '/' becomes %XX.
std::string EncodeTrashPath(const std::string& path);

}  // namespace zanfeld
