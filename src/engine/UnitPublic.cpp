#include "UnitPublic.h"

#include <cerrno>
#include <optional>

#include "FileOps.h"

namespace zanfeld {

namespace {

// The last-write time, or the errno that kept it from being read (ENOENT for
// a missing file, EISDIR for a folder).
std::optional<FileTime> TimeOf(const std::string& path, int& error) {
    errno = 0;
    auto t = LastWriteTimeByOpen(path);
    error = t ? 0 : (errno != 0 ? errno : EISDIR);
    return t;
}

}  // namespace

// A missing target counts as older than the source. A time that cannot be
// read otherwise decides nothing: the file is left as it is and the error is
// returned, so it is counted rather than silently kept or blindly replaced.
TransferResult CopyIfNewer(const std::string& source, const std::string& target) {
    int error = 0;
    const auto sourceTime = TimeOf(source, error);
    if (!sourceTime) return {false, error};
    const auto targetTime = TimeOf(target, error);
    if (!targetTime && error != ENOENT) return {false, error};
    const Publish publish =
        targetTime && *sourceTime < *targetTime ? Publish::Keep : Publish::Replace;
    error = CopyFileSafe(source, target, publish);
    if (error == EEXIST && publish == Publish::Keep && FileExists(target)) return {false, 0};
    return {error == 0, error};
}

TransferResult MoveIfNewer(const std::string& source, const std::string& target) {
    int error = 0;
    const auto sourceTime = TimeOf(source, error);
    if (!sourceTime) return {false, error};
    const auto targetTime = TimeOf(target, error);
    if (!targetTime && error != ENOENT) return {false, error};
    if (targetTime && !(*sourceTime > *targetTime)) return {false, 0};
    error = MoveFileSafe(source, target, Publish::Replace);
    return {error == 0, error};
}

}  // namespace zanfeld
