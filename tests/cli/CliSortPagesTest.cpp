// Every page of the built zanfeld-cli against the engine: the program runs on
// one tree, RunFileSort or RunFolderSort in this process on an identical
// second tree with the choices the window would hold, and the two output
// trees (and, for a move, the two source trees) must match byte for byte.
// Then the ways of naming the sources: --walk with --depth/--all, --list.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "FolderSort.h"
#include "HandMadePictures.h"
#include "MiniJson.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

// A PNG of width x height as far as its size is read: the header, then an
// empty pixel chunk (no Qt in this test).
std::string PngBytes(uint32_t width, uint32_t height) {
    const std::string header = BigEndian32(width) + BigEndian32(height) +
                               std::string("\x01\x00\x00\x00\x00", 5);  // 1 bit, grey
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", header) + PngChunk("IDAT", "") +
           PngChunk("IEND", "");
}

// ---- the tree both sides sort ----------------------------------------------

// Seconds since the epoch of a local time, as the date page reads it.
int64_t LocalTime(int year, int month, int day, int hour = 0, int minute = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&tm));
}

struct SourceFileSpec {
    const char* path;  // below src/
    std::string bytes;
    int64_t mtime;
};

const std::vector<SourceFileSpec>& SourceFiles() {
    static const std::vector<SourceFileSpec> files = {
        {"docs/report 2019 final.doc", Pattern(3000, 1), LocalTime(2012, 3, 4)},
        {"docs/notes.txt", "docs notes\n", LocalTime(2018, 1, 1)},
        {"docs/Budget.XLS", Pattern(150 * 1024, 2), LocalTime(2014, 6, 1)},
        {"misc/notes.txt", "misc notes, another file\n", LocalTime(2016, 2, 2)},
        {"misc/photo_holiday.txt", "a holiday, forty bytes of text, or near.\n",
         LocalTime(2011, 7, 7)},
        {"misc/archive.tar.gz", Pattern(200 * 1024, 3), LocalTime(2020, 9, 9)},
        {"misc/README", Pattern(300, 4), LocalTime(2013, 3, 3)},
        {"misc/.hidden.cfg", "hidden=1\n", LocalTime(2019, 4, 4)},
        {"misc/中文报告 2019.txt", Pattern(600, 5), LocalTime(2017, 5, 5)},
        {"pics/wide.bmp", BmpBytes(1200, 4), LocalTime(2010, 1, 1)},
        {"pics/small.bmp", BmpBytes(64, 48), LocalTime(2021, 1, 1)},
        // Either side of the date case's threshold, 2015-05-06 12:00.
        {"pics/tall.png", PngBytes(300, 1000), LocalTime(2015, 5, 6, 13, 0)},
        {"pics/anim.gif", GifBytes(820, 2), LocalTime(2015, 5, 6, 11, 0)},
        {"pics/fake.jpg", "not a picture\n", LocalTime(2009, 9, 9)},
    };
    return files;
}

void MakeSourceTree(const std::string& src) {
    for (const SourceFileSpec& f : SourceFiles()) WriteFile(src + "/" + f.path, f.bytes, f.mtime);
}

// The files in the order both sides are given them.
std::vector<std::string> SourcePaths(const std::string& src) {
    std::vector<std::string> paths;
    for (const SourceFileSpec& f : SourceFiles()) paths.push_back(src + "/" + f.path);
    return paths;
}

std::vector<std::string> SourceFolders(const std::string& src) {
    return {src + "/docs", src + "/misc", src + "/pics"};
}

// The choices a window shows at its first start, on the given page.
SortOptions WindowStart(SortPage page, bool folders) {
    SortOptions o;
    o.page = page;
    o.transferMode = TransferMode::Copy;
    o.sameFilePolicy = SameFilePolicy::Skip;
    if (!folders)
        for (const char* type : kPictureTypes) o.picturePatterns.emplace_back(type);
    return o;
}

struct PageCase {
    const char* name;
    std::vector<std::string> args;  // the command and its choices, before --out and the sources
    std::function<void(SortOptions&)> choose;
    std::vector<std::string> paths;  // relative paths the output holds; "!" first: does not hold
    size_t minFiles;                 // files the output holds at least
    std::vector<std::string> premade = {};  // folders in the output before the run
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

class CliSortPagesTest : public ::testing::TestWithParam<PageCase> {
  protected:
    CliSandbox m_box{ZANFELD_CLI};
    // The in-process runs keep to the sandbox as the program does.
    ScopedEnv m_state{"XDG_STATE_HOME", m_box / "state"};
    ScopedEnv m_data{"XDG_DATA_HOME", m_box / "data"};
    ScopedEnv m_config{"XDG_CONFIG_HOME", m_box / "config"};
};

TEST_P(CliSortPagesTest, LeavesTheTreeTheEngineLeaves) {
    const PageCase& c = GetParam();
    const bool folders = c.args[0] == "sort-folders";
    const std::string cli = m_box / "cli";
    const std::string engine = m_box / "engine";
    for (const std::string& root : {cli, engine}) {
        MakeSourceTree(root + "/src");
        for (const std::string& folder : c.premade) MakeDir(root + "/out/" + folder);
    }

    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--out", cli + "/out"});
    for (const std::string& p : folders ? SourceFolders(cli + "/src") : SourcePaths(cli + "/src"))
        args.push_back(p);
    const CliResult r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("分拣工作完成！"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.rfind("分拣完成：已放置 ", 0), 0u) << r.out;

    SortOptions o = WindowStart(SortPage::Keys, folders);
    c.choose(o);
    o.outputDir = engine + "/out";
    RecordingHost host;
    if (folders) {
        RunFolderSort(o, SourceFolders(engine + "/src"), host);
    } else {
        RunFileSort(o, SourcePaths(engine + "/src"), host);
    }
    ASSERT_FALSE(host.of("info").empty());
    ASSERT_EQ(host.of("info").back(), "分拣工作完成！");

    const auto cliOut = TreeOf(cli + "/out");
    const auto engineOut = TreeOf(engine + "/out");
    EXPECT_EQ(TreeDifference(cliOut, engineOut), "") << "program:\n"
                                                     << Listing(cliOut) << "engine:\n"
                                                     << Listing(engineOut);
    // Sources: the same files left (a move), nothing changed (a copy).
    EXPECT_EQ(TreeDifference(TreeOf(cli + "/src"), TreeOf(engine + "/src")), "");
    for (const std::string& p : c.paths) {
        const bool absent = p[0] == '!';
        EXPECT_EQ(cliOut.count(p.substr(absent ? 1 : 0)), absent ? 0u : 1u) << p << " in\n"
                                                                            << Listing(cliOut);
    }
    EXPECT_GE(FileCount(cliOut), c.minFiles) << Listing(cliOut);
}

// Each page's options, each once: how an option is read is CliChoicesTest's
// part; here, that the program hands what it read to the engine whole.
const PageCase kCases[] = {
    // Two notes.txt meet in one folder: the numbering follows the list.
    {"Keys",
     {"sort", "--by", "keys", "--keywords", "report notes 2019 中文", "--same", "rename"},
     [](SortOptions& o) {
         o.keywordText = "report notes 2019 中文";
         o.sameFilePolicy = SameFilePolicy::Rename;
     },
     {"report/report 2019 final.doc", "2019/report 2019 final.doc", "2019/中文报告 2019.txt",
      "中文/中文报告 2019.txt", "notes/notes.txt", "notes/notes_1.txt"},
     6},
    // A file of two keywords, moved: the run's second folder finds no source.
    {"KeysMoveOverwrite",
     {"sort", "--by", "keys", "--keywords", "2019 report notes", "--move", "--same", "overwrite"},
     [](SortOptions& o) {
         o.keywordText = "2019 report notes";
         o.transferMode = TransferMode::Move;
         o.sameFilePolicy = SameFilePolicy::Overwrite;
     },
     {"2019/report 2019 final.doc", "notes/notes.txt"},
     3},
    {"NameOnlyExisting",
     {"sort", "--by", "name", "--range", "1:4", "--filter", "o*e", "--only-existing"},
     [](SortOptions& o) {
         o.page = SortPage::FileName;
         o.useNamePart = true;
         o.partBeginText = "1";
         o.partEndText = "4";
         o.nameFilter = "o*e";
         o.onlyMatchDir = true;
     },
     {"rp/report 2019 final.doc", "nt/notes.txt", "!repo", "!wide", "!tall", "!READ"},
     2,
     {"rp", "nt"}},
    {"TypeMove",
     {"sort", "--by", "type", "--move"},
     [](SortOptions& o) {
         o.page = SortPage::FileType;
         o.transferMode = TransferMode::Move;
     },
     {".txt/notes.txt", ".gz/archive.tar.gz", "README", ".XLS/Budget.XLS", ".bmp/wide.bmp"},
     12},
    {"TypeInclude",
     {"sort", "--by", "type", "--include", "txt,.doc"},
     [](SortOptions& o) {
         o.page = SortPage::FileType;
         o.typeFilter = TypeFilterMode::Include;
         o.typePatterns = {"*.txt", "*.doc"};
     },
     {".txt/notes.txt", ".doc/report 2019 final.doc", ".txt/中文报告 2019.txt", "!.gz", "!.XLS",
      "!README", "!.bmp"},
     4},
    {"TypeExclude",
     {"sort", "--by", "type", "--exclude", "*.txt,BMP"},
     [](SortOptions& o) {
         o.page = SortPage::FileType;
         o.typeFilter = TypeFilterMode::Exclude;
         o.typePatterns = {"*.txt", "*.BMP"};
     },
     {".doc/report 2019 final.doc", ".png/tall.png", "README", "!.txt", "!.bmp"},
     6},
    {"SizeGreater",
     {"sort", "--by", "size", "--size", ">100KB"},
     [](SortOptions& o) {
         o.page = SortPage::FileSize;
         o.sizeText = "100";
     },
     {"大于100KB/Budget.XLS", "大于100KB/archive.tar.gz", "!大于100KB/report 2019 final.doc"},
     2},
    {"SizeLessMegabytes",
     {"sort", "--by", "size", "--size", "<1MB"},
     [](SortOptions& o) {
         o.page = SortPage::FileSize;
         o.sizeText = "1";
         o.sizeCondition = SizeCondition::Less;
         o.sizeUnit = SizeUnit::MB;
     },
     {"小于1MB/archive.tar.gz", "小于1MB/README"},
     12},
    {"DateModified",
     {"sort", "--by", "date", "--date", "<2015-05-06 12:00", "--date-of", "modified"},
     [](SortOptions& o) {
         o.page = SortPage::FileDate;
         o.dateSource = DateSource::Modified;
         o.dateCondition = DateCondition::Earlier;
         o.thresholdDate = {2015, 5, 6};
         o.thresholdTime = {12, 0, 0};
     },
     {},
     7},
    {"DateCreated",
     {"sort", "--by", "date", "--date", ">2015-05-06"},
     [](SortOptions& o) {
         o.page = SortPage::FileDate;
         o.dateCondition = DateCondition::Later;
         o.thresholdDate = {2015, 5, 6};
         o.thresholdTime = {0, 0, 0};
     },
     {},
     1},
    // The window's picture types, and a PNG read without Qt.
    {"PictureWidthPng",
     {"sort", "--by", "picture", "--width", "=300"},
     [](SortOptions& o) {
         o.page = SortPage::PicSize;
         o.picCondition = PicCondition::Exactly;
         o.picText = "300";
     },
     {"等于300/tall.png", "!等于300/wide.bmp", "!等于300/small.bmp", "!等于300/anim.gif"},
     1},
    {"PictureHeightTypes",
     {"sort", "--by", "picture", "--height", ">=2", "--types", "BMP,gif"},
     [](SortOptions& o) {
         o.page = SortPage::PicSize;
         o.picDimension = PicDimension::Height;
         o.picText = "2";
         o.picturePatterns = {"*.BMP", "*.GIF"};
     },
     {"大于等于2/wide.bmp", "大于等于2/small.bmp", "大于等于2/anim.gif", "!大于等于2/tall.png"},
     3},
    {"PictureAtMost",
     {"sort", "--by", "picture", "--height", "<=48", "--types", "JPG,PNG,BMP"},
     [](SortOptions& o) {
         o.page = SortPage::PicSize;
         o.picDimension = PicDimension::Height;
         o.picCondition = PicCondition::AtMost;
         o.picText = "48";
         o.picturePatterns = {"*.JPG;*.JPEG", "*.BMP", "*.PNG"};
     },
     {"小于等于48/wide.bmp", "小于等于48/small.bmp", "!小于等于48/anim.gif",
      "!小于等于48/tall.png"},
     2},
    {"FoldersKeys",
     {"sort-folders", "--by", "keys", "--keywords", "doc pic"},
     [](SortOptions& o) { o.keywordText = "doc pic"; },
     {"doc/docs/notes.txt", "pic/pics/tall.png", "!misc"},
     7},
    // A folder is copied with its hidden files.
    {"FoldersNameOnlyExisting",
     {"sort-folders", "--by", "name", "--filter", "s", "--only-existing", "--same", "rename"},
     [](SortOptions& o) {
         o.page = SortPage::FileName;
         o.nameFilter = "s";
         o.onlyMatchDir = true;
         o.sameFilePolicy = SameFilePolicy::Rename;
     },
     {"mic/misc/README", "mic/misc/.hidden.cfg", "!doc", "!pic"},
     6,
     {"mic"}},
};

INSTANTIATE_TEST_SUITE_P(Pages, CliSortPagesTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- sources ---------------------------------------------------------------

class CliSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"top.txt", ".dot.txt", "sub/one.txt", "sub/deep/two.txt",
                                 ".hid/three.txt", "sub/deep/deeper/four.txt"})
            WriteFile(m_box / ("src/" + std::string(name)), name);
    }
    // The names the output holds below .txt.
    std::vector<std::string> Sorted() const {
        std::vector<std::string> names;
        for (const auto& [path, content] : TreeOf(m_box / "out/.txt")) names.push_back(path);
        return names;
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliSourcesTest, WalkTakesHiddenFilesAndGoesAsDeepAsAsked) {
    using Names = std::vector<std::string>;
    const struct {
        std::vector<std::string> depth;
        Names expect;
    } cases[] = {
        {{}, {".dot.txt", "top.txt"}},
        {{"--depth", "0"}, {".dot.txt", "top.txt"}},
        {{"--depth", "1"}, {".dot.txt", "one.txt", "three.txt", "top.txt"}},
        {{"--depth", "2"}, {".dot.txt", "one.txt", "three.txt", "top.txt", "two.txt"}},
        {{"--all"}, {".dot.txt", "four.txt", "one.txt", "three.txt", "top.txt", "two.txt"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"sort", "--by", "type", "--out", "out", "--walk", "src"};
        args.insert(args.end(), c.depth.begin(), c.depth.end());
        const CliResult r = m_box.run(args);
        const std::string label = c.depth.empty() ? "no depth" : c.depth[0];
        ASSERT_EQ(r.exitCode, 0) << label << "\n" << r.err;
        EXPECT_EQ(Sorted(), c.expect) << label;
        std::filesystem::remove_all(m_box / "out");
    }
}

TEST_F(CliSourcesTest, AFileNamedTwiceIsSortedOnce) {
    // Files first, then walks, then lists; one file named as a shell user
    // names it (the walk's "./src/", a doubled separator, a step into a folder
    // and out) is added once, so a rename run makes no numbered copy.
    WriteFile(m_box / "files.lst",
              m_box / "src/top.txt\n" + m_box / "src/sub/one.txt\n" + m_box / "src/sub/one.txt\n");
    CliResult r = m_box.run({"sort", "--by", "type", "--same", "rename", "--out", "out",
                             "src/sub/one.txt", "src/top.txt", "./src/top.txt", "src//top.txt",
                             "src/sub/../top.txt", "--walk", "./src", "--list", "files.lst"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Sorted(), (std::vector<std::string>{".dot.txt", "one.txt", "top.txt"}));

    // A move of a file listed twice must not report the second as failed.
    std::filesystem::remove_all(m_box / "out");
    r = m_box.run({"sort", "--by", "type", "--move", "--out", "out", "src/top.txt", "./src/top.txt",
                   "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Sorted(), (std::vector<std::string>{"top.txt"}));
}

TEST_F(CliSourcesTest, SortingAFolderIntoItselfLosesNothing) {
    // --walk . --out .: a file without extension goes to the output
    // directory itself, that is, onto itself.
    for (const char* same : {"ask", "rename", "overwrite", "skip", "newer"}) {
        const std::string dir = m_box / (std::string("inplace-") + same);
        WriteFile(dir + "/a.txt", "a");
        WriteFile(dir + "/README", "readme");
        WriteFile(dir + "/c", "c");
        CliProcess::Setup setup = m_box.setup({"sort", "--by", "type", "--move", "--same", same,
                                               "--yes", "--walk", ".", "--out", "."});
        setup.cwd = dir;
        const CliResult r = RunProgram(setup);
        EXPECT_EQ(r.exitCode, 0) << same << "\n" << r.err;
        EXPECT_EQ(TreeOf(dir),
                  (std::map<std::string, std::string>{
                      {".txt", "<dir>"}, {".txt/a.txt", "a"}, {"README", "readme"}, {"c", "c"}}))
            << same;
    }
}

TEST_F(CliSourcesTest, TargetFoldersOutsideTheOutputAreRefused) {
    WriteFile(m_box / "src/a..b.txt", "a");
    WriteFile(m_box / "src/...txt", "dots");
    MakeDir(m_box / "src/x..y");
    // Everything but the journal and, at most, the empty output folder.
    const auto tree = [&] {
        auto t = TreeOf(m_box.root());
        std::erase_if(t, [](const auto& e) {
            return e.first.rfind("state", 0) == 0 ||
                   ((e.first == "out" || e.first == "out/deeper") && e.second == "<dir>");
        });
        return t;
    };
    const auto before = tree();
    const std::vector<std::vector<std::string>> runs = {
        {"sort", "--by", "keys", "--keywords", "..", "src/a..b.txt"},
        {"sort", "--by", "name", "src/...txt"},
        {"sort-folders", "--by", "keys", "--keywords", "..", "src/x..y"},
        {"sort-folders", "--by", "name", "--filter", "x*y", "src/x..y"},
    };
    for (std::vector<std::string> args : runs) {
        args.insert(args.end(), {"--out", "out/deeper", "--json"});
        const CliResult r = m_box.run(args);
        EXPECT_EQ(r.exitCode, 1) << args[3] << "\n" << r.err;
        const Json j = Json::parse(r.out);
        EXPECT_EQ(j["counts"]["failed"].integer(), 1) << r.out;
        ASSERT_EQ(j["failures"].size(), 1u) << r.out;
        EXPECT_TRUE(Contains(j["failures"][0]["reason"].string(), "不在输出目录之内")) << r.out;
        EXPECT_EQ(TreeDifference(tree(), before), "") << args[3];
    }
}

TEST_F(CliSourcesTest, AFolderGivenAsAFileIsRefusedWithAHint) {
    const CliResult r = m_box.run({"sort", "--by", "type", "--out", "out", "src/sub"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--walk"), std::string::npos) << r.err;
    EXPECT_FALSE(IsDir(m_box / "out"));
}

TEST_F(CliSourcesTest, SubfoldersLeaveHiddenOnesOutAndListsNameFolders) {
    WriteFile(m_box / "folders.lst", m_box / "src/.hid\n");
    const CliResult r = m_box.run({"sort-folders", "--by", "name", "--out", "out", "--subfolders",
                                   "src", "--list", "folders.lst"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> top = Names(m_box / "out");
    // sub by its parent's walk; .hid only because the list names it.
    EXPECT_EQ(top, (std::vector<std::string>{".hid", "sub"}));
    EXPECT_EQ(ReadFile(m_box / "out/sub/sub/deep/deeper/four.txt"), "sub/deep/deeper/four.txt");
}

}  // namespace
