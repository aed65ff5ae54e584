#include "SourceListModel.h"

#include "NativeText.h"

namespace zanfeld {

SourceListModel::SourceListModel(SourceList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(list), m_shown(static_cast<int>(list.size())) {}

int SourceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

QVariant SourceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return FromNative(m_list.at(static_cast<size_t>(index.row())));
    }
    return {};
}

void SourceListModel::sync() {
    const int size = static_cast<int>(m_list.size());
    if (size == m_shown) return;
    if (size < m_shown) {
        // Someone removed entries behind the model's back; start over.
        beginResetModel();
        m_shown = size;
        endResetModel();
        return;
    }
    beginInsertRows(QModelIndex(), m_shown, size - 1);
    m_shown = size;
    endInsertRows();
}

void SourceListModel::removeEntry(int row) {
    sync();
    if (row < 0 || row >= m_shown) return;
    beginRemoveRows(QModelIndex(), row, row);
    m_list.RemoveAt(static_cast<size_t>(row));
    m_shown = static_cast<int>(m_list.size());
    endRemoveRows();
}

void SourceListModel::clear() {
    beginResetModel();
    m_list.Clear();
    m_shown = 0;
    endResetModel();
}

}  // namespace zanfeld
