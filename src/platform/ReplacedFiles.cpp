#include "ReplacedFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

#include "FileId.h"
#include "HiddenTemp.h"
#include "Sys.h"

namespace zanfeld {

namespace {

thread_local ReplacedFileKeeper* t_keeper = nullptr;

// A name that another program takes between two steps is met again at most
// this many times before the rename gives up.
constexpr int kRaceRetries = 8;

}  // namespace

ScopedReplacedFileKeeper::ScopedReplacedFileKeeper(ReplacedFileKeeper& keeper)
    : m_previous(t_keeper) {
    t_keeper = &keeper;
}

ScopedReplacedFileKeeper::~ScopedReplacedFileKeeper() { t_keeper = m_previous; }

ReplacedFileKeeper* CurrentReplacedFileKeeper() { return t_keeper; }

namespace {

// The entry under name in dir, not followed.
bool LookAt(int dir, const std::string& name, struct stat& st) {
    return sys().statAt(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Removes name from dir if it is still the file id.
void UnlinkIfStill(int dir, const std::string& name, const FileId& id) {
    struct stat st;
    if (LookAt(dir, name, st) && FileId::Of(st) == id) sys().unlinkAt(dir, name.c_str(), 0);
}

}  // namespace

int RenameReplacing(int fromDir, const std::string& from, int toDir, const std::string& name,
                    const std::string& originalPath, bool* replaced) {
    ReplacedFileKeeper* keeper = t_keeper;
    if (!keeper) {
        // Callers come here for a name they found taken.
        if (sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), 0) != 0) return errno;
        if (replaced) *replaced = true;
        return 0;
    }
    std::string moving = from;
    for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
        // The file under the name gets its name in the Trash first, so that
        // it is kept whenever the swap below happens, even in a process
        // killed right after it.
        struct stat there;
        FileId ahead;
        bool keptAhead = false;
        if (LookAt(toDir, name, there)) {
            if (S_ISDIR(there.st_mode)) return EISDIR;
            keptAhead = keeper->keepAhead(toDir, name, originalPath, ahead);
        }
        if (!keptAhead && IsOwnHiddenTemp(moving)) {
            // The swap would leave the older file under the name of a new
            // file's temporary, which a later run removes as a leftover.
            const std::string aside = HiddenAsideLeaf();
            if (sys().renameAt(fromDir, moving.c_str(), fromDir, aside.c_str(),
                               RENAME_NOREPLACE) == 0)
                moving = aside;
        }
        // A failure leaves the file to place under the name it came with.
        auto failed = [&](int error) {
            if (keptAhead) keeper->unkeep();
            if (moving != from)
                sys().renameAt(fromDir, moving.c_str(), fromDir, from.c_str(), RENAME_NOREPLACE);
            return error;
        };
        if (sys().renameAt(fromDir, moving.c_str(), toDir, name.c_str(), RENAME_EXCHANGE) == 0) {
            // The older file now lies under moving.
            struct stat old;
            if (!LookAt(fromDir, moving, old)) {
                const int e = errno;
                if (!keptAhead) return e;
                // Taken for the file kept ahead, which was under the name a
                // moment ago and which the Trash holds.
                if (replaced) *replaced = true;
                sys().unlinkAt(fromDir, moving.c_str(), 0);
                return 0;
            }
            if (S_ISDIR(old.st_mode)) {
                // A folder is never replaced by a file: swap back.
                sys().renameAt(fromDir, moving.c_str(), toDir, name.c_str(), RENAME_EXCHANGE);
                return failed(EISDIR);
            }
            if (replaced) *replaced = true;
            if (keptAhead && FileId::Of(old) == ahead) {
                // Its name in the Trash holds it: this one goes.
                UnlinkIfStill(fromDir, moving, ahead);
                return 0;
            }
            // Another program put a file under the name meanwhile (what was
            // kept ahead stays in the Trash), or nothing was kept ahead.
            if (keeper->keep(fromDir, moving, originalPath)) return 0;
            // Not kept: it goes, as without a keeper, and only if it is still
            // the file swapped aside.
            UnlinkIfStill(fromDir, moving, FileId::Of(old));
            return 0;
        }
        const int e = errno;
        if (e == ENOENT) {
            // Nothing under the name (or the file to place is gone, which the
            // rename tells).
            if (keptAhead) keeper->unkeep();
            keptAhead = false;
            if (sys().renameAt(fromDir, moving.c_str(), toDir, name.c_str(), RENAME_NOREPLACE) ==
                0)
                return 0;
            if (errno == EEXIST) continue;  // taken meanwhile: swap it aside after all
            if (errno != EINVAL) return failed(errno);
            if (sys().linkAt(fromDir, moving.c_str(), toDir, name.c_str(), 0) != 0) {
                if (errno == EEXIST) continue;
                return failed(errno);
            }
            sys().unlinkAt(fromDir, moving.c_str(), 0);
            return 0;
        }
        if (e != EINVAL) return failed(e);
        // No exchanging rename on this file system: a plain one. The older
        // file is kept only if it had its name in the Trash before.
        const bool taken = LookAt(toDir, name, there);
        if (sys().renameAt(fromDir, moving.c_str(), toDir, name.c_str(), 0) != 0)
            return failed(errno);
        if (taken) {
            if (replaced) *replaced = true;
            if (!keptAhead || FileId::Of(there) != ahead) keeper->lost(originalPath);
        } else if (keptAhead) {
            keeper->unkeep();
        }
        return 0;
    }
    return EEXIST;
}

}  // namespace zanfeld
