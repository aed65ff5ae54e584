#pragma once

#include <string>

#include "RunPlan.h"

namespace zanfeld {

// The words a plan is told with (UTF-8), the same in the preview window, its
// CSV file and the command line's dry run.
class PlanWords {
  public:
    static constexpr int kColumnCount = 4;
    // "源文件", "目标文件夹", "目标文件", "操作"; "" for another column.
    static const char* column(int column);
    // The action's words: "复制", "编号为", "只替换旧文件 → 保留", ...
    static const char* action(PlanAction action);
    // The action's name in a count: "编号", "未选中", ...
    static const char* count(PlanAction action);
    // The action as a machine reads it: "copy", "renamed", "not_selected", ...
    static const char* key(PlanAction action);
    // Whether the action's cell names the row's detail (the numbered name,
    // or the reason the file cannot be sorted).
    static bool hasDetail(PlanAction action);
    // The 操作 cell: the action's words, then the row's detail where the
    // action has one. The detail's bytes stand as the engine gave them.
    static std::string cell(const PlanRow& row);
};

}  // namespace zanfeld
