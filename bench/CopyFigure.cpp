// One large file copied in the program's chunks, each told to an observer,
// against the same copy left whole to the kernel.

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Bench.h"
#include "CopyObserver.h"
#include "FileOps.h"
#include "SourceFile.h"
#include "TargetFolder.h"

namespace zanfeld::bench {

namespace {

// Counts what it is told and never stops a copy; remembers enough to show
// that the copy was told of in order, up to its whole size.
class CountingObserver : public CopyObserver {
  public:
    bool copied(uint64_t done, uint64_t total) override {
        if (done <= m_done) m_inOrder = false;
        m_done = done;
        m_total = total;
        ++m_calls;
        return true;
    }
    uint64_t calls() const { return m_calls; }
    uint64_t done() const { return m_done; }
    uint64_t total() const { return m_total; }
    bool inOrder() const { return m_inOrder; }

  private:
    uint64_t m_calls = 0;
    uint64_t m_done = 0;
    uint64_t m_total = 0;
    bool m_inOrder = true;
};

// A copy is flushed and removed as soon as it was checked: the other side
// then neither writes back its data nor finds its memory taken.
void Drop(const std::string& copy) {
    SyncFs(copy);
    if (::unlink(copy.c_str()) != 0) Fail("cannot remove " + copy + ": " + std::strerror(errno));
}

}  // namespace

FigureResult ChunkedCopyFigure(const BenchOptions& o) {
    const uint64_t bytes = static_cast<uint64_t>(o.chunkedMiB) << 20;
    FigureResult r;
    r.key = "chunked-copy";
    r.work = "CopyFileInto of one " + Grouped(o.chunkedMiB) + " MiB file, a CopyObserver told";
    r.baseline = "open + copy_file_range of the whole file in a loop + close";
    r.target = "≤ 1.05";
    r.limit = 1.05;

    Scratch scratch(o.dir);
    const std::string source = scratch.path() + "/large.bin";
    MakeLargeFile(source, bytes);
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    std::string engineCopy, baseCopy;
    uint64_t calls = 0;

    const auto engine = [&] {
        // The write-back of what came before is not this copy's.
        SyncFs(scratch.path());
        CountingObserver observer;
        const ScopedCopyObserver watch(observer);
        const Stopwatch clock;
        TargetFolder folder;
        std::string name = engineCopy.substr(engineCopy.rfind('/') + 1);
        if (const int e = folder.open(engineCopy.substr(0, engineCopy.rfind('/'))))
            Fail("the engine cannot open its folder: " + ErrorText(e));
        if (const int e = CopyFileInto(SourceFile(source), folder, name, Publish::Keep))
            Fail("CopyFileInto failed: " + ErrorText(e));
        const double t = clock.stop();
        if (observer.calls() == 0 || !observer.inOrder() || observer.done() != bytes ||
            observer.total() != bytes)
            Fail("the observer was told " + std::to_string(observer.calls()) + " times, last " +
                 std::to_string(observer.done()) + " of " + std::to_string(observer.total()) +
                 " bytes" + (observer.inOrder() ? "" : ", out of order") + "; the file has " +
                 std::to_string(bytes));
        calls = observer.calls();
        CheckSameData(source, engineCopy, "the engine");
        Drop(engineCopy);
        return t;
    };
    const auto baseline = [&] {
        SyncFs(scratch.path());
        const Stopwatch clock;
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) Fail("baseline open " + source);
        const int out = ::open(baseCopy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0) Fail("baseline create " + baseCopy);
        for (uint64_t left = bytes; left > 0;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, left, 0);
            if (n <= 0) Fail("baseline copy_file_range: " + std::string(std::strerror(errno)));
            left -= static_cast<uint64_t>(n);
        }
        ::close(out);
        ::close(in);
        const double t = clock.stop();
        CheckSameData(source, baseCopy, "the baseline");
        Drop(baseCopy);
        return t;
    };
    // The memory a copy's page cache takes costs more when it was not just
    // given back (a virtual machine's host takes free memory back): so every
    // copy, the first included, follows one just removed, whichever side goes
    // first.
    MakeDir(roundDir(-1));
    baseCopy = roundDir(-1) + "/baseline.bin";
    baseline();
    RemoveTree(roundDir(-1));
    // Each round copies to fresh names in a fresh folder, the two side by side.
    Alternate(
        o.rounds,
        [&](int round) {
            MakeDir(roundDir(round));
            engineCopy = roundDir(round) + "/engine.bin";
            baseCopy = roundDir(round) + "/baseline.bin";
        },
        engine, baseline, [&](int round) { RemoveTree(roundDir(round)); }, r);
    r.note = "the observer was told " + std::to_string(calls) + " times a copy";
    return r;
}

}  // namespace zanfeld::bench
