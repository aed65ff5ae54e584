#include "FailureLog.h"

#include <cerrno>

#include "FileOps.h"
#include "MessageTexts.h"
#include "SortHost.h"

namespace zanfeld {

void FailureLog::add(const std::string& path, int error) { add(path, ReasonText(error)); }

void FailureLog::add(const std::string& path, int error, const std::string& folder) {
    if (error == ENOSPC && !folder.empty()) {
        add(path, Format(MessageId::ReasonNoSpaceIn, {folder}));
    } else if (error == EDQUOT && !folder.empty()) {
        add(path, Format(MessageId::ReasonQuotaIn, {folder}));
    } else {
        add(path, error);
    }
}

void FailureLog::add(const std::string& path, const std::string& reason) {
    ++m_count;
    if (m_host) m_host->noteFailure(path, reason);
    if (m_shown.size() < kShown) m_shown.push_back(Format(MessageId::FailureItem, {path, reason}));
}

std::string FailureLog::completionText() const {
    return Format(MessageId::SortDone) + failureText();
}

std::string FailureLog::failureText(MessageId heading) const {
    if (m_count == 0) return {};
    std::string text = "\n\n" + Format(heading, {std::to_string(m_count)});
    for (const auto& line : m_shown) text += "\n" + line;
    if (m_count > m_shown.size()) text += "\n" + Format(MessageId::MoreFailures);
    return text;
}

}  // namespace zanfeld
