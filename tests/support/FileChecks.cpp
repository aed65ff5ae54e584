#include "FileChecks.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace zanfeld::test {

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat LStat(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) throw std::runtime_error("no entry " + path);
    return st;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

void SetTimes(const std::string& path, int64_t atimeSec, int64_t atimeNsec, int64_t mtimeSec,
              int64_t mtimeNsec) {
    struct timespec times[2];
    times[0].tv_sec = atimeSec;
    times[0].tv_nsec = atimeNsec;
    times[1].tv_sec = mtimeSec;
    times[1].tv_nsec = mtimeNsec;
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set times of " + path);
}

std::string Pattern(size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string data(size, '\0');
    for (auto& c : data) c = static_cast<char>(gen());
    return data;
}

}  // namespace zanfeld::test
