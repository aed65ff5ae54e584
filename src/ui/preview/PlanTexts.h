#pragma once

#include <QString>
#include <string>

#include "PlanWords.h"
#include "RunPlan.h"

namespace zanfeld {

// The texts a plan is shown and exported with, shared by the preview's table
// and its CSV file so that both say the same, in the language chosen at
// start-up.

inline constexpr int kPlanColumnCount = PlanWords::kColumnCount;
// "源文件", "目标文件夹", "目标文件", "操作" (UTF-8).
std::string PlanColumnName(int column);

// The 操作 cell: the action's words, followed by the row's detail (the
// numbered name, or the reason the file cannot be sorted) where the action
// has one. As bytes: the words are UTF-8, the detail is as the engine gave it.
// A plan's rows without a detail share their action's words: see PlanCsv.
std::string PlanActionBytes(const PlanRow& row);
// The same for display.
QString PlanActionText(const PlanRow& row);

// The action's name in the counts line ("复制", "编号", "未选中", ...).
QString PlanCountName(PlanAction action);

}  // namespace zanfeld
