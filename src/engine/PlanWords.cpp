#include "PlanWords.h"

#include <iterator>
#include <type_traits>

#include "MessageTexts.h"

namespace zanfeld {

namespace {

using I = MessageId;

constexpr MessageId kColumns[PlanWords::kColumnCount] = {I::ColumnSource, I::ColumnFolder,
                                                         I::ColumnTarget, I::ColumnAction};

// Indexed by PlanAction.
constexpr MessageId kActionWords[] = {
    I::Copy,         I::Move,      I::Ask,           I::Overwrite, I::RenamedAs, I::SkipSameName,
    I::ReplaceOlder, I::KeepNewer, I::SkipIdentical, I::Skip,      I::Refused};
static_assert(std::size(kActionWords) == static_cast<size_t>(PlanAction::Count));

constexpr MessageId kCountNames[] = {
    I::Copy,         I::Move,      I::Ask,           I::Overwrite,   I::Renamed, I::SkipSameName,
    I::ReplaceOlder, I::KeepNewer, I::SkipIdentical, I::NotSelected, I::Refused};
static_assert(std::size(kCountNames) == static_cast<size_t>(PlanAction::Count));

constexpr const char* kKeys[] = {"copy",           "move",           "ask",           "overwrite",
                                 "renamed",        "skip_same_name", "replace_older", "keep_newer",
                                 "skip_identical", "not_selected",   "refused"};
static_assert(std::size(kKeys) == static_cast<size_t>(PlanAction::Count));

// A value from outside the enumeration (a newer engine, a corrupt plan) gets
// no words rather than a read past the tables.
template <typename Entry, size_t N>
const char* Lookup(const Entry (&table)[N], PlanAction action) {
    const auto index = static_cast<size_t>(action);
    if (index >= N) return "";
    if constexpr (std::is_same_v<Entry, MessageId>)
        return MessageTexts::text(table[index]);
    else
        return table[index];
}

}  // namespace

const char* PlanWords::column(int column) {
    return column >= 0 && column < kColumnCount ? MessageTexts::text(kColumns[column]) : "";
}

const char* PlanWords::action(PlanAction action) { return Lookup(kActionWords, action); }

const char* PlanWords::count(PlanAction action) { return Lookup(kCountNames, action); }

const char* PlanWords::key(PlanAction action) { return Lookup(kKeys, action); }

bool PlanWords::hasDetail(PlanAction action) {
    return action == PlanAction::Renamed || action == PlanAction::Refused;
}

std::string PlanWords::cell(const PlanRow& row) {
    if (!hasDetail(row.action) || row.detail.empty()) return action(row.action);
    return Format(
        row.action == PlanAction::Renamed ? MessageId::RenamedAsName : MessageId::RefusedBecause,
        {row.detail});
}

}  // namespace zanfeld
