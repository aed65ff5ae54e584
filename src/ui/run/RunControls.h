#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ReplaceQuestion.h"
#include "RunClock.h"
#include "RunNotes.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QThread;
class QTimer;
class QWidget;

namespace zanfeld {

class JournalRecorder;
class RunBridge;
class RunJournal;
class SharedJournal;
class SortHost;

// The window's side of a sort run, alike in both sorting windows: the run on
// its worker thread, its boxes, the controls a run locks, the bar, the stop
// button and the status line.
class RunControls {
    Q_DECLARE_TR_FUNCTIONS(RunControls)

  public:
    struct Parts {
        QWidget* owner;                  // the window; it owns the run's messages
        QPushButton* start;              // BtnCopy
        QTabWidget* pages;               // PageControl1, and with it every control on the pages
        QPushButton* chooser;            // Button3
        QLineEdit* outDir;               // EdtOutDir, read-only while busy
        QProgressBar* bar;               // ProgressBar1
        QPushButton* stop;               // BtnStop, enabled while a run goes (is busy)
        QLabel* status;                  // LblStatus
        bool folders;                    // the list holds folders
        std::vector<QWidget*> idleOnly;  // enabled only while no run goes
    };

    explicit RunControls(const Parts& parts);
    // A run still going is stopped, and waited for.
    ~RunControls();
    RunControls(const RunControls&) = delete;
    RunControls& operator=(const RunControls&) = delete;

    // Information box owned by the window. Every box and question stops
    // the run's clock while it is open: waiting for the user is no work.
    void showInfo(const std::string& text);
    void showWarning(const std::string& text);
    // "文件<path>已存在，是否覆盖？", owned by the application; true for Yes.
    bool askOverwrite(const std::string& targetPath);
    // The same with both files shown and the answers for the rest of a run.
    ReplaceAnswer askReplace(const std::string& targetPath, const std::string& sourcePath);
    // Locks or unlocks the start button, the pages, the chooser and the output
    // folder field, with the hourglass while locked.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }
    // Sets the bar; it repaints when its look changes.
    void setProgress(int percent);

    // Starts one sort on a worker thread; sort is given the host that carries
    // its calls over to window, the window's own host. Whatever escapes it is
    // shown in the error box once the window is unlocked; in every case the
    // window ends unlocked, bar at 0, and finished is called. Nothing starts
    // while a run goes; false then.
    bool start(SortHost& window, std::function<void(SortHost&)> sort);
    // Starts the undo of run from journal as start() does a sort; the
    // status line tells the undo's steps while it goes and its own counts
    // from its closing message on.
    bool startUndo(SortHost& window, RunJournal& journal, int64_t run);
    bool running() const { return m_thread != nullptr; }
    // The run stops at its next chance (between files, or between the chunks
    // of a large copy).
    void requestStop();
    // A control the run rereads changed.
    void liveOptionsChanged();
    // Called on the window's thread once a run has ended.
    void setFinished(std::function<void()> finished) { m_finished = std::move(finished); }
    // Where runs keep their records; none keeps none.
    void setJournal(SharedJournal* journal) { m_journal = journal; }

    // The list now holds entries; shown when no run goes (the last run's
    // summary gives way to it).
    void showListLength(size_t entries);

  private:
    // Starts work on a worker thread with the bridge to window; undo: the
    // work is an undo.
    bool begin(SortHost& window, std::function<void(RunBridge&)> work, bool undo);
    void showProgress(const RunProgress& progress, const std::string& path);
    void ended();

    Parts m_parts;
    bool m_busy = false;
    SharedJournal* m_journal = nullptr;
    std::unique_ptr<JournalRecorder> m_recorder;  // the run's, when it keeps a record
    std::unique_ptr<RunBridge> m_bridge;
    QThread* m_thread = nullptr;
    std::function<void()> m_finished;
    std::string m_error;                     // what escaped the run, set on its thread
    RunClock m_clock;                        // the run's working time
    bool m_undo = false;                     // the run is an undo
    QTimer* m_progressTimer;                 // picks up the progress notes held back
    std::optional<RunCounts> m_counts;       // the run's, once it told them
    std::optional<UndoCounts> m_undoCounts;  // an undo's, once it told them
    bool m_undoStopped = false;
};

}  // namespace zanfeld
