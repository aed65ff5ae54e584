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
}  // namespace

double CpuSeconds(CpuOf of) {
    struct timespec ts;
    ::clock_gettime(of == CpuOf::Thread ? CLOCK_THREAD_CPUTIME_ID : CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

Stopwatch::Stopwatch(CpuOf of) : m_of(of), m_wall(Now()), m_cpu(CpuSeconds(of)) {}

double Stopwatch::stop() const {
    g_lastCpu = CpuSeconds(m_of) - m_cpu;
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
    // A flush left out silently would let write-back land in a measurement.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("cannot open " + path + " to flush it: " + std::strerror(errno));
    const int flushed = ::syncfs(fd);
    const int e = errno;
    ::close(fd);
    if (flushed != 0) Fail("flushing " + path + ": " + std::strerror(e));
}

namespace {
constexpr size_t kBlock = 1u << 20;
constexpr size_t kSample = 4096;
}  // namespace

void MakeLargeFile(const std::string& path, uint64_t bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("create " + path + ": " + std::strerror(errno));
    std::string block(kBlock, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + i % 26);
    for (uint64_t done = 0, index = 0; done < bytes; ++index) {
        // The block's number at its start and its end, so that a block copied
        // to the wrong place shows.
        std::memcpy(block.data(), &index, sizeof index);
        std::memcpy(block.data() + block.size() - sizeof index, &index, sizeof index);
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), bytes - done));
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
            ::close(fd);
            Fail("write " + path + ": " + std::strerror(errno));
        }
        done += n;
    }
    if (::close(fd) != 0) Fail("close " + path + ": " + std::strerror(errno));
}

void CheckSameData(const std::string& source, const std::string& copy, const char* who) {
    struct stat a, b;
    if (::stat(source.c_str(), &a) != 0) Fail("stat " + source);
    if (::stat(copy.c_str(), &b) != 0) Fail(std::string(who) + " made no " + copy);
    if (a.st_size != b.st_size)
        Fail(std::string(who) + " made " + copy + " of " + std::to_string(b.st_size) +
             " bytes, not " + std::to_string(a.st_size));
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
    bool same = in >= 0 && out >= 0;
    const uint64_t size = static_cast<uint64_t>(a.st_size);
    constexpr int kPlaces = 17;
    for (int i = 0; same && i < kPlaces && size > 0; ++i) {
        const uint64_t at = std::min<uint64_t>(size - std::min<uint64_t>(size, kSample),
                                               size / (kPlaces - 1) * static_cast<uint64_t>(i));
        char x[kSample], y[kSample];
        const ssize_t nx = ::pread(in, x, sizeof x, static_cast<off_t>(at));
        const ssize_t ny = ::pread(out, y, sizeof y, static_cast<off_t>(at));
        same = nx > 0 && nx == ny && std::memcmp(x, y, static_cast<size_t>(nx)) == 0;
    }
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    if (!same) Fail(std::string(who) + "'s copy " + copy + " differs from " + source);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_wasSet = old != nullptr;
    if (old) m_old = old;
    if (::setenv(name, value.c_str(), 1) != 0) Fail(std::string("setenv ") + name);
}

ScopedEnv::~ScopedEnv() {
    if (m_wasSet)
        ::setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
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
