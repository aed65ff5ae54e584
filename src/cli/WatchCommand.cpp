#include "WatchCommand.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "CliChoices.h"
#include "ExitStatus.h"
#include "FileOps.h"
#include "FolderEvents.h"
#include "FolderWatch.h"
#include "JournalRecorder.h"
#include "JsonText.h"
#include "LocalTime.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "OutputFolder.h"
#include "PathSpelling.h"
#include "PlainText.h"
#include "PlanChoices.h"
#include "RunFileSort.h"
#include "RunJournal.h"
#include "StopSignal.h"
#include "TerminalHost.h"
#include "WatchLock.h"
#include "WatchedFolders.h"

namespace zanfeld {

namespace {

void Print(std::FILE* to, const std::string& text) {
    std::fputs(text.c_str(), to);
    std::fflush(to);
}

int Refuse(const CliRequest& r, const CliContext& c, const std::string& option,
           const std::string& message) {
    Print(c.err,
          PlainText::message(TranslateMessage(Format(MessageId::CliRefused, {message}))) + "\n");
    if (r.json) Print(c.out, JsonText::refusal("watch", message, option));
    return kExitRefused;
}

std::string Now() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    FileTime time;
    time.sec = ts.tv_sec;
    time.nsec = ts.tv_nsec;
    const LocalDateTime t = ToLocalDateTime(time);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// The plans one group of folders is sorted with, by name and as resolved.
struct PlanGroup {
    std::vector<std::string> names;
    std::vector<SortOptions> plans;
};

// Sorts each batch as one automatic run of its group's plans, and tells the
// log one line a batch.
class WatchClient : public FolderWatch::Client {
  public:
    WatchClient(const CliRequest& r, const CliContext& c, const std::vector<PlanGroup>& groups)
        : m_r(r), m_c(c), m_groups(groups) {}

    void sort(int group, const std::vector<std::string>& files) override {
        RunJournal journal;
        if (!m_c.journalPath.empty()) journal.open(m_c.journalPath);
        JournalRecorder recorder(journal);
        recorder.setAutomatic(true);
        TerminalHost::Setup setup;
        // Nothing is asked and nothing drawn: the log gets one line.
        setup.holdMessages = true;
        setup.answer = false;
        setup.recorder = m_c.journalPath.empty() ? nullptr : &recorder;
        TerminalHost host(setup, m_c.err, m_c.in);
        RunFileSort(m_groups[group].plans, files, host);
        journal.close();

        const std::string time = Now();
        const std::string count = std::to_string(files.size());
        if (host.refused() || !host.counted()) {
            std::string why;
            for (const std::string& m : host.messages()) why += (why.empty() ? "" : " ") + m;
            say(Format(MessageId::WatchRunRefused, {time, count, why}));
            if (m_r.json)
                Print(m_c.out, "{" + JsonText::key("time") + JsonText::string(time) + "," +
                                   JsonText::key("files") + count + "," + JsonText::key("refused") +
                                   "true," + JsonText::key("message") + JsonText::string(why) +
                                   "}\n");
            return;
        }
        const RunCounts& n = host.counts();
        const std::string placed = std::to_string(n.placed + n.renamed + n.overwritten);
        const int64_t run = recorder.run();
        say(run != 0
                ? Format(MessageId::WatchBatch, {time, count, placed, std::to_string(n.skipped),
                                                 std::to_string(n.failed), std::to_string(run)})
                : Format(
                      MessageId::WatchBatchUnrecorded,
                      {time, count, placed, std::to_string(n.skipped), std::to_string(n.failed)}));
        for (const TerminalHost::Failure& f : host.failures())
            say("  " + Format(MessageId::FailureItem, {PlainText::field(f.path), f.reason}));
        if (!m_r.json) return;
        std::string json =
            "{" + JsonText::key("time") + JsonText::string(time) + "," + JsonText::key("files") +
            count + "," + JsonText::key("run") + (run != 0 ? std::to_string(run) : "null") + "," +
            JsonText::key("automatic") + "true," + JsonText::key("stopped") +
            (host.stopped() ? "true" : "false") + "," + JsonText::key("counts") + "{" +
            JsonText::key("placed") + std::to_string(n.placed) + "," + JsonText::key("skipped") +
            std::to_string(n.skipped) + "," + JsonText::key("renamed") + std::to_string(n.renamed) +
            "," + JsonText::key("overwritten") + std::to_string(n.overwritten) + "," +
            JsonText::key("failed") + std::to_string(n.failed) + "}," + JsonText::key("failures") +
            "[";
        for (size_t i = 0; i < host.failures().size(); ++i) {
            const TerminalHost::Failure& f = host.failures()[i];
            json += (i > 0 ? "," : "") + std::string("{") + JsonText::key("path") +
                    JsonText::string(f.path) + "," + JsonText::key("reason") +
                    JsonText::string(f.reason) + "}";
        }
        Print(m_c.out, json + "]}\n");
    }

    void tell(const std::string& message) override { say(Now() + " " + message); }

    bool stopRequested() override { return StopSignal::received() != 0; }

  private:
    void say(const std::string& text) {
        Print(m_c.err, PlainText::message(TranslateMessage(text)) + "\n");
    }

    const CliRequest& m_r;
    const CliContext& m_c;
    const std::vector<PlanGroup>& m_groups;
};

// The group of these plan names, added when new.
int GroupOf(std::vector<PlanGroup>& groups, const std::vector<std::string>& names) {
    for (size_t i = 0; i < groups.size(); ++i)
        if (groups[i].names == names) return static_cast<int>(i);
    groups.push_back(PlanGroup{names, {}});
    return static_cast<int>(groups.size() - 1);
}

}  // namespace

int RunWatchCommand(const CliRequest& r, const CliContext& c) {
    const std::string settings = PlanSettingsPath(r, c.cwd);
    std::vector<PlanGroup> groups;
    FolderWatch::Setup setup;
    if (r.fromSettings) {
        if (!r.items.empty() || !r.plans.empty() || r.depth || r.allLevels)
            return Refuse(r, c, "--from-settings", Format(MessageId::WatchFromSettingsAlone));
        for (const WatchedFolder& entry : LoadWatchedFolders(settings)) {
            if (!entry.on) continue;
            if (entry.plans.empty()) return Refuse(r, c, "--plan", Format(MessageId::WatchNoPlan));
            // A folder that is not there yet (a drive not mounted) is waited for.
            const std::string folder = ResolvedFolder(AbsolutePath(entry.folder, c.cwd));
            setup.roots.push_back(FolderWatch::Root{folder, entry.allLevels ? -1 : entry.depth,
                                                    GroupOf(groups, entry.plans)});
        }
        if (setup.roots.empty())
            return Refuse(r, c, "--from-settings", Format(MessageId::WatchNothingOn, {settings}));
    } else {
        if (r.items.empty()) return Refuse(r, c, "FOLDER", Format(MessageId::WatchNoFolder));
        if (r.plans.empty()) return Refuse(r, c, "--plan", Format(MessageId::WatchNoPlan));
        const int group = GroupOf(groups, r.plans);
        for (const std::string& item : r.items) {
            const std::string folder = ResolvedFolder(AbsolutePath(item, c.cwd));
            if (!DirExists(folder))
                return Refuse(r, c, "FOLDER",
                              Format(MessageId::CliNoSuchFolder, {"FOLDER", folder}));
            setup.roots.push_back(
                FolderWatch::Root{folder, r.allLevels ? -1 : r.depth.value_or(0), group});
        }
    }

    for (PlanGroup& group : groups) {
        if (auto error = ResolvePlans(group.names, r, PlanUser::Watch, c.cwd, group.plans))
            return Refuse(r, c, error->option, error->message);
        for (size_t i = 0; i < group.plans.size(); ++i) {
            const SortOptions& plan = group.plans[i];
            // Nobody is there to answer a question.
            if (plan.sameFilePolicy == SameFilePolicy::Ask)
                return Refuse(r, c, "--same", Format(MessageId::WatchAsk, {group.names[i]}));
            if (plan.outputDir.empty())
                return Refuse(r, c, "--out", Format(MessageId::ChooseOutputDir));
            if (auto error = CheckOutputDir(plan.outputDir))
                return Refuse(r, c, error->option, error->message);
            setup.outputs.push_back(plan.outputDir);
        }
    }
    // A watch never sorts its own output.
    for (const FolderWatch::Root& root : setup.roots) {
        const std::string output = FolderWatch::OutputHolding(root.folder, setup.outputs);
        if (!output.empty())
            return Refuse(r, c, "--out",
                          Format(MessageId::WatchInsideOutput, {root.folder, output}));
    }

    UniqueFd lock;
    if (const int error = TakeWatchLock(settings, lock); error != 0) {
        if (error == EWOULDBLOCK)
            return Refuse(
                r, c, "",
                Format(MessageId::WatchAlreadyRunning, {std::to_string(RunningWatcher(settings))}));
        return Refuse(
            r, c, "",
            Format(MessageId::WatchCannotLock, {WatchLockPath(settings), ReasonText(error)}));
    }
    FolderEvents events;
    if (events.error() != 0)
        return Refuse(r, c, "", Format(MessageId::WatchNoEvents, {ReasonText(events.error())}));

    setup.settle = std::chrono::duration_cast<FolderWatch::Clock::duration>(
        std::chrono::duration<double>(r.settleSeconds));
    setup.initialScan = !r.noInitial;
    WatchClient client(r, c, groups);
    std::string folders;
    for (const FolderWatch::Root& root : setup.roots)
        folders += (folders.empty() ? "" : ", ") + root.folder;
    client.tell(Format(MessageId::WatchStarted, {folders}));
    FolderWatch watch(std::move(setup), events, client);
    watch.run();
    client.tell(Format(MessageId::WatchEnded));
    // Stopped as asked: the status a service manager takes for a clean end.
    return kExitPlaced;
}

}  // namespace zanfeld
