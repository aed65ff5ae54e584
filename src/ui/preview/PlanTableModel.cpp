#include "PlanTableModel.h"

#include <QStringList>
#include <algorithm>
#include <climits>
#include <string_view>
#include <unordered_set>

#include "NativeText.h"
#include "PlanTexts.h"

namespace zanfeld {

namespace {

// The table's rows are ints; a plan longer than that shows its first rows
// (no run lists two thousand million files).
constexpr size_t kMaxShownRows = INT_MAX;

}  // namespace

PlanTableModel::PlanTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_plan(std::make_shared<const RunPlan>()) {}

void PlanTableModel::setPlan(std::shared_ptr<const RunPlan> plan) {
    beginResetModel();
    m_plan = plan ? std::move(plan) : std::make_shared<const RunPlan>();
    m_counts.fill(0);
    for (const PlanRow& row : m_plan->rows) {
        const auto index = static_cast<size_t>(row.action);
        if (index < m_counts.size()) ++m_counts[index];
    }
    m_files = countFiles(*m_plan);
    applyFilter();
    endResetModel();
}

void PlanTableModel::setFilter(Filter filter) {
    if (filter == m_filter) return;
    beginResetModel();
    m_filter = filter;
    applyFilter();
    endResetModel();
}

bool PlanTableModel::passes(Filter filter, PlanAction action) {
    switch (filter) {
        case Filter::All:
            return true;
        case Filter::SameName:
            return action == PlanAction::Ask || action == PlanAction::Overwrite ||
                   action == PlanAction::Renamed || action == PlanAction::SkipSameName ||
                   action == PlanAction::NewerReplace || action == PlanAction::NewerKeep ||
                   action == PlanAction::SkipIdentical;
        case Filter::Problems:
            return action == PlanAction::Refused;
    }
    return false;
}

// One pass over the plan; the counts tell beforehand how many rows pass.
void PlanTableModel::applyFilter() {
    m_shown.clear();
    m_shown.shrink_to_fit();
    if (m_filter == Filter::All) return;
    size_t passing = 0;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (passes(m_filter, static_cast<PlanAction>(i))) passing += m_counts[i];
    }
    m_shown.reserve(std::min(passing, kMaxShownRows));
    const std::vector<PlanRow>& rows = m_plan->rows;
    const size_t end = std::min(rows.size(), kMaxShownRows);
    for (size_t i = 0; i < end && m_shown.size() < kMaxShownRows; ++i) {
        if (passes(m_filter, rows[i].action)) m_shown.push_back(static_cast<uint32_t>(i));
    }
}

size_t PlanTableModel::countFiles(const RunPlan& plan) {
    // A file with a row for each of its folders comes in rows side by side;
    // a folder copied into two folders brings its files twice, apart.
    std::unordered_set<std::string_view> seen;
    const std::string* previous = nullptr;
    for (const PlanRow& row : plan.rows) {
        if (previous && *previous == row.source) continue;
        previous = &row.source;
        seen.insert(row.source);
    }
    return seen.size();
}

size_t PlanTableModel::count(PlanAction action) const {
    const auto index = static_cast<size_t>(action);
    return index < m_counts.size() ? m_counts[index] : 0;
}

QString PlanTableModel::countsText() const {
    QStringList parts;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] == 0) continue;
        parts << PlanCountName(static_cast<PlanAction>(i)) + QLatin1Char(' ') +
                     QString::number(m_counts[i]);
    }
    const int files = static_cast<int>(std::min(m_files, kMaxShownRows));
    if (parts.isEmpty()) return tr("共 %n 个文件", nullptr, files);
    const QString counts = parts.join(QStringLiteral(" · "));
    // A file that goes to several folders has a row, and a placement, for each.
    if (m_files != m_plan->rows.size())
        return tr("共 %n 个文件，%1 次放置：%2", nullptr, files)
            .arg(QString::number(m_plan->rows.size()), counts);
    return tr("共 %n 个文件：%1", nullptr, files).arg(counts);
}

size_t PlanTableModel::planIndex(int row) const {
    return m_filter == Filter::All ? static_cast<size_t>(row) : m_shown[static_cast<size_t>(row)];
}

const PlanRow& PlanTableModel::rowAt(int row) const { return m_plan->rows[planIndex(row)]; }

int PlanTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    const size_t rows =
        m_filter == Filter::All ? std::min(m_plan->rows.size(), kMaxShownRows) : m_shown.size();
    return static_cast<int>(rows);
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPlanColumnCount;
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const PlanRow& row = rowAt(index.row());
    switch (index.column()) {
        case SourceColumn:
            return FromNative(row.source);
        case FolderColumn:
            return FromNative(row.folder);
        case TargetColumn:
            return FromNative(row.target);
        case ActionColumn:
            return PlanActionText(row);
        default:
            return {};
    }
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= kPlanColumnCount) return {};
    return QString::fromStdString(PlanColumnName(section));
}

}  // namespace zanfeld
