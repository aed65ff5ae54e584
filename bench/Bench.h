#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zanfeld::bench {

// The sizes of one benchmark run; every one is a command-line parameter.
struct BenchOptions {
    std::string dir = "/tmp";  // trees are made in a fresh folder below this
    int rounds = 5;
    int sortFiles = 20000;
    int fileSize = 4096;
    int keywords = 20;
    int extensions = 20;
    int walkFiles = 100000;
    int walkFolders = 1000;
    int pictures = 300;
    int pictureRounds = 3;  // the pictures are shared out over these rounds
    int pictureWidth = 4000;
    int pictureHeight = 3000;
    int listPaths = 1000000;
    int previewFiles = 100000;      // the files of the planned (and the real) sort of the preview
    int chunkedMiB = 2048;          // the one file of the chunked copy
    int latencyFiles = 4;           // the large files a windowed run copies while its
    int latencyMiB = 256;           // window's ticks are timed, and the size of each
    int identicalFiles = 1000;      // the 1 MiB files 相同则跳过 finds twins of
    std::vector<std::string> only;  // figure keys to run; empty runs all

    bool wants(const std::string& key) const;
};

// Median, min and max of a set of values.
struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
    static Spread of(std::vector<double> values);
};

// One row of the result table.
struct FigureResult {
    std::string key;
    std::string work;
    std::string baseline;
    std::string target;
    Spread engineSeconds;
    Spread baselineSeconds;
    Spread ratio;      // engine / baseline, per round
    Spread cpuRatio;   // the same for processor time
    double limit = 0;  // the ratio target (median ≤ limit)
    bool pass = false;
    std::string figure;  // the quoted figure, when it is no plain ratio
    std::string note;
};

// One measured round: returns the seconds that count.
using TimedRun = std::function<double()>;

// Runs rounds rounds; each calls setup(round), then the engine and the
// baseline in alternating order (engine first in even rounds), then
// teardown(round). Ratios are taken per round.
void Alternate(int rounds, const std::function<void(int)>& setup, const TimedRun& engine,
               const TimedRun& baseline, const std::function<void(int)>& teardown,
               FigureResult& result);

// Seconds on a monotonic clock.
double Now();

// Whose processor time a Stopwatch takes: the measuring thread's, or the
// whole process's when the work it times runs on threads of its own.
enum class CpuOf { Thread, Process };

// Times one measured stretch: wall-clock seconds, and the processor time
// (user and system) of the measuring thread, or of the process, over the same
// stretch. stop() returns the wall time; the processor time goes where
// Alternate finds it.
class Stopwatch {
  public:
    explicit Stopwatch(CpuOf of = CpuOf::Thread);
    double stop() const;

  private:
    CpuOf m_of;
    double m_wall;
    double m_cpu;
};
// The processor seconds of the last stretch a Stopwatch stopped.
double LastCpuSeconds();
// Processor seconds used so far by the calling thread, or by the process.
double CpuSeconds(CpuOf of);

// A scratch folder on the file system of dir, removed with its contents.
class Scratch {
  public:
    explicit Scratch(const std::string& base);
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

// Tree helpers; they Fail on any error, as a benchmark on a broken tree is worthless.
void MakeDir(const std::string& path);
void WriteBytes(const std::string& path, const std::string& data);
void RemoveTree(const std::string& path);
// Removes a tree that is no longer needed: at once on a RAM file system; on
// others only when the whole run is over (FinishRemovals). Deleting many
// files can make the next files slow to create on a disk file system (ext4
// without a journal looks past recently freed inodes for a minute or more),
// and that must not land in the next measurement.
void Discard(const std::string& path);
void DeferRemovals(bool defer);
// Starts removing what was deferred so far on a thread of its own, for the
// stretch of measurements that make no files (picture probe, big list).
void StartRemovals();
void FinishRemovals();
// Flushes the file system holding path (a file or a folder), so that write-back of earlier work
// does not land in the next measurement.
void SyncFs(const std::string& path);
// A file of bytes bytes whose every 1 MiB block differs from the others,
// written in blocks (never held in memory whole).
void MakeLargeFile(const std::string& path, uint64_t bytes);
// Fails unless copy has the size of source and the same bytes at a spread of
// places: a cheap check that a large copy holds its source's data.
void CheckSameData(const std::string& source, const std::string& copy, const char* who);
// Sets an environment variable (XDG_STATE_HOME, XDG_DATA_HOME: where the
// journal and the Trash go) for the object's lifetime, then puts back what was
// there before, unset included.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::string m_old;
    bool m_wasSet;
};
// Regular files below path, at any depth.
size_t CountFiles(const std::string& path);
// A measurement that cannot go on; main reports it once the trees are gone.
class BenchFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
[[noreturn]] void Fail(const std::string& what);
// 20000 as "20,000".
std::string Grouped(long long n);

// The figures.
FigureResult CopySortFigure(const BenchOptions& o);
FigureResult MoveSortFigure(const BenchOptions& o);
FigureResult KeywordSortFigure(const BenchOptions& o);
// The copy sort with its run written to a journal, against the same sort without.
FigureResult JournalSortFigure(const BenchOptions& o);
// The undo of a journalled move sort, against that move sort.
FigureResult UndoMoveFigure(const BenchOptions& o);
// Two rows: "preview", the planning of a copy sort against the real sort, and
// "preview-window", the preview window opened with that plan.
std::vector<FigureResult> PreviewFigures(const BenchOptions& o);
// The copy sort on the bench's slow FUSE file system at three delays per
// operation, against cp -t per folder; skipped where FUSE cannot be mounted.
std::vector<FigureResult> SlowFsFigures(const BenchOptions& o);
FigureResult WindowedRunFigure(const BenchOptions& o);
FigureResult WindowLatencyFigure(const BenchOptions& o);
FigureResult ChunkedCopyFigure(const BenchOptions& o);
// 相同则跳过 comparing every file with its twin, against reading the files once.
FigureResult IdenticalSkipFigure(const BenchOptions& o);
FigureResult WalkFigure(const BenchOptions& o);
FigureResult ImportFigure(const BenchOptions& o);
FigureResult PictureProbeFigure(const BenchOptions& o);
// Three rows: "taken-read" (against the picture probe), "taken-read-exiftool"
// (when exiftool is installed) and "taken-sort" (against the copy sort by type).
std::vector<FigureResult> TakenDateFigures(const BenchOptions& o);
// Runs in a child process of its own so that its memory is its own.
FigureResult BigListFigure(const BenchOptions& o, const char* argv0);
// The child's side; prints one line for the parent.
int BigListChild(const BenchOptions& o, int argc, char** argv);

}  // namespace zanfeld::bench
