#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// What a run would do with one file for one target folder, as a preview
// shows it. The order is the order of the preview's counts.
enum class PlanAction {
    Copy,           // 复制: under its own name, nothing there
    Move,           // 移动: the same, moved
    Ask,            // 询问: a file of the name is there; the run would ask
    Overwrite,      // 覆盖: a file of the name is there and would be replaced
    Renamed,        // 编号为 <name>: under a numbered name
    SkipSameName,   // 跳过（同名）: a file of the name is there and stays
    NewerReplace,   // 只替换旧文件 → 替换: the file there is older
    NewerKeep,      // 只替换旧文件 → 保留: the file there is newer
    SkipIdentical,  // 跳过（相同）: the file there holds the same bytes and stays
    NotSelected,    // 跳过: the rule does not select the file
    Refused,        // 不能分拣 <reason>: the run would count it as failed
    Count
};

// One row of a run's plan.
struct PlanRow {
    std::string source;  // native path bytes
    std::string folder;  // the target folder, empty when none
    std::string target;  // the final target path, empty when none
    PlanAction action = PlanAction::Copy;
    std::string detail;  // the numbered name, or the reason a file cannot be sorted
};

// A run's plan: every listed file (and, for the folder window, every file of
// the listed trees), in the order the run would meet them.
struct RunPlan {
    std::vector<PlanRow> rows;
    bool folders = false;  // the folder window's plan
};

}  // namespace zanfeld
