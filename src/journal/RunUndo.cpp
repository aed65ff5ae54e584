#include "RunUndo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "EntryOps.h"
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
#include "UndoStep.h"

namespace zanfeld {

namespace {

bool IsMove(const JournalPlacement& p) { return p.mode == static_cast<int>(TransferMode::Move); }

bool Replaced(const PlacementOutcome& o) {
    return o.result == PlacementResult::Overwritten && !o.trashedPath.empty();
}

using Step = UndoStep;

// The entry at path is still the one the placement left there (a link
// moved as a link is looked at as itself).
bool StillAsPlaced(const std::string& path, const PlacementOutcome& o) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return false;
    // A link the run placed is looked at as itself; any other link by what
    // it leads to (a copy of a link's file is a file).
    if (S_ISLNK(st.st_mode) && static_cast<uint64_t>(st.st_ino) != o.inode &&
        sys().stat(path.c_str(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
    return static_cast<uint64_t>(st.st_dev) == o.device &&
           static_cast<uint64_t>(st.st_ino) == o.inode && st.st_size == o.size &&
           st.st_mtim.tv_sec == o.mtimeSec && st.st_mtim.tv_nsec == o.mtimeNsec;
}

// The source's name leads to the very file the placement left: nothing was
// placed (the file was where it belonged), or it is back already.
bool SourceIsPlaced(const std::string& source, const PlacementOutcome& o) {
    struct stat st;
    if (sys().lstat(source.c_str(), &st) != 0) return false;
    if (static_cast<uint64_t>(st.st_dev) == o.device && static_cast<uint64_t>(st.st_ino) == o.inode)
        return true;
    return S_ISLNK(st.st_mode) && sys().stat(source.c_str(), &st) == 0 &&
           static_cast<uint64_t>(st.st_dev) == o.device &&
           static_cast<uint64_t>(st.st_ino) == o.inode;
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
// The file system stamps times from a clock that runs a tick behind the one
// a run's start is read from: a little slack.
constexpr int64_t kStampSlackNs = 50'000'000;

bool MadeSince(const std::string& path, int64_t ns) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return false;
    const int64_t changed =
        static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return changed >= ns - kStampSlackNs;
}

// Two entries hold the same bytes (two links the same text).
bool SameBytes(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (sys().lstat(a.c_str(), &sa) != 0 || sys().lstat(b.c_str(), &sb) != 0) return false;
    if (S_ISLNK(sa.st_mode) || S_ISLNK(sb.st_mode)) {
        std::string ta, tb;
        return S_ISLNK(sa.st_mode) && S_ISLNK(sb.st_mode) && ReadLinkText(a, ta) == 0 &&
               ReadLinkText(b, tb) == 0 && ta == tb;
    }
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

// Both names lead to one file (links not followed).
bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return sys().lstat(a.c_str(), &sa) == 0 && sys().lstat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// path is a folder's path and name, its last part, such that the folder
// opened by that path names name as path itself (TargetFolder::pathOf).
bool IsFolderAndName(const std::string& path, const std::string& name) {
    const size_t slash = path.rfind(kPathSeparator);
    return slash != std::string::npos && (slash == 0 || path[slash - 1] != kPathSeparator) &&
           IsPlainName(name);
}

bool Missing(const std::string& path) {
    struct stat st;
    return sys().lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(kPathSeparator);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, kPathSeparator) : path.substr(0, slash);
}

// path itself, then the numbered names a run or an undo gives in its
// folder (<stem>_1<ext>, ...) while they are taken.
std::vector<std::string> NumberedNames(const std::string& path) {
    std::vector<std::string> names{path};
    const std::string folder = FolderOf(path);
    const std::string name = FileNameOf(path);
    const std::string stem = BaseNameOf(name);
    const std::string ext = ExtensionOf(name);
    for (int n = 1; n < 10000; ++n) {
        std::string candidate = folder + kPathSeparator + stem + "_" + std::to_string(n) + ext;
        if (Missing(candidate)) break;
        names.push_back(std::move(candidate));
    }
    return names;
}

// What earlier undo runs of the same run did, step by step.
struct EarlierSteps {
    std::set<std::pair<int64_t, int>> done;
    // Steps begun and not known to be done (a killed undo), with when that
    // undo began.
    std::map<std::pair<int64_t, int>, int64_t> inDoubt;
    // Undo runs of earlier versions named what they put back by path only.
    std::set<std::string> donePaths;

    // No undo of the run was begun before this one.
    bool none() const { return done.empty() && inDoubt.empty() && donePaths.empty(); }

    bool isDone(int64_t placement, Step step) const {
        return done.count({placement, static_cast<int>(step)}) != 0;
    }
    std::optional<int64_t> doubtSince(int64_t placement, Step step) const {
        const auto it = inDoubt.find({placement, static_cast<int>(step)});
        if (it == inDoubt.end() || isDone(placement, step)) return std::nullopt;
        return it->second;
    }
};

EarlierSteps ReadEarlierSteps(RunJournal& journal, const std::vector<JournalRun>& runs,
                              int64_t run) {
    EarlierSteps earlier;
    for (const JournalRun& r : runs) {
        if (r.undoes != run) continue;
        for (const JournalPlacement& q : journal.placements(r.id)) {
            if (q.undoes == 0) {
                if (q.outcome.state == PlacementState::Done) earlier.donePaths.insert(q.source);
                continue;
            }
            const std::pair<int64_t, int> key{q.undoes, q.mode};
            if (q.outcome.state == PlacementState::Done)
                earlier.done.insert(key);
            else if (q.outcome.state == PlacementState::Intended)
                earlier.inDoubt.emplace(key, r.startedNs);
        }
    }
    return earlier;
}

// Works through a run's placements backwards and keeps the tally.
class Undo {
  public:
    Undo(JournalRecorder& record, int64_t runStartNs, const EarlierSteps& earlier)
        : m_record(record), m_runStartNs(runStartNs), m_earlier(earlier) {}

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
        const std::string& placed = p.placed();
        if (m_earlier.donePaths.count(placed)) return;
        const Step main = IsMove(p) ? Step::MoveBack : Step::RemoveCopy;
        if (!m_earlier.isDone(p.id, main)) mainStep(p, main);
        if (Replaced(o) && !m_earlier.isDone(p.id, Step::Restore)) {
            if (const auto since = m_earlier.doubtSince(p.id, Step::Restore);
                since && Missing(o.trashedPath) && !Missing(placed)) {
                return;  // restored by the undo that was killed
            }
            if (!Missing(placed))
                keep(o.trashedPath, Format(MessageId::UndoTrashOccupied));
            else
                restore(p);
        } else if (o.replacedWithoutTrash) {
            // Nothing can bring it back: named, and the undo is not complete,
            // though no later undo could do more for it.
            keep(placed, Format(MessageId::UndoReplacedLost));
            ++m_report.lost;
        }
    }

    void folders(const std::vector<std::string>& made,
                 const std::vector<JournalPlacement>& placements) {
        // A run killed while it placed a file leaves a hidden temporary in
        // the folder: its new copy, or the file it was replacing, swapped
        // aside. It goes to the Trash, where nothing is lost, and no longer
        // keeps an emptied folder of the run's from going.
        std::set<std::string> visited;
        auto clear = [&](const std::string& folder) {
            if (visited.insert(folder).second) RemoveStaleTemporaries(folder);
        };
        for (const JournalPlacement& p : placements) {
            const std::string folder = FolderOf(p.placed());
            if (folder.size() > 1) clear(folder);
        }
        for (const std::string& folder : made) clear(folder);
        // Deepest first; a folder that holds anything stays.
        std::vector<std::string> order = made;
        std::sort(order.begin(), order.end(),
                  [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        for (const std::string& folder : order) {
            if (sys().unlinkAt(AT_FDCWD, folder.c_str(), AT_REMOVEDIR) == 0)
                ++m_report.foldersRemoved;
        }
    }

    UndoReport& report() { return m_report; }
    const FailureLog& kept() const { return m_kept; }

  private:
    void mainStep(const JournalPlacement& p, Step step) {
        const PlacementOutcome& o = p.outcome;
        const std::string& placed = p.placed();
        // The file was where it belonged (the target was the source under
        // another name), or an earlier undo put it back already. A move back
        // of a run never undone before asks only when it finds the source's
        // name taken (moveBack): one look less a file.
        const bool askLater = step == Step::MoveBack && m_earlier.none();
        if (!askLater && SourceIsPlaced(p.source, o)) return;
        if (const auto since = m_earlier.doubtSince(p.id, step)) {
            if (settleEarlier(p, step, *since)) return;
        }
        if (!StillAsPlaced(placed, o)) {
            if (Missing(placed))
                keep(placed, Format(MessageId::UndoNotThere));
            else
                keep(placed, Format(MessageId::UndoChanged));
            return;
        }
        if (step == Step::MoveBack)
            moveBack(p.id, placed, p.source, askLater ? &o : nullptr);
        else
            removeCopy(p.id, placed, p.source, o);
    }

    // A step that a killed undo began: true when the disk shows it done
    // (the last of it made here: a move back across file systems that left
    // both names is finished by letting go of the placed one).
    bool settleEarlier(const JournalPlacement& p, Step step, int64_t since) {
        const std::string& placed = p.placed();
        const bool stillThere = StillAsPlaced(placed, p.outcome);
        if (step == Step::RemoveCopy) return !stillThere && Missing(placed);
        for (const std::string& back : NumberedNames(p.source)) {
            if (!MadeSince(back, since)) continue;
            if (!stillThere) {
                if (!Missing(placed)) continue;
                ++m_report.movedBack;
                return true;
            }
            if (!SameBytes(back, placed)) continue;
            const int error = removeAsStep(p.id, placed, back, Step::MoveBack);
            if (error != 0) {
                keep(placed, Format(MessageId::UndoCannotMoveBack, {p.source, ReasonText(error)}));
                return true;
            }
            ++m_report.movedBack;
            return true;
        }
        return false;
    }

    // Removes the entry at path (a second of the same bytes) as a step of
    // this undo that puts back placement. 0 or an errno.
    int removeAsStep(int64_t placement, const std::string& path, const std::string& target,
                     Step step) {
        const int64_t id = m_record.intendStep(placement, path, target, static_cast<int>(step));
        TargetFolder folder;
        std::string name;
        int error = folder.openFolderOf(path, name);
        if (error == 0 && sys().unlinkAt(folder.fd(), name.c_str(), 0) != 0) error = errno;
        PlacementRecord record;
        record.target = target.empty() ? path : target;
        record.error = error;
        record.outcome = error == 0 ? FileOutcome::Placed : FileOutcome::Failed;
        m_record.done(id, record);
        return error;
    }

    // A placement a killed run left unsettled, settled by looking at the
    // disk, under its own name or a numbered one. A move whose source is
    // gone and whose target was made since the run began was made: it goes
    // back. A target that holds the very bytes of the source still there,
    // and was made since the run began, is the run's own copy (or a move
    // killed before it let go of its source): it goes, since the source
    // keeps the same data. Anything else stays, and is named.
    void inDoubt(const JournalPlacement& p) {
        // A placement killed while the file it was to replace got its name
        // in the Trash never reached that file.
        if (ClearHalfTrashed(p.target)) return;
        const std::string& trashed = p.outcome.trashedPath;
        if (!trashed.empty() && !Missing(trashed)) {
            // The file under the target name was given its name in the Trash
            // before the swap. Still under its own name too: the swap never
            // happened, nothing of the placement's is to undo, and the
            // second name goes.
            if (SameFile(trashed, p.target)) {
                ForgetTrashed(TrashPlace{trashed, p.outcome.trashInfoPath}, p.target);
                return;
            }
            // A move killed right after the swap left the older file under
            // the source's name as well: that second name goes, and the
            // moved file comes back under it below.
            if (IsMove(p) && SameFile(trashed, p.source))
                sys().unlinkAt(AT_FDCWD, p.source.c_str(), 0);
        }
        undoInDoubt(p);
        if (trashed.empty() || m_earlier.isDone(p.id, Step::Restore)) return;
        if (Missing(trashed)) {
            // Put back by an undo that was killed, or taken out of the Trash
            // by the user: named unless something is under its name again.
            if (Missing(p.target))
                keep(trashed, Format(MessageId::UndoCannotRestore, {p.target, ReasonText(ENOENT)}));
            return;
        }
        if (!Missing(p.target))
            keep(trashed, Format(MessageId::UndoTrashOccupied));
        else
            restore(p);
    }

    void undoInDoubt(const JournalPlacement& p) {
        const Step step = IsMove(p) ? Step::MoveBack : Step::RemoveCopy;
        if (m_earlier.isDone(p.id, step)) return;
        const bool sourceGone = Missing(p.source);
        for (const std::string& candidate : NumberedNames(p.target)) {
            // Only what came under the name since the run began can be the run's.
            if (Missing(candidate) || !MadeSince(candidate, m_runStartNs)) continue;
            if (IsMove(p) && sourceGone) {
                moveBack(p.id, candidate, p.source);
                return;
            }
            if (!sourceGone && MadeSince(candidate, m_runStartNs) &&
                SameBytes(p.source, candidate)) {
                if (removeAsStep(p.id, candidate, std::string(), Step::RemoveCopy) == 0) {
                    ++m_report.copiesRemoved;
                    return;
                }
                break;
            }
        }
        // A target untouched since the run began is a file the placement
        // never reached (killed while it copied): nothing to undo there.
        if (!Missing(p.target) && MadeSince(p.target, m_runStartNs) &&
            !(IsMove(p) && !sourceGone && SameBytes(p.source, p.target)))
            keep(p.target, Format(MessageId::UndoInDoubtKept));
    }

    // Moves the file at from back to to, under a numbered name when to is
    // taken. True when from is free afterwards.
    // placedAs: the placement's record, when whether to already leads to
    // the placed file is still to be asked (then nothing is to be done).
    bool moveBack(int64_t placement, const std::string& from, const std::string& to,
                  const PlacementOutcome* placedAs = nullptr) {
        const std::string name = FileNameOf(to);
        if (IsFolderAndName(to, name)) {
            // The usual case, a free name under to: renamed by the whole
            // paths, which lead wherever to's folder now is, as a folder held
            // open and found still at its path would.
            const int64_t id =
                m_record.intendStep(placement, from, to, static_cast<int>(Step::MoveBack));
            PlacementRecord record;
            record.target = to;
            record.outcome = FileOutcome::Placed;
            if (sys().renameAt(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) ==
                0) {
                m_record.done(id, record);
                ++m_report.movedBack;
                return true;
            }
            if (errno == EEXIST && placedAs && SourceIsPlaced(to, *placedAs)) {
                m_record.done(id, record);  // where it belongs already
                return true;
            }
            // Anything else (a taken name, a folder gone, another file
            // system) the placing step below settles as it always did.
            return moveBackStep(placement, id, from, to, name);
        }
        return moveBackStep(placement, std::nullopt, from, to, name);
    }

    // moveBack's step through to's folder, held open; intended: the step's
    // id in the record when it is there already.
    bool moveBackStep(int64_t placement, std::optional<int64_t> intended, const std::string& from,
                      const std::string& to, const std::string& name) {
        int error = 0;
        TargetFolder& folder = folderOf(to, error);
        const int64_t id =
            intended ? *intended
                     : m_record.intendStep(placement, from, to, static_cast<int>(Step::MoveBack));
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
    bool removeCopy(int64_t placement, const std::string& placed, const std::string& source,
                    const PlacementOutcome& o) {
        TargetFolder folder;
        std::string name;
        if (const int e = folder.openFolderOf(placed, name)) {
            keep(placed, ReasonText(e));
            return false;
        }
        const int64_t id = m_record.intendStep(placement, placed, std::string(),
                                               static_cast<int>(Step::RemoveCopy));
        PlacementRecord record;
        record.target = placed;
        int error = 0;
        FileFacts facts;
        struct stat link;
        const bool isLink =
            sys().statAt(folder.fd(), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(link.st_mode);
        // The last look, through the folder held open, just before it goes.
        if (LookAtEntryIn(folder, name, facts) != 0 || facts.id.device != o.device ||
            facts.id.inode != o.inode) {
            error = kSourceChanged;
        } else if (isLink || SourceStillMatches(source, o)) {
            // A link holds nothing but its text, which its source still has.
            if (sys().unlinkAt(folder.fd(), name.c_str(), 0) != 0) error = errno;
            if (error == 0) ++m_report.copiesRemoved;
        } else {
            TrashPlace place;
            error = MoveToTrashAt(folder.fd(), name, placed, place);
            if (error == 0) {
                ++m_report.copiesTrashed;
                record.trashFile = place.file;
                record.trashInfo = place.info;
                note(placed, Format(MessageId::UndoCopyTrashed));
            }
        }
        record.error = error;
        record.outcome = error == 0 ? FileOutcome::Placed : FileOutcome::Failed;
        m_record.done(id, record);
        if (error != 0) keep(placed, Format(MessageId::UndoCannotRemoveCopy, {ReasonText(error)}));
        return error == 0;
    }

    void restore(const JournalPlacement& p) {
        const std::string& placed = p.placed();
        const int64_t id = m_record.intendStep(p.id, p.outcome.trashedPath, placed,
                                               static_cast<int>(Step::Restore));
        const int error =
            RestoreFromTrash(TrashPlace{p.outcome.trashedPath, p.outcome.trashInfoPath}, placed);
        PlacementRecord record;
        record.target = placed;
        record.error = error;
        record.outcome = error == 0 ? FileOutcome::Placed : FileOutcome::Failed;
        m_record.done(id, record);
        if (error == 0) {
            ++m_report.restored;
        } else {
            keep(p.outcome.trashedPath,
                 Format(MessageId::UndoCannotRestore, {placed, ReasonText(error)}));
        }
    }

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

    // A file left as it is: the undo is not complete.
    void keep(const std::string& path, const std::string& reason) {
        ++m_report.kept;
        m_kept.add(path, reason);
    }
    // Something done otherwise than asked, which the user should know of.
    void note(const std::string& path, const std::string& reason) { m_kept.add(path, reason); }

    static constexpr size_t kMostOpen = 256;

    JournalRecorder& m_record;
    int64_t m_runStartNs;
    const EarlierSteps& m_earlier;
    std::unordered_map<std::string, TargetFolder> m_folders;  // where files go back to
    TargetFolder m_failedFolder;  // stands for one that could not be opened
    UndoReport m_report;
    FailureLog m_kept;  // what the user should know of, with the reason
};

std::string ClosingText(const UndoReport& r, const FailureLog& kept) {
    std::string text = Format(r.stopped    ? MessageId::UndoStopped
                              : r.kept > 0 ? MessageId::UndoIncomplete
                                           : MessageId::UndoDone);
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
    const std::vector<JournalRun> runs = journal.runs(0);
    for (const JournalRun& r : runs) {
        if (r.id == run) what = r;
    }

    if (what.id == 0 || what.undoneBy != 0 || what.undoes != 0) {
        // Gone from the journal, put back already (never twice), or an undo.
        host.showInfo(Format(what.id == 0       ? MessageId::UndoNotInJournal
                             : what.undoes != 0 ? MessageId::UndoOfUndo
                                                : MessageId::UndoAlreadyUndone));
        return {};
    }

    // What earlier undos of this run, stopped or killed part-way, or left
    // incomplete, already put back.
    const EarlierSteps earlier = ReadEarlierSteps(journal, runs, run);

    JournalRecorder record(journal, run);
    SortOptions options;
    options.page = static_cast<SortPage>(what.page);
    options.transferMode = static_cast<TransferMode>(what.mode);
    options.sameFilePolicy = static_cast<SameFilePolicy>(what.policy);
    options.outputDir = what.outputDir;
    record.beginRun(what.window, options);

    host.setBusy(true);
    Undo undo(record, what.startedNs, earlier);
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
        undo.placement(p);
        host.setProgress(static_cast<int>(static_cast<unsigned long long>(i + 1) * 100 / n));
    }
    UndoReport& report = undo.report();
    if (!report.stopped) {
        // A folder another run made stayed at that run's undo while this
        // run's files were in it: it goes now, once empty.
        std::vector<std::string> folders = made;
        for (const JournalRun& r : runs) {
            if (r.id == run || r.undoneBy == 0 || r.outputDir != what.outputDir) continue;
            for (std::string& folder : journal.madeFolders(r.id))
                folders.push_back(std::move(folder));
        }
        undo.folders(folders, placements);
    }

    RunCounts counts;
    counts.placed =
        report.movedBack + report.copiesRemoved + report.copiesTrashed + report.restored;
    counts.failed = report.kept;
    // Only an undo that put back everything that can come back ends the
    // run's undo; otherwise the next one goes on with what is left.
    record.endUndo(report.stopped ? RunEnd::Stopped : RunEnd::Finished, counts,
                   !report.stopped && report.kept == report.lost);

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
