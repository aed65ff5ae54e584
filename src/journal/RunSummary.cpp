#include "RunSummary.h"

#include <cstdio>
#include <iterator>

#include "FileOps.h"
#include "LocalTime.h"
#include "SortTypes.h"

namespace zanfeld {

namespace {

const char* const kFilePages[] = {"按文件名匹配关键字分拣", "按文件名分拣",       "按文件类型分拣",
                                  "按文件大小分拣",         "按文件日期属性分拣", "图像文件分拣"};
const char* const kFolderPages[] = {"按目录名匹配关键字分拣", "按目录名分拣", "按目录日期属性分拣"};

}  // namespace

std::string RunSummary::started(const JournalRun& run) {
    FileTime time;
    time.sec = run.startedNs / 1000000000;
    time.nsec = run.startedNs % 1000000000;
    const LocalDateTime t = ToLocalDateTime(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

std::string RunSummary::window(const JournalRun& run) {
    return run.window == RunWindow::Folders ? "文件夹" : "文件";
}

std::string RunSummary::page(const JournalRun& run) {
    if (run.undoes != 0) return "撤销";
    if (run.window == RunWindow::Folders) {
        if (run.page >= 0 && run.page < static_cast<int>(std::size(kFolderPages)))
            return kFolderPages[run.page];
        return {};
    }
    if (run.page >= 0 && run.page < static_cast<int>(std::size(kFilePages)))
        return kFilePages[run.page];
    return {};
}

std::string RunSummary::mode(const JournalRun& run) {
    return run.mode == static_cast<int>(TransferMode::Move) ? "移动" : "复制";
}

std::string RunSummary::counts(const JournalRun& run) {
    const JournalCounts& c = run.counts;
    return "已放置 " + std::to_string(c.placed) + "，跳过 " + std::to_string(c.skipped) +
           "，改名 " + std::to_string(c.renamed) + "，覆盖 " + std::to_string(c.overwritten) +
           "，失败 " + std::to_string(c.failed);
}

std::string RunSummary::state(const JournalRun& run) {
    std::string state = "未正常结束";
    if (run.end) {
        switch (run.end->kind) {
            case JournalEndKind::Finished:
                state = "完成";
                break;
            case JournalEndKind::Stopped:
                state = "已停止";
                break;
            case JournalEndKind::EndedEarly:
                state = "中断";
                break;
        }
    }
    if (run.undoneBy != 0) state += "，已撤销";
    return state;
}

bool RunSummary::undoable(const JournalRun& run) { return run.undoneBy == 0 && run.undoes == 0; }

}  // namespace zanfeld
