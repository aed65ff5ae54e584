// Sort runs fed with input no one should have to think about: names that are
// not UTF-8 or hold line breaks, paths near and past the system's limits,
// keywords and filters of control characters, pictures that are cut short or
// lie, an output directory that is a file or disappears, and sources that
// change while they are copied. The run never loses a file, never writes
// outside the output directory, and counts every file it could not place.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "HandMadePictures.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
namespace fs = std::filesystem;

namespace {

constexpr char kDone[] = "分拣工作完成！";

std::string Failed(size_t n) { return "有 " + std::to_string(n) + " 个文件未能分拣"; }

// Every path below root whose last component is name.
std::vector<std::string> FindNamed(const std::string& root, const std::string& name) {
    std::vector<std::string> found;
    if (!fs::exists(root)) return found;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.path().filename().string() == name) found.push_back(e.path().string());
    return found;
}

class BadInputTest : public ::testing::Test {
  protected:
    SortOptions Options(SortPage page, TransferMode mode = TransferMode::Copy) const {
        SortOptions o;
        o.page = page;
        o.outputDir = m_dir / "out";
        o.transferMode = mode;
        o.sameFilePolicy = SameFilePolicy::Rename;
        return o;
    }

    std::string Src(const std::string& name, const std::string& content = "data") {
        const std::string path = m_dir / ("src/" + name);
        WriteFile(path, content, 1'500'000'000);
        return path;
    }

    // Runs and returns the completion text.
    std::string Run(const SortOptions& o, const std::vector<std::string>& sources) {
        m_host.calls.clear();
        RunFileSort(o, sources, m_host);
        const auto infos = m_host.of("info");
        EXPECT_EQ(infos.size(), 1u);
        return infos.empty() ? std::string() : infos.back();
    }

    // Nothing may appear beside src and out in the test folder.
    void ExpectNothingOutside() {
        for (const auto& e : fs::directory_iterator(m_dir.path())) {
            const std::string name = e.path().filename().string();
            EXPECT_TRUE(name == "src" || name == "out" || name == "outfile") << e.path();
        }
    }

    TempDir m_dir;
    RecordingHost m_host;
};

TEST_F(BadInputTest, NamesThatAreNotUtf8AreSortedByEveryPage) {
    const std::string name = "bad\xff\xfe\xe5\x90\x8d\x80.txt";  // stray bytes around 名
    const std::string picture = "pic\xff\xfe.bmp";
    struct PageCase {
        const char* what;
        SortPage page;
        std::function<void(SortOptions&)> set;
        std::string file;
        std::string folder;  // where the copy must land, relative to out
    };
    const std::vector<PageCase> cases = {
        {"keys", SortPage::Keys, [](SortOptions& o) { o.keywordText = "bad \xfd"; }, name, "bad"},
        {"name", SortPage::FileName, [](SortOptions&) {}, name, "bad\xff\xfe\xe5\x90\x8d\x80"},
        {"name range", SortPage::FileName,
         [](SortOptions& o) {
             o.useNamePart = true;
             o.partBeginText = "4";
             o.partEndText = "6";
         },
         name, "\xff\xfe\xe5\x90\x8d"},
        {"type", SortPage::FileType, [](SortOptions&) {}, name, ".txt"},
        {"size", SortPage::FileSize, [](SortOptions& o) { o.sizeText = "0"; }, name, "大于0KB"},
        {"date", SortPage::FileDate,
         [](SortOptions& o) {
             o.dateSource = DateSource::Modified;
             o.dateCondition = DateCondition::Later;
             o.thresholdDate = CivilDate{2001, 1, 1};
         },
         name, ""},
        {"picture", SortPage::PicSize,
         [](SortOptions& o) {
             o.picText = "3";
             o.picturePatterns = {"*.BMP"};
         },
         picture, "大于等于3"},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_dir / "out");
        const std::string content = c.file == picture ? BmpBytes(4, 3) : "data";
        const std::string source = Src(c.file, content);
        SortOptions o = Options(c.page);
        c.set(o);
        EXPECT_EQ(Run(o, {source}), kDone);
        const auto found = FindNamed(m_dir / "out", c.file);
        ASSERT_EQ(found.size(), 1u);
        if (!c.folder.empty()) {
            EXPECT_EQ(found[0], m_dir / ("out/" + c.folder + "/" + c.file));
        }
        EXPECT_EQ(ReadFile(found[0]), content);
        EXPECT_EQ(ReadFile(source), content);
    }
    ExpectNothingOutside();
}

TEST_F(BadInputTest, NamesWithLineBreaksAreSortedAsTheyAre) {
    const std::vector<std::string> names = {"line\nbreak.txt", "carriage\rreturn.txt",
                                            "both\r\n.txt", "\n"};
    std::vector<std::string> sources;
    for (const auto& n : names) sources.push_back(Src(n, "<" + n + ">"));

    EXPECT_EQ(Run(Options(SortPage::FileType), sources), kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/line\nbreak.txt"), "<line\nbreak.txt>");
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/carriage\rreturn.txt"), "<carriage\rreturn.txt>");
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/both\r\n.txt"), "<both\r\n.txt>");
    EXPECT_EQ(ReadFile(m_dir / "out/\n"), "<\n>");  // no extension: the output directory

    SortOptions keys = Options(SortPage::Keys, TransferMode::Move);
    keys.keywordText = "break return";
    EXPECT_EQ(Run(keys, sources), kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/break/line\nbreak.txt"), "<line\nbreak.txt>");
    EXPECT_EQ(ReadFile(m_dir / "out/return/carriage\rreturn.txt"), "<carriage\rreturn.txt>");
    EXPECT_FALSE(Exists(sources[0]));
    EXPECT_TRUE(IsFile(sources[2]));  // matched no keyword: stays
    ExpectNothingOutside();
}

// Removes name in parent with everything below it, one level at a time, so
// that trees deeper than a path can name go too.
void RemoveTreeAt(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
        ::unlinkat(parent, name.c_str(), 0);
        return;
    }
    DIR* dir = ::fdopendir(fd);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    }
    for (const auto& n : names) RemoveTreeAt(fd, n);
    ::closedir(dir);
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

// Makes a folder chain below base whose full path is about length bytes,
// components of at most 250 bytes, using paths relative to each level so the
// whole may exceed what one path can name. Returns the full path.
std::string DeepFolder(const std::string& base, size_t length) {
    std::string path = base;
    int dir = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_GE(dir, 0);
    while (path.size() + 1 < length) {
        const size_t take = std::min<size_t>(250, length - path.size() - 1);
        const std::string part(take, 'd');
        EXPECT_TRUE(::mkdirat(dir, part.c_str(), 0755) == 0 || errno == EEXIST);
        const int next = ::openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY);
        EXPECT_GE(next, 0);
        ::close(dir);
        dir = next;
        path += "/" + part;
    }
    ::close(dir);
    return path;
}

TEST_F(BadInputTest, PathsNearAndPastTheLimits) {
    struct Cleanup {
        std::string root;
        ~Cleanup() {
            RemoveTreeAt(AT_FDCWD, root + "/src");
            RemoveTreeAt(AT_FDCWD, root + "/out");
        }
    } cleanup{m_dir.path()};
    MakeDir(m_dir / "src");
    // A source whose path is 4,000 bytes long is sorted like any other.
    const std::string deep = DeepFolder(m_dir / "src", 4000 - 6) + "/a.txt";
    ASSERT_EQ(deep.size(), 4000u);
    WriteFile(deep, "deep");
    // One whose path is longer than a path may be cannot be opened by its
    // path: it fails cleanly, is counted, and stays.
    const std::string deeper = DeepFolder(m_dir / "src", 4500 - 6) + "/b.txt";
    {
        // Created through the folder itself, one level at a time.
        std::string rel = deeper.substr((m_dir / "src").size() + 1);
        int dir = ::open((m_dir / "src").c_str(), O_RDONLY | O_DIRECTORY);
        for (size_t slash; (slash = rel.find('/')) != std::string::npos; rel.erase(0, slash + 1)) {
            const int next = ::openat(dir, rel.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY);
            ::close(dir);
            dir = next;
        }
        const int fd = ::openat(dir, rel.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "deeper", 6), 6);
        ::close(fd);
        ::close(dir);
    }
    const std::string plain = Src("c.txt", "plain");

    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        fs::remove_all(m_dir / "out");
        const std::string text = Run(Options(SortPage::FileType, mode), {deep, deeper, plain});
        EXPECT_NE(text.find(Failed(1)), std::string::npos) << text;
        EXPECT_NE(text.find(ReasonText(ENAMETOOLONG)), std::string::npos) << text;
        EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "deep");
        EXPECT_EQ(ReadFile(m_dir / "out/.txt/c.txt"), "plain");
        if (mode == TransferMode::Move) {
            EXPECT_FALSE(Exists(deep));
        }
    }

    // An output folder name longer than a name may be: every file fails,
    // is counted, and stays where it was.
    const std::string a = Src("x.txt", "x");
    const std::string b = Src("y.txt", "y");
    SortOptions o = Options(SortPage::FileType, TransferMode::Move);
    o.outputDir = m_dir / ("out/" + std::string(300, 'n'));
    const std::string text = Run(o, {a, b});
    EXPECT_NE(text.find(Failed(2)), std::string::npos) << text;
    EXPECT_EQ(ReadFile(a), "x");
    EXPECT_EQ(ReadFile(b), "y");

    // An output directory whose target folder is past the limit: the same.
    o.outputDir = DeepFolder(m_dir / "out", 4094);
    const std::string past = Run(o, {a, b});
    EXPECT_NE(past.find(Failed(2)), std::string::npos) << past;
    EXPECT_EQ(ReadFile(a), "x");
    EXPECT_EQ(ReadFile(b), "y");

    // A target folder just within the limit takes its files, held open,
    // though their own paths would run past it.
    o.outputDir = DeepFolder(m_dir / "out", 4086);
    ASSERT_GT(o.outputDir.size() + std::string("/.txt/x.txt").size(), size_t{PATH_MAX});
    EXPECT_EQ(Run(o, {a, b}), kDone);
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    const int folder = ::open((o.outputDir + "/.txt").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    for (const auto& [name, content] : {std::pair{"x.txt", "x"}, std::pair{"y.txt", "y"}}) {
        char buffer[8] = {};
        const int fd = ::openat(folder, name, O_RDONLY);
        ASSERT_GE(fd, 0) << name;
        EXPECT_EQ(::read(fd, buffer, sizeof buffer), 1);
        EXPECT_STREQ(buffer, content);
        ::close(fd);
    }
    ::close(folder);
}

TEST_F(BadInputTest, KeywordsAndFiltersOfControlCharacters) {
    const std::string odd =
        Src("a\x01"
            "b\x7f\tc.txt",
            "odd");
    const std::string plain = Src("plain.txt", "plain");

    // Keywords that are blank once control characters are trimmed are no
    // keywords: the page refuses them and nothing is written.
    SortOptions keys = Options(SortPage::Keys);
    keys.keywordText = "\x01 \t \x02\x03 \r\n \x1f";
    RunFileSort(keys, {odd, plain}, m_host);
    EXPECT_EQ(m_host.of("reject"), std::vector<std::string>{"1:请输入匹配关键字!"});
    EXPECT_FALSE(fs::exists(m_dir / "out") && !fs::is_empty(m_dir / "out"));
    // Among real keywords they select nothing.
    keys.keywordText = "\x01 \t zzz";
    EXPECT_EQ(Run(keys, {odd, plain}), kDone);
    EXPECT_FALSE(fs::exists(m_dir / "out") && !fs::is_empty(m_dir / "out"));

    // Control characters inside a keyword are matched byte by byte.
    keys.keywordText = "\x7f\t";
    EXPECT_EQ(Run(keys, {odd, plain}), kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/\x7f\t/a\x01"
                               "b\x7f\tc.txt"),
              "odd");
    EXPECT_FALSE(Exists(m_dir / "out/\x7f\t/plain.txt"));

    // A filter of control characters takes them out of the folder name.
    SortOptions name = Options(SortPage::FileName);
    name.nameFilter = "\x01*\x7f\t*\x02";
    EXPECT_EQ(Run(name, {odd}), kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/abc/a\x01"
                               "b\x7f\tc.txt"),
              "odd");
    ExpectNothingOutside();
}

TEST_F(BadInputTest, DerivedFolderNamesNeverLeaveTheOutputDirectory) {
    // "...txt" has the base name "..": that folder would be the output
    // directory's parent. A filter can make ".." out of a longer name too.
    const std::string dots = Src("...txt", "dots");
    const std::string made = Src("a..b.txt", "made");
    const std::string fine = Src("fine.txt", "fine");
    SortOptions o = Options(SortPage::FileName, TransferMode::Move);
    o.nameFilter = "a*b";
    const std::string text = Run(o, {dots, made, fine});
    EXPECT_NE(text.find(Failed(2)), std::string::npos) << text;
    EXPECT_EQ(ReadFile(dots), "dots");
    EXPECT_EQ(ReadFile(made), "made");
    EXPECT_EQ(ReadFile(m_dir / "out/fine/fine.txt"), "fine");
    EXPECT_FALSE(Exists(m_dir / "...txt"));
    EXPECT_FALSE(Exists(m_dir / "a..b.txt"));

    SortOptions keys = Options(SortPage::Keys);
    keys.keywordText = ".. .";
    const std::string keyed = Run(keys, {made});
    // ".." is refused and counted; "." is the output directory itself.
    EXPECT_NE(keyed.find(Failed(1)), std::string::npos) << keyed;
    EXPECT_FALSE(Exists(m_dir / "a..b.txt"));
    ExpectNothingOutside();
}

TEST_F(BadInputTest, PicturesThatAreCutShortOrLieAboutTheirSize) {
    const std::string whole = BmpBytes(1200, 10);
    const std::string truncated = Src("cut.bmp", whole.substr(0, 20));
    const std::string empty = Src("empty.bmp", "");
    const std::string lying = Src("lying.bmp", BmpBytes(16000, 10000, false));
    const std::string garbage = Src("garbage.bmp", "BM" + std::string(5000, '\xff'));
    const std::string honest = Src("honest.bmp", whole);
    SortOptions o = Options(SortPage::PicSize);
    o.picText = "1000";
    o.picturePatterns = {"*.BMP"};
    const std::string text = Run(o, {truncated, empty, lying, garbage, honest});
    // A file that is no readable picture is passed over, not a failure.
    EXPECT_EQ(text, kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/大于等于1000/honest.bmp"), whole);
    EXPECT_FALSE(Exists(m_dir / "out/大于等于1000/cut.bmp"));
    EXPECT_FALSE(Exists(m_dir / "out/大于等于1000/empty.bmp"));
    // A header is taken at its word: the stored size decides.
    EXPECT_TRUE(IsFile(m_dir / "out/大于等于1000/lying.bmp"));
    for (const auto& s : {truncated, empty, lying, garbage, honest}) EXPECT_TRUE(IsFile(s));
}

TEST_F(BadInputTest, OutputDirectoryThatIsAFile) {
    WriteFile(m_dir / "outfile", "not a folder");
    const std::vector<std::string> sources = {Src("a.txt", "a"), Src("b.doc", "b"), Src("c", "c")};
    for (const SortPage page : {SortPage::FileType, SortPage::FileSize}) {
        for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
            SortOptions o = Options(page, mode);
            o.outputDir = m_dir / "outfile";
            o.sizeText = "0";
            const std::string text = Run(o, sources);
            EXPECT_EQ(text.rfind(kDone, 0), 0u) << text;
            EXPECT_NE(text.find(Failed(3)), std::string::npos) << text;
            EXPECT_EQ(ReadFile(m_dir / "outfile"), "not a folder");
            EXPECT_EQ(ReadFile(sources[0]), "a");
            EXPECT_EQ(ReadFile(sources[1]), "b");
            EXPECT_EQ(ReadFile(sources[2]), "c");
        }
    }
    ExpectNothingOutside();
}

TEST_F(BadInputTest, OutputDirectoryThatVanishesDuringARun) {
    const std::vector<std::string> sources = {Src("a.txt", "a"), Src("b.txt", "b"),
                                              Src("c.txt", "c")};
    int refreshes = 0;
    m_host.onRefresh = [&](SortOptions&) {
        if (++refreshes == 2) fs::remove_all(m_dir / "out");
    };

    // The type page makes each file's folder as it goes: the output
    // directory comes back and the later files are placed.
    EXPECT_EQ(Run(Options(SortPage::FileType), sources), kDone);
    EXPECT_FALSE(Exists(m_dir / "out/.txt/a.txt"));  // went with the folder
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/b.txt"), "b");
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/c.txt"), "c");

    // The size page makes its one folder before the run: once it is gone the
    // later files fail, are counted and stay.
    refreshes = 0;
    SortOptions size = Options(SortPage::FileSize, TransferMode::Move);
    size.sizeText = "0";
    const std::string text = Run(size, sources);
    EXPECT_NE(text.find(Failed(2)), std::string::npos) << text;
    EXPECT_FALSE(Exists(sources[0]));  // moved before the folder went
    EXPECT_EQ(ReadFile(sources[1]), "b");
    EXPECT_EQ(ReadFile(sources[2]), "c");
}

TEST_F(BadInputTest, SourcesChangedBetweenFilesAreCopiedAsTheyStandThen) {
    const std::string a = Src("a.txt", std::string(5000, 'a'));
    const std::string b = Src("b.txt", std::string(5000, 'b'));
    int refreshes = 0;
    m_host.onRefresh = [&](SortOptions&) {
        if (++refreshes != 2) return;
        ::truncate(a.c_str(), 10);             // after its copy
        WriteFile(b, std::string(9000, 'B'));  // before its copy
    };
    EXPECT_EQ(Run(Options(SortPage::FileType), {a, b}), kDone);
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), std::string(5000, 'a'));
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/b.txt"), std::string(9000, 'B'));
}

// The source is rewritten while its data is being read (between two reads of
// the plain read/write copy). What reaches the target name must be one whole
// version of the file, or nothing, with the failure counted.
TEST_F(BadInputTest, SourceChangedDuringItsCopyIsNeverPublishedHalfAndHalf) {
    const std::string oldData = Pattern(700 * 1024, 3);
    const std::string newData = Pattern(700 * 1024, 4);
    struct Change {
        const char* what;
        std::function<void(const std::string&)> apply;
        std::optional<std::string> after;  // the new version, when there is one whole
    };
    const std::vector<Change> changes = {
        {"truncated", [](const std::string& p) { ::truncate(p.c_str(), 0); }, std::string()},
        {"cut in half", [](const std::string& p) { ::truncate(p.c_str(), 350 * 1024); },
         oldData.substr(0, 350 * 1024)},
        {"rewritten in place",
         [&](const std::string& p) {
             const int fd = ::open(p.c_str(), O_WRONLY);
             ASSERT_EQ(::pwrite(fd, newData.data(), newData.size(), 0), ssize_t(newData.size()));
             ::close(fd);
         },
         newData},
        {"grown",
         [&](const std::string& p) {
             const int fd = ::open(p.c_str(), O_WRONLY | O_APPEND);
             ASSERT_EQ(::write(fd, "tail", 4), 4);
             ::close(fd);
         },
         oldData + "tail"},
    };
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        for (const Change& change : changes) {
            SCOPED_TRACE(std::string(change.what) +
                         (mode == TransferMode::Copy ? " copy" : " move"));
            fs::remove_all(m_dir / "out");
            const std::string source = Src("a.txt", oldData);
            const std::string next = Src("b.txt", "next");
            FaultySys faults;
            faults.failOn(SysOp::CopyFileRange, EXDEV, 0);
            faults.failOn(SysOp::Sendfile, EINVAL, 0);
            faults.moveAcrossDevices();  // a move copies as across file systems
            faults.beforeCall(
                SysOp::Read, [&] { change.apply(source); }, 2);
            std::string text;
            {
                ScopedSys scoped(faults);
                // The change goes by the order of one thread's reads: copies in turn.
                SortOptions o = Options(SortPage::FileType, mode);
                o.copyJobs = 1;
                text = Run(o, {source, next});
            }
            const std::string target = m_dir / "out/.txt/a.txt";
            if (Exists(target)) {
                const std::string copied = ReadFile(target);
                EXPECT_TRUE(copied == oldData || (change.after && copied == *change.after))
                    << "a mix of " << copied.size() << " bytes was published";
                EXPECT_EQ(text, kDone);
            } else {
                EXPECT_NE(text.find(Failed(1)), std::string::npos) << text;
                EXPECT_TRUE(IsFile(source)) << "lost";
            }
            EXPECT_EQ(ReadFile(m_dir / "out/.txt/b.txt"), "next");
        }
    }
}

}  // namespace
