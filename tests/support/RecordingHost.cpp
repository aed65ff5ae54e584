#include "RecordingHost.h"

namespace zanfeld::test {

void RecordingHost::showInfo(const std::string& text) { calls.push_back("info:" + text); }

void RecordingHost::showWarning(const std::string& text) {
    ++warnings;
    showInfo(text);
}

void RecordingHost::rejectOption(const std::string& text, OptionId option) {
    calls.push_back("reject:" + std::to_string(static_cast<int>(option)) + ":" + text);
}

void RecordingHost::setOutputDir(const std::string& text) { calls.push_back("outdir:" + text); }

void RecordingHost::setBusy(bool busy) {
    calls.push_back(std::string("busy:") + (busy ? "1" : "0"));
}

void RecordingHost::setProgress(int percent) {
    calls.push_back("progress:" + std::to_string(percent));
}

void RecordingHost::refreshLiveOptions(SortOptions& options) {
    if (onRefresh) onRefresh(options);
}

bool RecordingHost::askOverwrite(const std::string& targetPath) {
    calls.push_back("ask:" + targetPath);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<std::string> RecordingHost::of(const std::string& kind) const {
    std::vector<std::string> out;
    const std::string prefix = kind + ":";
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c.substr(prefix.size()));
    return out;
}

std::vector<int> RecordingHost::progress() const {
    std::vector<int> out;
    for (const auto& p : of("progress")) out.push_back(std::stoi(p));
    return out;
}

size_t FailedCount(const std::string& completionText) {
    static const std::string head = "有 ";
    const size_t at = completionText.find(head);
    if (at == std::string::npos || completionText.find(" 个文件未能分拣", at) == std::string::npos)
        return 0;
    return std::stoul(completionText.substr(at + head.size()));
}

}  // namespace zanfeld::test
