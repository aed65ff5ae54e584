#include "PlanTexts.h"

#include <iterator>

#include "NativeText.h"

namespace zanfeld {

namespace {

constexpr const char* kColumns[kPlanColumnCount] = {"源文件", "目标文件夹", "目标文件", "操作"};

// The fixed words of the 操作 cell, indexed by PlanAction.
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

// A value from outside the enumeration (a newer engine, a corrupt plan) gets
// no words rather than a read past the tables.
const char* WordsFor(PlanAction action) {
    const auto index = static_cast<size_t>(action);
    return index < std::size(kActionWords) ? kActionWords[index] : "";
}

bool HasDetail(PlanAction action) {
    return action == PlanAction::Renamed || action == PlanAction::Refused;
}

}  // namespace

const char* PlanColumnName(int column) {
    return column >= 0 && column < kPlanColumnCount ? kColumns[column] : "";
}

std::string PlanActionBytes(const PlanRow& row) {
    std::string text = WordsFor(row.action);
    if (HasDetail(row.action) && !row.detail.empty()) {
        text += ' ';
        text += row.detail;
    }
    return text;
}

QString PlanActionText(const PlanRow& row) {
    QString text = QString::fromUtf8(WordsFor(row.action));
    if (HasDetail(row.action) && !row.detail.empty()) {
        text += QLatin1Char(' ');
        text += FromNative(row.detail);
    }
    return text;
}

QString PlanCountName(PlanAction action) {
    const auto index = static_cast<size_t>(action);
    return index < std::size(kCountNames) ? QString::fromUtf8(kCountNames[index]) : QString();
}

}  // namespace zanfeld
