#pragma once

#include <string>

#include "JournalRecords.h"

namespace zanfeld {
class RunJournal;
}

namespace zanfeld {

// How a recorded run is told in a list of runs (UTF-8), the same in the
// history window and on the command line.
class RunSummary {
  public:
    // "2026-12-08 09:15:02", local time.
    static std::string started(const JournalRun& run);
    // "文件" or "文件夹".
    static std::string window(const JournalRun& run);
    // The criterion page ("按文件类型分拣", "按目录名分拣"), or "撤销" for an undo run.
    static std::string page(const JournalRun& run);
    // "复制" or "移动", or "撤销" for an undo run.
    static std::string mode(const JournalRun& run);
    // "已放置 3，跳过 0，改名 1，覆盖 0，失败 0"; for an undo run what it put
    // back, read from its steps: "移回 2，移除 0，恢复 1，未撤销 0".
    static std::string counts(RunJournal& journal, const JournalRun& run);
    // "完成", "已停止", "中断" or "未正常结束", with "，已撤销" once undone.
    static std::string state(const JournalRun& run);
    // Whether the run may be chosen for an undo.
    static bool undoable(const JournalRun& run);
};

}  // namespace zanfeld
