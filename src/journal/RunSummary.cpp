#include "RunSummary.h"

#include <cstdio>
#include <iterator>

#include "FileOps.h"
#include "LocalTime.h"
#include "MessageTexts.h"
#include "SortTypes.h"
#include "UndoRunCounts.h"

namespace zanfeld {

namespace {

using I = MessageId;

const MessageId kFilePages[] = {I::PageKeys, I::PageName, I::PageType,
                                I::PageSize, I::PageDate, I::PagePicture, I::PageTaken};
const MessageId kFolderPages[] = {I::FolderPageKeys, I::FolderPageName, I::FolderPageDate};

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
    return Format(run.window == RunWindow::Folders ? I::HistoryFolders : I::HistoryFiles);
}

std::string RunSummary::page(const JournalRun& run) {
    if (run.undoes != 0) return Format(I::HistoryUndo);
    if (run.window == RunWindow::Folders) {
        if (run.page >= 0 && run.page < static_cast<int>(std::size(kFolderPages)))
            return Format(kFolderPages[run.page]);
        return {};
    }
    if (run.page >= 0 && run.page < static_cast<int>(std::size(kFilePages)))
        return Format(kFilePages[run.page]);
    return {};
}

std::string RunSummary::mode(const JournalRun& run) {
    // An undo run copied and placed nothing: it is told as an undo.
    if (run.undoes != 0) return Format(I::HistoryUndo);
    return Format(run.mode == static_cast<int>(TransferMode::Move) ? I::Move : I::Copy);
}

std::string RunSummary::counts(RunJournal& journal, const JournalRun& run) {
    if (run.undoes != 0) {
        const UndoCounts u = UndoRunCounts(journal, run);
        return Format(I::HistoryUndoCounts,
                      {std::to_string(u.movedBack), std::to_string(u.removed),
                       std::to_string(u.restored), std::to_string(u.notUndone)});
    }
    const JournalCounts& c = run.counts;
    return Format(I::HistoryCounts,
                  {std::to_string(c.placed), std::to_string(c.skipped), std::to_string(c.renamed),
                   std::to_string(c.overwritten), std::to_string(c.failed)});
}

std::string RunSummary::state(const JournalRun& run) {
    MessageId state = I::StateUnfinished;
    if (run.end) {
        switch (run.end->kind) {
            case JournalEndKind::Finished:
                state = I::StateFinished;
                break;
            case JournalEndKind::Stopped:
                state = I::StateStopped;
                break;
            case JournalEndKind::EndedEarly:
                state = I::StateEndedEarly;
                break;
        }
    }
    if (run.undoneBy != 0) return Format(I::StateUndone, {Format(state)});
    return Format(state);
}

bool RunSummary::undoable(const JournalRun& run) { return run.undoneBy == 0 && run.undoes == 0; }

}  // namespace zanfeld
