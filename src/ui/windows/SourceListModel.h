#pragma once

#include <QAbstractListModel>

#include "SourceList.h"

namespace zanfeld {

// Shows a SourceList in a list view. The lists layer appends to the list
// directly (walks, imports, drops); the model shows the rows it has announced
// and sync() announces whatever was appended since, in one batch, so a walk
// that adds a million paths costs one insertion. Removals go through the model.
class SourceListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit SourceListModel(SourceList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Announces the entries appended since the last call.
    void sync();
    void removeEntry(int row);
    void clear();

  private:
    SourceList& m_list;
    int m_shown = 0;
};

}  // namespace zanfeld
