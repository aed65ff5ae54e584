#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "ReplaceQuestion.h"
#include "RunNotes.h"
#include "SortHost.h"

namespace zanfeld {

// The host a run on a worker thread talks to; it carries every call over to
// the window's thread. Messages, questions and the rereading of live options
// wait there for the window's answer; the bar, the output folder and the
// notes are handed over without waiting. Created and destroyed on the
// window's thread.
class RunBridge : public SortHost {
  public:
    // What the window does on its thread for the run.
    struct Window {
        SortHost& host;  // messages, the locks, the bar, the output folder, live options
        // The same-name question about target, which source would replace.
        std::function<ReplaceAnswer(const std::string& target, const std::string& source)> ask;
        std::function<void(const RunProgress& progress, const std::string& path)> progress;
        std::function<void(const RunCounts& counts)> counts;
        // An undo's counts, once before its closing message.
        std::function<void(const UndoCounts& counts, bool stopped)> undoCounts;
    };

    // recorder: where the run keeps its record, or none.
    explicit RunBridge(Window window, RunRecorder* recorder = nullptr);
    ~RunBridge() override;
    RunBridge(const RunBridge&) = delete;
    RunBridge& operator=(const RunBridge&) = delete;

    // SortHost, called on the worker thread.
    void showInfo(const std::string& text) override;
    void showWarning(const std::string& text) override;
    void rejectOption(const std::string& text, OptionId option) override;
    void setOutputDir(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgress(int percent) override;
    void refreshLiveOptions(SortOptions& options) override;
    bool askOverwrite(const std::string& targetPath) override;
    bool askReplace(const std::string& targetPath, const std::string& sourcePath) override;
    bool stopRequested() override;
    void noteProgress(const RunProgress& progress) override;
    void noteCounts(const RunCounts& counts) override;
    RunRecorder* recorder() override { return m_recorder; }
    // A window's run keeps every file it replaces in the Trash.
    bool keepReplacedFiles() override { return true; }

    // Called on the worker thread: an undo's counts, as noteCounts tells a sort's.
    void noteUndoCounts(const UndoCounts& counts, bool stopped);

    // Called on the window's thread.
    // The run stops at its next chance.
    void requestStop();
    // A live option changed; the run rereads them before its next file.
    void liveOptionsChanged();
    // The window is going away: nothing more is carried over to it, every
    // question is answered No and the run is stopped.
    void detach();
    // The receiver of what is carried over, for a wait that delivers it.
    QObject& receiver() { return m_receiver; }
    // Shows the latest progress note if the window has not seen it yet; the
    // window calls it on a timer, since notes of small files are held back.
    void flushProgress();

  private:
    // Runs f on the window's thread, and waits for it unless queued.
    void onWindow(std::function<void()> f, bool wait);
    void deliverProgress();
    // The run told its counts: no progress note is shown after them.
    void runOver();

    Window m_window;
    RunRecorder* m_recorder;
    QObject m_receiver;  // lives on the window's thread
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_detached{false};
    // Bumped by the window; the run rereads when it differs from what it saw.
    std::atomic<unsigned> m_liveGeneration{1};
    unsigned m_liveSeen = 0;             // worker only
    int m_lastPercent = -1;              // worker only: the bar moves only on a change
    std::optional<bool> m_answerForAll;  // worker only: 全部是 or 全部否

    // The latest progress note; one delivery is pending at a time.
    std::mutex m_progressMutex;
    RunProgress m_progress;
    std::string m_progressPath;
    bool m_progressPending = false;                        // a delivery is on its way
    bool m_progressUnseen = false;                         // a note came that no delivery took
    std::chrono::steady_clock::time_point m_lastDelivery;  // worker only
};

}  // namespace zanfeld
