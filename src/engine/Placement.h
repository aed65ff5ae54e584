#pragma once

#include <string>

#include "FileOps.h"
#include "SortHost.h"
#include "SortTypes.h"
#include "SourceFile.h"
#include "TargetFolder.h"

namespace zanfeld {

// The outcome of placing one file into one folder.
struct PlaceResult {
    enum class Status {
        Placed,    // copied or moved
        Declined,  // the policy chose to leave things as they are (Skip, Ask answered No, a newer
                   // target kept, the same bytes there already)
        Failed     // the transfer failed; `error` holds the errno
    };
    Status status = Status::Placed;
    int error = 0;
    std::string name;       // the file name used in the target folder (Rename, Identical may
                            // number it)
    bool replaced = false;  // placed in place of another file under the name
};

// Creates the folder and every missing parent. Failures are not reported here;
// the placements into the folder fail and are counted instead. Returns whether
// a folder is there afterwards.
bool EnsureFolder(const std::string& folder);

// Places source into the folder held open by mode and policy. renameStart is
// the name Rename starts its search from; empty means the source's own file
// name. When the file at the target name is the source itself (through a
// link, a hard link or another mount), nothing is done and the file counts
// as placed: it is where it belongs. placed, when given, is told what the
// placement left under its name where it knows that without a look.
// prepared, when given, is the copy's data written ahead (see CopyFileInto);
// the placement decides everything as without it.
PlaceResult PlaceFile(const SourceFile& source, const TargetFolder& folder, TransferMode mode,
                      SameFilePolicy policy, SortHost& host, const std::string& renameStart = {},
                      PlacedEntry* placed = nullptr, PreparedCopy* prepared = nullptr);
// The same with the folder given by path (no trailing separator), opened for
// this one placement.
PlaceResult PlaceFile(const std::string& source, const std::string& targetFolder, TransferMode mode,
                      SameFilePolicy policy, SortHost& host, const std::string& renameStart = {});

// A placement that failed before it began, for example on a folder that
// could not be made.
PlaceResult FailedPlacement(int error, std::string name);

// The first free numbered name in folder: start itself when free, else
// <stem>_1<ext>, <stem>_2<ext>, ... built from stemSource's base name and extension.
std::string FreeNumberedName(const TargetFolder& folder, const std::string& start,
                             const std::string& stemSource);

}  // namespace zanfeld
