// A million paths in the file window's list: memory of the whole process and
// the time the view takes to show them. Each measurement runs in a fresh
// process of its own, so that nothing else the benchmark did counts.

#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QEvent>
#include <QListView>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "Bench.h"
#include "Unit1.h"

namespace zanfeld::bench {

namespace {

constexpr double kMemoryLimit = 250.0 * 1000 * 1000;  // 250 MB
constexpr double kShowLimit = 1.0;                    // seconds

// Counts the paint events of a widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Lets events run until the widget has painted once more.
void WaitForPaint(const PaintCounter& counter) {
    const int before = counter.paints;
    const double start = Now();
    while (counter.paints == before) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (Now() - start > 60) Fail("the list view never painted");
    }
    QApplication::processEvents();
}

// VmRSS or VmHWM of this process, in bytes.
double StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t len = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, len, field) == 0 && line.size() > len && line[len] == ':') {
            return std::stod(line.substr(len + 1)) * 1024.0;  // "kB"
        }
    }
    return 0;
}

struct ChildResult {
    double fill = 0, show = 0, scroll = 0, rss = 0, peak = 0, own = 0;
};

}  // namespace

int BigListChild(const BenchOptions& o, int, char**) {
    Scratch scratch(o.dir);
    TForm1 form(scratch.path() + "/Zanfeld.ini", scratch.path());
    PaintCounter counter;
    form.ListBox1->viewport()->installEventFilter(&counter);
    form.show();
    WaitForPaint(counter);

    double own = 0;
    char path[128];
    const double t0 = Now();
    for (int i = 0; i < o.listPaths; ++i) {
        const int n =
            std::snprintf(path, sizeof path,
                          "/home/user/Pictures/2023/album-%04d/IMG_20230704_%07d.jpg", i / 1000, i);
        own += n;
        form.sourceList().AddIfAbsent(std::string(path, static_cast<size_t>(n)));
    }
    const double t1 = Now();
    form.syncList();
    WaitForPaint(counter);
    const double t2 = Now();
    if (form.ListBox1->model()->rowCount() != o.listPaths)
        Fail("the view does not hold every path");
    form.ListBox1->scrollToBottom();
    WaitForPaint(counter);
    const double t3 = Now();
    // The top row shown is one of the last few.
    const QModelIndex top = form.ListBox1->indexAt(QPoint(2, 2));
    if (top.row() < o.listPaths - 100)
        Fail("the view did not scroll to the end (top row " + std::to_string(top.row()) + ")");

    std::printf("big-list fill=%.6f show=%.6f scroll=%.6f rss=%.0f peak=%.0f own=%.0f\n", t1 - t0,
                t2 - t1, t3 - t2, StatusBytes("VmRSS"), StatusBytes("VmHWM"), own);
    std::fflush(stdout);
    return 0;
}

namespace {

ChildResult RunChild(const BenchOptions& o, const char* argv0) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) Fail("pipe");
    const std::string paths = std::to_string(o.listPaths);
    const pid_t pid = ::fork();
    if (pid < 0) Fail("fork");
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl("/proc/self/exe", argv0, "--big-list-child", "--dir", o.dir.c_str(), "--list-paths",
                paths.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildResult r;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(out.c_str(), "big-list fill=%lf show=%lf scroll=%lf rss=%lf peak=%lf own=%lf",
                    &r.fill, &r.show, &r.scroll, &r.rss, &r.peak, &r.own) != 6)
        Fail("the big-list child failed: " + out);
    return r;
}

}  // namespace

FigureResult BigListFigure(const BenchOptions& o, const char* argv0) {
    FigureResult r;
    r.key = "big-list";
    r.work = Grouped(o.listPaths) + " paths of about 60 bytes in a SourceList shown in ListBox1";
    r.baseline = "the paths' own bytes";
    r.target = "resident ≤ 250 MB in all; shown in < 1 s";
    r.limit = kMemoryLimit;

    std::vector<double> peaks, shows, ratios, fills, scrolls;
    double own = 0;
    for (int round = 0; round < o.rounds; ++round) {
        const ChildResult c = RunChild(o, argv0);
        std::fprintf(stderr,
                     "  %-14s round %d: fill %.3f s, show %.3f s, scroll %.3f s, peak %.1f MB, "
                     "resident %.1f MB, own %.1f MB\n",
                     r.key.c_str(), round + 1, c.fill, c.show, c.scroll, c.peak / 1e6, c.rss / 1e6,
                     c.own / 1e6);
        peaks.push_back(c.peak);
        shows.push_back(c.show);
        fills.push_back(c.fill);
        scrolls.push_back(c.scroll);
        ratios.push_back(c.peak / c.own);
        own = c.own;
    }
    r.ratio = Spread::of(ratios);
    r.engineSeconds = Spread::of(shows);
    const Spread peak = Spread::of(peaks);
    const Spread show = Spread::of(shows);
    const Spread fill = Spread::of(fills);
    const Spread scroll = Spread::of(scrolls);
    r.pass = peak.median <= kMemoryLimit && show.median < kShowLimit;
    char text[256];
    std::snprintf(text, sizeof text,
                  "peak %.0f MB [%.0f–%.0f] (own bytes %.0f MB); shown in %.3f s [%.3f–%.3f]",
                  peak.median / 1e6, peak.min / 1e6, peak.max / 1e6, own / 1e6, show.median,
                  show.min, show.max);
    r.figure = text;
    std::snprintf(text, sizeof text, "filling the list %.2f s; scrolling to the end %.3f s",
                  fill.median, scroll.median);
    r.note = text;
    return r;
}

}  // namespace zanfeld::bench
