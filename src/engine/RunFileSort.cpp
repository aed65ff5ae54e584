#include "RunFileSort.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <memory>
#include <optional>

#include "CopyAhead.h"
#include "FailureLog.h"
#include "FileOps.h"
#include "FolderCache.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "Placement.h"
#include "RunPlanner.h"
#include "SortRule.h"
#include "SortRunFrame.h"
#include "SourceFolders.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

bool PassesTypeFilter(const SortOptions& options, const std::string& path) {
    if (options.page == SortPage::TakenDate) {
        // The page's own list; an entry may hold several patterns ("*.JPG;*.JPEG").
        // A name without an extension is none of them.
        const std::string_view extension = ExtensionView(path);
        if (extension.empty()) return false;
        const std::string pattern = "*" + std::string(extension);
        for (const std::string_view entry : options.takenPatterns) {
            for (size_t start = 0; start <= entry.size();) {
                const size_t end = std::min(entry.find(';', start), entry.size());
                if (EqualsIgnoreAsciiCase(entry.substr(start, end - start), pattern)) return true;
                start = end + 1;
            }
        }
        return false;
    }
    if (options.page != SortPage::PicSize && options.typeFilter == TypeFilterMode::None)
        return true;
    const std::string pattern = "*" + ExtensionOf(path);
    if (options.page == SortPage::PicSize) {
        // The picture entries are upper case and may hold several patterns.
        const std::string key = AsciiUpper(pattern);
        for (const auto& entry : options.picturePatterns)
            if (entry.find(key) != std::string::npos) return true;
        return false;
    }
    bool listed = false;
    for (const auto& entry : options.typePatterns) {
        if (EqualsIgnoreAsciiCase(entry, pattern)) {
            listed = true;
            break;
        }
    }
    return options.typeFilter == TypeFilterMode::Exclude ? !listed : listed;
}

// What one selected file came to over all its folders: a failure counts it
// as failed; else a replaced file, a numbered name, a placement under its own
// name, in that order; else it was left where it was.
struct FileTally {
    bool placed = false;
    bool renamed = false;
    bool overwritten = false;
    bool stopped = false;  // a copy was stopped part-way by the user

    FileOutcome outcome() const {
        if (overwritten) return FileOutcome::Overwritten;
        if (renamed) return FileOutcome::Renamed;
        if (placed) return FileOutcome::Placed;
        return FileOutcome::Skipped;
    }
};

// The full path of name in the target folder (relative to the output
// directory; empty for the output directory itself).
std::string TargetPath(const SortOptions& options, const std::string& target,
                       const std::string& name) {
    if (target.empty()) return options.outputDir + name;
    return options.outputDir + target + kPathSeparator + name;
}

// What one placement came to, for the run's record: the placed entry as the
// placement left it, looked at right after where the placement could not
// tell (a link moved as a link, as itself). intended is the path the intent
// named, under intendedName, taken over when the file went there.
PlacementRecord Record(const SortOptions& options, const std::string& target, FolderCache& folders,
                       const PlaceResult& r, const std::string& ownName, const PlacedEntry& placed,
                       const std::string& intendedName, std::string intended) {
    PlacementRecord record;
    record.target =
        r.name == intendedName ? std::move(intended) : TargetPath(options, target, r.name);
    record.error = r.error;
    switch (r.status) {
        case PlaceResult::Status::Failed:
            record.outcome = FileOutcome::Failed;
            return record;
        case PlaceResult::Status::Declined:
            record.outcome = FileOutcome::Skipped;
            return record;
        case PlaceResult::Status::Placed:
            break;
    }
    record.outcome = r.replaced          ? FileOutcome::Overwritten
                     : r.name != ownName ? FileOutcome::Renamed
                                         : FileOutcome::Placed;
    FileFacts looked;
    const FileFacts* facts = placed.known ? &placed.facts : nullptr;
    if (!facts) {
        int error = 0;
        if (TargetFolder* folder = folders.get(target, false, error);
            folder && LookAtEntryIn(*folder, r.name, looked) == 0)
            facts = &looked;
    }
    if (facts) {
        record.size = facts->size;
        record.mtimeSec = facts->lastWrite.sec;
        record.mtimeNsec = facts->lastWrite.nsec;
        record.device = facts->id.device;
        record.inode = facts->id.inode;
    }
    return record;
}

// What became of one selected file over all its folders, under every plan
// that selected it.
struct FileResult {
    bool moved = false;
    int firstError = 0;
    std::string failedFolder;   // where the file met firstError
    std::string folderFailure;  // a target folder that could not be made or opened
    std::string refused;
    FileTally tally;

    // Counts the file once, or lists its failure.
    void report(const std::string& path, FailureLog& failures, SortRunFrame& frame) const {
        if (!folderFailure.empty()) {
            failures.add(path, folderFailure);
        } else if (firstError != 0) {
            failures.add(path, firstError, failedFolder);
        } else if (!refused.empty()) {
            failures.add(path, Format(MessageId::OutsideOutputDir, {refused}));
        } else {
            frame.count(tally.outcome());
        }
    }
};

// Places one selected file into each of its folders, held open in folders,
// adding to result. Returns false when the user stopped the run during one
// of its copies; the file is then not counted. prepared: the file's copy
// written ahead, if any, for its first placement.
bool PlaceSelected(const SortOptions& options, const SortRule& rule, const SourceFile& source,
                   const std::vector<std::string>& targets, SortHost& host, FolderCache& folders,
                   SortRunFrame& frame, FileResult& result,
                   std::unique_ptr<PreparedCopy> prepared = nullptr) {
    const std::string& path = source.path();
    // On the keyword page a numbered name chosen for one keyword is where the
    // search starts for the next.
    std::string renameStart;
    bool& moved = result.moved;
    int& firstError = result.firstError;
    std::string& failedFolder = result.failedFolder;
    std::string& folderFailure = result.folderFailure;
    std::string& refused = result.refused;
    FileTally& tally = result.tally;
    const std::string ownName = FileNameOf(path);
    // Folders a rule made while preparing are not made again: one that has
    // gone since is a failure.
    const bool make = !rule.foldersPrepared();
    const bool chain =
        options.page == SortPage::Keys && options.sameFilePolicy == SameFilePolicy::Rename;
    RunPlanner* planner = frame.planner();
    for (const auto& target : targets) {
        if (!StaysInside(target)) {
            refused = target;
            if (planner)
                planner->refused(path, options.outputDir + target,
                                 Format(MessageId::OutsideOutputDir, {target}));
            continue;
        }
        static const std::string kOwnName;
        const std::string& start = chain ? renameStart : kOwnName;
        bool folderFailed = false;
        // The target's path is put together only for a run that is recorded.
        const std::string& intendedName = start.empty() ? ownName : start;
        std::string intended;
        const int64_t record =
            frame.recording()
                ? frame.intend(path, intended = TargetPath(options, target, intendedName),
                               options.transferMode)
                : 0;
        // What the placement knows of the entry it leaves spares the
        // record a look at it; asked for only when the run is recorded.
        PlacedEntry placed;
        auto place = [&] {
            int error = 0;
            placed = PlacedEntry{};
            TargetFolder* folder = folders.get(target, make, error);
            folderFailed = folder == nullptr;
            // Used once: whatever the placement did, what is left of it goes.
            const std::unique_ptr<PreparedCopy> ahead = std::move(prepared);
            if (!folder) return FailedPlacement(error, FileNameOf(path));
            return PlaceFile(source, *folder, options.transferMode, options.sameFilePolicy, host,
                             start, frame.recording() ? &placed : nullptr, ahead.get());
        };
        PlaceResult r = planner
                            ? planner->place(path, options.outputDir + target, options.transferMode,
                                             options.sameFilePolicy, start)
                            : place();
        if (!planner && r.status == PlaceResult::Status::Failed && r.error != ECANCELED) {
            // A folder removed or replaced since it was opened is opened (and
            // made) again, and the file placed again.
            int error = 0;
            TargetFolder* folder = folders.get(target, false, error);
            if (folder && !folder->stillAtItsPath()) {
                folders.forget(target);
                r = place();
            }
        }
        if (frame.recording())
            frame.done(record, Record(options, target, folders, r, ownName, placed, intendedName,
                                      std::move(intended)));
        if (r.status == PlaceResult::Status::Failed && r.error == ECANCELED) {
            // Stopped by the user: nothing of this copy is left, and the
            // source is as it was.
            tally.stopped = true;
            break;
        }
        if (r.status == PlaceResult::Status::Placed) {
            tally.placed = true;
            tally.overwritten = tally.overwritten || r.replaced;
            tally.renamed = tally.renamed || r.name != ownName;
        }
        renameStart = std::move(r.name);
        if (r.status == PlaceResult::Status::Placed && options.transferMode == TransferMode::Move)
            moved = true;
        // Once moved, later folders find no source: that is expected, not a
        // failure. A folder that failed before the move still counts.
        if (r.status == PlaceResult::Status::Failed && !moved && firstError == 0) {
            firstError = r.error;
            failedFolder = options.outputDir + target;
            if (folderFailed)
                folderFailure = Format(MessageId::CannotMakeFolder,
                                       {options.outputDir + target, ReasonText(r.error)});
        }
    }
    return !tally.stopped;
}

// How far ahead of the run's order copies are prepared: enough to keep the
// threads busy, few enough that the open temporaries stay far below the
// descriptor limit.
constexpr size_t kAheadPerThread = 4;

// How many copies are prepared ahead at once (0: none). Only where their
// outcome cannot depend on another file's: moves and several plans (one may
// move the file before another copies it) go in order, as do the pages whose
// rule reads each file's content, which a look ahead would read twice.
unsigned CopiesAhead(const std::vector<SortOptions>& plans, RunPlanner* planner, size_t n) {
    if (plans.size() != 1 || planner || n < 2) return 0;
    const SortOptions& options = plans.front();
    if (options.transferMode != TransferMode::Copy ||
        options.sameFilePolicy == SameFilePolicy::EditFileTime ||
        options.page == SortPage::PicSize || options.page == SortPage::TakenDate)
        return 0;
    constexpr unsigned kDefaultJobs = 4;
    const unsigned jobs = options.copyJobs != 0                   ? options.copyJobs
                          : CallsAreRoundTrips(options.outputDir) ? kDefaultJobs
                                                                  : 1;
    return jobs > 1 ? jobs : 0;
}

// Queues the copies of the files after i up to the window: those the rule
// sends into a single folder. What the run decides in order is decided
// again then; a copy prepared for another folder than the one it decides
// on is discarded. Only folders the run holds open already are written
// into ahead: a folder is made, and first written into, in the run's order.
// A file bound for another one holds up the queue until the run comes to it.
void QueueAhead(const SortOptions& options, SortRule& rule, const std::vector<std::string>& sources,
                const FolderCache& folders, size_t i, size_t& queuedTo, CopyAhead& copies,
                RuleOutcome& guess) {
    const size_t until = std::min(sources.size(), i + 1 + kAheadPerThread * copies.threads());
    for (queuedTo = std::max(queuedTo, i + 1); queuedTo < until; ++queuedTo) {
        const std::string& path = sources[queuedTo];
        if (!PassesTypeFilter(options, path)) continue;
        rule.evaluateInto(options, path, guess);
        if (guess.kind != RuleOutcome::Kind::Place || guess.folders.size() != 1 ||
            !StaysInside(guess.folders.front()))
            continue;
        if (!folders.isOpen(guess.folders.front())) return;
        copies.add(queuedTo, path, options.outputDir + guess.folders.front());
    }
}

}  // namespace

void RunFileSort(SortOptions options, const std::vector<std::string>& sources, SortHost& host) {
    RunFileSort(std::vector<SortOptions>{std::move(options)}, sources, host);
}

void RunFileSort(const std::vector<SortOptions>& planned, const std::vector<std::string>& sources,
                 SortHost& host) {
    SortRunFrame frame(host);
    FailureLog failures(host);
    try {
        if (sources.empty()) {
            host.showInfo(Format(MessageId::NoFilesToSort));
            return;
        }
        std::vector<SortOptions> plans = planned;
        std::vector<std::unique_ptr<SortRule>> rules;
        for (SortOptions& options : plans) {
            // The picture pages take their own type lists.
            if (options.page != SortPage::PicSize && options.page != SortPage::TakenDate &&
                options.typeFilter == TypeFilterMode::Include && options.typePatterns.empty()) {
                host.showInfo(Format(MessageId::EmptyTypeList));
                return;
            }
            if (!frame.acceptOutputDir(options)) return;
            rules.push_back(MakeSortRule(options.page));
            if (!rules.back() || !rules.back()->prepare(options, host)) return;
        }
        if (plans.empty()) return;

        const size_t n = sources.size();
        frame.begin(n, RunWindow::Files, plans.front());
        // The window's choices may change while a run goes; a run of stored
        // plans keeps them as they were.
        const bool live = plans.size() == 1;
        bool moving = false;
        for (const SortOptions& options : plans)
            moving = moving || options.transferMode == TransferMode::Move;
        std::vector<FolderCache> folders;
        for (const SortOptions& options : plans) folders.emplace_back(options.outputDir);
        RuleOutcome outcome;  // kept from file to file
        SourceFolders sourceFolders;
        // Declared after what its jobs refer to (sources, the options), so
        // that its threads end first; a stop discards what they prepared.
        std::optional<CopyAhead> copies;
        if (const unsigned jobs = CopiesAhead(plans, frame.planner(), n)) copies.emplace(jobs);
        RuleOutcome guess;
        size_t queuedTo = 0;
        for (size_t i = 0; i < n; ++i) {
            if (frame.stopRequested()) {
                copies.reset();
                return frame.stopped(failures);
            }
            if (live) host.refreshLiveOptions(plans.front());
            // The window's choices may have turned the run into a move.
            if (copies && plans.front().transferMode == TransferMode::Copy)
                QueueAhead(plans.front(), *rules.front(), sources, folders.front(), i, queuedTo,
                           *copies, guess);
            std::unique_ptr<PreparedCopy> prepared = copies ? copies->take(i) : nullptr;
            const std::string& path = sources[i];
            frame.item(i, path, moving);
            FileResult result;
            bool selected = false;
            bool dropped = true;  // by every plan: no progress step
            for (size_t k = 0; k < plans.size() && !result.moved; ++k) {
                const SortOptions& options = plans[k];
                if (!PassesTypeFilter(options, path)) continue;
                rules[k]->evaluateInto(options, path, outcome);
                if (outcome.kind == RuleOutcome::Kind::Drop) continue;
                dropped = false;
                if (outcome.kind != RuleOutcome::Kind::Place) continue;
                selected = true;
                const bool ahead = options.transferMode == TransferMode::Copy &&
                                   options.sameFilePolicy != SameFilePolicy::EditFileTime &&
                                   outcome.folders.size() == 1;
                if (!PlaceSelected(options, *rules[k], sourceFolders.get(path), outcome.folders,
                                   host, folders[k], frame, result,
                                   ahead ? std::move(prepared) : nullptr)) {
                    copies.reset();
                    return frame.stopped(failures);
                }
            }
            if (!selected) {
                if (RunPlanner* planner = frame.planner()) planner->notSelected(path);
            } else {
                result.report(path, failures, frame);
            }
            if (dropped && !selected) continue;
            frame.step(i, n);
        }
        frame.finish(failures);
    } catch (const std::exception& e) {
        frame.stop(Format(MessageId::RunInterrupted, {e.what()}), failures);
    }
}

}  // namespace zanfeld
