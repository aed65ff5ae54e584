// zanfeld-cli: the sorting runs of Zanfeld's windows, for scripts, schedules
// and machines without a desktop.

#include <unistd.h>

#include <climits>
#include <iostream>
#include <string>

#include "CliContext.h"
#include "CliLanguage.h"
#include "CliParser.h"
#include "ExitStatus.h"
#include "JournalCommands.h"
#include "PlanCommands.h"
#include "RunJournal.h"
#include "SortCommand.h"
#include "StopSignal.h"
#include "Terminal.h"
#include "WatchCommand.h"

namespace {

std::string WorkingFolder() {
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zanfeld;
    const ParsedLine line = ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (line.done) return line.status;
    UseLanguage(line.request, stderr);

    StopSignal::install();
    CliContext context;
    context.cwd = WorkingFolder();
    context.inTerminal = IsTerminal(kStdIn);
    context.errTerminal = IsTerminal(kStdErr);
    context.columns = TerminalColumns(kStdErr);
    context.journalPath = RunJournal::DefaultPath();

    switch (line.request.command) {
        case CliCommand::Sort:
        case CliCommand::SortFolders:
            return RunSortCommand(line.request, context);
        case CliCommand::Undo:
            return RunUndoCommand(line.request, context);
        case CliCommand::History:
            return RunHistoryCommand(line.request, context);
        case CliCommand::Plans:
            return RunPlansCommand(line.request, context);
        case CliCommand::PlanSave:
            return RunPlanSaveCommand(line.request, context);
        case CliCommand::PlanDelete:
            return RunPlanDeleteCommand(line.request, context);
        case CliCommand::Watch:
            return RunWatchCommand(line.request, context);
    }
    return kExitRefused;
}
