#pragma once

#include <cstdint>
#include <string>

#include "SourceFile.h"
#include "TargetFolder.h"

namespace zanfeld {

// `count` characters of text from position `start` (1-based), a character
// being one UTF-16 code unit of the UTF-8 text, so a Chinese character counts
// as one. A start below 1 starts at the first character; a negative count or a
// start past the end gives "". A range never cuts a character in half; bytes
// that are not valid UTF-8 count one each and are kept as they are.
std::string CopyChars(const std::string& text, int32_t start, int32_t count);

// The outcome of CopyIfNewer / MoveIfNewer: made, or kept (error 0), or failed.
struct TransferResult {
    bool made = false;
    int error = 0;
    bool replaced = false;  // made in place of an older file
};

// Copies source onto target unless an existing target is newer than the
// source (same age or older is replaced; a missing target is created). A
// target that is the source itself is left alone.
TransferResult CopyIfNewer(const std::string& source, const std::string& target);
TransferResult CopyIfNewer(const SourceFile& source, const TargetFolder& folder,
                           const std::string& name);

// Moves source onto target when no target exists or the source is strictly
// newer; otherwise nothing happens.
TransferResult MoveIfNewer(const std::string& source, const std::string& target);
TransferResult MoveIfNewer(const SourceFile& source, const TargetFolder& folder,
                           const std::string& name);

}  // namespace zanfeld
