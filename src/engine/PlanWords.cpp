#include "PlanWords.h"

#include <iterator>

namespace zanfeld {

namespace {

constexpr const char* kColumns[PlanWords::kColumnCount] = {"源文件", "目标文件夹", "目标文件",
                                                           "操作"};

// Indexed by PlanAction.
constexpr const char* kActionWords[] = {"复制",
                                        "移动",
                                        "询问",
                                        "覆盖",
                                        "编号为",
                                        "跳过（同名）",
                                        "只替换旧文件 → 替换",
                                        "只替换旧文件 → 保留",
                                        "跳过",
                                        "不能分拣"};
static_assert(std::size(kActionWords) == static_cast<size_t>(PlanAction::Count));

constexpr const char* kCountNames[] = {"复制",
                                       "移动",
                                       "询问",
                                       "覆盖",
                                       "编号",
                                       "跳过（同名）",
                                       "只替换旧文件 → 替换",
                                       "只替换旧文件 → 保留",
                                       "未选中",
                                       "不能分拣"};
static_assert(std::size(kCountNames) == static_cast<size_t>(PlanAction::Count));

constexpr const char* kKeys[] = {"copy",         "move",           "ask",           "overwrite",
                                 "renamed",      "skip_same_name", "replace_older", "keep_newer",
                                 "not_selected", "refused"};
static_assert(std::size(kKeys) == static_cast<size_t>(PlanAction::Count));

// A value from outside the enumeration (a newer engine, a corrupt plan) gets
// no words rather than a read past the tables.
template <size_t N>
const char* Lookup(const char* const (&table)[N], PlanAction action) {
    const auto index = static_cast<size_t>(action);
    return index < N ? table[index] : "";
}

}  // namespace

const char* PlanWords::column(int column) {
    return column >= 0 && column < kColumnCount ? kColumns[column] : "";
}

const char* PlanWords::action(PlanAction action) { return Lookup(kActionWords, action); }

const char* PlanWords::count(PlanAction action) { return Lookup(kCountNames, action); }

const char* PlanWords::key(PlanAction action) { return Lookup(kKeys, action); }

bool PlanWords::hasDetail(PlanAction action) {
    return action == PlanAction::Renamed || action == PlanAction::Refused;
}

std::string PlanWords::cell(const PlanRow& row) {
    std::string text = action(row.action);
    if (hasDetail(row.action) && !row.detail.empty()) {
        text += ' ';
        text += row.detail;
    }
    return text;
}

}  // namespace zanfeld
