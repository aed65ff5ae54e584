#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zanfeld::test {

// The names in a folder, sorted, "." and ".." left out.
std::vector<std::string> Names(const std::string& folder);
// The stat of the entry itself (not what a symlink points to); throws when missing.
struct stat LStat(const std::string& path);
bool Exists(const std::string& path);  // any entry, dangling links included
// Sets both access and modification time at full resolution.
void SetTimes(const std::string& path, int64_t atimeSec, int64_t atimeNsec, int64_t mtimeSec,
              int64_t mtimeNsec);
// Content of the given size that differs from byte to byte and from seed to seed.
std::string Pattern(size_t size, unsigned seed);

}  // namespace zanfeld::test
