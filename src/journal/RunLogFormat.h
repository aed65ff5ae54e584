#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RunLogRecord.h"

namespace zanfeld {

// The bytes of a run log. Each record is framed as
//   crc32 (u32) | body length (u32) | body
// with the checksum taken over the length and the body, so that a record cut
// short or damaged (a power loss, a full disk) is recognised and the log read
// up to it. Numbers are in the machine's own byte order: a log is only read
// back on the machine that wrote it.
class RunLogFormat {
  public:
    static constexpr uint32_t kVersion = 1;
    static constexpr size_t kFrameSize = 8;
    // No record is anywhere near this; a larger length is damage.
    static constexpr uint32_t kMaxBody = 64u << 20;

    // Appends a record to out.
    static void appendHeader(std::string& out, int64_t run, int64_t startedNs);
    // The outcomes and folders that wait, and the next placement's intent
    // (undoes: the placement an undo step puts back, 0 for a sort's).
    static void appendStep(std::string& out, const std::vector<LoggedOutcome>& outcomes,
                           const std::vector<std::string>& folders, int64_t id, int64_t seq,
                           int mode, int64_t undoes, const std::string& source,
                           const std::string& target);
    // The same without an intent: a folder made, written at once.
    static void appendSettled(std::string& out, const std::vector<LoggedOutcome>& outcomes,
                              const std::vector<std::string>& folders);

    enum class Parse { Record, NeedMore, Damaged };
    // Decodes the record at the start of bytes into record; used is its size.
    static Parse parse(std::string_view bytes, RunLogRecord& record, size_t& used);
};

}  // namespace zanfeld
