#include "SortCommand.h"

#include <array>
#include <cstdio>
#include <string>

#include "CliChoices.h"
#include "CliSources.h"
#include "ExitStatus.h"
#include "FailureLog.h"
#include "FolderSort.h"
#include "JournalRecorder.h"
#include "JsonText.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "OutputFolder.h"
#include "PlainText.h"
#include "PlanChoices.h"
#include "PlanWords.h"
#include "PlanningHost.h"
#include "RunFileSort.h"
#include "RunJournal.h"
#include "RunPlanner.h"
#include "RunStatusLine.h"
#include "StopSignal.h"
#include "TerminalHost.h"

namespace zanfeld {

namespace {

const char* CommandName(const CliRequest& r) {
    return r.command == CliCommand::SortFolders ? "sort-folders" : "sort";
}

void Print(std::FILE* to, const std::string& text) {
    std::fputs(text.c_str(), to);
    std::fflush(to);
}

int Refused(const CliRequest& r, const CliContext& c, const std::string& option,
            const std::string& message, bool printed) {
    // The terminal gets the message in the chosen language, the option after
    // it unless it names it; JSON always the engine's own words, the same for
    // every reader.
    if (!printed) {
        const std::string said = option.empty() || message.find(option) != std::string::npos
                                     ? Format(MessageId::CliRefused, {message})
                                     : Format(MessageId::CliRefusedOption, {message, option});
        Print(c.err, PlainText::message(TranslateMessage(said)) + "\n");
    }
    if (r.json) Print(c.out, JsonText::refusal(CommandName(r), message, option));
    return kExitRefused;
}

// The exit status of a run that was stopped.
int StoppedStatus() {
    const int signal = StopSignal::received();
    return StopSignal::exitStatus(signal != 0 ? signal : 2 /* SIGINT */);
}

std::string CountsJson(const RunCounts& counts) {
    return "{" + JsonText::key("placed") + std::to_string(counts.placed) + "," +
           JsonText::key("skipped") + std::to_string(counts.skipped) + "," +
           JsonText::key("renamed") + std::to_string(counts.renamed) + "," +
           JsonText::key("overwritten") + std::to_string(counts.overwritten) + "," +
           JsonText::key("failed") + std::to_string(counts.failed) + "}";
}

std::string Joined(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& m : messages) {
        if (!text.empty()) text += "\n\n";
        text += m;
    }
    return text;
}

TerminalHost::Setup HostSetup(const CliRequest& r, const CliContext& c, bool folders,
                              const SortOptions& options) {
    TerminalHost::Setup setup;
    setup.folders = folders;
    setup.progress = c.errTerminal && !r.quiet;
    setup.holdMessages = r.quiet;
    setup.columns = c.columns;
    if (r.yes) setup.answer = true;
    if (r.no) setup.answer = false;
    // The picture value is named by the dimension the run compares, typed or stored.
    if (options.picDimension == PicDimension::Height)
        setup.optionNames[static_cast<size_t>(OptionId::PicValue)] = "--height";
    return setup;
}

int DryRun(const CliRequest& r, const CliContext& c, const std::vector<SortOptions>& plans,
           const SourceList& list, bool folders) {
    const SortOptions& options = plans.front();
    RunPlan plan;
    RunPlanner planner(plan);
    TerminalHost::Setup setup = HostSetup(r, c, folders, options);
    setup.progress = false;
    setup.holdMessages = false;
    TerminalHost host(setup, c.err, c.in);
    PlanningHost planning(host, planner);
    if (folders) {
        RunFolderSort(options, list.entries(), planning);
    } else {
        RunFileSort(plans, list.entries(), planning);
    }
    // A plan ends in no message: any message is a check's refusal.
    if (host.refused() || !host.messages().empty())
        return Refused(r, c, host.refusedOption(), Joined(host.messages()), true);
    if (host.stopped()) return StoppedStatus();

    std::array<size_t, static_cast<size_t>(PlanAction::Count)> counts{};
    for (const PlanRow& row : plan.rows) {
        const auto index = static_cast<size_t>(row.action);
        if (index < counts.size()) ++counts[index];
    }
    if (r.json) {
        std::string json = "{" + JsonText::key("command") + JsonText::string(CommandName(r)) + "," +
                           JsonText::key("dry_run") + "true," + JsonText::key("plan") + "[";
        for (size_t i = 0; i < plan.rows.size(); ++i) {
            const PlanRow& row = plan.rows[i];
            if (i > 0) json += ",";
            json += "{" + JsonText::key("source") + JsonText::string(row.source) + "," +
                    JsonText::key("folder") + JsonText::string(row.folder) + "," +
                    JsonText::key("target") + JsonText::string(row.target) + "," +
                    JsonText::key("action") + JsonText::string(PlanWords::key(row.action)) + "," +
                    JsonText::key("detail") + JsonText::string(row.detail) + "}";
            // Large plans go out in pieces.
            if (json.size() > (1u << 16)) {
                std::fputs(json.c_str(), c.out);
                json.clear();
            }
        }
        json += "]," + JsonText::key("counts") + "{";
        bool first = true;
        for (size_t i = 0; i < counts.size(); ++i) {
            if (!first) json += ",";
            first = false;
            json += JsonText::key(PlanWords::key(static_cast<PlanAction>(i))) +
                    std::to_string(counts[i]);
        }
        json += "}," + JsonText::key("exit") + "0}\n";
        Print(c.out, json);
        return kExitPlaced;
    }
    std::string lines;
    for (const PlanRow& row : plan.rows) {
        lines += PlainText::field(TranslateMessage(PlanWords::cell(row)));
        lines += '\t';
        lines += PlainText::field(row.source);
        lines += '\t';
        lines += PlainText::field(row.target);
        lines += '\n';
        if (lines.size() > (1u << 16)) {
            std::fputs(lines.c_str(), c.out);
            lines.clear();
        }
    }
    Print(c.out, lines);
    std::string counted;
    for (size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == 0) continue;
        const std::string part =
            Format(MessageId::CliPreviewCount,
                   {PlanWords::count(static_cast<PlanAction>(i)), std::to_string(counts[i])});
        counted = counted.empty() ? part : Format(MessageId::CliListJoin, {counted, part});
    }
    const std::string summary = counted.empty() ? Format(MessageId::CliPreviewNothing)
                                                : Format(MessageId::CliPreview, {counted});
    Print(c.err, TranslateMessage(summary) + "\n");
    return kExitPlaced;
}

}  // namespace

int RunSortCommand(const CliRequest& r, const CliContext& c) {
    const bool folders = r.command == CliCommand::SortFolders;
    // The stored plans --plan names, in order, or the one run of the line.
    std::vector<SortOptions> plans;
    if (folders && r.plans.size() > 1)
        return Refused(r, c, "--plan", Format(MessageId::CliOneFolderPlan), false);
    if (!r.plans.empty()) {
        const PlanUser user = folders ? PlanUser::SortFolders : PlanUser::Sort;
        if (auto error = ResolvePlans(r.plans, r, user, c.cwd, plans))
            return Refused(r, c, error->option, error->message, false);
    } else {
        plans.emplace_back();
        if (auto error = ResolveOptions(r, folders, c.cwd, plans.front()))
            return Refused(r, c, error->option, error->message, false);
    }
    const SortOptions& options = plans.front();
    SourceList list;
    if (auto error = GatherSources(r, folders, c.cwd, list))
        return Refused(r, c, error->option, error->message, false);
    for (const SortOptions& plan : plans) {
        if (auto error = CheckOutputDir(plan.outputDir))
            return Refused(r, c, error->option, error->message, false);
    }

    if (r.dryRun) return DryRun(r, c, plans, list, folders);

    for (const SortOptions& plan : plans) {
        if (plan.sameFilePolicy == SameFilePolicy::Ask && !r.yes && !r.no && !c.inTerminal)
            return Refused(r, c, "--same", Format(MessageId::CliNoTerminalAsk), false);
    }

    RunJournal journal;
    if (!c.journalPath.empty()) journal.open(c.journalPath);
    JournalRecorder recorder(journal);
    TerminalHost::Setup setup = HostSetup(r, c, folders, options);
    // Without a journal path the run goes unrecorded, as a window does whose
    // journal cannot be opened.
    setup.recorder = c.journalPath.empty() ? nullptr : &recorder;
    TerminalHost host(setup, c.err, c.in);
    if (folders) {
        RunFolderSort(options, list.entries(), host);
    } else {
        RunFileSort(plans, list.entries(), host);
    }
    host.clearLine();
    journal.close();

    if (host.refused() || !host.counted()) {
        host.showMessages();
        return Refused(r, c, host.refusedOption(), Joined(host.messages()), true);
    }

    // The run shows the directory only when it had to complete it.
    const std::string output = host.outputDir().empty() ? options.outputDir : host.outputDir();
    const std::string closing = host.messages().empty() ? std::string() : host.messages().back();
    const bool finished = closing.rfind(MessageTexts::text(MessageId::SortDone), 0) == 0;
    int status = kExitPlaced;
    if (host.stopped()) {
        status = StoppedStatus();
    } else if (!finished || host.counts().failed > 0) {
        status = kExitFailed;
    }
    // --quiet: a run that placed everything with nothing more to tell says
    // nothing (cron mails whatever a job writes); otherwise all of it goes to
    // standard error, the summary with it.
    const bool silent =
        r.quiet && status == kExitPlaced && closing == MessageTexts::text(MessageId::SortDone);
    if (!silent) host.showMessages();

    if (r.json) {
        std::string json = "{" + JsonText::key("command") + JsonText::string(CommandName(r)) + "," +
                           JsonText::key("run") +
                           (recorder.run() != 0 ? std::to_string(recorder.run()) : "null") + "," +
                           JsonText::key("output") + JsonText::string(output) + "," +
                           JsonText::key("stopped") + (host.stopped() ? "true" : "false") + "," +
                           JsonText::key("counts") + CountsJson(host.counts()) + "," +
                           JsonText::key("failures") + "[";
        for (size_t i = 0; i < host.failures().size(); ++i) {
            const TerminalHost::Failure& f = host.failures()[i];
            if (i > 0) json += ",";
            json += "{" + JsonText::key("path") + JsonText::string(f.path) + "," +
                    JsonText::key("reason") + JsonText::string(f.reason) + "}";
        }
        json += "]," + JsonText::key("message") + JsonText::string(closing) + "," +
                JsonText::key("exit") + std::to_string(status) + "}\n";
        Print(c.out, json);
        return status;
    }
    std::string summary = RunStatusLine::after(host.counts(), host.stopped()) + "\n";
    // The closing message names the first few failures; the rest follow here.
    if (host.failures().size() > FailureLog::kShown) {
        summary += Format(MessageId::CliFailedHeading) + "\n";
        for (const TerminalHost::Failure& f : host.failures())
            summary += Format(MessageId::FailureItem, {PlainText::field(f.path), f.reason}) + "\n";
    }
    if (!silent) Print(r.quiet ? c.err : c.out, TranslateMessage(summary));
    return status;
}

}  // namespace zanfeld
