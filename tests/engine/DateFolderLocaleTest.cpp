// The date page's folder is named after the threshold date as the user's
// regional settings write it short, with "/" and "\" made "-". Each locale is
// tried in a process of its own started with LC_ALL set, as a user's session
// would start the program, since the system locale is read once per process.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <QLocale>
#include <QString>
#include <string>

#include "DateRule.h"
#include "RecordingHost.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kLocaleVariable[] = "ZANFELD_TEST_LOCALE";

std::string Expected(const std::string& locale) {
    std::string text =
        QLocale(QString::fromStdString(locale)).toString(QDate(2015, 5, 6), QLocale::ShortFormat)
            .toStdString();
    for (char& c : text)
        if (c == '/' || c == '\\') c = '-';
    return text;
}

// Runs in the child only, under the locale the parent chose.
TEST(DateFolderInLocale, IsTheLocalesOwnShortDate) {
    const char* locale = std::getenv(kLocaleVariable);
    if (!locale) GTEST_SKIP() << "started by DateFolderLocale for one locale at a time";
    TempDir dir;
    SortOptions o;
    o.page = SortPage::FileDate;
    o.outputDir = dir / "out/";
    o.thresholdDate = {2015, 5, 6};
    RecordingHost host;
    DateRule rule;
    ASSERT_TRUE(rule.prepare(o, host));
    const std::string folder = rule.folder();
    EXPECT_EQ(folder, Expected(locale)) << locale;
    // Every field rendered: no run of pattern letters is left in the name.
    for (const char* pattern : {"MMM", "MM", "dd", "yy", "d ", " d"})
        EXPECT_EQ(folder.find(pattern), std::string::npos) << folder;
    EXPECT_NE(folder.find("15"), std::string::npos) << folder;
}

TEST(DateFolderLocale, FollowsTheRegionalShortDateInEveryLocale) {
    struct Case {
        const char* environment;  // LC_ALL for the child
        const char* locale;       // QLocale's name for it
        const char* folder;       // what the run must make
    };
    const Case cases[] = {
        {"C.UTF-8", "C", "6 May 2015"},          {"en_US.UTF-8", "en_US", "5-6-15"},
        {"en_GB.UTF-8", "en_GB", "06-05-2015"},  {"de_DE.UTF-8", "de_DE", "06.05.15"},
        {"ja_JP.UTF-8", "ja_JP", "2015-05-06"},  {"zh_CN.UTF-8", "zh_CN", "2015-5-6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.environment);
        // The folder of each locale, as its people read it.
        EXPECT_EQ(Expected(c.locale), c.folder);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::setenv("LC_ALL", c.environment, 1);
            ::setenv(kLocaleVariable, c.locale, 1);
            ::execl("/proc/self/exe", "DateFolderLocaleTest",
                    "--gtest_filter=DateFolderInLocale.IsTheLocalesOwnShortDate",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the folder under " << c.environment << " was not " << c.folder;
    }
}

}  // namespace
