// Sorts on a slow file system: the bench's own FUSE pass-through with a wait
// in every operation, as on a network share or a phone, against `cp -t` per
// target folder doing the same copies.
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <thread>

#include "Bench.h"
#include "SortTree.h"

namespace zanfeld::bench {

namespace {

constexpr long kFuseMagic = 0x65735546;

// The slow file system mounted over mountPoint, passing through to root,
// for the object's lifetime.
class SlowFsMount {
  public:
    SlowFsMount(const std::string& root, const std::string& mountPoint, int delayUs)
        : m_mountPoint(mountPoint) {
#ifdef ZANFELD_SLOWFS_PATH
        m_pid = fork();
        if (m_pid < 0) Fail("fork for the slow file system");
        if (m_pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDERR_FILENO);
            execl(ZANFELD_SLOWFS_PATH, ZANFELD_SLOWFS_PATH, root.c_str(), mountPoint.c_str(),
                  std::to_string(delayUs).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // Mounted once the mount point reports FUSE's magic number.
        for (int i = 0; i < 500; ++i) {
            struct statfs fs;
            if (statfs(mountPoint.c_str(), &fs) == 0 && fs.f_type == kFuseMagic) {
                m_mounted = true;
                return;
            }
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
#else
        (void)root;
        (void)delayUs;
#endif
    }
    ~SlowFsMount() {
        if (m_mounted) {
            const pid_t child = fork();
            if (child == 0) {
                execlp("fusermount3", "fusermount3", "-u", "-z", m_mountPoint.c_str(),
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            if (child > 0) waitpid(child, nullptr, 0);
        }
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    SlowFsMount(const SlowFsMount&) = delete;
    SlowFsMount& operator=(const SlowFsMount&) = delete;
    bool mounted() const { return m_mounted; }

  private:
    std::string m_mountPoint;
    pid_t m_pid = -1;
    bool m_mounted = false;
};

// `cp -t FOLDER FILE...` for each target folder, in one process per folder.
double BaselineCpT(const SortTree& tree) {
    std::map<std::string, std::vector<std::string>> byFolder;
    for (size_t i = 0; i < tree.sources.size(); ++i)
        byFolder[tree.targets[i].substr(0, tree.targets[i].rfind('/'))].push_back(tree.sources[i]);
    const Stopwatch clock(CpuOf::Process);
    for (const auto& [folder, files] : byFolder) {
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) Fail("mkdir " + folder);
        std::vector<const char*> argv = {"cp", "-t", folder.c_str()};
        for (const std::string& f : files) argv.push_back(f.c_str());
        argv.push_back(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            execvp("cp", const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0)
            Fail("cp -t " + folder);
    }
    const double t = clock.stop();
    CheckPlaced(tree, "cp -t");
    return t;
}

FigureResult SlowFsFigure(const BenchOptions& o, int delayUs, double limit) {
    FigureResult r;
    const std::string delay = delayUs == 0      ? std::string("no delay")
                              : delayUs >= 1000 ? std::to_string(delayUs / 1000) + " ms"
                                                : std::to_string(delayUs) + " µs";
    r.key = "slowfs-copy-" + std::to_string(delayUs) + "us";
    BenchOptions small = o;
    small.sortFiles = std::min(o.sortFiles, 2000);
    r.work = Grouped(small.sortFiles) + " files of " + std::to_string(o.fileSize / 1024) +
             " KiB on FUSE (" + delay + " per operation), page FileType, Copy, Rename";
    r.baseline = "cp -t per target folder";
    char target[32];
    std::snprintf(target, sizeof target, "≤ %.2f", limit);
    r.target = target;
    r.limit = limit;
    Scratch scratch(o.dir);
    const std::string lower = scratch.path() + "/lower";
    const std::string mount = scratch.path() + "/mnt";
    MakeDir(lower);
    MakeDir(mount);
    SlowFsMount slow(lower, mount, delayUs);
    if (!slow.mounted()) {
        r.note = "skipped: FUSE cannot be mounted here (no /dev/fuse, fusermount3 or libfuse3)";
        r.pass = true;
        return r;
    }
    // The sources are made below, where the mount shows them without delay.
    const SortTree made = MakeSortTree(lower + "/sources", "", small, Naming::ByType, o.fileSize);
    SortTree shared = made;
    for (std::string& source : shared.sources) source = mount + source.substr(lower.size());
    SortTree engineTree, baseTree;
    auto roundDir = [&](int round) { return "/r" + std::to_string(round); };
    // Every call waits: two rounds tell the figure when there is a delay.
    const int rounds = delayUs > 0 ? std::min(o.rounds, 2) : o.rounds;
    Alternate(
        rounds,
        [&](int round) {
            MakeDir(lower + roundDir(round));
            engineTree = WithOutput(shared, mount + roundDir(round) + "/a-out", Naming::ByType,
                                    small);
            baseTree = WithOutput(shared, mount + roundDir(round) + "/b-out", Naming::ByType,
                                  small);
        },
        [&] {
            return EngineRun(engineTree, small, Naming::ByType, TransferMode::Copy,
                             CpuOf::Process);
        },
        [&] { return BaselineCpT(baseTree); },
        [&](int round) { RemoveTree(lower + roundDir(round)); }, r);
    return r;
}

}  // namespace

std::vector<FigureResult> SlowFsFigures(const BenchOptions& o) {
    return {SlowFsFigure(o, 0, 1.0), SlowFsFigure(o, 200, 1.0), SlowFsFigure(o, 1000, 0.5)};
}

}  // namespace zanfeld::bench
