// Filling a source list: the directory walk and the list-file import.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Bench.h"
#include "ListFile.h"
#include "SourceList.h"
#include "Walks.h"

namespace zanfeld::bench {

namespace {

// walkFolders leaf folders in groups of up to 100, each holding its share of
// empty files. Returns the paths of the files.
std::vector<std::string> MakeWalkTree(const std::string& root, const BenchOptions& o) {
    MakeDir(root);
    const int folders = std::max(1, o.walkFolders);
    const int groups = std::max(1, folders / 100);
    std::vector<std::string> files;
    files.reserve(static_cast<size_t>(o.walkFiles));
    for (int f = 0; f < folders; ++f) {
        const std::string group = root + "/g" + std::to_string(f % groups);
        if (f < groups) MakeDir(group);
        const std::string folder = group + "/folder" + std::to_string(f);
        MakeDir(folder);
        // Spread the remainder so that the total is exact.
        const int count = o.walkFiles / folders + (f < o.walkFiles % folders ? 1 : 0);
        for (int i = 0; i < count; ++i) {
            const std::string path = folder + "/document-" + std::to_string(i) + ".txt";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) Fail("create " + path);
            ::close(fd);
            files.push_back(path);
        }
    }
    return files;
}

double EngineWalk(const std::string& root, size_t expected) {
    SourceList list;
    const Stopwatch clock;
    IndexDisk(list, root + "/");
    const double t = clock.stop();
    if (list.size() != expected)
        Fail("IndexDisk listed " + std::to_string(list.size()) + " files, expected " +
             std::to_string(expected));
    return t;
}

double BaselineWalk(const std::string& root, size_t expected) {
    std::vector<std::string> paths;
    const Stopwatch clock;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) paths.push_back(entry.path().string());
    }
    const double t = clock.stop();
    if (paths.size() != expected) Fail("the baseline walk found the wrong number of files");
    return t;
}

double EngineImport(const std::string& listFile, size_t expected) {
    SourceList list;
    const Stopwatch clock;
    const ListFileResult result = ImportListFile(listFile, list, ListKind::Files);
    const double t = clock.stop();
    if (!result.ok || list.size() != expected)
        Fail("the import added " + std::to_string(list.size()) + " paths, expected " +
             std::to_string(expected));
    return t;
}

double BaselineImport(const std::string& listFile, size_t expected) {
    std::vector<std::string> paths;
    const Stopwatch clock;
    std::ifstream in(listFile, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        struct stat st;
        if (!line.empty() && ::stat(line.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            paths.push_back(line);
    }
    const double t = clock.stop();
    if (paths.size() != expected) Fail("the baseline import found the wrong number of files");
    return t;
}

// The walk and the import read the same tree, made once.
struct ListTree {
    Scratch scratch;
    std::string root;
    std::vector<std::string> files;
    explicit ListTree(const BenchOptions& o)
        : scratch(o.dir), root(scratch.path() + "/tree"), files(MakeWalkTree(root, o)) {
        SyncFs(root);
    }
};

ListTree& SharedListTree(const BenchOptions& o) {
    static ListTree tree(o);
    return tree;
}

}  // namespace

FigureResult WalkFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "walk";
    r.work = "IndexDisk of " + Grouped(o.walkFiles) + " files in " + Grouped(o.walkFolders) +
             " folders into a SourceList";
    r.baseline = "recursive_directory_iterator collecting the same paths";
    r.target = "≤ 2.0";
    r.limit = 2.0;

    const ListTree& tree = SharedListTree(o);
    const std::string& root = tree.root;
    const size_t expected = tree.files.size();
    // The walk only reads, so one tree serves every round; one untimed pass
    // of each brings the folders into the cache alike.
    EngineWalk(root, expected);
    BaselineWalk(root, expected);
    Alternate(
        o.rounds, [](int) {}, [&] { return EngineWalk(root, expected); },
        [&] { return BaselineWalk(root, expected); }, [](int) {}, r);
    return r;
}

FigureResult ImportFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "import";
    r.work = "list-file import of " + Grouped(o.walkFiles) + " existing paths";
    r.baseline = "reading the lines and a stat of each";
    r.target = "≤ 1.5";
    r.limit = 1.5;

    const ListTree& tree = SharedListTree(o);
    const std::vector<std::string>& files = tree.files;
    const std::string listFile = tree.scratch.path() + "/file.lst";
    const ListFileResult written = ExportListFile(listFile, files);
    if (!written.ok) Fail(written.error);
    EngineImport(listFile, files.size());
    BaselineImport(listFile, files.size());
    Alternate(
        o.rounds, [](int) {}, [&] { return EngineImport(listFile, files.size()); },
        [&] { return BaselineImport(listFile, files.size()); }, [](int) {}, r);
    return r;
}

}  // namespace zanfeld::bench
