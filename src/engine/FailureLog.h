#pragma once

#include <string>
#include <vector>

#include "MessageTexts.h"

namespace zanfeld {

class SortHost;

// Counts the files a run could not place and keeps the first few with the
// system's reason, for the completion message.
class FailureLog {
  public:
    static constexpr size_t kShown = 10;

    FailureLog() = default;
    // Tells host of every failure as it is added.
    explicit FailureLog(SortHost& host) : m_host(&host) {}

    void add(const std::string& path, int error);
    // The same for a file that was to go into folder: a full disk is the
    // folder's, and its line names it.
    void add(const std::string& path, int error, const std::string& folder);
    void add(const std::string& path, const std::string& reason);
    size_t count() const { return m_count; }

    // "分拣工作完成！" alone, or followed by failureText().
    std::string completionText() const;
    // The count and the first failures after a blank line; empty without any.
    // heading counts them ("有 %1 个文件未能分拣：").
    std::string failureText(MessageId heading = MessageId::FailedHeading) const;

  private:
    SortHost* m_host = nullptr;
    size_t m_count = 0;
    std::vector<std::string> m_shown;
};

}  // namespace zanfeld
