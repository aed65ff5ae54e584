// The sort runs against the bare system calls that do the same placements.

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <set>

#include "Bench.h"
#include "MessageBoxes.h"
#include "RunFileSort.h"
#include "SortTree.h"
#include "Unit1.h"

namespace zanfeld::bench {

const char* const kCompletion = "分拣工作完成！";

std::vector<std::string> Extensions(int count) {
    static const char* const kCommon[] = {".jpg",  ".png", ".txt", ".pdf", ".doc",  ".docx", ".xls",
                                          ".xlsx", ".mp3", ".mp4", ".zip", ".rar",  ".html", ".css",
                                          ".js",   ".cpp", ".h",   ".csv", ".json", ".xml"};
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        if (i < 20) {
            out.emplace_back(kCommon[i]);
        } else {
            char ext[16];
            std::snprintf(ext, sizeof ext, ".x%03d", i);
            out.emplace_back(ext);
        }
    }
    return out;
}

std::vector<std::string> Keywords(int count) {
    static const char* const kWords[] = {
        "alpha",   "bravo", "charlie", "delta",  "echo",     "foxtrot", "golf",   "hotel",  "india",
        "juliett", "kilo",  "lima",    "mike",   "november", "oscar",   "papa",   "quebec", "romeo",
        "sierra",  "tango", "uniform", "victor", "whiskey",  "xray",    "yankee", "zulu"};
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        if (i < 26) {
            out.emplace_back(kWords[i]);
        } else {
            char word[16];
            std::snprintf(word, sizeof word, "kw%05dz", i);
            out.emplace_back(word);
        }
    }
    return out;
}

// The same sources with their targets in the output folder out, made empty.
SortTree WithOutput(SortTree tree, const std::string& out, Naming naming, const BenchOptions& o) {
    tree.out = out;
    MakeDir(out);
    const std::vector<std::string> names =
        naming == Naming::ByType ? Extensions(o.extensions) : Keywords(o.keywords);
    std::set<std::string> folders;
    tree.targets.clear();
    for (size_t i = 0; i < tree.sources.size(); ++i) {
        const std::string& kind = names[i % names.size()];
        const std::string& source = tree.sources[i];
        tree.targets.push_back(out + "/" + kind + source.substr(source.rfind('/')));
        folders.insert(out + "/" + kind);
    }
    tree.folders.assign(folders.begin(), folders.end());
    return tree;
}

// Makes the source files below root (fileSize bytes each, empty when 0) and,
// unless out is empty, an empty output folder out.
SortTree MakeSortTree(const std::string& root, const std::string& out, const BenchOptions& o,
                      Naming naming, int fileSize) {
    SortTree tree;
    MakeDir(root);
    MakeDir(root + "/src");
    const int sourceFolders = std::max(1, o.sortFiles / 1000);
    for (int f = 0; f < sourceFolders; ++f) MakeDir(root + "/src/s" + std::to_string(f));
    const std::vector<std::string> names =
        naming == Naming::ByType ? Extensions(o.extensions) : Keywords(o.keywords);
    std::string content(static_cast<size_t>(fileSize), '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
    for (int i = 0; i < o.sortFiles; ++i) {
        const std::string& kind = names[static_cast<size_t>(i) % names.size()];
        char base[32];
        std::snprintf(base, sizeof base, "f%06d", i);
        const std::string name =
            naming == Naming::ByType ? base + kind : std::string(base) + "_" + kind + ".txt";
        const std::string source = root + "/src/s" + std::to_string(i % sourceFolders) + "/" + name;
        if (!content.empty()) content[0] = static_cast<char>('A' + i % 26);
        WriteBytes(source, content);
        tree.sources.push_back(source);
    }
    return out.empty() ? tree : WithOutput(tree, out, naming, o);
}

SortOptions RunOptions(const SortTree& tree, const BenchOptions& o, Naming naming,
                       TransferMode mode) {
    SortOptions options;
    options.outputDir = tree.out + "/";
    options.transferMode = mode;
    options.sameFilePolicy = SameFilePolicy::Rename;
    options.typeFilter = TypeFilterMode::None;
    if (naming == Naming::ByType) {
        options.page = SortPage::FileType;
    } else {
        options.page = SortPage::Keys;
        for (const std::string& k : Keywords(o.keywords)) {
            if (!options.keywordText.empty()) options.keywordText += ' ';
            options.keywordText += k;
        }
    }
    return options;
}

// Every file arrived under its own name in its folder.
void CheckPlaced(const SortTree& tree, const char* who) {
    for (const std::string& target : tree.targets) {
        struct stat st;
        if (::stat(target.c_str(), &st) != 0) Fail(std::string(who) + " did not place " + target);
    }
    const size_t placed = CountFiles(tree.out);
    if (placed != tree.targets.size())
        Fail(std::string(who) + " placed " + std::to_string(placed) + " files, expected " +
             std::to_string(tree.targets.size()));
}

double EngineRun(const SortTree& tree, const BenchOptions& o, Naming naming, TransferMode mode,
                 CpuOf cpu) {
    NullHost host;
    return EngineRun(tree, o, naming, mode, host, cpu);
}

double EngineRun(const SortTree& tree, const BenchOptions& o, Naming naming, TransferMode mode,
                 NullHost& host, CpuOf cpu) {
    SyncFs(tree.out);
    const SortOptions options = RunOptions(tree, o, naming, mode);
    host.last.clear();
    const Stopwatch clock(cpu);
    RunFileSort(options, tree.sources, host);
    const double t = clock.stop();
    if (host.last != kCompletion) Fail("the engine ended with: " + host.last);
    CheckPlaced(tree, "the engine");
    return t;
}

namespace {

// Scripted message boxes for a figure's lifetime, whichever way it ends.
class ScriptedBoxes {
  public:
    ScriptedBoxes() { MessageBoxes::setScripted(true); }
    ~ScriptedBoxes() { MessageBoxes::setScripted(false); }
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;
};

// The window's list and choices for a copy sort of tree, as a user would
// leave them.
void PrepareWindow(TForm1& form, const SortTree& tree) {
    form.Button6->click();
    for (const std::string& path : tree.sources) form.sourceList().AddIfAbsent(path);
    form.syncList();
    form.PageControl1->setCurrentIndex(static_cast<int>(SortPage::FileType));
    form.EdtOutDir->setText(QString::fromStdString(tree.out + "/"));
    form.RbCopy->setChecked(true);
    form.RbRename->setChecked(true);
    // The list view lays out and paints its new rows now, not in the run.
    const double settle = Now();
    while (Now() - settle < 0.2) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Starts the window's run with BtnCopy and returns when the window says it
// ended (runFinished), its events running meanwhile as for a user.
void RunFromWindow(TForm1& form) {
    // Only against a hang: a run that does not end within this fails.
    constexpr int kGiveUpMs = 30 * 60 * 1000;
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&form, &SortWindow::runFinished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    form.BtnCopy->click();
    if (!ended && !form.running()) Fail("BtnCopy started no run");
    giveUp.start(kGiveUpMs);
    if (!ended) loop.exec();
    if (!ended) Fail("the window's run did not end within 30 minutes");
}

// The run showed one box, the completion message.
void CheckCompleted(const char* who) {
    const auto& shown = MessageBoxes::shown();
    if (shown.size() != 1 || shown.back().text != QString::fromUtf8(kCompletion))
        Fail(std::string(who) + " did not end with the completion message alone" +
             (shown.empty() ? std::string() : ": " + shown.back().text.toStdString()));
}

void BaselineFolders(const SortTree& tree) {
    for (const std::string& folder : tree.folders) {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) Fail("baseline mkdir " + folder);
    }
}

// open + copy_file_range + close per file.
double BaselineCopy(const SortTree& tree, const BenchOptions& o) {
    SyncFs(tree.out);
    const Stopwatch clock;
    BaselineFolders(tree);
    for (size_t i = 0; i < tree.sources.size(); ++i) {
        const int in = ::open(tree.sources[i].c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) Fail("baseline open " + tree.sources[i]);
        const int out =
            ::open(tree.targets[i].c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0) Fail("baseline create " + tree.targets[i]);
        size_t left = static_cast<size_t>(o.fileSize);
        while (left > 0) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, left, 0);
            if (n <= 0) Fail("baseline copy_file_range " + tree.targets[i]);
            left -= static_cast<size_t>(n);
        }
        ::close(out);
        ::close(in);
    }
    const double t = clock.stop();
    CheckPlaced(tree, "the baseline");
    return t;
}

// One renameat2 per file.
double BaselineMove(const SortTree& tree) {
    SyncFs(tree.out);
    const Stopwatch clock;
    BaselineFolders(tree);
    for (size_t i = 0; i < tree.sources.size(); ++i) {
        if (::renameat2(AT_FDCWD, tree.sources[i].c_str(), AT_FDCWD, tree.targets[i].c_str(),
                        RENAME_NOREPLACE) != 0)
            Fail("baseline rename " + tree.sources[i]);
    }
    const double t = clock.stop();
    CheckPlaced(tree, "the baseline");
    return t;
}

// A copy leaves its sources as they are, so one set of sources serves every
// round and both sides; each side gets a fresh, empty output folder per round.
// A move gets fresh sources per round too; its files are empty, as a rename
// never touches the data.
FigureResult SortFigure(const BenchOptions& o, FigureResult result, Naming naming,
                        TransferMode mode) {
    Scratch scratch(o.dir);
    SortTree shared, engineTree, baseTree;
    if (mode == TransferMode::Copy)
        shared = MakeSortTree(scratch.path() + "/sources", "", o, naming, o.fileSize);
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    Alternate(
        o.rounds,
        [&](int round) {
            const std::string dir = roundDir(round);
            MakeDir(dir);
            if (mode == TransferMode::Copy) {
                engineTree = WithOutput(shared, dir + "/a-out", naming, o);
                baseTree = WithOutput(shared, dir + "/b-out", naming, o);
            } else {
                engineTree = MakeSortTree(dir + "/a", dir + "/a/out", o, naming, 0);
                baseTree = MakeSortTree(dir + "/b", dir + "/b/out", o, naming, 0);
            }
        },
        [&] { return EngineRun(engineTree, o, naming, mode); },
        [&] {
            return mode == TransferMode::Copy ? BaselineCopy(baseTree, o) : BaselineMove(baseTree);
        },
        [&](int round) { Discard(roundDir(round)); }, result);
    return result;
}

}  // namespace

FigureResult CopySortFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "copy-sort";
    r.work = Grouped(o.sortFiles) + " files of " +
             (o.fileSize % 1024 == 0 ? std::to_string(o.fileSize / 1024) + " KiB"
                                     : std::to_string(o.fileSize) + " B") +
             ", page FileType, Copy, Rename";
    r.baseline = "open + copy_file_range + close per file";
    r.target = "≤ 1.4";
    r.limit = 1.4;
    return SortFigure(o, r, Naming::ByType, TransferMode::Copy);
}

FigureResult MoveSortFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "move-sort";
    r.work = Grouped(o.sortFiles) + " files (empty), page FileType, Move, Rename";
    r.baseline = "one renameat2 per file";
    r.target = "≤ 1.25";
    r.limit = 1.25;
    return SortFigure(o, r, Naming::ByType, TransferMode::Move);
}

FigureResult KeywordSortFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "keyword-sort";
    r.work =
        Grouped(o.sortFiles) + " files, " + std::to_string(o.keywords) + " keywords, Copy, Rename";
    r.baseline = "as copy sort, same placements";
    r.target = "≤ 1.45";
    r.limit = 1.45;
    return SortFigure(o, r, Naming::ByKeyword, TransferMode::Copy);
}

FigureResult WindowedRunFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "windowed-run";
    r.work = "the copy sort from TForm1's BtnCopy (offscreen), to runFinished";
    r.baseline = "the same sort through a host that does nothing";
    r.target = "≤ 1.1";
    r.limit = 1.1;

    Scratch scratch(o.dir);
    ScriptedBoxes scripted;
    TForm1 form(scratch.path() + "/Zanfeld.ini", scratch.path());
    form.show();
    QApplication::processEvents();

    const SortTree shared =
        MakeSortTree(scratch.path() + "/sources", "", o, Naming::ByType, o.fileSize);
    SortTree windowTree, baseTree;
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    const auto setup = [&](int round) {
        const std::string dir = roundDir(round);
        MakeDir(dir);
        windowTree = WithOutput(shared, dir + "/a-out", Naming::ByType, o);
        baseTree = WithOutput(shared, dir + "/b-out", Naming::ByType, o);
        PrepareWindow(form, windowTree);
    };
    // The run's work is on its own thread, so both sides take the processor
    // time of the whole process; what the window's thread takes is told apart.
    std::vector<double> windowCpu;
    const auto windowRun = [&] {
        SyncFs(windowTree.out);
        MessageBoxes::clearShown();
        const double cpu = CpuSeconds(CpuOf::Thread);
        const Stopwatch clock(CpuOf::Process);
        RunFromWindow(form);
        const double t = clock.stop();
        windowCpu.push_back(CpuSeconds(CpuOf::Thread) - cpu);
        CheckCompleted("the window's run");
        CheckPlaced(windowTree, "the window");
        return t;
    };
    const auto hostRun = [&] {
        return EngineRun(baseTree, o, Naming::ByType, TransferMode::Copy, CpuOf::Process);
    };
    // One run of each that does not count: the first run of a window draws
    // its disabled controls and the bar for the first time.
    setup(-1);
    windowRun();
    hostRun();
    Discard(roundDir(-1));
    windowCpu.clear();
    Alternate(
        o.rounds, setup, windowRun, hostRun, [&](int round) { Discard(roundDir(round)); }, r);
    char text[160];
    std::snprintf(text, sizeof text,
                  "the window's own thread used %.3f s of processor time a run (median) "
                  "beside the worker; the host's whole run took %.3f s",
                  Spread::of(windowCpu).median, r.baselineSeconds.median);
    r.note = text;
    return r;
}

FigureResult WindowLatencyFigure(const BenchOptions& o) {
    constexpr int kTickMs = 10;
    constexpr double kWorstLimitMs = 50;
    const uint64_t fileBytes = static_cast<uint64_t>(o.latencyMiB) << 20;
    FigureResult r;
    r.key = "window-latency";
    r.work = std::to_string(o.latencyFiles) + " files of " + std::to_string(o.latencyMiB) +
             " MiB copied from TForm1's BtnCopy (offscreen), a 10 ms timer on the window's "
             "thread";
    r.baseline = "–";
    r.target = "worst tick ≤ 50 ms late";
    r.limit = kWorstLimitMs;

    Scratch scratch(o.dir);
    ScriptedBoxes scripted;
    TForm1 form(scratch.path() + "/Zanfeld.ini", scratch.path());
    form.show();
    QApplication::processEvents();

    // The large files, each in a type folder of its own.
    static const char* const kTypes[] = {".mp4", ".zip", ".iso", ".mkv"};
    SortTree shared;
    MakeDir(scratch.path() + "/sources");
    for (int i = 0; i < o.latencyFiles; ++i) {
        const std::string path =
            scratch.path() + "/sources/big" + std::to_string(i) + kTypes[i % 4];
        MakeLargeFile(path, fileBytes);
        shared.sources.push_back(path);
    }
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    const auto setup = [&](int round) {
        SortTree tree = shared;
        tree.out = roundDir(round);
        MakeDir(tree.out);
        std::set<std::string> folders;
        for (size_t i = 0; i < tree.sources.size(); ++i) {
            const std::string folder = tree.out + "/" + kTypes[i % 4];
            const std::string& source = tree.sources[i];
            tree.targets.push_back(folder + source.substr(source.rfind('/')));
            folders.insert(folder);
        }
        tree.folders.assign(folders.begin(), folders.end());
        PrepareWindow(form, tree);
        return tree;
    };

    // The lateness of every tick during one run, in milliseconds: the time
    // since the tick before (or since the click) less the 10 ms asked for.
    const auto measuredRun = [&](const SortTree& tree, std::vector<double>& late, double& seconds) {
        SyncFs(tree.out);
        MessageBoxes::clearShown();
        const size_t before = late.size();
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(kTickMs);
        double last = 0;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const double now = Now();
            late.push_back((now - last) * 1000 - kTickMs);
            last = now;
        });
        ticks.start();
        last = Now();
        const double start = last;
        RunFromWindow(form);
        const double end = Now();
        ticks.stop();
        // A window held up just before the end shows in no tick; the stretch
        // since the last one counts once it is longer than a tick.
        if ((end - last) * 1000 > kTickMs) late.push_back((end - last) * 1000 - kTickMs);
        seconds = end - start;
        CheckCompleted("the window's run");
        CheckPlaced(tree, "the window");
        for (size_t i = 0; i < tree.sources.size(); ++i)
            CheckSameData(tree.sources[i], tree.targets[i], "the window");
        // Fewer ticks than this would make the worst a figure of chance.
        if (late.size() - before < 10)
            Fail("the window's run took " + std::to_string(seconds) +
                 " s, too short for its ticks; give larger files (--latency-mib)");
    };

    // The first run of a window draws its disabled controls and the bar for
    // the first time; it is measured, and told, but not judged.
    std::vector<double> firstLate;
    double firstSeconds = 0;
    measuredRun(setup(-1), firstLate, firstSeconds);
    RemoveTree(roundDir(-1));

    std::vector<double> late;
    std::vector<double> seconds;
    for (int round = 0; round < o.rounds; ++round) {
        const SortTree tree = setup(round);
        const size_t before = late.size();
        double t = 0;
        measuredRun(tree, late, t);
        seconds.push_back(t);
        std::fprintf(
            stderr, "  %-14s round %d: run %.3f s, %zu ticks, worst %.1f ms late\n", r.key.c_str(),
            round + 1, t, late.size() - before,
            *std::max_element(late.begin() + static_cast<std::ptrdiff_t>(before), late.end()));
        // A few large files, not many small ones: removing them at once
        // leaves nothing behind that slows the next round.
        RemoveTree(tree.out);
    }
    std::sort(late.begin(), late.end());
    const double worst = late.back();
    const double p99 =
        late[static_cast<size_t>(std::ceil(0.99 * static_cast<double>(late.size()))) - 1];
    r.engineSeconds = Spread::of(seconds);
    r.pass = worst <= kWorstLimitMs;
    char text[160];
    std::snprintf(text, sizeof text, "worst %.1f ms, p99 %.1f ms late (%zu ticks)", worst, p99,
                  late.size());
    r.figure = text;
    std::snprintf(text, sizeof text,
                  "runs of %.2f s (median); the window's first run, not judged: worst %.1f ms "
                  "late in %.2f s",
                  r.engineSeconds.median, *std::max_element(firstLate.begin(), firstLate.end()),
                  firstSeconds);
    r.note = text;
    return r;
}

}  // namespace zanfeld::bench
