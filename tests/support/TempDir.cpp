#include "TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace zanfeld::test {

// The folder below which every test's trees lie on a file system: the test
// run names it in ZANFELD_TRASH_TOPS, so that what a test puts in a volume's
// Trash lands in a Trash of the tests' own, never in the real one.
std::string TestVolumeFolder(const std::string& base) {
    const std::string folder = base + "/zanfeld-test-volume";
    ::mkdir(folder.c_str(), 01777);
    // Named for this process and every program it starts.
    const char* tops = std::getenv("ZANFELD_TRASH_TOPS");
    const std::string listed = tops ? tops : "";
    if (((":" + listed + ":").find(":" + folder + ":")) == std::string::npos)
        ::setenv("ZANFELD_TRASH_TOPS", (listed.empty() ? folder : listed + ":" + folder).c_str(),
                 1);
    // The home Trash too, for a test that names none of its own.
    if (!std::getenv("XDG_DATA_HOME")) {
        const std::string data = folder + "/data-" + std::to_string(::getuid());
        ::mkdir(data.c_str(), 0700);
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    return folder;
}

TempDir::TempDir(const std::string& base) {
    std::string pattern = TestVolumeFolder(base) + "/zanfeld-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed in " + base);
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Permission bits may have been taken away by a test.
    for (auto it = fs::recursive_directory_iterator(
             m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    fs::remove_all(m_path, ec);
}

void WriteFile(const std::string& path, const std::string& content, int64_t mtime) {
    fs::create_directories(fs::path(path).parent_path());
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot write " + path);
        out << content;
    }
    if (mtime != 0) SetMTime(path, mtime);
}

void SetMTime(const std::string& path, int64_t sec, int64_t nsec) {
    struct timespec times[2];
    times[0].tv_sec = sec;
    times[0].tv_nsec = nsec;
    times[1].tv_sec = sec;
    times[1].tv_nsec = nsec;
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set time of " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool IsFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDir(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeDir(const std::string& path) { fs::create_directories(path); }

bool OnDifferentDevices(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev != sb.st_dev;
}

}  // namespace zanfeld::test
