// A run's texts under an English catalogue: the run still makes its messages
// in Chinese, they read in English once translated, and the folders a run
// makes are named the same in either language.
#include <gtest/gtest.h>

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

bool HasChinese(const std::string& text) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0xE0 || c >= 0xF0) continue;
        const uint32_t point = (c & 0x0F) << 12 |
                               (static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6 |
                               (static_cast<unsigned char>(text[i + 2]) & 0x3F);
        if ((point >= 0x3000 && point <= 0x303F) || (point >= 0x4E00 && point <= 0x9FFF) ||
            (point >= 0xFF00 && point <= 0xFFEF))
            return true;
    }
    return false;
}

// text without every occurrence of each of paths.
std::string Without(std::string text, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        for (size_t at; (at = text.find(path)) != std::string::npos;) text.erase(at, path.size());
    return text;
}

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

    std::vector<SortOptions> pages;
    SortOptions size;
    size.page = SortPage::FileSize;
    size.sizeText = "100";
    size.sizeCondition = SizeCondition::Greater;
    size.sizeUnit = SizeUnit::KB;
    pages.push_back(size);
    size.sizeCondition = SizeCondition::Less;
    size.sizeUnit = SizeUnit::MB;
    size.sizeText = "1";
    pages.push_back(size);
    SortOptions picture;
    picture.page = SortPage::PicSize;
    picture.picturePatterns.assign(std::begin(kPictureTypes), std::end(kPictureTypes));
    picture.picDimension = PicDimension::Width;
    picture.picText = "1920";
    for (const PicCondition c :
         {PicCondition::AtLeast, PicCondition::AtMost, PicCondition::Exactly}) {
        picture.picCondition = c;
        picture.picText = c == PicCondition::Exactly ? "2000" : "1920";
        pages.push_back(picture);
    }
    SortOptions date;
    date.page = SortPage::FileDate;
    date.dateSource = DateSource::Modified;
    date.dateCondition = DateCondition::Earlier;
    date.thresholdDate = {2015, 5, 6};
    pages.push_back(date);

    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        SortOptions o = pages[i];
        ASSERT_TRUE(LoadTranslation("zh"));
        o.outputDir = m_dir / ("zh" + std::to_string(i) + "/");
        EXPECT_EQ(Run(o, sources), "分拣工作完成！");
        ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
        o.outputDir = m_dir / ("en" + std::to_string(i) + "/");
        // The run's own words stay Chinese; only what is shown is translated.
        const std::string done = Run(o, sources);
        EXPECT_EQ(done, "分拣工作完成！");
        EXPECT_EQ(TranslateMessage(done), "Sorting finished!");
        const std::vector<std::string> folders = Names(m_dir / ("zh" + std::to_string(i)));
        ASSERT_EQ(folders.size(), 1u);
        EXPECT_EQ(Names(m_dir / ("en" + std::to_string(i))), folders);
        EXPECT_EQ(Names(m_dir / ("en" + std::to_string(i)) + "/" + folders[0]),
                  Names(m_dir / ("zh" + std::to_string(i)) + "/" + folders[0]));
    }
    EXPECT_EQ(Names(m_dir / "en0"), std::vector<std::string>{"大于100KB"});
    EXPECT_TRUE(IsFile(m_dir / "en0/大于100KB/big.dat"));
    EXPECT_EQ(Names(m_dir / "en1"), std::vector<std::string>{"小于1MB"});
    EXPECT_EQ(Names(m_dir / "en2"), std::vector<std::string>{"大于等于1920"});
    EXPECT_TRUE(IsFile(m_dir / "en2/大于等于1920/wide.bmp"));
    EXPECT_EQ(Names(m_dir / "en3"), std::vector<std::string>{"小于等于1920"});
    EXPECT_EQ(Names(m_dir / "en4"), std::vector<std::string>{"等于2000"});
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
    EXPECT_EQ(english.rfind("Sorting finished!\n\n12 files could not be sorted:\n", 0), 0u)
        << english;
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(english.find(sources[static_cast<size_t>(i)] +
                               ": cannot make the target folder “/proc/zanfeld-nowhere/.txt”: "),
                  std::string::npos)
            << english;
    EXPECT_EQ(english.substr(english.size() - 4), "\n…");
    std::vector<std::string> paths(sources.begin(), sources.begin() + 10);
    EXPECT_FALSE(HasChinese(Without(english, paths))) << english;
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
