#include "PlanCommands.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "CliChoices.h"
#include "ExitStatus.h"
#include "JournalRecords.h"
#include "JsonText.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "PlainText.h"
#include "PlanChoices.h"
#include "RunSummary.h"
#include "SortPlans.h"

namespace zanfeld {

namespace {

void Print(std::FILE* to, const std::string& text) {
    std::fputs(text.c_str(), to);
    std::fflush(to);
}

int Refuse(const CliRequest& r, const CliContext& c, const char* command, const std::string& option,
           const std::string& message, int status = kExitRefused) {
    Print(c.err,
          PlainText::message(TranslateMessage(Format(MessageId::CliRefused, {message}))) + "\n");
    if (r.json) Print(c.out, JsonText::refusal(command, message, option));
    return status;
}

const char* ByWord(const SortPlan& plan) {
    if (plan.folders) {
        switch (plan.options.page) {
            case SortPage::Keys:
                return "keys";
            case SortPage::FileName:
                return "name";
            default:
                return "date";
        }
    }
    static const char* const kWords[] = {"keys", "name", "type", "size", "date", "picture"};
    const auto page = static_cast<size_t>(plan.options.page);
    return page < std::size(kWords) ? kWords[page] : "";
}

const char* SameWord(SameFilePolicy policy) {
    switch (policy) {
        case SameFilePolicy::Ask:
            return "ask";
        case SameFilePolicy::Rename:
            return "rename";
        case SameFilePolicy::Overwrite:
            return "overwrite";
        case SameFilePolicy::Skip:
            return "skip";
        case SameFilePolicy::EditFileTime:
            return "newer";
        case SameFilePolicy::Identical:
            return "identical";
    }
    return "";
}

// The plan as a run of the history is told: window, criterion, copy or move.
JournalRun AsRun(const SortPlan& plan) {
    JournalRun run;
    run.window = plan.folders ? RunWindow::Folders : RunWindow::Files;
    run.page = static_cast<int>(plan.options.page);
    run.mode = static_cast<int>(plan.options.transferMode);
    return run;
}

}  // namespace

int RunPlansCommand(const CliRequest& r, const CliContext& c) {
    const std::vector<SortPlan> plans = LoadPlans(PlanSettingsPath(r, c.cwd));
    if (r.json) {
        std::string json = "[";
        for (const SortPlan& plan : plans) {
            if (json.size() > 1) json += ",";
            json += "{" + JsonText::key("name") + JsonText::string(plan.name) + "," +
                    JsonText::key("window") + JsonText::string(plan.folders ? "folders" : "files") +
                    "," + JsonText::key("criterion") + JsonText::string(ByWord(plan)) + "," +
                    JsonText::key("mode") +
                    JsonText::string(plan.options.transferMode == TransferMode::Move ? "move"
                                                                                     : "copy") +
                    "," + JsonText::key("same") +
                    JsonText::string(SameWord(plan.options.sameFilePolicy)) + "," +
                    JsonText::key("output") + JsonText::string(plan.options.outputDir) + "}";
        }
        Print(c.out, json + "]\n");
        return kExitPlaced;
    }
    std::string text;
    for (const SortPlan& plan : plans) {
        const JournalRun run = AsRun(plan);
        text += PlainText::field(plan.name) + "\t" + TranslateMessage(RunSummary::window(run)) +
                "\t" + TranslateMessage(RunSummary::page(run)) + "\t" +
                TranslateMessage(RunSummary::mode(run)) + "\t" +
                PlainText::field(plan.options.outputDir) + "\n";
    }
    if (plans.empty()) Print(c.err, TranslateMessage(Format(MessageId::CliPlansEmpty)) + "\n");
    Print(c.out, text);
    return kExitPlaced;
}

int RunPlanSaveCommand(const CliRequest& r, const CliContext& c) {
    const char* command = "plans save";
    if (const std::string problem = PlanNameProblem(r.planName); !problem.empty())
        return Refuse(r, c, command, "NAME", problem);
    if (r.planFolders && r.by && *r.by != "keys" && *r.by != "name")
        return Refuse(r, c, command, "--by", Format(MessageId::CliPlanFolderPage));
    SortPlan plan;
    plan.name = r.planName;
    plan.folders = r.planFolders;
    if (auto error = ResolveOptions(r, plan.folders, c.cwd, plan.options))
        return Refuse(r, c, command, error->option, error->message);
    const std::string path = PlanSettingsPath(r, c.cwd);
    // The default file's folder may not be there before the window's first start.
    if (const size_t slash = path.rfind('/'); slash != std::string::npos && slash > 0)
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    if (const std::string error = SavePlan(path, plan); !error.empty())
        return Refuse(r, c, command, "", Format(MessageId::CliPlanCannotSave, {plan.name, error}),
                      kExitFailed);
    Print(c.err, TranslateMessage(Format(MessageId::CliPlanSaved, {plan.name})) + "\n");
    if (r.json)
        Print(c.out, "{" + JsonText::key("command") + JsonText::string(command) + "," +
                         JsonText::key("name") + JsonText::string(plan.name) + "," +
                         JsonText::key("exit") + "0}\n");
    return kExitPlaced;
}

int RunPlanDeleteCommand(const CliRequest& r, const CliContext& c) {
    const char* command = "plans delete";
    const std::string path = PlanSettingsPath(r, c.cwd);
    const std::optional<SortPlan> plan = LoadPlan(path, r.planName);
    if (!plan) return Refuse(r, c, command, "NAME", Format(MessageId::CliNoSuchPlan, {r.planName}));
    if (const std::string error = DeletePlan(path, plan->name); !error.empty())
        return Refuse(r, c, command, "", error, kExitFailed);
    Print(c.err, TranslateMessage(Format(MessageId::CliPlanDeleted, {plan->name})) + "\n");
    if (r.json)
        Print(c.out, "{" + JsonText::key("command") + JsonText::string(command) + "," +
                         JsonText::key("name") + JsonText::string(plan->name) + "," +
                         JsonText::key("exit") + "0}\n");
    return kExitPlaced;
}

}  // namespace zanfeld
