// The watched folders' dialog: what it stores, the login entry it writes and
// removes, the watcher it starts, restarts and stops (through the process
// seam: nothing really runs), the plans it refuses, and the marks of the
// watcher's runs in the record of runs.

#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "AutoSortDialog.h"
#include "AutostartEntry.h"
#include "PlanPickDialog.h"
#include "RunHistoryDialog.h"
#include "RunJournal.h"
#include "ScopedEnv.h"
#include "SortPlans.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "WatchedFolders.h"
#include "WatcherProcess.h"

namespace zanfeld::test {
namespace {

class AutoSortDialogTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        WatcherProcess::setScripted(true);
        MakeDir(m_dir / "in");
        // A zanfeld-cli on PATH, so that the command is known whatever was built.
        WriteFile(m_dir / "bin/zanfeld-cli", "#!/bin/sh\n");
        ::chmod((m_dir / "bin/zanfeld-cli").c_str(), 0755);
        SortPlan plan{"下载整理", false, {}};
        plan.options.sameFilePolicy = SameFilePolicy::Identical;
        ASSERT_EQ(SavePlan(m_ini, plan), "");
        ASSERT_EQ(SavePlan(m_ini, SortPlan{"照片", false, {}}), "");
        plan = SortPlan{"询问", false, {}};
        plan.options.sameFilePolicy = SameFilePolicy::Ask;
        ASSERT_EQ(SavePlan(m_ini, plan), "");
        ASSERT_EQ(SavePlan(m_ini, SortPlan{"目录", true, {}}), "");
    }
    void TearDown() override {
        WatcherProcess::setScripted(false);
        UiTest::TearDown();
    }

    // Adds the folder "in" with the plans checked in the order given; the
    // plans the picker offered are kept in offered.
    void AddFolder(AutoSortDialog& dialog, const std::vector<QString>& plans) {
        FilePickers::queueAnswer({Q(m_dir / "in")});
        ModalDialogs::setScript([&](QDialog& d) {
            auto* list = Find<QListWidget>(&d, "LstPlans");
            offered.clear();
            for (int i = 0; i < list->count(); ++i) offered << list->item(i)->text();
            for (const QString& plan : plans)
                list->findItems(plan, Qt::MatchExactly).value(0)->setCheckState(Qt::Checked);
            Find<QPushButton>(&d, "BtnOk")->click();
            return d.result();
        });
        Find<QPushButton>(&dialog, "BtnAddWatch")->click();
        ModalDialogs::setScript({});
    }
    static void Switch(AutoSortDialog& dialog, int row, bool on) {
        Find<QTableWidget>(&dialog, "TblWatch")
            ->item(row, 0)
            ->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    TempDir m_dir;
    ScopedEnv m_config{"XDG_CONFIG_HOME", m_dir / "config"};
    ScopedEnv m_path{"PATH", m_dir / "bin"};
    std::string m_ini = m_dir / "Zanfeld.ini";
    QStringList offered;
};

TEST_F(AutoSortDialogTest, SwitchingOnStartsTheWatcherAndTheLastOffStopsIt) {
    AutoSortDialog dialog(m_ini);
    dialog.load(nullptr);
    const std::string entry = m_dir / "config/autostart/zanfeld-watch.desktop";
    EXPECT_EQ(AutostartEntryPath(), entry);

    // Added switched off, with its plans in the order they were checked.
    AddFolder(dialog, {QStringLiteral("照片"), QStringLiteral("下载整理")});
    EXPECT_EQ(offered, (QStringList{"下载整理", "照片", "询问"}));  // file plans only
    std::vector<WatchedFolder> stored = LoadWatchedFolders(m_ini);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].folder, m_dir / "in");
    EXPECT_EQ(stored[0].plans, (std::vector<std::string>{"照片", "下载整理"}));
    EXPECT_FALSE(stored[0].on);
    EXPECT_FALSE(IsFile(entry));
    EXPECT_TRUE(WatcherProcess::calls().empty());

    // On: stored, the login entry written, the watcher started for this file.
    Switch(dialog, 0, true);
    EXPECT_TRUE(LoadWatchedFolders(m_ini).at(0).on);
    EXPECT_EQ(ReadFile(entry),
              "[Desktop Entry]\nType=Application\nName=Zanfeld 自动分拣\n"
              "Exec=zanfeld-cli watch --from-settings --settings=" +
                  m_ini + "\nX-GNOME-Autostart-enabled=true\nNoDisplay=true\n");
    ASSERT_EQ(WatcherProcess::calls().size(), 1u);
    EXPECT_TRUE(WatcherProcess::calls()[0].start);
    EXPECT_EQ(WatcherProcess::calls()[0].argv,
              (std::vector<std::string>{m_dir / "bin/zanfeld-cli", "watch", "--from-settings",
                                        "--settings=" + m_ini}));
    EXPECT_TRUE(Find<QLabel>(&dialog, "LblWatcher")->text().contains(QStringLiteral("正在运行")));

    // A deeper walk while it runs: stored, and the watcher started again on it.
    Find<QSpinBox>(&dialog, "SpnDepth")->setValue(2);
    EXPECT_EQ(LoadWatchedFolders(m_ini).at(0).depth, 2);
    ASSERT_EQ(WatcherProcess::calls().size(), 3u);
    EXPECT_FALSE(WatcherProcess::calls()[1].start);
    EXPECT_EQ(WatcherProcess::calls()[1].settingsPath, m_ini);
    EXPECT_TRUE(WatcherProcess::calls()[2].start);

    // The last one off: the watcher stopped, the entry gone.
    Switch(dialog, 0, false);
    EXPECT_FALSE(LoadWatchedFolders(m_ini).at(0).on);
    ASSERT_EQ(WatcherProcess::calls().size(), 4u);
    EXPECT_FALSE(WatcherProcess::calls()[3].start);
    EXPECT_FALSE(IsFile(entry));
    EXPECT_EQ(WatcherProcess::running(m_ini), 0);
    EXPECT_TRUE(Find<QLabel>(&dialog, "LblWatcher")->text().contains(QStringLiteral("没有运行")));
    EXPECT_TRUE(BoxTexts().empty());
}

// A plan that asks about a same-name file cannot be watched: nobody is there
// to answer. The refusal names the answer that suits, and nothing is stored.
TEST_F(AutoSortDialogTest, APlanThatAsksIsRefused) {
    AutoSortDialog dialog(m_ini);
    dialog.load(nullptr);
    AddFolder(dialog, {QStringLiteral("下载整理"), QStringLiteral("询问")});
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_TRUE(BoxTexts()[0].contains(QStringLiteral("询问")));
    EXPECT_TRUE(BoxTexts()[0].contains(QStringLiteral("相同则跳过")));
    EXPECT_TRUE(LoadWatchedFolders(m_ini).empty());
    EXPECT_EQ(Find<QTableWidget>(&dialog, "TblWatch")->rowCount(), 0);

    EXPECT_TRUE(WatcherProcess::calls().empty());
}

// The watcher's batches are marked in the record of runs, and the newest
// one is told in the dialog.
TEST_F(AutoSortDialogTest, TheWatchersRunsAreMarked) {
    RunJournal journal;
    ASSERT_EQ(journal.open(m_dir / "journal.sqlite"), 0);
    for (const bool automatic : {false, true, false}) {
        JournalRun run;
        run.outputDir = m_dir / "out/";
        run.automatic = automatic;
        const int64_t id = journal.beginRun(run);
        journal.endRun(id, JournalEnd{JournalEndKind::Finished, {}},
                       JournalCounts{automatic ? 7 : 1, 0, 0, 0, 0});
    }
    RunHistoryDialog history;
    history.load(journal);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(history.TblRuns->item(row, 3)->text().contains(QStringLiteral("自动")), row == 1);

    AutoSortDialog dialog(m_ini);
    dialog.load(&journal);
    EXPECT_TRUE(
        Find<QLabel>(&dialog, "LblLastBatch")->text().contains(QStringLiteral("放置了 7 个文件")));
}

}  // namespace
}  // namespace zanfeld::test
