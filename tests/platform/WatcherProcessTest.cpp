// Starting the watcher from the window: the login entry's text, and a start
// that really leaves the window behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "AutostartEntry.h"
#include "TempDir.h"
#include "WatcherProcess.h"

namespace zanfeld::test {
namespace {

// The Exec line for a settings file at any path: quoted where the format
// wants it, with a backslash written four times inside quotes.
TEST(AutostartEntry, TheCommandIsQuotedAsTheDesktopWantsIt) {
    const struct {
        std::string settings;
        std::string exec;
    } rows[] = {
        {"/home/ming/Zanfeld.ini", "/home/ming/Zanfeld.ini"},
        {"/home/ming/我的 设置.ini", "\"/home/ming/我的 设置.ini\""},
        {"/tmp/a$b\\c\"d`e%f.ini", "\"/tmp/a\\\\$b\\\\\\\\c\\\\\"d\\\\`e%%f.ini\""},
    };
    for (const auto& row : rows) {
        const std::string text = AutostartEntryText(
            {"zanfeld-cli", "watch", "--from-settings", "--settings", row.settings},
            "Zanfeld 自动分拣");
        EXPECT_EQ(text,
                  "[Desktop Entry]\nType=Application\nName=Zanfeld 自动分拣\n"
                  "Exec=zanfeld-cli watch --from-settings --settings " +
                      row.exec + "\nX-GNOME-Autostart-enabled=true\nNoDisplay=true\n")
            << row.settings;
    }
}

// Started for real: in a session of its own, no child of this process; a
// program that cannot run is reported, not taken for started.
TEST(WatcherProcess, StartsDetachedAndReportsAProgramThatCannotRun) {
    TempDir dir;
    const std::string out = dir / "out.txt";
    ASSERT_EQ(WatcherProcess::start({"/bin/sh", "-c",
                                     "read -r none; echo \"$(cut -d' ' -f6 /proc/$$/stat) "
                                     "$(cut -d' ' -f4 /proc/$$/stat)\" > " +
                                         out + ".tmp; mv " + out + ".tmp " + out}),
              0);
    for (int i = 0; i < 500 && !IsFile(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(IsFile(out));
    const std::string facts = ReadFile(out);
    const long session = std::stol(facts);
    const long parent = std::stol(facts.substr(facts.find(' ') + 1));
    EXPECT_NE(session, static_cast<long>(::getsid(0)));
    EXPECT_NE(parent, static_cast<long>(::getpid()));

    EXPECT_EQ(WatcherProcess::start({dir / "no-such-program"}), ENOENT);
    EXPECT_EQ(WatcherProcess::start({dir / "out.txt"}), EACCES);
}

}  // namespace
}  // namespace zanfeld::test
