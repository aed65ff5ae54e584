#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "Bench.h"

namespace zanfeld::bench {

bool BenchOptions::wants(const std::string& key) const {
    return only.empty() || std::find(only.begin(), only.end(), key) != only.end();
}

Spread Spread::of(std::vector<double> values) {
    Spread s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

namespace {
double g_lastCpu = 0;

double CpuNow() {
    struct timespec ts;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
}  // namespace

Stopwatch::Stopwatch() : m_wall(Now()), m_cpu(CpuNow()) {}

double Stopwatch::stop() const {
    g_lastCpu = CpuNow() - m_cpu;
    return Now() - m_wall;
}

double LastCpuSeconds() { return g_lastCpu; }

void Alternate(int rounds, const std::function<void(int)>& setup, const TimedRun& engine,
               const TimedRun& baseline, const std::function<void(int)>& teardown,
               FigureResult& result) {
    std::vector<double> engineTimes, baseTimes, ratios, cpuRatios;
    for (int round = 0; round < rounds; ++round) {
        setup(round);
        double e, b, ec, bc;
        if (round % 2 == 0) {
            e = engine();
            ec = LastCpuSeconds();
            b = baseline();
            bc = LastCpuSeconds();
        } else {
            b = baseline();
            bc = LastCpuSeconds();
            e = engine();
            ec = LastCpuSeconds();
        }
        teardown(round);
        engineTimes.push_back(e);
        baseTimes.push_back(b);
        ratios.push_back(e / b);
        cpuRatios.push_back(bc > 0 ? ec / bc : 0);
        std::fprintf(stderr,
                     "  %-14s round %d: engine %.3f s (cpu %.3f), baseline %.3f s (cpu %.3f), "
                     "ratio %.3f (cpu %.3f)\n",
                     result.key.c_str(), round + 1, e, ec, b, bc, e / b, cpuRatios.back());
    }
    result.engineSeconds = Spread::of(engineTimes);
    result.baselineSeconds = Spread::of(baseTimes);
    result.ratio = Spread::of(ratios);
    result.cpuRatio = Spread::of(cpuRatios);
    result.pass = result.ratio.median <= result.limit;
}

void Fail(const std::string& what) { throw BenchFailure(what); }

Scratch::Scratch(const std::string& base) {
    std::string pattern = base + "/zanfeld-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        Fail("cannot make a folder in " + base + ": " + std::strerror(errno));
    m_path = pattern;
}

Scratch::~Scratch() { Discard(m_path); }

void MakeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        Fail("mkdir " + path + ": " + std::strerror(errno));
}

void WriteBytes(const std::string& path, const std::string& data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("create " + path + ": " + std::strerror(errno));
    if (!data.empty() && ::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
        Fail("write " + path);
    ::close(fd);
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

namespace {
bool g_defer = false;
std::vector<std::string> g_deferred;
std::thread g_remover;
}  // namespace

void DeferRemovals(bool defer) { g_defer = defer; }

void Discard(const std::string& path) {
    if (g_defer) {
        g_deferred.push_back(path);
    } else {
        RemoveTree(path);
    }
}

void StartRemovals() {
    if (g_deferred.empty() || g_remover.joinable()) return;
    g_remover = std::thread([paths = std::move(g_deferred)] {
        for (const std::string& path : paths) RemoveTree(path);
    });
    g_deferred.clear();
}

void FinishRemovals() {
    g_defer = false;
    if (!g_deferred.empty() || g_remover.joinable())
        std::fprintf(stderr, "removing the trees ...\n");
    if (g_remover.joinable()) g_remover.join();
    for (const std::string& path : g_deferred) RemoveTree(path);
    g_deferred.clear();
}

void SyncFs(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::syncfs(fd);
    ::close(fd);
}

size_t CountFiles(const std::string& path) {
    size_t n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file()) ++n;
    }
    return n;
}

std::string Grouped(long long n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && digits[i - 1] != '-' && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace zanfeld::bench
