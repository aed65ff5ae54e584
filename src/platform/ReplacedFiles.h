#pragma once

#include <string>

#include "FileId.h"

namespace zanfeld {

// Takes the files that placements replace, so that they are kept (in the
// Trash) rather than destroyed. Without one in force a replaced file goes,
// its name taking the new file in one step.
class ReplacedFileKeeper {
  public:
    virtual ~ReplacedFileKeeper() = default;
    // The file that stood at originalPath now lies under name in the folder
    // dirFd, swapped aside by the file that replaced it. True when the keeper
    // took it away from there; false leaves it to be removed.
    virtual bool keep(int dirFd, const std::string& name, const std::string& originalPath) = 0;
    // Before the file under name in dirFd (originalPath) is replaced: gives
    // it a name in the Trash ahead of the replacing step, so that it is kept
    // whatever becomes of this process in that step. True, with the file's
    // id in kept, when done; false leaves keep() to take it after the step.
    virtual bool keepAhead(int /*dirFd*/, const std::string& /*name*/,
                           const std::string& /*originalPath*/, FileId& /*kept*/) {
        return false;
    }
    // The file kept ahead was not replaced after all (the step failed, or
    // was turned back): its name in the Trash goes if the file is still
    // under its own name.
    virtual void unkeep() {}
    // The file at originalPath was replaced where it could not be swapped
    // aside (a file system without an exchanging rename): it is gone.
    virtual void lost(const std::string& originalPath) = 0;
};

// Makes keeper the one in force on this thread for the object's lifetime; a
// run installs it around its work.
class ScopedReplacedFileKeeper {
  public:
    explicit ScopedReplacedFileKeeper(ReplacedFileKeeper& keeper);
    ~ScopedReplacedFileKeeper();
    ScopedReplacedFileKeeper(const ScopedReplacedFileKeeper&) = delete;
    ScopedReplacedFileKeeper& operator=(const ScopedReplacedFileKeeper&) = delete;

  private:
    ReplacedFileKeeper* m_previous;
};

// The keeper in force on this thread, or null.
ReplacedFileKeeper* CurrentReplacedFileKeeper();

// Renames from (in fromDir) to name (in toDir), a name found taken,
// replacing what is there in one step; a folder under the name is never replaced (EISDIR). With a
// keeper in force, a file under the name is swapped aside and handed to it with originalPath (the
// name's full path). replaced, when given, is set when a file under the name was replaced. 0 or an
// errno.
int RenameReplacing(int fromDir, const std::string& from, int toDir, const std::string& name,
                    const std::string& originalPath, bool* replaced = nullptr);

}  // namespace zanfeld
