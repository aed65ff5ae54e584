#include "TerminalHost.h"

#include <cstdio>

#include "FileOps.h"
#include "LocalTime.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "PlainText.h"
#include "RunStatusLine.h"
#include "StopSignal.h"
#include "Terminal.h"

namespace zanfeld {

namespace {

std::string SizeText(const std::optional<int64_t>& size) {
    if (!size) return "—";
    const auto bytes = static_cast<uint64_t>(*size);
    if (bytes < 1024) return Format(MessageId::CliBytes, {std::to_string(bytes)});
    return Format(MessageId::CliSizeWithBytes,
                  {RunStatusLine::bytes(bytes), std::to_string(bytes)});
}

std::string TimeText(const std::optional<FileTime>& time, bool newer) {
    if (!time) return "—";
    const LocalDateTime t = ToLocalDateTime(*time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return newer ? Format(MessageId::CliNewer, {text}) : std::string(text);
}

}  // namespace

TerminalHost::TerminalHost(Setup setup, std::FILE* err, int in)
    : m_setup(setup),
      m_err(err),
      m_in(in),
      m_line(err, setup.progress, setup.folders, setup.columns, setup.undo) {}

void TerminalHost::say(const std::string& text) {
    m_line.clear();
    std::fputs(PlainText::message(TranslateMessage(text)).c_str(), m_err);
    std::fputc('\n', m_err);
    std::fflush(m_err);
}

void TerminalHost::showInfo(const std::string& text) {
    m_messages.push_back(text);
    // A message before the run's counts is a check that refused the run.
    if (!m_counted) m_refused = true;
    if (!m_setup.holdMessages) showMessages();
}

void TerminalHost::showMessages() {
    for (; m_shown < m_messages.size(); ++m_shown) say(m_messages[m_shown]);
}

void TerminalHost::showWarning(const std::string& text) { showInfo(text); }

void TerminalHost::rejectOption(const std::string& text, OptionId option) {
    const auto index = static_cast<size_t>(option);
    m_refusedOption = index < std::size(m_setup.optionNames) ? m_setup.optionNames[index] : "";
    showMessages();
    m_messages.push_back(text);
    m_shown = m_messages.size();
    m_refused = true;
    say(m_refusedOption.empty() ? Format(MessageId::CliRefused, {text})
                                : Format(MessageId::CliRefusedOption, {text, m_refusedOption}));
}

std::string TerminalHost::question(const std::string& targetPath, const std::string& sourcePath) {
    std::string text = Format(MessageId::CliReplaceQuestion, {targetPath});
    if (sourcePath.empty()) return text;
    const auto targetTime = RegularFileTime(targetPath);
    const auto sourceTime = RegularFileTime(sourcePath);
    const bool targetNewer = targetTime && sourceTime && *targetTime > *sourceTime;
    const bool sourceNewer = targetTime && sourceTime && *sourceTime > *targetTime;
    text += "\n" + Format(MessageId::CliExistingFile, {SizeText(RegularFileSize(targetPath)),
                                                       TimeText(targetTime, targetNewer)});
    text += "\n" + Format(MessageId::CliNewFile, {SizeText(RegularFileSize(sourcePath)),
                                                  TimeText(sourceTime, sourceNewer)});
    return text;
}

bool TerminalHost::askReplace(const std::string& targetPath, const std::string& sourcePath) {
    if (m_setup.answer) return *m_setup.answer;
    if (m_answerForAll) return *m_answerForAll;
    if (stopRequested()) return false;
    say(question(targetPath, sourcePath));
    for (;;) {
        std::fputs(TranslateMessage(Format(MessageId::CliAnswerPrompt)).c_str(), m_err);
        std::fflush(m_err);
        const std::optional<std::string> line =
            ReadLine(m_in, [] { return StopSignal::received() != 0; });
        if (!line) {
            std::fputc('\n', m_err);
            // The input ended (or Ctrl-C): no one is left to answer, and
            // nothing is replaced without an answer.
            if (!stopRequested()) m_stopAnswered = true;
            return false;
        }
        const std::string& a = *line;
        if (a == "y" || a == "Y" || a == "yes" || a == "是") return true;
        if (a.empty() || a == "n" || a == "no" || a == "否") return false;
        if (a == "a" || a == "全部是") {
            m_answerForAll = true;
            return true;
        }
        if (a == "N" || a == "全部否") {
            m_answerForAll = false;
            return false;
        }
        if (a == "s" || a == "S" || a == "停止") {
            m_stopAnswered = true;
            return false;
        }
    }
}

bool TerminalHost::stopRequested() {
    if (!m_signalled && StopSignal::received() != 0) m_signalled = true;
    return m_signalled || m_stopAnswered;
}

void TerminalHost::noteCounts(const RunCounts& counts) {
    m_counts = counts;
    m_counted = true;
}

void TerminalHost::noteFailure(const std::string& path, const std::string& reason) {
    m_failures.push_back({path, reason});
}

}  // namespace zanfeld
