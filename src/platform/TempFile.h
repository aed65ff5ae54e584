#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "UniqueFd.h"

namespace zanfeld {

class TargetFolder;

// Whether a hidden temporary starts with the bits mode, rather than private
// until they are set: not when the owner may not write, as some file systems
// (SMB's read-only attribute) refuse to write into such a file once made.
inline bool StartsWithOwnBits(mode_t mode) { return (mode & S_IWUSR) != 0; }

// A file being written in a target folder, not yet under its final name:
// unnamed (O_TMPFILE) where the file system allows, else under a hidden
// name. What is left of it when it goes without being published is removed.
class TempFile {
  public:
    explicit TempFile(const TargetFolder& folder) : m_folder(folder) {}
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // mode: the permission bits the file will have (never set-id bits). It
    // starts with them, which let no one do more with it while it is
    // written than with the file once published; but a hidden name starts
    // private (0600) where the owner may not write (see StartsWithOwnBits).
    // Whether the folder's file system has unnamed files is asked once.
    int create(mode_t mode);

    int fd() const { return m_fd.get(); }
    bool hidden() const { return !m_hiddenName.empty(); }
    const std::string& hiddenName() const { return m_hiddenName; }

    // Puts the file under name when the name is free; EEXIST, whatever is
    // there, when it is taken.
    int publishKeep(const std::string& name);
    // Puts the file under name, a name found taken, replacing what is there
    // (a symlink included) in one step, without ever truncating or writing
    // through it; a folder under the name is never replaced (EISDIR). The
    // replaced file goes to the keeper in force, if any (see ReplacedFiles.h).
    int publishReplace(const std::string& name, bool* replaced = nullptr);
    // Gives an unnamed file a hidden name (a named one has one already), so
    // that it can be renamed into place later.
    int nameHidden();
    // Renames the hidden name to the form of a file swapped out from under
    // a name (HiddenAsideLeaf), which a later run keeps rather than removes:
    // done before this file is swapped in where the file it replaces could
    // not be given its name in the Trash first.
    int nameAside();
    // The hidden name was renamed elsewhere: nothing left to remove.
    void forgetHiddenName() { m_hiddenName.clear(); }
    // A network file system may report a failed write only when the file
    // is closed (NFS, quotas): a named file is closed, and the close heard,
    // before any name of it is published. An unnamed file stays open until
    // it is linked; the network file systems have no unnamed files.
    int closeBeforeNaming() { return m_fd.closeNow(); }

  private:
    int dir() const;
    int linkSelf(const std::string& name);
    int linkByProc(const std::string& name);
    void discard();

    const TargetFolder& m_folder;
    std::string m_hiddenName;  // set while the file has a hidden name
    UniqueFd m_fd;
};

}  // namespace zanfeld
