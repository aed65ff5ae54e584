// 相同则跳过 over files whose twins are all in the output already: every
// file compared byte for byte with its twin and skipped, against reading the
// sources once.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Bench.h"
#include "RunFileSort.h"
#include "RunNotes.h"
#include "SortTree.h"

namespace zanfeld::bench {

namespace {

constexpr size_t kFileBytes = 1u << 20;

// Remembers the run's last counts besides its last message.
class CountingHost : public NullHost {
  public:
    void noteCounts(const RunCounts& counts) override { last_counts = counts; }
    RunCounts last_counts;
};

}  // namespace

FigureResult IdenticalSkipFigure(const BenchOptions& o) {
    const int files = o.identicalFiles;
    FigureResult r;
    r.key = "identical-skip";
    r.work = Grouped(files) +
             " files of 1 MiB, page FileType, Copy, 相同则跳过, each one's twin in the output "
             "(all compared and skipped)";
    r.baseline = "open + read() of each file and its twin to the end (1 MiB buffer) + close";
    r.target = "≤ 1.2";
    r.limit = 1.2;

    Scratch scratch(o.dir);
    const std::string src = scratch.path() + "/src";
    const std::string out = scratch.path() + "/out";
    MakeDir(src);
    MakeDir(out);
    MakeDir(out + "/.dat");
    std::vector<std::string> sources, twins;
    std::string content(kFileBytes, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 % 251);
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/f%06d.dat", i);
        // Each file its own; its twin a copy of its own, no link.
        std::memcpy(content.data(), &i, sizeof i);
        WriteBytes(src + name, content);
        WriteBytes(out + "/.dat" + name, content);
        sources.push_back(src + name);
        twins.push_back(out + "/.dat" + name);
    }
    SyncFs(scratch.path());

    SortOptions options;
    options.page = SortPage::FileType;
    options.outputDir = out + "/";
    options.transferMode = TransferMode::Copy;
    options.sameFilePolicy = SameFilePolicy::Identical;

    const auto engine = [&] {
        CountingHost host;
        const Stopwatch clock;
        RunFileSort(options, sources, host);
        const double t = clock.stop();
        if (host.last != kCompletion) Fail("the engine ended with: " + host.last);
        if (host.last_counts.skipped != static_cast<size_t>(files) ||
            CountFiles(out) != static_cast<size_t>(files))
            Fail("the engine skipped " + std::to_string(host.last_counts.skipped) + " of " +
                 std::to_string(files) + " twins");
        return t;
    };
    const auto baseline = [&] {
        const std::unique_ptr<char[]> buffer = std::make_unique<char[]>(kFileBytes);
        const Stopwatch clock;
        uint64_t total = 0;
        // Each identical pair read once: the bytes any comparison must read.
        for (size_t i = 0; i < 2 * sources.size(); ++i) {
            const std::string& path = i % 2 ? twins[i / 2] : sources[i / 2];
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) Fail("baseline open " + path);
            for (;;) {
                const ssize_t n = ::read(fd, buffer.get(), kFileBytes);
                if (n < 0) Fail("baseline read " + path + ": " + std::strerror(errno));
                if (n == 0) break;
                total += static_cast<uint64_t>(n);
            }
            ::close(fd);
        }
        const double t = clock.stop();
        if (total != 2 * static_cast<uint64_t>(files) * kFileBytes)
            Fail("the baseline read short");
        return t;
    };
    // Both sides find the files in the page cache, as a sort run right after
    // the files came finds them.
    baseline();
    Alternate(
        o.rounds, [](int) {}, engine, baseline, [](int) {}, r);
    r.note = "both sides read the same bytes: each file and its twin once";
    return r;
}

}  // namespace zanfeld::bench
