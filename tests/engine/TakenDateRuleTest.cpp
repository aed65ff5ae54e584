// The taken-date page: dates from file names, the order of the date
// sources, the four folder layouts and files without a date.
#include <gtest/gtest.h>
#include <time.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "NameDate.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "ScopedEnv.h"
#include "TakenSamples.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

std::string Text(const std::optional<LocalDateTime>& t) {
    if (!t) return "none";
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second);
    return s;
}

class UtcZone {
  public:
    UtcZone() : m_env(std::in_place, "TZ", "UTC0") { ::tzset(); }
    ~UtcZone() {
        m_env.reset();
        ::tzset();
    }

  private:
    std::optional<test::ScopedEnv> m_env;
};

TEST(NameDate, PatternsOfPhonesCamerasAndMessengers) {
    const UtcZone zone;
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"IMG_20240506_123456.jpg", "2024-05-06 12:34:56"},
        {"VID_20240506_123456_001.mp4", "2024-05-06 12:34:56"},
        {"PXL_20240506_123456789.MP.jpg", "2024-05-06 12:34:56"},
        {"WP_20240506_001.jpg", "2024-05-06 00:00:00"},
        {"WP_20240506_12_34_56_Pro.jpg", "2024-05-06 12:34:56"},
        {"Screenshot_2024-05-06-12-34-56.png", "2024-05-06 12:34:56"},
        {"Screenshot_20240506-123456_Chrome.png", "2024-05-06 12:34:56"},
        {"Screenshot 2024-05-06 at 12.34.56.png", "2024-05-06 12:34:56"},
        {"Screenshot 2024-05-06 at 1.34.56 PM.png", "2024-05-06 13:34:56"},
        {"Screenshot 2024-05-06 at 12.34.56 AM.png", "2024-05-06 00:34:56"},
        {"微信图片_20240506123456.jpg", "2024-05-06 12:34:56"},
        {"mmexport1715000000000.jpg", "2024-05-06 12:53:20"},
        {"2024-05-06 12.34.56.jpg", "2024-05-06 12:34:56"},
        {"IMG-20240506-WA0001.jpg", "2024-05-06 00:00:00"},
        {"VID-20240506-WA0001.mp4", "2024-05-06 00:00:00"},
        // Not a real day, out of range, or no anchored pattern.
        {"IMG_20230231_120000.jpg", "none"},
        {"IMG_20231301_120000.jpg", "none"},
        {"IMG_18991231_120000.jpg", "none"},
        {"IMG_29990101_120000.jpg", "none"},
        {"IMG_20240506_256000.jpg", "none"},  // hour 25
        {"IMG_202405061.jpg", "none"},
        {"my IMG_20240506_123456.jpg", "none"},
        {"img_20240506_123456.jpg", "none"},
        {"IMG-20240506-0001.jpg", "none"},
        {"mmexport171500000000.jpg", "none"},    // 12 digits
        {"mmexport17150000000001.jpg", "none"},  // 14 digits
        {"微信图片_2024050612345.jpg", "none"},
        {"Screenshot 2024-05-06 at 13.34.56 PM.png", "none"},
        {"2024-05-06 12.34.jpg", "none"},
        {"DSC01234.JPG", "none"},
        {"", "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(DateFromName(c.name)), c.expected) << c.name;
}

std::set<std::string> Files(const std::string& root) {
    std::set<std::string> out;
    if (!std::filesystem::exists(root)) return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.insert(std::filesystem::relative(e.path(), root).string());
    return out;
}

class TakenDateRuleTest : public ::testing::Test {
  protected:
    // The record wins over the name, the name over the last-write time.
    void MakeTree() {
        m_dir = std::make_unique<test::TempDir>();
        auto src = [&](const std::string& name, const std::string& bytes,
                       int64_t mtime = 1'500'000'000) {  // 2017-07-14
            test::WriteFile(*m_dir / ("src/" + name), bytes, mtime);
            m_sources.push_back(*m_dir / ("src/" + name));
        };
        m_sources.clear();
        src("IMG_20230102_030405.jpg", test::JpegWith(test::ExifSegment({"2024:05:06 12:34:56"})));
        src("IMG_20230102_030405.JPEG", "no record");
        src("clip.mp4", test::Mp4Bytes(1, test::MovieSeconds(1'600'000'000)));  // 2020-09-13
        src("old.jpg", "no record");
        src("new.jpg", "no record", 4'000'000'000);  // 2096: a clock never set
        src("note.txt", "not a type of the page");
    }
    SortOptions Options(TakenGroup group) {
        SortOptions o;
        o.page = SortPage::TakenDate;
        o.outputDir = *m_dir / "out/";
        o.transferMode = TransferMode::Copy;
        o.takenGroup = group;
        o.takenFromModified = true;
        for (const char* type : kTakenTypes) o.takenPatterns.push_back(type);
        return o;
    }

    const UtcZone m_zone;
    std::unique_ptr<test::TempDir> m_dir;
    std::vector<std::string> m_sources;
};

TEST_F(TakenDateRuleTest, FolderLayoutsAndTheOrderOfDateSources) {
    const struct {
        TakenGroup group;
        std::set<std::string> files;
    } layouts[] = {
        {TakenGroup::Year,
         {"2024/IMG_20230102_030405.jpg", "2023/IMG_20230102_030405.JPEG", "2020/clip.mp4",
          "2017/old.jpg", "未知日期/new.jpg"}},
        {TakenGroup::YearThenMonth,
         {"2024/05/IMG_20230102_030405.jpg", "2023/01/IMG_20230102_030405.JPEG", "2020/09/clip.mp4",
          "2017/07/old.jpg", "未知日期/new.jpg"}},
        {TakenGroup::YearMonth,
         {"2024-05/IMG_20230102_030405.jpg", "2023-01/IMG_20230102_030405.JPEG", "2020-09/clip.mp4",
          "2017-07/old.jpg", "未知日期/new.jpg"}},
        {TakenGroup::Day,
         {"2024-05-06/IMG_20230102_030405.jpg", "2023-01-02/IMG_20230102_030405.JPEG",
          "2020-09-13/clip.mp4", "2017-07-14/old.jpg", "未知日期/new.jpg"}},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(static_cast<int>(layout.group));
        MakeTree();
        test::RecordingHost host;
        RunFileSort(Options(layout.group), m_sources, host);
        EXPECT_EQ(Files(*m_dir / "out"), layout.files);
    }
}

TEST_F(TakenDateRuleTest, FilesWithoutADateGoToTheirFolderOrStay) {
    MakeTree();
    SortOptions o = Options(TakenGroup::Year);
    o.takenFromName = false;
    o.takenFromModified = false;
    o.takenUnknownFolder = "没有日期";
    test::RecordingHost host;
    RunFileSort(o, m_sources, host);
    EXPECT_EQ(Files(*m_dir / "out"),
              (std::set<std::string>{"2024/IMG_20230102_030405.jpg", "2020/clip.mp4",
                                     "没有日期/IMG_20230102_030405.JPEG", "没有日期/old.jpg",
                                     "没有日期/new.jpg"}));

    // Skipped: not selected, so a move leaves them where they were.
    MakeTree();
    o = Options(TakenGroup::Year);
    o.takenSkipUnknown = true;
    o.transferMode = TransferMode::Move;
    test::RecordingHost moving;
    RunFileSort(o, m_sources, moving);
    EXPECT_EQ(Files(*m_dir / "out"), (std::set<std::string>{"2024/IMG_20230102_030405.jpg",
                                                            "2023/IMG_20230102_030405.JPEG",
                                                            "2020/clip.mp4", "2017/old.jpg"}));
    EXPECT_EQ(Files(*m_dir / "src"), (std::set<std::string>{"new.jpg", "note.txt"}));
}

}  // namespace
}  // namespace zanfeld
