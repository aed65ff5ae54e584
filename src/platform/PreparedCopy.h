#pragma once

#include <sys/stat.h>

#include <memory>

#include "TargetFolder.h"
#include "TempFile.h"

namespace zanfeld {

// A copy whose data was written ahead (off the run's own thread) into a
// temporary of its target folder, not yet under any visible name. The folder
// is its own opening of the target, so that nothing learned there is shared
// between threads; the temporary goes before the folder it lives in.
struct PreparedCopy {
    PreparedCopy() = default;
    PreparedCopy(const PreparedCopy&) = delete;
    PreparedCopy& operator=(const PreparedCopy&) = delete;

    TargetFolder folder;
    struct stat looked {};  // the source as looked at before it was opened
    std::unique_ptr<TempFile> temp;
};

}  // namespace zanfeld
