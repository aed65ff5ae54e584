#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "WatchedFolders.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace zanfeld {

class RunJournal;

// "自动分拣": the folders the watcher keeps sorted, each with its plans, its
// depth and a switch. Every change is stored in the settings file at once.
// While one folder is switched on, the watcher (zanfeld-cli watch
// --from-settings) runs and the desktop starts it at login; it reads the
// settings only when it starts, so a change while it runs restarts it. The
// last switched off stops it and removes the login entry.
class AutoSortDialog : public QDialog {
    Q_OBJECT
  public:
    AutoSortDialog(std::string settingsPath, QWidget* parent = nullptr);

    // Reads the watched folders again, and shows whether the watcher runs and
    // its last batch from journal (none: not shown).
    void load(RunJournal* journal);

    // The command that starts the watcher for this settings file. forLogin:
    // as the login entry names it (zanfeld-cli by name when PATH finds it).
    std::vector<std::string> watchCommand(bool forLogin) const;

    // Handlers.
    void BtnAddWatchClick();
    void BtnRemoveWatchClick();
    void switchChanged(int row, bool on);
    void depthChanged();

    QTableWidget* TblWatch;  // 开启 | 文件夹 | 方案 | 子目录层数
    QPushButton* BtnAddWatch;
    QPushButton* BtnRemoveWatch;
    QLabel* LblDepth;
    QSpinBox* SpnDepth;
    QCheckBox* ChkAllLevels;
    QLabel* LblWatcher;    // whether the watcher runs
    QLabel* LblLastBatch;  // when it last sorted, and how many it placed
    QPushButton* BtnClose;

  private:
    // Stores the list, then starts, restarts or stops the watcher and writes
    // or removes the login entry to match. before: the list as it was, put
    // back when it cannot be stored.
    void apply(const std::vector<WatchedFolder>& before);
    // "" when the plans can be watched, else why not.
    QString plansProblem(const std::vector<std::string>& names) const;
    void showRows();
    void showSelected();
    void showWatcher();
    int selectedRow() const;

    std::string m_settingsPath;
    std::vector<WatchedFolder> m_folders;
    RunJournal* m_journal = nullptr;
    bool m_showing = false;  // the controls are being filled, not changed by the user
};

}  // namespace zanfeld
