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

void SortRunFrame::begin() {
    m_host.setBusy(true);
    m_busy = true;
}

void SortRunFrame::step(size_t i, size_t n) {
    m_host.setProgress(static_cast<int>(static_cast<unsigned long long>(i) * 100 / n));
}

void SortRunFrame::finish(const FailureLog& failures) {
    m_host.setProgress(100);
    m_host.setBusy(false);
    m_busy = false;
    // The first line stays the completion line; the icon tells of failures.
    if (failures.count() > 0)
        m_host.showWarning(failures.completionText());
    else
        m_host.showInfo(failures.completionText());
    m_host.setProgress(0);
}

void SortRunFrame::stop(const std::string& reason, const FailureLog& failures) {
    if (m_busy) m_host.setBusy(false);
    m_busy = false;
    m_host.setProgress(0);
    m_host.showInfo(reason + failures.failureText());
}

}  // namespace zanfeld
