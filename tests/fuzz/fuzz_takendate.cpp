// libFuzzer target; the body is shared with the regression test (FuzzEntries.h).
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zanfeld::fuzz::FuzzTakenDate(data, size);
    return 0;
}
