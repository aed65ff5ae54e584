#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "FileId.h"
#include "UniqueFd.h"

namespace zanfeld {

// A folder held open while files are placed into it. Everything written into
// it goes relative to the descriptor, so a folder swapped for a symlink (or
// removed) after it was opened can never redirect what is placed: the files
// go into the very folder that was opened, or fail.
class TargetFolder {
  public:
    TargetFolder() = default;
    TargetFolder(TargetFolder&&) noexcept = default;
    TargetFolder& operator=(TargetFolder&&) noexcept = default;

    // Opens the folder at path, symlinks followed: the output directory and
    // the folders a user made there are the user's own choice. Returns 0 or
    // an errno value (ENOTDIR when no folder is there).
    int open(const std::string& path);
    // Opens the sub-folder name of parent without ever following a symlink:
    // ELOOP or ENOTDIR when anything else stands under the name.
    int openChild(const TargetFolder& parent, const std::string& name);
    // Opens the folder that holds path (followed as open() does) and puts
    // the last component of path into name.
    int openFolderOf(const std::string& path, std::string& name);
    // Holds the folder other holds, by a duplicate of its descriptor (no
    // walk to it), knowing what other learned. The two may then be used on
    // two threads.
    int openSameAs(const TargetFolder& other);
    // Takes in what other, holding the same folder, learned since.
    void learnFrom(const TargetFolder& other) const;

    bool isOpen() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }
    // The path it was opened by, without a trailing separator but for "/".
    const std::string& path() const { return m_path; }
    // path() joined with name, for messages and questions.
    std::string pathOf(const std::string& name) const;
    // Device and inode of the open folder (read when it was opened).
    const FileId& id() const { return m_id; }
    // Whether path() still leads to this very folder: false once it was
    // removed, renamed, or replaced by another folder or a link elsewhere.
    bool stillAtItsPath() const;

    // Whether the folder was already read for what killed runs left in it;
    // copies into it look once.
    bool swept() const { return m_swept; }
    void noteSwept() const { m_swept = true; }

    // What copies into the folder learned of the bits a new file gets here:
    // the bits it asks for less a mask fixed by the umask or the folder's
    // default ACL. Once a new file kept every bit a copy asks for, that copy
    // needs no look at its bits. Held for as long as the folder is, so a run
    // (which opens its folders afresh) sees a changed umask again.
    bool bitsForeseen(mode_t requested) const {
        return !m_bitsUnforeseen && (requested & ~m_keptBits) == 0;
    }
    void learnBits(mode_t requested, mode_t made) const {
        if ((made & ~requested) != 0)
            m_bitsUnforeseen = true;
        else
            m_keptBits |= made;
    }

    // What the folder's file system refused once, so that later files go
    // the way that works at once: each refusal is a round trip on a network
    // or FUSE file system. Learned by the copies and moves into the folder;
    // forgotten when it is opened anew.
    bool refusesUnnamed() const { return m_refusesUnnamed; }  // O_TMPFILE
    void noteRefusesUnnamed() const { m_refusesUnnamed = true; }
    bool refusesNoReplace() const { return m_refusesNoReplace; }  // RENAME_NOREPLACE
    // renameat2 of from in fromDir to name in the folder with flag
    // (RENAME_NOREPLACE or RENAME_EXCHANGE): 0 or the errno, EINVAL without
    // a call where the folder refused the flag before.
    int renameInto(int fromDir, const char* from, const std::string& name, unsigned int flag) const;
    // copy_file_range from a file on device into the folder: whether that
    // works depends on both file systems, so the source's device is kept.
    bool refusesCopyRangeFrom(uint64_t device) const {
        return m_copyRangeRefused && m_copyRangeRefusedFrom == device;
    }
    void noteRefusesCopyRangeFrom(uint64_t device) const {
        m_copyRangeRefused = true;
        m_copyRangeRefusedFrom = device;
    }

  private:
    int adopt(int fd, std::string path);

    UniqueFd m_fd;
    std::string m_path;
    FileId m_id;
    mutable bool m_swept = false;
    mutable mode_t m_keptBits = 0;
    mutable bool m_bitsUnforeseen = false;
    mutable bool m_refusesUnnamed = false;
    mutable bool m_refusesNoReplace = false;
    mutable bool m_refusesExchange = false;
    mutable bool m_copyRangeRefused = false;
    mutable uint64_t m_copyRangeRefusedFrom = 0;
};

// A name that a file may be placed under inside a folder: one component,
// never "." or "..", and nothing that would lead elsewhere.
bool IsPlainName(const std::string& name);

}  // namespace zanfeld
