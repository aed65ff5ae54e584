#include "RunControls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <exception>

#include "JournalRecorder.h"
#include "MessageBoxes.h"
#include "NativeText.h"
#include "RunBridge.h"
#include "RunStatusText.h"
#include "RunUndo.h"
#include "SharedJournal.h"
#include "UndoHost.h"

namespace zanfeld {

namespace {

QString QuestionText(const std::string& targetPath) {
    return RunControls::tr("文件%1已存在，是否覆盖？").arg(FromNative(targetPath));
}

}  // namespace

RunControls::RunControls(const Parts& parts)
    : m_parts(parts), m_progressTimer(new QTimer(parts.owner)) {
    m_progressTimer->setInterval(100);
    QObject::connect(m_progressTimer, &QTimer::timeout, m_parts.owner, [this] {
        if (m_bridge) m_bridge->flushProgress();
    });
    m_parts.stop->setEnabled(false);
    showListLength(0);
}

RunControls::~RunControls() {
    if (m_thread) {
        // The window is going: the run is told to stop, and what it still
        // carries over is answered without the window until it has ended.
        m_bridge->detach();
        while (!m_thread->wait(5)) QCoreApplication::sendPostedEvents(&m_bridge->receiver());
        delete m_thread;
    }
    if (m_busy) QApplication::restoreOverrideCursor();
}

void RunControls::showInfo(const std::string& text) {
    m_clock.pause();
    MessageBoxes::information(m_parts.owner, FromEngine(text));
    m_clock.resume();
}

void RunControls::showWarning(const std::string& text) {
    m_clock.pause();
    MessageBoxes::warning(m_parts.owner, FromEngine(text));
    m_clock.resume();
}

bool RunControls::askOverwrite(const std::string& targetPath) {
    m_clock.pause();
    // The question belongs to the application, not to the window; Enter keeps the file.
    const bool yes = MessageBoxes::question(nullptr, QuestionText(targetPath));
    m_clock.resume();
    return yes;
}

ReplaceAnswer RunControls::askReplace(const std::string& targetPath,
                                      const std::string& sourcePath) {
    m_clock.pause();
    const ReplaceAnswer answer = MessageBoxes::askReplace(
        nullptr, QuestionText(targetPath), ReplaceQuestion::details(targetPath, sourcePath));
    m_clock.resume();
    return answer;
}

void RunControls::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    m_parts.start->setEnabled(!busy);
    m_parts.pages->setEnabled(!busy);
    m_parts.chooser->setEnabled(!busy);
    m_parts.outDir->setReadOnly(busy);
    // 停止 only while a run works: not during the checks that may refuse it,
    // nor at its closing message, which comes after the unlock.
    m_parts.stop->setEnabled(busy && m_bridge && !m_bridge->stopRequested());
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void RunControls::setProgress(int percent) {
    // setValue repaints the bar whenever its look changes.
    if (m_parts.bar->value() != percent) m_parts.bar->setValue(percent);
}

bool RunControls::start(SortHost& window, std::function<void(SortHost&)> sort) {
    return begin(
        window, [sort = std::move(sort)](RunBridge& bridge) { sort(bridge); }, false);
}

bool RunControls::startUndo(SortHost& window, RunJournal& journal, int64_t run) {
    return begin(
        window,
        [&journal, run](RunBridge& bridge) {
            UndoHost host(bridge, journal, run);
            const UndoReport report = UndoRun(journal, run, host);
            // A journal that failed during the undo: its counts as the undo kept them.
            if (host.began() && !host.told())
                bridge.noteUndoCounts(
                    {report.movedBack, report.copiesRemoved + report.copiesTrashed, report.restored,
                     report.kept},
                    report.stopped);
        },
        true);
}

bool RunControls::begin(SortHost& window, std::function<void(RunBridge&)> work, bool undo) {
    if (m_thread) return false;
    m_undo = undo;
    m_error.clear();
    m_counts.reset();
    m_undoCounts.reset();
    m_recorder.reset();
    if (m_journal) m_recorder = std::make_unique<JournalRecorder>(m_journal->get());
    RunBridge::Window parts{
        window,
        [this](const std::string& target, const std::string& source) {
            return askReplace(target, source);
        },
        [this](const RunProgress& progress, const std::string& path) {
            showProgress(progress, path);
        },
        [this](const RunCounts& counts) {
            // Told just before the run's closing message, which the summary
            // then stands beside.
            m_counts = counts;
            m_parts.status->setText(RunStatusText::after(counts, m_bridge->stopRequested()));
        },
        [this](const UndoCounts& counts, bool stopped) {
            m_undoCounts = counts;
            m_undoStopped = stopped;
            m_parts.status->setText(RunStatusText::afterUndo(counts, stopped));
        }};
    m_bridge = std::make_unique<RunBridge>(std::move(parts), m_recorder.get());
    RunBridge* bridge = m_bridge.get();
    m_thread = QThread::create([this, bridge, work = std::move(work)] {
        try {
            work(*bridge);
        } catch (const std::exception& e) {
            m_error = e.what();
        }
    });
    // Delivered after everything the run carried over, which it posted before.
    QObject::connect(m_thread, &QThread::finished, m_parts.owner, [this] { ended(); });
    m_clock.start();
    m_progressTimer->start();
    for (QWidget* w : m_parts.idleOnly) w->setEnabled(false);
    m_thread->start();
    return true;
}

void RunControls::requestStop() {
    if (!m_bridge) return;
    m_bridge->requestStop();
    m_parts.stop->setEnabled(false);
}

void RunControls::liveOptionsChanged() {
    if (m_bridge) m_bridge->liveOptionsChanged();
}

void RunControls::showListLength(size_t entries) {
    if (m_thread) return;
    m_parts.status->setText(RunStatusText::idle(entries, m_parts.folders));
}

void RunControls::showProgress(const RunProgress& progress, const std::string& path) {
    // An undo's steps are files, whichever window made the run.
    m_parts.status->setText(
        m_undo ? RunStatusText::undoing(progress, path, m_clock.elapsedMs())
               : RunStatusText::during(progress, path, m_parts.folders, m_clock.elapsedMs()));
}

void RunControls::ended() {
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_progressTimer->stop();
    const bool stopped = m_bridge->stopRequested();
    m_bridge.reset();
    m_recorder.reset();
    if (!m_error.empty()) {
        // Unlock before telling the user, so the window is usable again.
        setBusy(false);
        MessageBoxes::error(m_parts.owner, FromEngine(m_error));
    }
    setBusy(false);
    m_parts.stop->setEnabled(false);
    for (QWidget* w : m_parts.idleOnly) w->setEnabled(true);
    if (m_parts.bar->value() != 0) m_parts.bar->setValue(0);
    if (m_counts) m_parts.status->setText(RunStatusText::after(*m_counts, stopped));
    if (m_undoCounts)
        m_parts.status->setText(RunStatusText::afterUndo(*m_undoCounts, m_undoStopped));
    if (m_finished) m_finished();
}

}  // namespace zanfeld
