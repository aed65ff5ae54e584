#pragma once

#include <string>

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
