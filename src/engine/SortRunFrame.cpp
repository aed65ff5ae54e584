#include "SortRunFrame.h"

#include "FileOps.h"
#include "PathNames.h"
#include "TextUtil.h"

namespace zanfeld {

bool SortRunFrame::acceptOutputDir(SortOptions& options) {
    if (IsBlank(options.outputDir)) {
        m_host.rejectOption("请选择分拣结果输出目录！", OptionId::OutputDir);
        return false;
    }
    if (options.outputDir.back() != kPathSeparator) {
        options.outputDir.push_back(kPathSeparator);
        m_host.setOutputDir(options.outputDir);
    }
    return true;
}

void SortRunFrame::begin(size_t count) {
    m_host.setBusy(true);
    m_busy = true;
    m_progress.count = count;
    m_watch.emplace(static_cast<CopyObserver&>(*this));
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

void SortRunFrame::showClosing(const std::string& text, const FailureLog& failures) {
    // The first line stays the closing line; the icon tells of failures.
    if (failures.count() > 0)
        m_host.showWarning(text);
    else
        m_host.showInfo(text);
}

void SortRunFrame::finish(const FailureLog& failures) {
    m_watch.reset();
    noteCounts(failures);
    m_host.setProgress(100);
    m_host.setBusy(false);
    m_busy = false;
    showClosing(failures.completionText(), failures);
    m_host.setProgress(0);
}

void SortRunFrame::stopped(const FailureLog& failures) {
    m_watch.reset();
    noteCounts(failures);
    if (m_busy) m_host.setBusy(false);
    m_busy = false;
    m_host.setProgress(0);
    m_counts.failed = failures.count();
    showClosing("分拣已停止。\n\n" + m_counts.text() + "。" + failures.failureText(), failures);
}

void SortRunFrame::stop(const std::string& reason, const FailureLog& failures) {
    m_watch.reset();
    if (m_busy) {
        noteCounts(failures);
        m_host.setBusy(false);
    }
    m_busy = false;
    m_host.setProgress(0);
    m_host.showInfo(reason + failures.failureText());
}

}  // namespace zanfeld
