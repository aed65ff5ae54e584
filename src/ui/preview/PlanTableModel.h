#pragma once

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "RunPlan.h"

namespace zanfeld {

// Shows a run's plan in a table: 源文件, 目标文件夹, 目标文件, 操作. A plan may
// hold a million rows, so nothing is made per row up front: the texts are
// made when the view asks for them, and a filter keeps only the indices of
// the rows it lets through.
class PlanTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { SourceColumn, FolderColumn, TargetColumn, ActionColumn };
    enum class Filter {
        All,       // 全部
        SameName,  // 只看同名冲突: a file of the name is at the target
        Problems   // 只看问题: files that cannot be sorted
    };

    explicit PlanTableModel(QObject* parent = nullptr);

    // Shows plan under the current filter. The plan is shared, never changed.
    void setPlan(std::shared_ptr<const RunPlan> plan);
    const RunPlan& plan() const { return *m_plan; }
    void setFilter(Filter filter);
    Filter filter() const { return m_filter; }
    static bool passes(Filter filter, PlanAction action);

    // Rows of the whole plan with the action, whatever the filter.
    size_t count(PlanAction action) const;
    // The files of the whole plan (a file planned into two folders once).
    size_t files() const { return m_files; }
    // The counts as one line, e.g. "共 8 个文件：复制 5 · 询问 2 · 不能分拣 1";
    // with the rows when a file has more than one, "共 2 个文件，3 次放置：复制 3".
    QString countsText() const;
    // The plan's row shown at row.
    const PlanRow& rowAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    void applyFilter();
    static size_t countFiles(const RunPlan& plan);
    size_t planIndex(int row) const;

    std::shared_ptr<const RunPlan> m_plan;
    Filter m_filter = Filter::All;
    // The plan's indices of the rows shown; unused (empty) for 全部, which
    // shows every row as it is.
    std::vector<uint32_t> m_shown;
    std::array<size_t, static_cast<size_t>(PlanAction::Count)> m_counts{};
    size_t m_files = 0;
};

}  // namespace zanfeld
