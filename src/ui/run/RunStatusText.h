#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "RunNotes.h"
#include "RunStatusLine.h"

namespace zanfeld {

// The texts of the status line under a window's progress bar.
class RunStatusText {
    Q_DECLARE_TR_FUNCTIONS(RunStatusText)

  public:
    // Files larger than this show their bytes while they are copied.
    static constexpr uint64_t kBytesShownFrom = RunStatusLine::kBytesShownFrom;

    // With no run: the list's length. folders: the folder window's list.
    static QString idle(size_t entries, bool folders);
    // During a run: the file, its bytes for a large one, the entry of the
    // list, and the time left once it can be told, e.g. "正在复制 电影.mkv
    // （1.2 GB / 3.0 GB）· 第 120 / 300 个文件 · 剩余约 00:42". path is the
    // file's native path; elapsedMs the run's time so far.
    static QString during(const RunProgress& progress, const std::string& path, bool folders,
                          int64_t elapsedMs);
    // After a run: its counts on one line; stopped when the user stopped it.
    static QString after(const RunCounts& counts, bool stopped);
    // During an undo: the file it puts back, the step and the time left,
    // e.g. "正在撤销 a.txt · 第 3 / 5 个文件 · 剩余约 00:42".
    static QString undoing(const RunProgress& progress, const std::string& path, int64_t elapsedMs);
    // After an undo: its own counts, e.g. "撤销完成：移回 2 个，移除 0 个，
    // 恢复 1 个，未撤销 0 个".
    static QString afterUndo(const UndoCounts& counts, bool stopped);

    // "512 B", "3.4 KB", "1.2 GB": 1024-based, one decimal from KB on.
    static QString bytes(uint64_t n);
    // The time left from the share of the run done, or empty while too
    // little is done to tell: "00:42", "1:02:03".
    static QString timeLeft(double done, int64_t elapsedMs);
};

}  // namespace zanfeld
