#include "ReplacedFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

#include "FileId.h"
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

int RenameReplacing(int fromDir, const std::string& from, int toDir, const std::string& name,
                    const std::string& originalPath, bool* replaced) {
    ReplacedFileKeeper* keeper = t_keeper;
    if (!keeper) {
        // Callers come here for a name they found taken.
        if (sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), 0) != 0) return errno;
        if (replaced) *replaced = true;
        return 0;
    }
    for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
        if (sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), RENAME_EXCHANGE) == 0) {
            // The older file now lies under from.
            struct stat old;
            if (sys().statAt(fromDir, from.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0) return errno;
            if (S_ISDIR(old.st_mode)) {
                // A folder is never replaced by a file: swap back.
                sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), RENAME_EXCHANGE);
                return EISDIR;
            }
            if (replaced) *replaced = true;
            if (keeper->keep(fromDir, from, originalPath)) return 0;
            // Not kept: it goes, as without a keeper, and only if it is still
            // the file swapped aside.
            struct stat still;
            if (sys().statAt(fromDir, from.c_str(), &still, AT_SYMLINK_NOFOLLOW) == 0 &&
                FileId::Of(still) == FileId::Of(old))
                sys().unlinkAt(fromDir, from.c_str(), 0);
            return 0;
        }
        const int e = errno;
        if (e == ENOENT) {
            // Nothing under the name (or from is gone, which the rename tells).
            if (sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), RENAME_NOREPLACE) == 0)
                return 0;
            if (errno == EEXIST) continue;  // taken meanwhile: swap it aside after all
            if (errno != EINVAL) return errno;
            if (sys().linkAt(fromDir, from.c_str(), toDir, name.c_str(), 0) != 0) {
                if (errno == EEXIST) continue;
                return errno;
            }
            sys().unlinkAt(fromDir, from.c_str(), 0);
            return 0;
        }
        if (e != EINVAL) return e;
        // No exchanging rename on this file system: the older file cannot be
        // kept, and goes as it always did.
        struct stat there;
        const bool taken = sys().statAt(toDir, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0;
        if (sys().renameAt(fromDir, from.c_str(), toDir, name.c_str(), 0) != 0) return errno;
        if (taken) {
            if (replaced) *replaced = true;
            keeper->lost(originalPath);
        }
        return 0;
    }
    return EEXIST;
}

}  // namespace zanfeld
