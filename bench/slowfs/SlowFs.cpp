// A pass-through file system that waits a fixed time in every operation, as
// a network share or a phone does: the bench mounts it over a folder of a
// local file system to measure sorts where each call is a round trip.
//
//   zanfeld_slowfs ROOT MOUNTPOINT DELAY_US [fuse options]
//
// Requests are served on several threads (FUSE's default), so calls made at
// the same time wait at the same time, as they do on a network.
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

int g_root = -1;         // the folder the mount passes through to
long g_delayNs = 0;      // the wait of every operation

void Wait() {
    if (g_delayNs <= 0) return;
    timespec t{g_delayNs / 1000000000, g_delayNs % 1000000000};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

// The path below the root, relative ("." for the root itself).
std::string Rel(const char* path) {
    while (*path == '/') ++path;
    return *path ? std::string(path) : std::string(".");
}

int Result(int r) { return r < 0 ? -errno : r; }

void* Init(fuse_conn_info*, fuse_config* config) {
    // The kernel keeps names and attributes for FUSE's default second, as
    // it does for the desktop's network mounts.
    config->use_ino = 1;
    return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
    Wait();
    if (fi) return Result(fstat(static_cast<int>(fi->fh), st));
    return Result(fstatat(g_root, Rel(path).c_str(), st, AT_SYMLINK_NOFOLLOW));
}

int Access(const char* path, int mask) {
    Wait();
    return Result(faccessat(g_root, Rel(path).c_str(), mask, AT_SYMLINK_NOFOLLOW));
}

int ReadLink(const char* path, char* buf, size_t size) {
    Wait();
    const ssize_t n = readlinkat(g_root, Rel(path).c_str(), buf, size - 1);
    if (n < 0) return -errno;
    buf[n] = '\0';
    return 0;
}

int OpenDir(const char* path, fuse_file_info* fi) {
    Wait();
    const int fd = openat(g_root, Rel(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return -errno;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return -errno;
    }
    fi->fh = reinterpret_cast<uint64_t>(dir);
    return 0;
}

int ReadDir(const char*, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info* fi,
            fuse_readdir_flags) {
    Wait();
    DIR* dir = reinterpret_cast<DIR*>(fi->fh);
    rewinddir(dir);
    while (dirent* e = readdir(dir)) {
        struct stat st {};
        st.st_ino = e->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
        if (fill(buf, e->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0))) break;
    }
    return 0;
}

int ReleaseDir(const char*, fuse_file_info* fi) {
    closedir(reinterpret_cast<DIR*>(fi->fh));
    return 0;
}

int MkDir(const char* path, mode_t mode) {
    Wait();
    return Result(mkdirat(g_root, Rel(path).c_str(), mode));
}

int Unlink(const char* path) {
    Wait();
    return Result(unlinkat(g_root, Rel(path).c_str(), 0));
}

int RmDir(const char* path) {
    Wait();
    return Result(unlinkat(g_root, Rel(path).c_str(), AT_REMOVEDIR));
}

int SymLink(const char* target, const char* path) {
    Wait();
    return Result(symlinkat(target, g_root, Rel(path).c_str()));
}

int Rename(const char* from, const char* to, unsigned int flags) {
    Wait();
    return Result(renameat2(g_root, Rel(from).c_str(), g_root, Rel(to).c_str(), flags));
}

int Link(const char* from, const char* to) {
    Wait();
    return Result(linkat(g_root, Rel(from).c_str(), g_root, Rel(to).c_str(), 0));
}

int ChMod(const char* path, mode_t mode, fuse_file_info* fi) {
    Wait();
    if (fi) return Result(fchmod(static_cast<int>(fi->fh), mode));
    return Result(fchmodat(g_root, Rel(path).c_str(), mode, 0));
}

int ChOwn(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
    Wait();
    if (fi) return Result(fchown(static_cast<int>(fi->fh), uid, gid));
    return Result(fchownat(g_root, Rel(path).c_str(), uid, gid, AT_SYMLINK_NOFOLLOW));
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
    Wait();
    if (fi) return Result(ftruncate(static_cast<int>(fi->fh), size));
    const int fd = openat(g_root, Rel(path).c_str(), O_WRONLY);
    if (fd < 0) return -errno;
    const int r = Result(ftruncate(fd, size));
    close(fd);
    return r;
}

int UTimens(const char* path, const timespec tv[2], fuse_file_info* fi) {
    Wait();
    if (fi) return Result(futimens(static_cast<int>(fi->fh), tv));
    return Result(utimensat(g_root, Rel(path).c_str(), tv, AT_SYMLINK_NOFOLLOW));
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
    Wait();
    const int fd = openat(g_root, Rel(path).c_str(), fi->flags | O_NOFOLLOW, mode);
    if (fd < 0) return -errno;
    fi->fh = static_cast<uint64_t>(fd);
    return 0;
}

int Open(const char* path, fuse_file_info* fi) {
    Wait();
    const int fd = openat(g_root, Rel(path).c_str(), fi->flags | O_NOFOLLOW);
    if (fd < 0) return -errno;
    fi->fh = static_cast<uint64_t>(fd);
    return 0;
}

int Read(const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi) {
    Wait();
    return Result(static_cast<int>(pread(static_cast<int>(fi->fh), buf, size, offset)));
}

int Write(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi) {
    Wait();
    return Result(static_cast<int>(pwrite(static_cast<int>(fi->fh), buf, size, offset)));
}

int StatFs(const char*, struct statvfs* st) {
    Wait();
    return Result(fstatvfs(g_root, st));
}

int Release(const char*, fuse_file_info* fi) {
    close(static_cast<int>(fi->fh));
    return 0;
}

int FSync(const char*, int dataOnly, fuse_file_info* fi) {
    Wait();
    const int fd = static_cast<int>(fi->fh);
    return Result(dataOnly ? fdatasync(fd) : fsync(fd));
}

ssize_t CopyFileRange(const char*, fuse_file_info* in, off_t inOffset, const char*,
                      fuse_file_info* out, off_t outOffset, size_t size, int flags) {
    Wait();
    loff_t from = inOffset, to = outOffset;
    const ssize_t n = copy_file_range(static_cast<int>(in->fh), &from, static_cast<int>(out->fh),
                                      &to, size, static_cast<unsigned>(flags));
    return n < 0 ? -errno : n;
}

off_t LSeek(const char*, off_t offset, int whence, fuse_file_info* fi) {
    Wait();
    const off_t r = lseek(static_cast<int>(fi->fh), offset, whence);
    return r < 0 ? -errno : r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s ROOT MOUNTPOINT DELAY_US [fuse options]\n", argv[0]);
        return 2;
    }
    g_root = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (g_root < 0) {
        perror(argv[1]);
        return 1;
    }
    g_delayNs = strtol(argv[3], nullptr, 10) * 1000;
    umask(0);

    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.access = Access;
    ops.readlink = ReadLink;
    ops.opendir = OpenDir;
    ops.readdir = ReadDir;
    ops.releasedir = ReleaseDir;
    ops.mkdir = MkDir;
    ops.unlink = Unlink;
    ops.rmdir = RmDir;
    ops.symlink = SymLink;
    ops.rename = Rename;
    ops.link = Link;
    ops.chmod = ChMod;
    ops.chown = ChOwn;
    ops.truncate = Truncate;
    ops.utimens = UTimens;
    ops.create = Create;
    ops.open = Open;
    ops.read = Read;
    ops.write = Write;
    ops.statfs = StatFs;
    ops.release = Release;
    ops.fsync = FSync;
    ops.copy_file_range = CopyFileRange;
    ops.lseek = LSeek;

    // fuse_main's arguments: the program, the mount point, then the options
    // given after the delay (foreground by default, so the bench owns it).
    std::string program = argv[0];
    std::string mountPoint = argv[2];
    std::string foreground = "-f";
    std::vector<char*> args = {program.data(), mountPoint.data(), foreground.data()};
    for (int i = 4; i < argc; ++i) args.push_back(argv[i]);
    return fuse_main(static_cast<int>(args.size()), args.data(), &ops, nullptr);
}
