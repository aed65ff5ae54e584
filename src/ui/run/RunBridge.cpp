#include "RunBridge.h"

#include <QMetaObject>

namespace zanfeld {

namespace {

// A file this large shows its bytes; its notes are never held back.
constexpr uint64_t kBytesShownAtOnce = 4u << 20;

}  // namespace

RunBridge::RunBridge(Window window, RunRecorder* recorder)
    : m_window(std::move(window)), m_recorder(recorder) {}

RunBridge::~RunBridge() = default;

void RunBridge::onWindow(std::function<void()> f, bool wait) {
    if (m_detached.load()) return;
    auto guarded = [this, wait, f = std::move(f)] {
        if (m_detached.load()) return;
        // A message or question shows where the run stands beside it.
        if (wait) flushProgress();
        f();
    };
    QMetaObject::invokeMethod(&m_receiver, std::move(guarded),
                              wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void RunBridge::showInfo(const std::string& text) {
    onWindow([&] { m_window.host.showInfo(text); }, true);
}

void RunBridge::showWarning(const std::string& text) {
    onWindow([&] { m_window.host.showWarning(text); }, true);
}

void RunBridge::rejectOption(const std::string& text, OptionId option) {
    onWindow([&] { m_window.host.rejectOption(text, option); }, true);
}

void RunBridge::setOutputDir(const std::string& text) {
    onWindow([this, text] { m_window.host.setOutputDir(text); }, false);
}

void RunBridge::setBusy(bool busy) {
    onWindow([this, busy] { m_window.host.setBusy(busy); }, false);
}

void RunBridge::setProgress(int percent) {
    // The bar shows every value it takes, and no repeats: at most 101
    // deliveries, however long the list.
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    onWindow([this, percent] { m_window.host.setProgress(percent); }, false);
}

void RunBridge::refreshLiveOptions(SortOptions& options) {
    // Only a change on the window costs a wait for its thread.
    const unsigned generation = m_liveGeneration.load();
    if (generation == m_liveSeen) return;
    m_liveSeen = generation;
    onWindow([&] { m_window.host.refreshLiveOptions(options); }, true);
}

bool RunBridge::askOverwrite(const std::string& targetPath) { return askReplace(targetPath, {}); }

bool RunBridge::askReplace(const std::string& targetPath, const std::string& sourcePath) {
    if (m_answerForAll) return *m_answerForAll;
    if (m_stop.load()) return false;
    ReplaceAnswer answer = ReplaceAnswer::No;
    onWindow([&] { answer = m_window.ask(targetPath, sourcePath); }, true);
    switch (answer) {
        case ReplaceAnswer::Yes:
            return true;
        case ReplaceAnswer::No:
            return false;
        case ReplaceAnswer::YesToAll:
            m_answerForAll = true;
            return true;
        case ReplaceAnswer::NoToAll:
            m_answerForAll = false;
            return false;
        case ReplaceAnswer::Stop:
            m_stop.store(true);
            return false;
    }
    return false;
}

bool RunBridge::stopRequested() { return m_stop.load(std::memory_order_relaxed); }

void RunBridge::noteProgress(const RunProgress& progress) {
    // Every few hundredths of a second is as often as a person can read the
    // status line: notes of small files in between only replace one another,
    // and the window's timer picks up the last. A large file's bytes and the
    // first note go at once.
    constexpr auto kEvery = std::chrono::milliseconds(50);
    const auto now = std::chrono::steady_clock::now();
    const bool urgent =
        progress.bytesTotal >= kBytesShownAtOnce || m_lastDelivery == decltype(now){};
    bool deliver = false;
    {
        std::lock_guard<std::mutex> lock(m_progressMutex);
        m_progress = progress;
        if (progress.path) m_progressPath = *progress.path;
        m_progress.path = nullptr;
        deliver = !m_progressPending && (urgent || now - m_lastDelivery >= kEvery);
        if (deliver) m_progressPending = true;
        m_progressUnseen = !deliver;
    }
    if (deliver) {
        m_lastDelivery = now;
        onWindow([this] { deliverProgress(); }, false);
    }
}

void RunBridge::flushProgress() {
    bool unseen = false;
    {
        std::lock_guard<std::mutex> lock(m_progressMutex);
        unseen = m_progressUnseen && !m_progressPending;
    }
    if (unseen) deliverProgress();
}

void RunBridge::deliverProgress() {
    RunProgress progress;
    std::string path;
    {
        std::lock_guard<std::mutex> lock(m_progressMutex);
        progress = m_progress;
        path = m_progressPath;
        m_progressPending = false;
        m_progressUnseen = false;
    }
    if (m_window.progress) m_window.progress(progress, path);
}

void RunBridge::noteCounts(const RunCounts& counts) {
    runOver();
    onWindow(
        [this, counts] {
            if (m_window.counts) m_window.counts(counts);
        },
        false);
}

void RunBridge::noteUndoCounts(const UndoCounts& counts, bool stopped) {
    runOver();
    onWindow(
        [this, counts, stopped] {
            if (m_window.undoCounts) m_window.undoCounts(counts, stopped);
        },
        false);
}

void RunBridge::runOver() {
    // The run is over: a note held back is no longer news.
    std::lock_guard<std::mutex> lock(m_progressMutex);
    m_progressUnseen = false;
}

void RunBridge::requestStop() { m_stop.store(true); }

void RunBridge::liveOptionsChanged() { m_liveGeneration.fetch_add(1); }

void RunBridge::detach() {
    m_detached.store(true);
    m_stop.store(true);
}

}  // namespace zanfeld
