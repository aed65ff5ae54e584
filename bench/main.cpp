// zanfeld_bench: the program's own cost measured against the system calls it
// cannot avoid. Every figure is the ratio of the program's time to a baseline
// measured in the same run on an identical fresh tree, the two alternating.

#include <sys/statfs.h>
#include <sys/utsname.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "Bench.h"

using namespace zanfeld::bench;

namespace zanfeld::bench {
// CliFigures.cpp. Each gives no row, and says why, when its program is not
// here. cli: the zanfeld-cli to run; files: the files of organize's tree.
std::vector<FigureResult> CliSortFigure(const BenchOptions& o, const std::string& cli);
std::vector<FigureResult> OrganizeFigures(const BenchOptions& o, int files);
// WatchFigures.cpp: zanfeld-cli watch idle, its latency, a burst and many folders.
std::vector<FigureResult> WatchFigures(const BenchOptions& o, const std::string& cli);
}  // namespace zanfeld::bench

namespace {

const char* const kUsage =
    "usage: zanfeld_bench [options]\n"
    "  --dir DIR            make the trees below DIR (default /tmp); same file system as the "
    "output\n"
    "  --rounds N           rounds per figure, engine and baseline alternating (default 5)\n"
    "  --files N            files of the sort figures (default 20000)\n"
    "  --file-size BYTES    size of each sorted file (default 4096)\n"
    "  --extensions N       file types of the type sorts (default 20)\n"
    "  --keywords N         keywords of the keyword sort (default 20)\n"
    "  --walk-files N       files of the walk and import trees (default 100000)\n"
    "  --walk-folders N     folders of the walk tree (default 1000)\n"
    "  --pictures N         pictures probed (default 300)\n"
    "  --picture-rounds N   rounds the pictures are shared out over (default 3; a full\n"
    "                       decode is slow, so each picture is decoded once)\n"
    "  --picture-size WxH   picture dimensions (default 4000x3000)\n"
    "  --list-paths N       paths of the big list (default 1000000)\n"
    "  --preview-files N    files of the preview's planned and real sort (default 100000)\n"
    "  --chunked-mib N      MiB of the chunked copy's one file (default 2048)\n"
    "  --latency-files N    large files the window copies while its ticks are timed (default 4)\n"
    "  --latency-mib N      MiB of each of them (default 256)\n"
    "  --identical-files N  1 MiB files of the identical-skip figure (default 1000)\n"
    "  --cli PATH           the zanfeld-cli of the cli-sort figure (default: the one built\n"
    "                       with the bench)\n"
    "  --organize-files N   files of the organize figure's tree (default 10000)\n"
    "  --only KEY[,KEY]     run only these figures: copy-sort move-sort keyword-sort\n"
    "                       journal-sort undo-move preview (with its preview-window row)\n"
    "                       windowed-run window-latency chunked-copy identical-skip walk\n"
    "                       import\n"
    "                       slowfs (its rows at 0, 200 us and 1 ms per operation)\n"
    "                       cli-sort organize (its organize-move and organize-copy rows;\n"
    "                       Debian's organize on PATH) watch (its watch-idle, a minute,\n"
    "                       watch-latency, watch-burst and watch-folders rows)\n"
    "                       taken-date (its taken-read and taken-sort rows) picture-probe\n"
    "                       big-list\n";

// The figure keys, in the order they run.
const char* const kKeys[] = {
    "copy-sort",    "move-sort",      "keyword-sort", "journal-sort",   "undo-move", "preview",
    "windowed-run", "window-latency", "chunked-copy", "identical-skip", "walk",      "import",
    "slowfs",       "cli-sort",       "organize",     "watch",          "taken-date",
    "picture-probe", "big-list"};

#ifdef ZANFELD_CLI_PATH
const char* const kBuiltCli = ZANFELD_CLI_PATH;
#else
const char* const kBuiltCli = "";
#endif

// The options of the figures that run other programs.
struct ProgramOptions {
    std::string cli = kBuiltCli;
    int organizeFiles = 10000;
};

int ToInt(const char* text, const char* option) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 100000000) {
        std::fprintf(stderr, "zanfeld_bench: %s wants a whole number, not %s\n%s", option, text,
                     kUsage);
        std::exit(2);
    }
    return static_cast<int>(value);
}

BenchOptions ParseOptions(int argc, char** argv, bool& child, ProgramOptions& programs) {
    BenchOptions o;
    child = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (arg == "--big-list-child") {
            child = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "zanfeld_bench: unknown or incomplete option %s\n%s", arg.c_str(),
                         kUsage);
            std::exit(2);
        }
        const char* value = argv[++i];
        if (arg == "--dir") {
            o.dir = value;
        } else if (arg == "--rounds") {
            o.rounds = std::max(1, ToInt(value, "--rounds"));
        } else if (arg == "--files") {
            o.sortFiles = std::max(1, ToInt(value, "--files"));
        } else if (arg == "--file-size") {
            o.fileSize = std::max(1, ToInt(value, "--file-size"));
        } else if (arg == "--extensions") {
            o.extensions = std::max(1, ToInt(value, "--extensions"));
        } else if (arg == "--keywords") {
            o.keywords = std::max(1, ToInt(value, "--keywords"));
        } else if (arg == "--walk-files") {
            o.walkFiles = std::max(1, ToInt(value, "--walk-files"));
        } else if (arg == "--walk-folders") {
            o.walkFolders = std::max(1, ToInt(value, "--walk-folders"));
        } else if (arg == "--pictures") {
            o.pictures = std::max(1, ToInt(value, "--pictures"));
        } else if (arg == "--picture-rounds") {
            o.pictureRounds = std::max(1, ToInt(value, "--picture-rounds"));
        } else if (arg == "--picture-size") {
            int w = 0, h = 0;
            if (std::sscanf(value, "%dx%d", &w, &h) != 2 || w < 1 || h < 1) {
                std::fprintf(stderr, "zanfeld_bench: --picture-size wants WxH\n");
                std::exit(2);
            }
            o.pictureWidth = w;
            o.pictureHeight = h;
        } else if (arg == "--list-paths") {
            o.listPaths = std::max(1, ToInt(value, "--list-paths"));
        } else if (arg == "--preview-files") {
            o.previewFiles = std::max(1, ToInt(value, "--preview-files"));
        } else if (arg == "--chunked-mib") {
            o.chunkedMiB = std::max(1, ToInt(value, "--chunked-mib"));
        } else if (arg == "--latency-files") {
            o.latencyFiles = std::max(1, ToInt(value, "--latency-files"));
        } else if (arg == "--latency-mib") {
            o.latencyMiB = std::max(1, ToInt(value, "--latency-mib"));
        } else if (arg == "--identical-files") {
            o.identicalFiles = std::max(1, ToInt(value, "--identical-files"));
        } else if (arg == "--cli") {
            programs.cli = value;
        } else if (arg == "--organize-files") {
            programs.organizeFiles = std::max(1, ToInt(value, "--organize-files"));
        } else if (arg == "--only") {
            std::string list = value;
            size_t start = 0;
            while (start <= list.size()) {
                const size_t comma = list.find(',', start);
                const size_t end = comma == std::string::npos ? list.size() : comma;
                if (end > start) o.only.push_back(list.substr(start, end - start));
                start = end + 1;
            }
        } else {
            std::fprintf(stderr, "zanfeld_bench: unknown option %s\n%s", arg.c_str(), kUsage);
            std::exit(2);
        }
    }
    // A misspelt key would run nothing and report every target met.
    for (const std::string& key : o.only) {
        if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
            std::fprintf(stderr, "zanfeld_bench: no figure %s\n%s", key.c_str(), kUsage);
            std::exit(2);
        }
    }
    return o;
}

std::string FileSystemOf(const std::string& dir) {
    struct statfs fs;
    if (::statfs(dir.c_str(), &fs) != 0) return "?";
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:
            return "ext4";
        case 0x01021994:
            return "tmpfs";
        case 0x58465342:
            return "xfs";
        case 0x9123683E:
            return "btrfs";
        case 0x794c7630:
            return "overlayfs";
        default: {
            char hex[32];
            std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(fs.f_type));
            return hex;
        }
    }
}

std::string CpuModel() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos) return line.substr(colon + 2);
        }
    }
    return "?";
}

std::string Seconds(const Spread& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s", s.median);
    return text;
}

void PrintTable(const std::vector<FigureResult>& results) {
    std::printf(
        "\n| figure | work | baseline | engine | baseline | ratio: median [min – max] | cpu ratio "
        "| target | |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const FigureResult& r : results) {
        std::string ratio;
        std::string cpu = "–";
        std::string engine = Seconds(r.engineSeconds);
        std::string base = Seconds(r.baselineSeconds);
        if (r.figure.empty()) {
            char text[96];
            std::snprintf(text, sizeof text, "%.3f [%.3f – %.3f]", r.ratio.median, r.ratio.min,
                          r.ratio.max);
            ratio = text;
            std::snprintf(text, sizeof text, "%.3f", r.cpuRatio.median);
            cpu = text;
        } else {
            ratio = r.figure;
            engine = "–";
            base = "–";
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", r.key.c_str(),
                    r.work.c_str(), r.baseline.c_str(), engine.c_str(), base.c_str(), ratio.c_str(),
                    cpu.c_str(), r.target.c_str(), r.pass ? "met" : "MISSED");
    }
    for (const FigureResult& r : results) {
        if (!r.note.empty()) std::printf("\n%s: %s\n", r.key.c_str(), r.note.c_str());
    }
}

// Every figure asked for, then the table; 0 when every target was met.
int RunAll(const BenchOptions& o, const ProgramOptions& programs, const char* argv0) {
    struct utsname un;
    ::uname(&un);
    std::printf("zanfeld_bench: %s, %ld cores, Linux %s; trees in %s (%s); %d rounds\n",
                CpuModel().c_str(), ::sysconf(_SC_NPROCESSORS_ONLN), un.release, o.dir.c_str(),
                FileSystemOf(o.dir).c_str(), o.rounds);
    std::fflush(stdout);
    DeferRemovals(FileSystemOf(o.dir) != "tmpfs");

    const double start = Now();
    std::vector<FigureResult> results;
    // Most figures give one row of the table; the preview and organize give
    // two, and a figure whose program is missing none.
    using Rows = std::vector<FigureResult>;
    const std::pair<const char*, std::function<Rows()>> figures[] = {
        {"copy-sort", [&] { return Rows{CopySortFigure(o)}; }},
        {"move-sort", [&] { return Rows{MoveSortFigure(o)}; }},
        {"keyword-sort", [&] { return Rows{KeywordSortFigure(o)}; }},
        {"journal-sort", [&] { return Rows{JournalSortFigure(o)}; }},
        {"undo-move", [&] { return Rows{UndoMoveFigure(o)}; }},
        {"preview", [&] { return PreviewFigures(o); }},
        {"windowed-run", [&] { return Rows{WindowedRunFigure(o)}; }},
        {"window-latency", [&] { return Rows{WindowLatencyFigure(o)}; }},
        {"chunked-copy", [&] { return Rows{ChunkedCopyFigure(o)}; }},
        {"identical-skip", [&] { return Rows{IdenticalSkipFigure(o)}; }},
        {"walk", [&] { return Rows{WalkFigure(o)}; }},
        {"import", [&] { return Rows{ImportFigure(o)}; }},
        {"slowfs", [&] { return SlowFsFigures(o); }},
        {"cli-sort", [&] { return CliSortFigure(o, programs.cli); }},
        {"organize", [&] { return OrganizeFigures(o, programs.organizeFiles); }},
        {"watch", [&] { return WatchFigures(o, programs.cli); }},
        {"taken-date", [&] { return TakenDateFigures(o); }},
        {"picture-probe", [&] { return Rows{PictureProbeFigure(o)}; }},
        {"big-list", [&] { return Rows{BigListFigure(o, argv0)}; }},
    };
    for (const auto& [key, run] : figures) {
        if (!o.wants(key)) continue;
        // The figures from here on make and time no files: the trees made so
        // far can go meanwhile.
        if (std::string(key) == "picture-probe") StartRemovals();
        std::fprintf(stderr, "%s ...\n", key);
        const double t0 = Now();
        for (FigureResult& row : run()) results.push_back(std::move(row));
        std::fprintf(stderr, "  (%.1f s)\n", Now() - t0);
    }
    PrintTable(results);
    std::printf("\n%zu figures in %.0f s\n", results.size(), Now() - start);
    std::fflush(stdout);
    FinishRemovals();
    bool all = true;
    for (const FigureResult& r : results) all = all && r.pass;
    return all ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    bool child = false;
    ProgramOptions programs;
    const BenchOptions o = ParseOptions(argc, argv, child, programs);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        return child ? BigListChild(o, argc, argv) : RunAll(o, programs, argv[0]);
    } catch (const BenchFailure& e) {
        FinishRemovals();
        std::fprintf(stderr, "zanfeld_bench: %s\n", e.what());
        return 2;
    }
}
