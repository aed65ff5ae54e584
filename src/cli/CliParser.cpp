#include "CliParser.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "CliChoices.h"
#include "CliLanguage.h"
#include "ExitStatus.h"
#include "JsonText.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"
#include "PlainText.h"
#include "ZanfeldVersion.h"

namespace zanfeld {

namespace {

// The parser's own messages are English only, whatever the language: a value
// its checks refuse is kept here, in the program's own texts, for the refusal.
using Refusal = std::optional<ChoiceError>;

std::string Joined(const std::vector<std::string>& words, const char* between) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : between) + word;
    return text;
}

// One of values; the help shows them as CLI::IsMember does.
CLI::Validator OneOf(std::vector<std::string> values, std::string option, Refusal& refusal) {
    const std::string shown = "{" + Joined(values, ",") + "}";
    return CLI::Validator(
        [values, option, &refusal](std::string& value) -> std::string {
            if (std::find(values.begin(), values.end(), value) != values.end()) return {};
            refusal = ChoiceError{
                option, Format(MessageId::CliNotAllowed, {option, value, Joined(values, ", ")})};
            return refusal->message;
        },
        shown);
}

// A whole number from least to most, written in decimal digits.
CLI::Validator WholeNumber(std::string option, long long least, std::optional<long long> most,
                           std::string shown, Refusal& refusal) {
    return CLI::Validator(
        [option, least, most, &refusal](std::string& value) -> std::string {
            long long n = 0;
            const char* end = value.data() + value.size();
            const auto [stop, error] = std::from_chars(value.data(), end, n);
            if (!value.empty() && error == std::errc() && stop == end && n >= least &&
                (!most || n <= *most))
                return {};
            refusal = ChoiceError{
                option,
                most ? Format(MessageId::CliWholeNumberRange,
                              {option, std::to_string(least), std::to_string(*most), value})
                     : Format(MessageId::CliWholeNumber, {option, std::to_string(least), value})};
            return refusal->message;
        },
        std::move(shown));
}

// An option that keeps whether it was given: an empty optional when not.
template <typename T>
CLI::Option* Optional(CLI::App& app, const std::string& name, std::optional<T>& value,
                      const std::string& help) {
    return app.add_option_function<T>(
        name, [&value](const T& given) { value = given; }, help);
}

void AddSameName(CLI::App& app, CliRequest& r, Refusal& refusal) {
    Optional(app, "--same", r.same,
             "what to do when the target folder holds a file of the same name: ask, rename "
             "(number the new name), overwrite, skip (the default), newer (replace only older "
             "files), identical (skip a file whose twin is there, number one that differs)")
        ->check(
            OneOf({"ask", "rename", "overwrite", "skip", "newer", "identical"}, "--same", refusal))
        ->type_name("ANSWER");
    auto* yes = app.add_flag("--yes", r.yes, "answer yes to every same-name question");
    auto* no = app.add_flag("--no", r.no, "answer no to every same-name question");
    yes->excludes(no);
}

void AddCommon(CLI::App& app, CliRequest& r) {
    Optional(app, "--out", r.out, "the output directory")->type_name("DIR");
    app.add_option_function<std::string>(
           "--settings",
           [&r](const std::string& file) {
               r.useSettings = true;
               r.settingsFile = file;
           },
           "start from the choices the window stored in Zanfeld.ini; --settings=FILE reads "
           "another file; options on the line override them")
        ->type_name("[=FILE]");
    app.add_flag("--dry-run", r.dryRun, "print what would be done and change nothing");
    app.add_flag("--json", r.json, "print one JSON object with the result on standard output");
    app.add_flag("--quiet", r.quiet,
                 "no progress line, and nothing at all when every file was placed; otherwise "
                 "everything, the summary too, on standard error");
}

void AddNamePage(CLI::App& app, CliRequest& r, const char* what) {
    Optional(app, "--keywords", r.keywords,
             std::string("--by keys: keywords separated by spaces, looked for in the ") + what)
        ->type_name("TEXT");
    Optional(app, "--range", r.range,
             std::string("--by name: only characters A to B of the ") + what + " (counted from 1)")
        ->type_name("A:B");
    Optional(app, "--filter", r.filter,
             std::string("--by name: pieces of text separated by * removed from the ") + what)
        ->type_name("TEXT");
    app.add_flag("--only-existing", r.onlyExisting,
                 "--by name: only into target folders that exist already");
}

void AddPlan(CLI::App& app, CliRequest& r, const std::string& help) {
    app.add_option("--plan", r.plans, help)->type_name("NAME")->allow_extra_args(false);
}

void AddSortChoices(CLI::App& app, CliRequest& r, Refusal& refusal);

// --settings for the commands that only read or write the file's plans.
void AddSettingsFile(CLI::App& app, CliRequest& r,
                     const char* what = "the settings file that holds the plans "
                                        "(--settings=FILE; default Zanfeld.ini)") {
    app.add_option_function<std::string>(
           "--settings",
           [&r](const std::string& file) {
               r.useSettings = true;
               r.settingsFile = file;
           },
           what)
        ->type_name("[=FILE]");
}

void AddSort(CLI::App& app, CliRequest& r, Refusal& refusal) {
    app.add_option("files", r.items, "files to sort")->type_name("FILE");
    app.add_option("--walk", r.walks,
                   "add the files of DIR (hidden ones too); with --depth or --all also those of "
                   "its sub-folders")
        ->type_name("DIR")
        ->allow_extra_args(false);
    auto* depth =
        app.add_option_function<int>(
               "--depth", [&r](const int& n) { r.depth = n; },
               "--walk: down to N levels of sub-folders (0: only DIR's own files)")
            ->check(WholeNumber("--depth", 0, 1 << 30, "INT in [0 - 1073741824]", refusal))
            ->type_name("N");
    app.add_flag("--all", r.allLevels, "--walk: every level of sub-folders")->excludes(depth);
    app.add_option_function<unsigned>(
           "--jobs", [&r](const unsigned& n) { r.jobs = n; },
           "copies whose data is written at once, ahead of the order in which they are named "
           "(default 4 on network shares and FUSE, else 1; 1: one after another)")
        ->check(WholeNumber("--jobs", 1, 64, "INT in [1 - 64]", refusal))
        ->type_name("N");
    app.add_option("--list", r.lists, "add the files named in a list file (one path a line)")
        ->type_name("FILE")
        ->allow_extra_args(false);
    AddPlan(app, r, "run the stored plan NAME (plans lists them); given again, the plans "
                    "apply in turn in one run: a file a plan moved is done, a copied one "
                    "goes on to the next plan");
    AddSortChoices(app, r, refusal);
    AddCommon(app, r);
}

// The criterion and placement of a file sort, as sort, plans save and watch take them.
void AddSortChoices(CLI::App& app, CliRequest& r, Refusal& refusal) {
    Optional(app, "--by", r.by,
             "the criterion: keys, name, type, size, date, picture or taken (required unless "
             "--settings or --plan gives it)")
        ->check(OneOf({"keys", "name", "type", "size", "date", "picture", "taken"}, "--by",
                      refusal))
        ->type_name("CRITERION");
    AddNamePage(app, r, "file's base name");
    Optional(app, "--size", r.size,
             "--by size: >N or <N, N in KB (the default) or MB, e.g. '>10MB'")
        ->type_name("COND");
    Optional(app, "--date", r.date,
             "--by date: <DATE (earlier) or >DATE (later), DATE as YYYY-MM-DD [HH:MM[:SS]]")
        ->type_name("COND");
    Optional(app, "--date-of", r.dateOf, "--by date: which time is compared (default created)")
        ->check(OneOf({"created", "modified"}, "--date-of", refusal))
        ->type_name("TIME");
    auto* width = Optional(app, "--width", r.width, "--by picture: >=N, <=N or =N pixels wide")
                      ->type_name("COND");
    Optional(app, "--height", r.height, "--by picture: >=N, <=N or =N pixels high")
        ->type_name("COND")
        ->excludes(width);
    Optional(app, "--types", r.types,
             "--by picture: the picture types taken, from JPG, BMP, GIF, PNG, TIF (default all); "
             "--by taken: from JPG, JPEG, HEIC, HEIF, PNG, TIF, TIFF, WEBP, DNG, CR2, CR3, NEF, "
             "ARW, ORF, RW2, MP4, MOV, 3GP, M4V, MKV (default all)")
        ->type_name("TYPES");
    Optional(app, "--group", r.group,
             "--by taken: a folder per year (2024), year/month (2024/05, the default), month "
             "(2024-05) or day (2024-05-06)")
        ->check(OneOf({"year", "year/month", "month", "day"}, "--group", refusal))
        ->type_name("GROUP");
    Optional(app, "--fallback", r.fallback,
             "--by taken: where a date comes from when the file records none: name,mtime, "
             "name (the default), mtime or none")
        ->check(OneOf({"name,mtime", "name", "mtime", "none"}, "--fallback", refusal))
        ->type_name("FROM");
    auto* unknown = Optional(app, "--unknown", r.unknown,
                             "--by taken: the folder of files without a date (default 未知日期)")
                        ->type_name("FOLDER");
    app.add_flag("--skip-unknown", r.skipUnknown, "--by taken: leave files without a date where they are")
        ->excludes(unknown);
    auto* include = Optional(app, "--include", r.include,
                             "sort only files of these types, e.g. '*.txt,*.doc' or 'txt,doc'")
                        ->type_name("PATTERNS");
    Optional(app, "--exclude", r.exclude, "leave files of these types where they are")
        ->type_name("PATTERNS")
        ->excludes(include);
    auto* copy = app.add_flag("--copy", r.copy, "copy the files (the default)");
    app.add_flag("--move", r.move, "move the files")->excludes(copy);
    AddSameName(app, r, refusal);
}

void AddSortFolders(CLI::App& app, CliRequest& r, Refusal& refusal) {
    app.add_option("folders", r.items, "folders to copy")->type_name("FOLDER");
    app.add_option("--subfolders", r.subfolders,
                   "add the sub-folders of DIR (hidden ones left out)")
        ->type_name("DIR")
        ->allow_extra_args(false);
    app.add_option("--list", r.lists, "add the folders named in a list file (one path a line)")
        ->type_name("FILE")
        ->allow_extra_args(false);
    AddPlan(app, r, "run the stored folder plan NAME (plans lists them)");
    Optional(app, "--by", r.by,
             "the criterion: keys or name (required unless --settings or --plan gives it)")
        ->check(OneOf({"keys", "name"}, "--by", refusal))
        ->type_name("CRITERION");
    AddNamePage(app, r, "folder's name");
    AddSameName(app, r, refusal);
    AddCommon(app, r);
}

bool IsCommand(const std::string& word) {
    return word == "sort" || word == "sort-folders" || word == "undo" || word == "history" ||
           word == "plans" || word == "watch";
}

// The command a line names, for a refusal's JSON; words are in reverse order.
std::string CommandOf(const std::vector<std::string>& words) {
    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        if (IsCommand(*word)) return *word;
    }
    return {};
}

// --lang as typed before the command, when it is one the program takes.
std::optional<std::string> TypedLanguage(const std::vector<std::string>& args) {
    std::optional<std::string> language;
    for (size_t i = 0; i < args.size() && !IsCommand(args[i]); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) language = args[++i];
        if (args[i].rfind("--lang=", 0) == 0) language = args[i].substr(7);
    }
    if (language && *language != "zh" && *language != "en") return std::nullopt;
    return language;
}

// The parser's refusal in the program's own texts, naming the option where
// there is one; what is not known here keeps the parser's words.
ChoiceError Explained(const CLI::ParseError& e, const Refusal& refusal,
                      const std::vector<std::string>& args,
                      const std::vector<std::string>& extras) {
    const std::string what = e.what();
    if (refusal && dynamic_cast<const CLI::ValidationError*>(&e)) return *refusal;
    if (dynamic_cast<const CLI::ExtrasError*>(&e) && !extras.empty()) {
        // Options only: unknown ones; otherwise words beyond what the command takes.
        const bool options = std::all_of(extras.begin(), extras.end(), [](const std::string& w) {
            return w.size() > 1 && w.front() == '-';
        });
        if (!options) return {"", Format(MessageId::CliUnexpectedArgument, {Joined(extras, " ")})};
        return {extras.front().substr(0, extras.front().find('=')),
                Format(MessageId::CliUnknownOption, {Joined(extras, " ")})};
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        // "--out: 1 required DIR missing"
        const size_t colon = what.find(": ");
        if (colon != std::string::npos && colon + 2 < what.size() &&
            std::isdigit(static_cast<unsigned char>(what[colon + 2])) &&
            what.find(" required ", colon) != std::string::npos && what.ends_with(" missing")) {
            const std::string option = what.substr(0, colon);
            return {option, Format(MessageId::CliMissingValue, {option})};
        }
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e)) {
        const size_t at = what.find(" excludes ");
        if (at != std::string::npos) {
            const std::string first = what.substr(0, at);
            return {first, Format(MessageId::CliExcludes, {first, what.substr(at + 10)})};
        }
    }
    if (dynamic_cast<const CLI::RequiredError*>(&e) && what == "A subcommand is required") {
        // A word where the command should be is one the program does not know.
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--lang") {
                ++i;
            } else if (args[i].empty() || args[i].front() != '-') {
                return {"", Format(MessageId::CliUnknownCommand, {args[i]})};
            }
        }
        return {"", Format(MessageId::CliNoCommand)};
    }
    return {"", what};
}

}  // namespace

ParsedLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& err) {
    ParsedLine parsed;
    CliRequest& r = parsed.request;
    CLI::App app{
        "Zanfeld from the command line: sorts files, or copies folders, into "
        "sub-folders of an output directory, as the Zanfeld window does.",
        "zanfeld-cli"};
    app.set_version_flag("--version", std::string("zanfeld-cli ") + ZANFELD_VERSION);
    Refusal refusal;
    Optional(app, "--lang", r.language,
             "the language of the messages: zh (Chinese) or en (English); by default zh unless "
             "LANGUAGE, LC_ALL, LC_MESSAGES or LANG name English before Chinese")
        ->check(OneOf({"zh", "en"}, "--lang", refusal))
        ->type_name("LANG");
    app.require_subcommand(1, 1);
    app.footer(
        "Run 'zanfeld-cli COMMAND --help' for a command's options; 'man zanfeld-cli' for "
        "more. Exit status: 0 all placed, 1 some failed, 2 bad options or a refused run, "
        "130 stopped with Ctrl-C (a watch ends with 0 when stopped).");

    CLI::App* sort =
        app.add_subcommand("sort", "sort files into sub-folders of the output directory");
    AddSort(*sort, r, refusal);
    CLI::App* folders = app.add_subcommand(
        "sort-folders",
        "copy folders with their whole trees into sub-folders of the output directory");
    AddSortFolders(*folders, r, refusal);

    CLI::App* undo =
        app.add_subcommand("undo", "put back the newest run that can be undone, or run RUN");
    undo->add_option_function<int64_t>(
            "run", [&r](const int64_t& id) { r.run = id; }, "the run's number, as history lists it")
        ->check(WholeNumber("RUN", 1, std::nullopt, "POSITIVE", refusal))
        ->type_name("RUN");
    undo->add_flag("--yes", r.yes, "do not ask before undoing");
    undo->add_flag("--dry-run", r.dryRun, "only tell what the undo would do");
    undo->add_flag("--json", r.json, "print one JSON object with the result on standard output");
    undo->add_flag("--quiet", r.quiet,
                   "no progress line, and nothing at all when everything was put back");

    CLI::App* history = app.add_subcommand("history", "list the recorded runs, newest first");
    history->add_option("--limit", r.limit, "how many runs (0: all; default 20)")
        ->check(WholeNumber("--limit", 0, std::nullopt, "NONNEGATIVE", refusal))
        ->type_name("N");
    history->add_flag("--json", r.json, "print the runs as a JSON array on standard output");

    CLI::App* plans =
        app.add_subcommand("plans", "list the stored plans; plans save or plans delete one");
    plans->add_flag("--json", r.json, "print the plans as a JSON array on standard output");
    AddSettingsFile(*plans, r);
    CLI::App* save = plans->add_subcommand(
        "save", "store the options that follow, those of sort (with --folders those of "
                "sort-folders), as the plan NAME, replacing one of that name");
    save->add_option("name", r.planName, "the plan's name")->required()->type_name("NAME");
    save->add_flag("--folders", r.planFolders, "a plan of sort-folders (--by keys or name)");
    AddSortChoices(*save, r, refusal);
    Optional(*save, "--out", r.out, "the output directory")->type_name("DIR");
    save->add_flag("--json", r.json, "print one JSON object with the result on standard output");
    AddSettingsFile(*save, r,
                    "start from the choices the window stored, and store the plan in that file "
                    "(--settings=FILE: another file)");
    CLI::App* remove = plans->add_subcommand("delete", "remove the plan NAME");
    remove->add_option("name", r.planName, "the plan's name")->required()->type_name("NAME");
    remove->add_flag("--json", r.json, "print one JSON object with the result on standard output");
    AddSettingsFile(*remove, r);
    plans->require_subcommand(0, 1);

    CLI::App* watch = app.add_subcommand(
        "watch", "keep folders sorted: sort, with stored plans, what is in them and whatever "
                 "arrives later, until stopped (SIGTERM or Ctrl-C)");
    watch->add_option("folders", r.items, "folders to watch")->type_name("FOLDER");
    AddPlan(*watch, r,
            "sort with the stored plan NAME; given again, the plans apply in turn as in sort");
    auto* watchDepth =
        watch
            ->add_option_function<int>(
                "--depth", [&r](const int& n) { r.depth = n; },
                "watch N levels of sub-folders too (0: only the folder's own files)")
            ->check(WholeNumber("--depth", 0, 1 << 30, "INT in [0 - 1073741824]", refusal))
            ->type_name("N");
    watch->add_flag("--all", r.allLevels, "watch every level of sub-folders")->excludes(watchDepth);
    watch
        ->add_option_function<double>(
            "--settle", [&r](const double& seconds) { r.settleSeconds = seconds; },
            "sort a file once it has been left alone this long (default 10; fractions allowed)")
        ->check(CLI::Range(0.0, 86400.0))
        ->type_name("SECONDS");
    watch->add_flag("--no-initial", r.noInitial,
                    "leave what is in the folders at the start; sort only what arrives");
    watch->add_flag("--from-settings", r.fromSettings,
                    "watch the folders switched on in the settings file's [Watch] section, each "
                    "with its own plans, as the window sets them up");
    AddSortChoices(*watch, r, refusal);
    Optional(*watch, "--out", r.out, "the output directory, over every plan's")->type_name("DIR");
    watch->add_flag("--json", r.json, "print one JSON object per sorted batch on standard output");
    AddSettingsFile(*watch, r);

    // A bare --settings takes the default file: it must not take the next
    // word (a source) for its file, so it is given its value here.
    std::vector<std::string> words;
    for (int i = argc - 1; i >= 1; --i) {
        const std::string word = argv[i];
        words.push_back(word == "--settings" ? std::string("--settings=") + kDefaultSettingsFile
                                             : word);
    }
    // CLI11 takes the words it parses off the vector; the checks below read all of them.
    const std::vector<std::string> line = words;
    try {
        app.parse(words);
    } catch (const CLI::ParseError& e) {
        parsed.done = true;
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            parsed.status = app.exit(e, out, err) == 0 ? 0 : kExitRefused;
            return parsed;
        }
        parsed.status = kExitRefused;
        // Told in the language of the messages, which the line may not have reached.
        const std::vector<std::string> args(argv + 1, argv + argc);
        err << LoadLanguage(TypedLanguage(args));
        const ChoiceError why = Explained(e, refusal, args, app.remaining(true));
        err << PlainText::message(TranslateMessage(Format(MessageId::CliRefused, {why.message})))
            << "\n"
            << TranslateMessage(Format(MessageId::CliHelpHint)) << std::endl;
        // A script that asked for JSON gets its object for a refused line too.
        if (std::find(line.begin(), line.end(), "--json") != line.end())
            out << JsonText::refusal(CommandOf(line), why.message, why.option) << std::flush;
        return parsed;
    }
    // A bare --settings followed by a settings file was meant as --settings=FILE:
    // taken as a source, the file would be sorted (or moved) away.
    for (size_t i = line.size(); i-- > 1;) {
        const std::string& next = line[i - 1];
        if (line[i] == std::string("--settings=") + kDefaultSettingsFile && next.size() > 4 &&
            next.compare(next.size() - 4, 4, ".ini") == 0) {
            parsed.done = true;
            parsed.status = kExitRefused;
            const std::string message = "--settings " + next +
                                        ": a bare --settings reads the default file; write "
                                        "--settings=" +
                                        next + " to read this one";
            err << "zanfeld-cli: " << message << "\n";
            if (r.json)
                out << JsonText::refusal(CommandOf(words), message, "--settings") << std::flush;
            return parsed;
        }
    }
    if (sort->parsed()) r.command = CliCommand::Sort;
    if (folders->parsed()) r.command = CliCommand::SortFolders;
    if (undo->parsed()) r.command = CliCommand::Undo;
    if (history->parsed()) r.command = CliCommand::History;
    if (plans->parsed()) r.command = CliCommand::Plans;
    if (save->parsed()) r.command = CliCommand::PlanSave;
    if (remove->parsed()) r.command = CliCommand::PlanDelete;
    if (watch->parsed()) r.command = CliCommand::Watch;
    return parsed;
}

}  // namespace zanfeld
