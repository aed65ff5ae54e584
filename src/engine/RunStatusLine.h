#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "RunNotes.h"

namespace zanfeld {

// The words that tell where a run is, in UTF-8, shared by the window's status
// line and the command line's progress line.
class RunStatusLine {
  public:
    // Files larger than this show their bytes while they are copied.
    static constexpr uint64_t kBytesShownFrom = 4u << 20;

    // During a run: the file, its bytes for a large one, the entry of the
    // list, and the time left once it can be told, e.g. "正在复制 电影.mkv
    // （1.2 GB / 3.0 GB）· 第 120 / 300 个文件 · 剩余约 00:42". name is the
    // file's name as it is to be shown; elapsedMs the run's time so far.
    static std::string during(const RunProgress& progress, const std::string& name, bool folders,
                              int64_t elapsedMs);
    // After a run: its counts on one line; stopped when the user stopped it.
    static std::string after(const RunCounts& counts, bool stopped);
    // During an undo: the file it puts back, the step and the time left,
    // e.g. "正在撤销 a.txt · 第 3 / 5 个文件 · 剩余约 00:42". Its steps are
    // files, whichever window made the run.
    static std::string undoing(const RunProgress& progress, const std::string& name,
                               int64_t elapsedMs);
    // After an undo: its counts, with whether it was stopped or left files
    // as they were.
    static std::string afterUndo(const UndoCounts& counts, bool stopped);

    // "512 B", "3.4 KB", "1.2 GB": 1024-based, one decimal from KB on.
    static std::string bytes(uint64_t n);
    // The time left from the share of the run done, or empty while too
    // little is done to tell: "00:42", "1:02:03".
    static std::string timeLeft(double done, int64_t elapsedMs);

  private:
    // head followed by its bytes, the entry of the list and the time left.
    static std::string where(std::string head, const RunProgress& progress, bool folders,
                             int64_t elapsedMs);
};

}  // namespace zanfeld
