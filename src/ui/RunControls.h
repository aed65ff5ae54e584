#pragma once

#include <QElapsedTimer>
#include <functional>
#include <string>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;

namespace zanfeld {

// The window's side of a sort run, alike in both sorting windows: its boxes,
// the controls a run locks, and the progress bar.
class RunControls {
  public:
    struct Parts {
        QWidget* owner;        // the window; it owns the run's messages
        QPushButton* start;    // BtnCopy
        QTabWidget* pages;     // PageControl1, and with it every control on the pages
        QPushButton* chooser;  // Button3
        QLineEdit* outDir;     // EdtOutDir, read-only while busy
        QProgressBar* bar;     // ProgressBar1
    };

    explicit RunControls(const Parts& parts);
    ~RunControls();
    RunControls(const RunControls&) = delete;
    RunControls& operator=(const RunControls&) = delete;

    // Information box owned by the window.
    void showInfo(const std::string& text);
    void showWarning(const std::string& text);
    // "文件<path>已存在，是否覆盖？", owned by the application; true for Yes.
    bool askOverwrite(const std::string& targetPath);
    // Locks or unlocks the start button, the pages, the chooser and the output
    // folder field, with the hourglass while locked.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }
    // Sets the bar (which repaints at once when its look changes) and lets
    // pending events run (when the bar moved or a few milliseconds passed).
    void setProgress(int percent);

    // Runs one sort. Whatever escapes it is shown in the error box once the
    // window is unlocked; in every case the window ends unlocked, bar at 0.
    void run(const std::function<void()>& sort);

  private:
    Parts m_parts;
    bool m_busy = false;
    QElapsedTimer m_sinceEvents;  // since setProgress last let events run
};

}  // namespace zanfeld
