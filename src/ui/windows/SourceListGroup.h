#pragma once

#include <QCoreApplication>
#include <QString>
#include <functional>

#include "ListFile.h"
#include "SourceList.h"
#include "Walks.h"

class QGroupBox;
class QListView;
class QPushButton;
class QWidget;

namespace zanfeld {

class SourceListModel;

// The list group of both sorting windows: the SourceList shown in ListBox1
// and the six buttons beside it, with what the two windows do alike (remove,
// clear, export, import and the walks that fill the list). The window
// connects the buttons to its handlers.
class SourceListGroup {
    Q_DECLARE_TR_FUNCTIONS(SourceListGroup)

  public:
    struct Texts {
        QString title;     // GroupBox1
        QString add;       // Button1
        QString addDir;    // Button5
        QString remove;    // Button2
        QString listName;  // the name the export offers
        ListKind kind;     // what an import takes
    };

    // owner: the window; it owns the export's and import's messages.
    SourceListGroup(QWidget* owner, const Texts& texts);

    SourceList& sources() { return m_sources; }
    // Announces to the list box what was appended to sources() directly.
    void sync();

    void removeSelected();  // Button2
    void clear();           // Button6
    void exportList();      // BtnSaveFileList
    void importList();      // BtnImpFileList

    // Runs fill, which appends to the list, with the hourglass and the list
    // buttons locked; the new rows show and pending events run as it goes. An
    // error it throws is shown once the list is usable again.
    void walk(const std::function<void(SourceList&, const WalkTick&)>& fill);
    bool walking() const { return m_walking; }

    QGroupBox* GroupBox1;
    QListView* ListBox1;
    QPushButton* Button1;
    QPushButton* Button5;
    QPushButton* Button2;
    QPushButton* Button6;
    QPushButton* BtnSaveFileList;
    QPushButton* BtnImpFileList;

  private:
    void setButtonsEnabled(bool enabled);

    QWidget* m_owner;
    QString m_listName;
    ListKind m_kind;
    SourceList m_sources;
    SourceListModel* m_model;
    bool m_walking = false;
};

}  // namespace zanfeld
