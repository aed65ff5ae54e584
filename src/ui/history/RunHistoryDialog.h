#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "JournalRecords.h"
#include "RunNotes.h"

class QPushButton;
class QTableWidget;

namespace zanfeld {

class RunJournal;

// "分拣记录": the runs of both windows, newest first, with what each did and
// whether it was undone; the user picks one to undo.
class RunHistoryDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 900;
    // The column of the output folders, which gives way when the others need
    // the room, though not below this many pixels.
    static constexpr int kOutputColumn = 4;
    static constexpr int kLeastPaths = 160;

    explicit RunHistoryDialog(QWidget* parent = nullptr);

    // Fills the table from the journal.
    void load(RunJournal& journal);
    // The run the user chose to undo once the dialog was accepted.
    int64_t chosenRun() const { return m_chosen; }

    QTableWidget* TblRuns;
    QPushButton* BtnUndoRun;  // "撤销所选分拣"
    QPushButton* BtnClose;    // "关闭"

  private:
    void selectionChanged();
    // Widens the dialog (up to half as wide again, and the screen's width)
    // until every column can be read without scrolling sideways; the output
    // folders give way when that is not enough.
    void fitColumns();

    std::vector<JournalRun> m_runs;
    int64_t m_chosen = 0;
};

}  // namespace zanfeld
