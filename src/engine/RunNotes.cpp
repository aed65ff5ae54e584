#include "RunNotes.h"

namespace zanfeld {

void RunCounts::add(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::Placed:
            ++placed;
            break;
        case FileOutcome::Renamed:
            ++renamed;
            break;
        case FileOutcome::Overwritten:
            ++overwritten;
            break;
        case FileOutcome::Skipped:
            ++skipped;
            break;
        case FileOutcome::Failed:
            ++failed;
            break;
    }
}

std::string RunCounts::text() const {
    auto part = [](const char* label, size_t n) { return label + std::to_string(n) + " 个"; };
    return part("已放置 ", placed) + "，" + part("跳过 ", skipped) + "，" + part("改名 ", renamed) +
           "，" + part("覆盖 ", overwritten) + "，" + part("失败 ", failed);
}

}  // namespace zanfeld
