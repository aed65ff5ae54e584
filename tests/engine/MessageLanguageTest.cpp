// A run's texts under an English catalogue: the run still makes its messages
// in Chinese, they read in English once translated, and the folders a run
// makes are named the same in either language.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "HandMadePictures.h"
#include "MessageTranslator.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunStatusLine.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

class MessageLanguageTest : public ::testing::Test {
  protected:
    void TearDown() override { LoadTranslation("zh"); }

    // The closing message of a run over sources.
    std::string Run(const SortOptions& o, const std::vector<std::string>& sources) {
        RecordingHost host;
        RunFileSort(o, sources, host);
        const auto infos = host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    TempDir m_dir;
};

// Each page whose folders name a condition or a date, run once with the
// messages in Chinese and once in English: the same folders, the same files.
TEST_F(MessageLanguageTest, FoldersARunMakesDoNotDependOnTheLanguage) {
    WriteFile(m_dir / "src/big.dat", std::string(200 * 1024, 'x'));
    WriteFile(m_dir / "src/small.dat", std::string(10, 'x'));
    WriteFile(m_dir / "src/wide.bmp", BmpBytes(2000, 2));
    WriteFile(m_dir / "src/old.txt", "old", 1300000000);
    const std::vector<std::string> sources = {m_dir / "src/big.dat", m_dir / "src/small.dat",
                                              m_dir / "src/wide.bmp", m_dir / "src/old.txt"};

    // Each page reads only its own fields: the rest may be set alike.
    using P = SortPage;
    using S = SizeCondition;
    using C = PicCondition;
    struct Page {
        SortPage page;
        const char* value;
        SizeCondition size;
        SizeUnit unit;
        PicCondition picture;
        std::string folder;  // "" for the date, written as the system's locale has it
        std::vector<std::string> placed;
    };
    const Page pages[] = {
        {P::FileSize, "100", S::Greater, SizeUnit::KB, C::AtLeast, "大于100KB", {"big.dat"}},
        {P::FileSize, "1", S::Less, SizeUnit::MB, C::AtLeast, "小于1MB", Names(m_dir / "src")},
        {P::PicSize, "1920", S::Greater, SizeUnit::KB, C::AtLeast, "大于等于1920", {"wide.bmp"}},
        {P::PicSize, "1920", S::Greater, SizeUnit::KB, C::AtMost, "小于等于1920", {}},
        {P::PicSize, "2000", S::Greater, SizeUnit::KB, C::Exactly, "等于2000", {"wide.bmp"}},
        {P::FileDate, "", S::Greater, SizeUnit::KB, C::AtLeast, "", {"old.txt"}},
    };

    for (size_t i = 0; i < std::size(pages); ++i) {
        SCOPED_TRACE(i);
        SortOptions o;
        o.page = pages[i].page;
        o.sizeText = o.picText = pages[i].value;
        o.sizeCondition = pages[i].size;
        o.sizeUnit = pages[i].unit;
        o.picCondition = pages[i].picture;
        o.picturePatterns.assign(std::begin(kPictureTypes), std::end(kPictureTypes));
        o.dateSource = DateSource::Modified;
        o.thresholdDate = {2015, 5, 6};
        const std::string zh = m_dir / ("zh" + std::to_string(i));
        const std::string en = m_dir / ("en" + std::to_string(i));
        ASSERT_TRUE(LoadTranslation("zh"));
        o.outputDir = zh + "/";
        EXPECT_EQ(Run(o, sources), "分拣工作完成！");
        ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
        o.outputDir = en + "/";
        // The run's own words stay Chinese; only what is shown is translated.
        const std::string done = Run(o, sources);
        EXPECT_EQ(done, "分拣工作完成！");
        EXPECT_EQ(TranslateMessage(done), "Sorting finished!");
        const std::vector<std::string> folders = Names(zh);
        ASSERT_EQ(folders.size(), 1u);
        if (!pages[i].folder.empty()) {
            EXPECT_EQ(folders[0], pages[i].folder);
        }
        EXPECT_EQ(Names(en), folders);
        EXPECT_EQ(Names(zh + "/" + folders[0]), pages[i].placed);
        EXPECT_EQ(Names(en + "/" + folders[0]), pages[i].placed);
    }
}

// A completion text with more failures than it names, each with a folder that
// could not be made and the reason: English throughout but for the paths.
TEST_F(MessageLanguageTest, ACompletionWithFailuresReadsInEnglish) {
    std::vector<std::string> sources;
    for (int i = 0; i < 12; ++i) {
        sources.push_back(m_dir / ("源：" + std::to_string(i) + ".txt"));
        WriteFile(sources.back(), "x");
    }
    SortOptions o;
    o.page = SortPage::FileType;
    o.outputDir = "/proc/zanfeld-nowhere/";
    const std::string text = Run(o, sources);
    ASSERT_EQ(FailedCount(text), 12u) << text;
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    const std::string english = TranslateMessage(text);
    // The reason is the system's; it must read in English too.
    const std::string item = ": cannot make the target folder “/proc/zanfeld-nowhere/.txt”: ";
    const size_t at = english.find(item);
    ASSERT_NE(at, std::string::npos) << english;
    const std::string reason =
        english.substr(at + item.size(), english.find('\n', at) - at - item.size());
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(std::all_of(reason.begin(), reason.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << reason;
    std::string expected = "Sorting finished!\n\n12 files could not be sorted:\n";
    for (size_t i = 0; i < 10; ++i) expected += sources[i] + item + reason + "\n";
    EXPECT_EQ(english, expected + "…");
}

// Stopped after the first file: the counts so far, in English.
TEST_F(MessageLanguageTest, TheStoppedTextReadsInEnglish) {
    // Stops once the second file is under way.
    class StoppingHost : public RecordingHost {
      public:
        void noteProgress(const RunProgress& p) override { m_index = p.index; }
        bool stopRequested() override { return m_index >= 1; }

      private:
        size_t m_index = 0;
    };
    WriteFile(m_dir / "src/a.txt", "a");
    WriteFile(m_dir / "src/b.txt", "b");
    SortOptions o;
    o.page = SortPage::FileType;
    o.outputDir = m_dir / "out/";
    StoppingHost host;
    RunFileSort(o, {m_dir / "src/a.txt", m_dir / "src/b.txt"}, host);
    const auto infos = host.of("info");
    ASSERT_FALSE(infos.empty());
    ASSERT_EQ(infos.back(),
              "分拣已停止。\n\n已放置 1 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个。");
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    EXPECT_EQ(TranslateMessage(infos.back()),
              "Sorting stopped.\n\nplaced 1, skipped 0, renamed 0, overwritten 0, failed 0.");
}

TEST_F(MessageLanguageTest, RefusalsAndTheStatusLineReadInEnglish) {
    SortOptions o;
    o.page = SortPage::FileSize;
    o.outputDir = m_dir / "out/";
    o.sizeText = "1.5";
    RecordingHost host;
    RunFileSort(o, {m_dir / "a"}, host);
    ASSERT_EQ(host.of("reject").size(), 1u);
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    EXPECT_EQ(TranslateMessage(host.of("reject")[0].substr(2)), "Please enter a valid file size!");
    EXPECT_FALSE(IsDir(m_dir / "out"));

    const std::string name = "第 1 / 2 个文件（副本）.mkv";
    RunProgress p;
    p.path = &name;
    p.index = 4;
    p.count = 9;
    p.moving = true;
    p.bytesDone = 5u << 20;
    p.bytesTotal = 10u << 20;
    EXPECT_EQ(TranslateMessage(RunStatusLine::during(p, name, false, 0)),
              "Moving " + name + " (5.0 MB / 10.0 MB) · file 5 of 9");
    p.bytesTotal = 0;
    EXPECT_EQ(TranslateMessage(RunStatusLine::during(p, name, true, 0)),
              "Moving " + name + " · folder 5 of 9");
    RunCounts counts;
    counts.placed = 2;
    counts.failed = 1;
    EXPECT_EQ(TranslateMessage(RunStatusLine::after(counts, false)),
              "Sorting finished: placed 2, skipped 0, renamed 0, overwritten 0, failed 1");
}

}  // namespace
