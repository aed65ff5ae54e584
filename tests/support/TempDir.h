#pragma once

#include <cstdint>
#include <string>

namespace zanfeld::test {

// A fresh folder removed with everything in it when the object dies.
class TempDir {
public:
    // base: the file system to create it on ("/tmp" or "/dev/shm").
    explicit TempDir(const std::string& base = "/tmp");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path, without a trailing separator.
    const std::string& path() const { return m_path; }
    // path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

private:
    std::string m_path;
};

// The folder of base's file system below which the tests' trees lie (made
// when missing): the top of that volume for the tests' Trashes.
std::string TestVolumeFolder(const std::string& base);

// Writes a file (creating missing parent folders) and sets its last-write time
// to the given seconds since the epoch when mtime is not 0.
void WriteFile(const std::string& path, const std::string& content, int64_t mtime = 0);
void SetMTime(const std::string& path, int64_t sec, int64_t nsec = 0);
std::string ReadFile(const std::string& path);
bool IsFile(const std::string& path);
bool IsDir(const std::string& path);
void MakeDir(const std::string& path);
// Whether two paths lie on different file systems.
bool OnDifferentDevices(const std::string& a, const std::string& b);

}  // namespace zanfeld::test
