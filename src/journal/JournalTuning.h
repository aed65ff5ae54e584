#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zanfeld {

// The journal's sizes and timings, in one place for whoever measures it.

// Rows are a few hundred bytes: small pages make each commit's WAL frame
// (checksummed and written whole) cheaper. Takes effect on new journals.
inline constexpr int kPageSize = 1024;
// How long a call waits for another process that has the journal (another
// window's run, zanfeld-cli beside the window): their writes are short, but
// a checkpoint or a long replay may hold it for seconds.
inline constexpr int kBusyTimeoutMs = 30000;
// WAL pages between checkpoints at rest, and while a run goes on. Every
// checkpoint syncs the WAL and the database: during a run they are put off,
// so that the writer of a run of a few ten thousand files meets none.
inline constexpr int kCheckpointPages = 1000;
inline constexpr int kRunCheckpointPages = 65536;
// The WAL is cut back to this after a checkpoint.
inline constexpr int64_t kWalSizeLimit = 4 << 20;
// Pages the connection keeps in memory, in KiB: a run of some ten thousand
// placements stays there from its writing to an undo's reading of it.
inline constexpr int kCacheKiB = 16 << 10;

// The writer commits the rows that wait once there are this many, or after
// this long: the fixed cost of a commit (locks, WAL frames) is shared.
inline constexpr size_t kBatchRows = 256;
inline constexpr auto kBatchInterval = std::chrono::milliseconds(100);
// Rows that may wait at most. Past this the writer is held up (another
// process has the database): a run waits for it rather than fill memory.
inline constexpr size_t kQueueLimit = 1 << 15;
// Placement ids reserved for a run at a time, and how few may be left before
// the writer reserves the next block (the run asks for it well before it
// would have to wait).
inline constexpr int64_t kIdBlock = 1 << 16;
inline constexpr int64_t kIdsLow = 1 << 14;
// Rows replayed from a log per transaction.
inline constexpr int kReplayRecordsPerCommit = 4096;

}  // namespace zanfeld
