#include "JournalCommands.h"

#include <cstdio>
#include <optional>
#include <string>

#include "ExitStatus.h"
#include "JsonText.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "PlainText.h"
#include "RunJournal.h"
#include "RunSummary.h"
#include "RunUndo.h"
#include "StopSignal.h"
#include "Terminal.h"
#include "TerminalHost.h"

namespace zanfeld {

namespace {

void Print(std::FILE* to, const std::string& text) {
    std::fputs(text.c_str(), to);
    std::fflush(to);
}

int Refuse(const CliRequest& r, const CliContext& c, const char* command,
           const std::string& message) {
    // JSON keeps the engine's own words, the same for every reader.
    Print(c.err, TranslateMessage(message) + "\n");
    if (r.json) Print(c.out, JsonText::refusal(command, message, ""));
    return kExitRefused;
}

bool OpenJournal(RunJournal& journal, const CliContext& c) {
    return !c.journalPath.empty() && journal.open(c.journalPath) == 0 && journal.ok();
}

std::string RunJson(const JournalRun& run) {
    const JournalCounts& n = run.counts;
    return "{" + JsonText::key("run") + std::to_string(run.id) + "," + JsonText::key("started") +
           JsonText::string(RunSummary::started(run)) + "," + JsonText::key("window") +
           JsonText::string(run.window == RunWindow::Folders ? "folders" : "files") + "," +
           JsonText::key("criterion") + JsonText::string(RunSummary::page(run)) + "," +
           JsonText::key("mode") +
           JsonText::string(run.undoes != 0                                    ? "undo"
                            : run.mode == static_cast<int>(TransferMode::Move) ? "move"
                                                                               : "copy") +
           "," + JsonText::key("output") + JsonText::string(run.outputDir) + "," +
           JsonText::key("counts") + "{" + JsonText::key("placed") + std::to_string(n.placed) +
           "," + JsonText::key("skipped") + std::to_string(n.skipped) + "," +
           JsonText::key("renamed") + std::to_string(n.renamed) + "," +
           JsonText::key("overwritten") + std::to_string(n.overwritten) + "," +
           JsonText::key("failed") + std::to_string(n.failed) + "}," + JsonText::key("state") +
           JsonText::string(RunSummary::state(run)) + "," + JsonText::key("undone_by") +
           (run.undoneBy != 0 ? std::to_string(run.undoneBy) : "null") + "," +
           JsonText::key("undoes") + (run.undoes != 0 ? std::to_string(run.undoes) : "null") +
           "," + JsonText::key("automatic") + (run.automatic ? "true" : "false") + "}";
}

}  // namespace

int RunHistoryCommand(const CliRequest& r, const CliContext& c) {
    RunJournal journal;
    if (!OpenJournal(journal, c))
        return Refuse(r, c, "history", Format(MessageId::CliJournalCannotOpen));
    const std::vector<JournalRun> runs = journal.runs(r.limit);
    if (r.json) {
        std::string json = "[";
        for (size_t i = 0; i < runs.size(); ++i) {
            if (i > 0) json += ",";
            json += RunJson(runs[i]);
        }
        Print(c.out, json + "]\n");
        return kExitPlaced;
    }
    std::string text;
    for (const JournalRun& run : runs) {
        text += std::to_string(run.id) + "\t" + RunSummary::started(run) + "\t" +
                TranslateMessage(RunSummary::window(run)) + "\t" +
                TranslateMessage(RunSummary::page(run)) + "\t" +
                TranslateMessage(RunSummary::mode(run)) + "\t" + PlainText::field(run.outputDir) +
                "\t" + TranslateMessage(RunSummary::counts(journal, run)) + "\t" +
                TranslateMessage(RunSummary::state(run)) +
                // A run the watcher made by itself says so in a last column.
                (run.automatic ? "\t" + TranslateMessage(Format(MessageId::HistoryAutomatic))
                               : std::string()) +
                "\n";
    }
    if (runs.empty()) Print(c.err, TranslateMessage(Format(MessageId::CliJournalEmpty)) + "\n");
    Print(c.out, text);
    return kExitPlaced;
}

int RunUndoCommand(const CliRequest& r, const CliContext& c) {
    RunJournal journal;
    if (!OpenJournal(journal, c))
        return Refuse(r, c, "undo", Format(MessageId::CliUndoJournalCannotOpen));
    std::optional<JournalRun> run;
    if (r.run) {
        for (const JournalRun& each : journal.runs(0)) {
            if (each.id == *r.run) run = each;
        }
        if (!run) return Refuse(r, c, "undo", Format(MessageId::UndoNotInJournal));
        if (run->undoes != 0) return Refuse(r, c, "undo", Format(MessageId::UndoOfUndo));
        if (run->undoneBy != 0) return Refuse(r, c, "undo", Format(MessageId::UndoAlreadyUndone));
    } else {
        run = journal.lastUndoableRun();
        if (!run) return Refuse(r, c, "undo", Format(MessageId::CliNothingToUndo));
    }

    const UndoPlan plan = PlanUndo(journal, run->id);
    if (r.dryRun) {
        // The question without its last words: nothing is asked.
        const std::string told = UndoQuestion(*run, plan, false);
        if (r.json) {
            Print(c.out, "{" + JsonText::key("command") + JsonText::string("undo") + "," +
                             JsonText::key("run") + std::to_string(run->id) + "," +
                             JsonText::key("dry_run") + "true," + JsonText::key("move_back") +
                             std::to_string(plan.moveBack) + "," + JsonText::key("remove_copies") +
                             std::to_string(plan.removeCopies) + "," + JsonText::key("restore") +
                             std::to_string(plan.restore) + "," + JsonText::key("in_doubt") +
                             std::to_string(plan.inDoubt) + "," + JsonText::key("lost") +
                             std::to_string(plan.lost) + "," + JsonText::key("message") +
                             JsonText::string(told) + "," + JsonText::key("exit") +
                             std::to_string(kExitPlaced) + "}\n");
            return kExitPlaced;
        }
        Print(c.out, PlainText::message(TranslateMessage(told)) + "\n");
        return kExitPlaced;
    }
    const std::string question = UndoQuestion(*run, plan);
    if (!r.yes) {
        if (!c.inTerminal) return Refuse(r, c, "undo", Format(MessageId::CliNoTerminalUndo));
        Print(c.err, PlainText::message(TranslateMessage(question)) + " [y/N] ");
        const std::optional<std::string> answer =
            ReadLine(c.in, [] { return StopSignal::received() != 0; });
        if (!answer || (*answer != "y" && *answer != "Y" && *answer != "yes" && *answer != "是")) {
            Print(c.err, "\n" + TranslateMessage(Format(MessageId::CliNotUndone)) + "\n");
            // Ctrl-C at the question is a stop like any other.
            if (const int signal = StopSignal::received()) return StopSignal::exitStatus(signal);
            return kExitRefused;
        }
    }

    TerminalHost::Setup setup;
    setup.progress = c.errTerminal && !r.quiet;
    setup.undo = true;
    setup.holdMessages = r.quiet;
    setup.columns = c.columns;
    TerminalHost host(setup, c.err, c.in);
    const UndoReport report = UndoRun(journal, run->id, host);
    host.clearLine();
    journal.close();

    int status = kExitPlaced;
    if (report.stopped) {
        const int signal = StopSignal::received();
        status = StopSignal::exitStatus(signal != 0 ? signal : 2);
    } else if (report.kept > 0) {
        status = kExitFailed;
    }
    const std::string message = host.messages().empty() ? std::string() : host.messages().back();
    // --quiet: an undo that put everything back says nothing, as a sort does.
    if (!r.quiet || status != kExitPlaced ||
        message.rfind(MessageTexts::text(MessageId::UndoDone), 0) != 0)
        host.showMessages();
    if (r.json) {
        Print(c.out, "{" + JsonText::key("command") + JsonText::string("undo") + "," +
                         JsonText::key("run") + std::to_string(run->id) + "," +
                         JsonText::key("moved_back") + std::to_string(report.movedBack) + "," +
                         JsonText::key("renamed_back") + std::to_string(report.renamedBack) + "," +
                         JsonText::key("copies_removed") + std::to_string(report.copiesRemoved) +
                         "," + JsonText::key("copies_trashed") +
                         std::to_string(report.copiesTrashed) + "," + JsonText::key("restored") +
                         std::to_string(report.restored) + "," + JsonText::key("kept") +
                         std::to_string(report.kept) + "," + JsonText::key("folders_removed") +
                         std::to_string(report.foldersRemoved) + "," + JsonText::key("stopped") +
                         (report.stopped ? "true" : "false") + "," + JsonText::key("message") +
                         JsonText::string(message) + "," + JsonText::key("exit") +
                         std::to_string(status) + "}\n");
    }
    return status;
}

}  // namespace zanfeld
