#include "SortRunFrame.h"

#include "FileOps.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "TextUtil.h"
#include "Trash.h"

namespace zanfeld {

SortRunFrame::SortRunFrame(SortHost& host) : m_host(host), m_planner(host.planner()) {
    m_watch.emplace(static_cast<CopyObserver&>(*this));
    if (m_planner) m_planning.emplace();
}

bool SortRunFrame::acceptOutputDir(SortOptions& options) {
    if (IsBlank(options.outputDir)) {
        m_host.rejectOption(Format(MessageId::ChooseOutputDir), OptionId::OutputDir);
        return false;
    }
    if (options.outputDir.back() != kPathSeparator) {
        options.outputDir.push_back(kPathSeparator);
        m_host.setOutputDir(options.outputDir);
    }
    return true;
}

void SortRunFrame::begin(size_t count, RunWindow window, const SortOptions& options) {
    m_host.setBusy(true);
    m_busy = true;
    m_progress.count = count;
    m_recorder = m_planner ? nullptr : m_host.recorder();
    if (m_recorder) {
        m_recorder->beginRun(window, options);
        for (const std::string& folder : m_madeBeforeBegin) m_recorder->madeFolder(folder);
    }
    m_madeBeforeBegin.clear();
    if (!m_planner && m_host.keepReplacedFiles())
        m_keeping.emplace(static_cast<ReplacedFileKeeper&>(*this));
}

int64_t SortRunFrame::intend(const std::string& source, const std::string& target,
                             TransferMode mode) {
    m_trashFile.clear();
    m_trashInfo.clear();
    m_replacedLost = false;
    m_keptAheadFrom.clear();
    m_placement = m_recorder ? m_recorder->intend(source, target, mode) : 0;
    return m_placement;
}

void SortRunFrame::done(int64_t placement, PlacementRecord record) {
    if (!m_recorder) return;
    record.trashFile = std::move(m_trashFile);
    record.trashInfo = std::move(m_trashInfo);
    record.replacedLost = m_replacedLost;
    m_trashFile.clear();
    m_trashInfo.clear();
    m_replacedLost = false;
    m_recorder->done(placement, record);
}

void SortRunFrame::madeFolder(const std::string& path) {
    if (m_recorder)
        m_recorder->madeFolder(path);
    else if (!m_busy)
        m_madeBeforeBegin.push_back(path);
}

bool SortRunFrame::keep(int dirFd, const std::string& name, const std::string& originalPath) {
    TrashPlace place;
    if (MoveToTrashAt(dirFd, name, originalPath, place) == 0) {
        m_trashFile = std::move(place.file);
        m_trashInfo = std::move(place.info);
        return true;
    }
    // No Trash can take it here: it is replaced as it always was.
    lost(originalPath);
    return false;
}

bool SortRunFrame::keepAhead(int dirFd, const std::string& name, const std::string& originalPath,
                             FileId& kept) {
    TrashPlace place;
    if (LinkIntoTrashAt(dirFd, name, originalPath, place, kept) != 0) return false;
    m_trashFile = std::move(place.file);
    m_trashInfo = std::move(place.info);
    m_keptAheadFrom = originalPath;
    // On record before the swap: a run killed in it leaves the file's place
    // in the Trash for its undo.
    if (m_recorder) m_recorder->replacing(m_placement, m_trashFile, m_trashInfo);
    return true;
}

void SortRunFrame::unkeep() {
    if (m_keptAheadFrom.empty()) return;
    ForgetTrashed(TrashPlace{m_trashFile, m_trashInfo}, m_keptAheadFrom);
    m_trashFile.clear();
    m_trashInfo.clear();
    m_keptAheadFrom.clear();
    if (m_recorder) m_recorder->replacing(m_placement, std::string(), std::string());
}

void SortRunFrame::lost(const std::string& /*originalPath*/) {
    m_replacedLost = true;
    ++m_lostCount;
}

void SortRunFrame::endRecord(RunEnd end) {
    m_keeping.reset();
    m_watch.reset();
    if (m_recorder) m_recorder->endRun(end, m_counts);
}

void SortRunFrame::item(size_t i, const std::string& path, bool moving) {
    m_progress.index = i;
    m_progress.moving = moving;
    m_progress.path = &path;
    m_progress.bytesDone = 0;
    m_progress.bytesTotal = 0;
    m_host.noteProgress(m_progress);
}

void SortRunFrame::file(const std::string& path) {
    m_file = path;
    m_progress.path = &m_file;
    m_progress.bytesDone = 0;
    m_progress.bytesTotal = 0;
    m_host.noteProgress(m_progress);
}

bool SortRunFrame::copied(uint64_t done, uint64_t total) {
    m_progress.bytesDone = done;
    m_progress.bytesTotal = total;
    if (m_progress.path) m_host.noteProgress(m_progress);
    return !m_host.stopRequested();
}

void SortRunFrame::step(size_t i, size_t n) {
    m_host.setProgress(static_cast<int>(static_cast<unsigned long long>(i) * 100 / n));
}

void SortRunFrame::noteCounts(const FailureLog& failures) {
    m_counts.failed = failures.count();
    m_host.noteCounts(m_counts);
}

void SortRunFrame::showClosing(std::string text, const FailureLog& failures) {
    // A preview ends in its plan, not in a message.
    if (m_planner) return;
    if (m_lostCount > 0)
        text += "\n\n" + Format(MessageId::LostReplaced, {std::to_string(m_lostCount)});
    if (m_recorder && !m_recorder->ok()) text += "\n\n" + Format(MessageId::JournalUnwritable);
    // The first line stays the closing line; the icon tells of failures.
    if (failures.count() > 0)
        m_host.showWarning(text);
    else
        m_host.showInfo(text);
}

void SortRunFrame::finish(const FailureLog& failures) {
    noteCounts(failures);
    endRecord(RunEnd::Finished);
    m_host.setProgress(100);
    m_host.setBusy(false);
    m_busy = false;
    showClosing(failures.completionText(), failures);
    m_host.setProgress(0);
}

void SortRunFrame::stopped(const FailureLog& failures) {
    noteCounts(failures);
    endRecord(RunEnd::Stopped);
    if (m_busy) m_host.setBusy(false);
    m_busy = false;
    m_host.setProgress(0);
    m_counts.failed = failures.count();
    showClosing(Format(MessageId::SortStopped) + "\n\n" +
                    Format(MessageId::Sentence, {m_counts.text()}) + failures.failureText(),
                failures);
}

void SortRunFrame::stop(const std::string& reason, const FailureLog& failures) {
    if (m_busy) {
        noteCounts(failures);
        endRecord(RunEnd::EndedEarly);
        m_host.setBusy(false);
    }
    m_busy = false;
    m_host.setProgress(0);
    m_host.showInfo(reason + failures.failureText());
}

}  // namespace zanfeld
