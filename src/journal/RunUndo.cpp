#include "RunUndo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <set>
#include <unordered_map>
#include <vector>

#include "FailureLog.h"
#include "FileOps.h"
#include "HiddenTemp.h"
#include "JournalRecorder.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "Placement.h"
#include "SourceFile.h"
#include "Sys.h"
#include "TargetFolder.h"
#include "Trash.h"

namespace zanfeld {

namespace {

bool IsMove(const JournalPlacement& p) { return p.mode == static_cast<int>(TransferMode::Move); }

bool Replaced(const PlacementOutcome& o) {
    return o.result == PlacementResult::Overwritten && !o.trashedPath.empty();
}

// The file at path is still the one the placement left there.
bool StillAsPlaced(const std::string& path, const PlacementOutcome& o) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return static_cast<uint64_t>(st.st_dev) == o.device &&
           static_cast<uint64_t>(st.st_ino) == o.inode && st.st_size == o.size &&
           st.st_mtim.tv_sec == o.mtimeSec && st.st_mtim.tv_nsec == o.mtimeNsec;
}

// A copy may go for good only while its source still holds the same data, as
// far as size and time tell (a copy keeps its source's time).
bool SourceStillMatches(const std::string& source, const PlacementOutcome& o) {
    struct stat st;
    return sys().stat(source.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == o.size &&
           st.st_mtim.tv_sec == o.mtimeSec && st.st_mtim.tv_nsec == o.mtimeNsec;
}

// The entry at path came into being (or under its name) at or after ns:
// its change time, which a copy's publishing and a rename set, says so.
bool MadeSince(const std::string& path, int64_t ns) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return false;
    const int64_t changed =
        static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return changed >= ns;
}

// Two regular files hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (sys().stat(a.c_str(), &sa) != 0 || sys().stat(b.c_str(), &sb) != 0) return false;
    if (!S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size) return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb) return false;
    std::vector<char> ba(1 << 16), bb(1 << 16);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount()) return false;
        if (!std::equal(ba.begin(), ba.begin() + fa.gcount(), bb.begin())) return false;
    }
    return fa.eof() && fb.eof();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(kPathSeparator);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kPathSeparator) : path.substr(0, slash);
}

// Works through a run's placements backwards and keeps the tally.
class Undo {
  public:
    Undo(JournalRecorder& record, int64_t runStartNs)
        : m_record(record), m_runStartNs(runStartNs) {}

    void placement(const JournalPlacement& p) {
        const PlacementOutcome& o = p.outcome;
        switch (o.state) {
            case PlacementState::Failed:
            case PlacementState::Skipped:
                return;
            case PlacementState::Intended:
                inDoubt(p);
                return;
            case PlacementState::Done:
                break;
        }
        bool targetFree = false;
        if (!StillAsPlaced(p.target, o)) {
            struct stat st;
            if (sys().lstat(p.target.c_str(), &st) != 0) {
                keep(p.target, Format(MessageId::UndoNotThere));
                targetFree = errno == ENOENT;
            } else {
                keep(p.target, Format(MessageId::UndoChanged));
            }
        } else if (IsMove(p)) {
            targetFree = moveBack(p.target, p.source);
        } else {
            targetFree = removeCopy(p);
        }
        if (Replaced(o)) {
            if (!targetFree) {
                keep(o.trashedPath, Format(MessageId::UndoTrashOccupied));
            } else {
                restore(p);
            }
        } else if (o.replacedWithoutTrash) {
            keep(p.target, Format(MessageId::UndoReplacedLost));
        }
    }

    void folders(const std::vector<std::string>& made,
                 const std::vector<JournalPlacement>& placements) {
        // A run killed while it placed a file leaves a hidden temporary in
        // the folder: its new copy, or the file it was replacing, swapped
        // aside. It goes to the Trash, where nothing is lost, and no longer
        // keeps an emptied folder of the run's from going.
        std::set<std::string> visited;
        for (const JournalPlacement& p : placements) {
            const size_t slash = p.target.rfind('/');
            if (slash == std::string::npos || slash == 0) continue;
            const std::string folder = p.target.substr(0, slash);
            if (visited.insert(folder).second)
                RemoveStaleTemporaries(folder, -1, StaleTemporaries::Trash);
        }
        // Deepest first; a folder that holds anything stays.
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if (sys().unlinkAt(AT_FDCWD, it->c_str(), AT_REMOVEDIR) == 0) ++m_report.foldersRemoved;
        }
    }

    UndoReport& report() { return m_report; }
    const FailureLog& kept() const { return m_kept; }

  private:
    // A placement a killed run left unsettled, settled by looking at the
    // disk. A move whose source is gone and whose target is there was made:
    // it goes back. A target that holds the very bytes of the source still
    // there, and was made since the run began, is the run's own copy (or a
    // move killed before it let go of its source): it goes, since the source
    // keeps the same data. Anything else stays, and is named.
    void inDoubt(const JournalPlacement& p) {
        struct stat st;
        if (sys().lstat(p.target.c_str(), &st) != 0) return;  // nothing was placed
        if (IsMove(p) && sys().lstat(p.source.c_str(), &st) != 0 && errno == ENOENT) {
            moveBack(p.target, p.source);
            return;
        }
        if (MadeSince(p.target, m_runStartNs) && SameBytes(p.source, p.target)) {
            TargetFolder folder;
            std::string name;
            if (folder.openFolderOf(p.target, name) == 0 &&
                sys().unlinkAt(folder.fd(), name.c_str(), 0) == 0) {
                ++m_report.copiesRemoved;
                return;
            }
        }
        keep(p.target, Format(MessageId::UndoInDoubtKept));
    }

    // Moves the file at from back to to, under a numbered name when to is
    // taken. True when from is free afterwards.
    bool moveBack(const std::string& from, const std::string& to) {
        const std::string name = FileNameOf(to);
        int error = 0;
        TargetFolder& folder = folderOf(to, error);
        const int64_t id = m_record.intend(from, to, TransferMode::Move);
        std::string placed = name;
        if (error == 0) {
            error = MoveFileInto(SourceFile(from), folder, placed, Publish::Keep);
            for (int attempt = 0; error == EEXIST && attempt < 16; ++attempt) {
                placed = FreeNumberedName(folder, name, to);
                error = MoveFileInto(SourceFile(from), folder, placed, Publish::Keep);
            }
        }
        PlacementRecord record;
        record.target = folder.isOpen() ? folder.pathOf(placed) : to;
        record.error = error;
        record.outcome = error != 0       ? FileOutcome::Failed
                         : placed != name ? FileOutcome::Renamed
                                          : FileOutcome::Placed;
        m_record.done(id, record);
        if (error != 0) {
            keep(from, Format(MessageId::UndoCannotMoveBack, {to, ReasonText(error)}));
            return false;
        }
        ++m_report.movedBack;
        if (placed != name) {
            ++m_report.renamedBack;
            note(folder.pathOf(placed), Format(MessageId::UndoRenamedBack));
        }
        return true;
    }

    // Takes a copy away, to the Trash when its source no longer holds the
    // same data. True when the copy's name is free afterwards.
    bool removeCopy(const JournalPlacement& p) {
        TargetFolder folder;
        std::string name;
        if (const int e = folder.openFolderOf(p.target, name)) {
            keep(p.target, ReasonText(e));
            return false;
        }
        const int64_t id = m_record.intend(p.target, std::string(), TransferMode::Copy);
        PlacementRecord record;
        record.target = p.target;
        int error = 0;
        FileFacts facts;
        // The last look, through the folder held open, just before it goes.
        if (LookAtFileIn(folder, name, facts) != 0 || facts.id.device != p.outcome.device ||
            facts.id.inode != p.outcome.inode) {
            error = kSourceChanged;
        } else if (SourceStillMatches(p.source, p.outcome)) {
            if (sys().unlinkAt(folder.fd(), name.c_str(), 0) != 0) error = errno;
            if (error == 0) ++m_report.copiesRemoved;
        } else {
            TrashPlace place;
            error = MoveToTrashAt(folder.fd(), name, p.target, place);
            if (error == 0) {
                ++m_report.copiesTrashed;
                record.trashFile = place.file;
                record.trashInfo = place.info;
                note(p.target, Format(MessageId::UndoCopyTrashed));
            }
        }
        record.error = error;
        record.outcome = error == 0 ? FileOutcome::Placed : FileOutcome::Failed;
        m_record.done(id, record);
        if (error != 0)
            keep(p.target, Format(MessageId::UndoCannotRemoveCopy, {ReasonText(error)}));
        return error == 0;
    }

    void restore(const JournalPlacement& p) {
        const int64_t id = m_record.intend(p.outcome.trashedPath, p.target, TransferMode::Move);
        const int error =
            RestoreFromTrash(TrashPlace{p.outcome.trashedPath, p.outcome.trashInfoPath}, p.target);
        PlacementRecord record;
        record.target = p.target;
        record.error = error;
        record.outcome = error == 0 ? FileOutcome::Placed : FileOutcome::Failed;
        m_record.done(id, record);
        if (error == 0) {
            ++m_report.restored;
        } else {
            keep(p.outcome.trashedPath,
                 Format(MessageId::UndoCannotRestore, {p.target, ReasonText(error)}));
        }
    }

    // A file left as it is.
    // The folder that to lies in, held open for the files that go back
    // there after it; made again when it is gone. error tells why it could
    // not be opened (the folder returned is then not open).
    TargetFolder& folderOf(const std::string& to, int& error) {
        const std::string path = FolderOf(to);
        auto it = m_folders.find(path);
        if (it != m_folders.end() && it->second.stillAtItsPath()) return it->second;
        if (m_folders.size() >= kMostOpen) m_folders.clear();
        TargetFolder& folder = m_folders[path];
        folder = TargetFolder();
        error = folder.open(path);
        if (error == ENOENT || error == ENOTDIR) {
            error = MakeDirs(path);
            if (error == 0) error = folder.open(path);
        }
        if (error != 0) {
            TargetFolder& failed = m_failedFolder;
            m_folders.erase(path);
            failed = TargetFolder();
            return failed;
        }
        return folder;
    }

    void keep(const std::string& path, const std::string& reason) {
        ++m_report.kept;
        m_kept.add(path, reason);
    }
    // Something done otherwise than asked, which the user should know of.
    void note(const std::string& path, const std::string& reason) { m_kept.add(path, reason); }

    static constexpr size_t kMostOpen = 256;

    JournalRecorder& m_record;
    int64_t m_runStartNs;
    std::unordered_map<std::string, TargetFolder> m_folders;  // where files go back to
    TargetFolder m_failedFolder;  // stands for one that could not be opened
    UndoReport m_report;
    FailureLog m_kept;  // what the user should know of, with the reason
};

std::string ClosingText(const UndoReport& r, const FailureLog& kept) {
    std::string text = Format(r.stopped ? MessageId::UndoStopped : MessageId::UndoDone);
    text += "\n\n" + Format(MessageId::UndoCounts,
                            {std::to_string(r.movedBack), std::to_string(r.copiesRemoved),
                             std::to_string(r.restored), std::to_string(r.foldersRemoved)});
    // The same list as a sort's failures, with its own heading.
    return text + kept.failureText(MessageId::UndoKeptHeading);
}

}  // namespace

UndoPlan PlanUndo(RunJournal& journal, int64_t run) {
    UndoPlan plan;
    for (const JournalPlacement& p : journal.placements(run)) {
        const PlacementOutcome& o = p.outcome;
        if (o.state == PlacementState::Intended) {
            ++plan.inDoubt;
            continue;
        }
        if (o.state != PlacementState::Done) continue;
        if (IsMove(p))
            ++plan.moveBack;
        else
            ++plan.removeCopies;
        if (Replaced(o)) ++plan.restore;
        if (o.replacedWithoutTrash) ++plan.lost;
    }
    return plan;
}

std::string UndoQuestion(const JournalRun& run, const UndoPlan& plan, bool ask) {
    char when[32] = "";
    const time_t seconds = static_cast<time_t>(run.startedNs / 1000000000);
    struct tm local;
    if (localtime_r(&seconds, &local)) strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::string text = Format(MessageId::UndoQuestion,
                              {when, run.outputDir, std::to_string(plan.moveBack),
                               std::to_string(plan.removeCopies), std::to_string(plan.restore)});
    if (plan.inDoubt > 0)
        text += "\n" + Format(MessageId::UndoInDoubt, {std::to_string(plan.inDoubt)});
    if (plan.lost > 0) text += "\n" + Format(MessageId::UndoLost, {std::to_string(plan.lost)});
    return text + "\n\n" + Format(ask ? MessageId::UndoAsk : MessageId::UndoTell);
}

UndoReport UndoRun(RunJournal& journal, int64_t run, SortHost& host) {
    const std::vector<JournalPlacement> placements = journal.placements(run);
    const std::vector<std::string> made = journal.madeFolders(run);
    JournalRun what;
    for (const JournalRun& r : journal.runs(0)) {
        if (r.id == run) what = r;
    }

    if (what.id == 0 || what.undoneBy != 0 || what.undoes != 0) {
        // Gone from the journal, put back already (never twice), or an undo.
        host.showInfo(Format(what.id == 0       ? MessageId::UndoNotInJournal
                             : what.undoes != 0 ? MessageId::UndoOfUndo
                                                : MessageId::UndoAlreadyUndone));
        return {};
    }

    // What an earlier undo of this run, stopped part-way, already put back.
    std::set<std::string> undone;
    for (const JournalRun& r : journal.runs(0)) {
        if (r.undoes != run) continue;
        for (const JournalPlacement& q : journal.placements(r.id))
            if (q.outcome.state == PlacementState::Done) undone.insert(q.source);
    }

    JournalRecorder record(journal, run);
    SortOptions options;
    options.page = static_cast<SortPage>(what.page);
    options.transferMode = static_cast<TransferMode>(what.mode);
    options.sameFilePolicy = static_cast<SameFilePolicy>(what.policy);
    options.outputDir = what.outputDir;
    record.beginRun(what.window, options);

    host.setBusy(true);
    Undo undo(record, what.startedNs);
    const size_t n = placements.size();
    RunProgress progress;
    progress.count = n;
    progress.moving = true;
    for (size_t i = 0; i < n; ++i) {
        if (host.stopRequested()) {
            undo.report().stopped = true;
            break;
        }
        const JournalPlacement& p = placements[n - 1 - i];
        progress.index = i;
        progress.path = &p.target;
        host.noteProgress(progress);
        if (!undone.count(p.target)) undo.placement(p);
        host.setProgress(static_cast<int>(static_cast<unsigned long long>(i + 1) * 100 / n));
    }
    UndoReport& report = undo.report();
    if (!report.stopped) undo.folders(made, placements);

    RunCounts counts;
    counts.placed =
        report.movedBack + report.copiesRemoved + report.copiesTrashed + report.restored;
    counts.failed = report.kept;
    record.endRun(report.stopped ? RunEnd::Stopped : RunEnd::Finished, counts);
    if (!report.stopped && record.run() != 0) journal.markUndone(run, record.run());

    host.setBusy(false);
    const std::string text = ClosingText(report, undo.kept());
    if (report.kept > 0)
        host.showWarning(text);
    else
        host.showInfo(text);
    host.setProgress(0);
    return report;
}

}  // namespace zanfeld
