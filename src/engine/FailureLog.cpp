#include "FailureLog.h"

#include "FileOps.h"
#include "SortHost.h"

namespace zanfeld {

void FailureLog::add(const std::string& path, int error) { add(path, ReasonText(error)); }

void FailureLog::add(const std::string& path, const std::string& reason) {
    ++m_count;
    if (m_host) m_host->noteFailure(path, reason);
    if (m_shown.size() < kShown) m_shown.push_back(path + "：" + reason);
}

std::string FailureLog::completionText() const { return "分拣工作完成！" + failureText(); }

std::string FailureLog::failureText() const {
    if (m_count == 0) return {};
    std::string text = "\n\n有 " + std::to_string(m_count) + " 个文件未能分拣：";
    for (const auto& line : m_shown) text += "\n" + line;
    if (m_count > m_shown.size()) text += "\n……";
    return text;
}

}  // namespace zanfeld
