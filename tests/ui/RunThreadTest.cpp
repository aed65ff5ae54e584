// Runs on their worker thread: the window that stays alive, 停止, the status
// line, closing during a run, and the same-name question with its answers for
// the rest of a run.

#include <QAbstractButton>
#include <QDateTime>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <memory>
#include <optional>

#include "AppWindows.h"
#include "FaultySys.h"
#include "FileChecks.h"
#include "LanguageTexts.h"
#include "PlanTableModel.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "RunHistoryDialog.h"
#include "RunJournal.h"
#include "ScopedEnv.h"
#include "SharedJournal.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

constexpr size_t kMiB = 1024 * 1024;

// Counts the events of some types a widget receives.
class EventCounter : public QObject {
  public:
    explicit EventCounter(QWidget& widget) { widget.installEventFilter(this); }
    int count(QEvent::Type type) const {
        auto it = m_counts.find(type);
        return it == m_counts.end() ? 0 : it->second;
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        ++m_counts[event->type()];
        return false;
    }

  private:
    std::map<QEvent::Type, int> m_counts;
};

class RunThreadTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        // A journal of this test's own, so that undo meets no other test's runs.
        m_stateHome.emplace("XDG_STATE_HOME", m_dir / "state");
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
        form = &m_windows->fileWindow();
        src = m_dir / "src";
        out = m_dir / "out";
        MakeDir(out);
        W<QTabWidget>("PageControl1")->setCurrentIndex(2);  // by type
        W<QLineEdit>("EdtOutDir")->setText(Q(out + "/"));
    }
    void TearDown() override {
        m_windows.reset();
        m_stateHome.reset();
        UiTest::TearDown();
    }

    template <typename T>
    T* W(const char* name) {
        return Find<T>(form, name);
    }

    // Lists files with the given contents through the add-files button.
    void AddFiles(const std::vector<std::pair<std::string, std::string>>& files) {
        QStringList paths;
        for (const auto& [name, content] : files) {
            WriteFile(src + "/" + name, content, 2'000'000'000);
            paths << Q(src + "/" + name);
        }
        FilePickers::queueAnswer(paths);
        W<QPushButton>("Button1")->click();
    }

    // Runs action on the window's thread from the run's thread, and waits for
    // it: what a user does while the run is at that very step.
    void OnWindow(const std::function<void()>& action) {
        QMetaObject::invokeMethod(form, action, Qt::BlockingQueuedConnection);
    }

    QString Status() { return W<QLabel>("LblStatus")->text(); }

    // Presses button of window and waits for the run it starts, noting into
    // seen the status line each time the run is about to make op.
    void RunNotingStatus(SortWindow& window, const char* button, SysOp op, QStringList& seen) {
        FaultySys faulty;
        faulty.beforeCall(
            op, [&] { OnWindow([&] { seen << Find<QLabel>(&window, "LblStatus")->text(); }); }, 0);
        const ScopedSys scoped(faulty);
        StartRunAndWait(window, button);
    }

    TempDir m_dir;
    std::optional<ScopedEnv> m_stateHome;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* form = nullptr;
    std::string src;
    std::string out;
};

TEST_F(RunThreadTest, TheWindowRepaintsAndResizesWhileTheRunWaitsForAnAnswer) {
    AddFiles({{"a.txt", "new a"}, {"b.txt", "new b"}});
    WriteFile(out + "/.txt/a.txt", "old a", 1'000'000'000);
    W<QRadioButton>("RbAsk")->setChecked(true);
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), QStringLiteral("列表中共有 2 个文件"));

    EventCounter events(*form);
    QSize during;
    bool stopEnabled = false;
    QString statusAtBox;
    LockState locks{};
    QString statusAtEnd;
    MessageBoxes::setHook([&](const MessageBoxes::Shown& box) {
        if (box.kind != MessageBoxes::Kind::Question) {
            statusAtEnd = Status();
            return;
        }
        // The run waits for the answer; the window goes on living.
        form->resize(form->width() + 40, form->height() + 30);
        form->update();
        QCoreApplication::processEvents();
        during = form->size();
        stopEnabled = W<QPushButton>("BtnStop")->isEnabled();
        statusAtBox = Status();
        locks = LocksOf(*form);
    });
    const QSize before = form->size();
    MessageBoxes::queueAnswer(true);
    StartRunAndWait(*form);

    EXPECT_EQ(during, before + QSize(40, 30));
    EXPECT_GE(events.count(QEvent::Resize), 1);
    EXPECT_GE(events.count(QEvent::Paint), 1);
    EXPECT_TRUE(stopEnabled);
    ExpectLocked(locks);
    EXPECT_EQ(statusAtBox, QStringLiteral("正在复制 a.txt · 第 1 / 2 个文件"));
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "new a");
    EXPECT_EQ(BoxTexts().back(), QStringLiteral("分拣工作完成！"));

    // From the completion box on, the status line tells the run's counts,
    // and keeps them until the list changes; the stop button is off.
    const QString summary =
        QStringLiteral("分拣完成：已放置 1 个，跳过 0 个，改名 0 个，覆盖 1 个，失败 0 个");
    EXPECT_EQ(statusAtEnd, summary);
    EXPECT_FALSE(W<QPushButton>("BtnStop")->isEnabled());
    EXPECT_EQ(Status(), summary);
    W<QPushButton>("Button6")->click();
    EXPECT_EQ(Status(), QStringLiteral("列表中共有 0 个文件"));
}

TEST_F(RunThreadTest, StopInsideALargeCopyLeavesNoPartCopyAndTheSourceWhole) {
    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        const std::string film = Pattern(80 * kMiB, 3);
        AddFiles({{"电影.mkv", film}, {"later.mkv", "later"}});
        W<QRadioButton>(move ? "RbMove" : "RbCopy")->setChecked(true);
        W<QRadioButton>("RbOverwrite")->setChecked(true);

        FaultySys faulty;
        // A move that meets another file system copies too.
        if (move) faulty.moveAcrossDevices();
        QString statusInCopy;
        // The user presses 停止 once the first 32 MiB are through.
        faulty.beforeCall(
            SysOp::CopyFileRange,
            [&] {
                OnWindow([&] {
                    statusInCopy = Status();
                    W<QPushButton>("BtnStop")->click();
                    EXPECT_FALSE(W<QPushButton>("BtnStop")->isEnabled());
                });
            },
            2);
        {
            const ScopedSys scoped(faulty);
            StartRunAndWait(*form);
        }

        EXPECT_TRUE(statusInCopy.startsWith(
            (move ? QStringLiteral("正在移动") : QStringLiteral("正在复制")) +
            QStringLiteral(" 电影.mkv（32.0 MB / 80.0 MB）· 第 1 / 2 个文件")))
            << statusInCopy.toStdString();
        ASSERT_FALSE(MessageBoxes::shown().empty());
        EXPECT_EQ(BoxTexts().back(),
                  QStringLiteral(
                      "分拣已停止。\n\n已放置 0 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个。"));
        EXPECT_EQ(ReadFile(src + "/电影.mkv"), film);
        EXPECT_EQ(ReadFile(src + "/later.mkv"), "later");
        // Nothing under the target name, and no hidden part-copy beside it.
        EXPECT_EQ(Names(out + "/.mkv"), std::vector<std::string>{});
        EXPECT_EQ(W<QProgressBar>("ProgressBar1")->value(), 0);
        ExpectUnlocked(LocksOf(*form));
        EXPECT_TRUE(Status().startsWith(QStringLiteral("分拣已停止：已放置 0 个")));

        W<QPushButton>("Button6")->click();
        MessageBoxes::clearShown();
    }
}

TEST_F(RunThreadTest, StopBetweenFilesLetsTheCurrentMoveFinishAndLeavesTheRest) {
    AddFiles({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
    W<QRadioButton>("RbMove")->setChecked(true);
    const BarWatch watch(*form);
    FaultySys faulty;
    // 停止 pressed just as the second file is renamed into place.
    faulty.beforeCall(
        SysOp::Rename, [&] { OnWindow([&] { W<QPushButton>("BtnStop")->click(); }); }, 2);
    {
        const ScopedSys scoped(faulty);
        StartRunAndWait(*form);
    }
    EXPECT_EQ(BoxTexts(),
              std::vector<QString>{QStringLiteral(
                  "分拣已停止。\n\n已放置 2 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个。")});
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "a");
    EXPECT_EQ(ReadFile(out + "/.txt/b.txt"), "b");
    EXPECT_FALSE(IsFile(src + "/a.txt"));
    EXPECT_FALSE(IsFile(src + "/b.txt"));
    EXPECT_EQ(ReadFile(src + "/c.txt"), "c");
    EXPECT_FALSE(IsFile(out + "/.txt/c.txt"));
    // The bar took its steps for the files placed, then went back to 0
    // without passing through 100.
    EXPECT_EQ(watch.values, (std::vector<int>{33, 0}));
}

TEST_F(RunThreadTest, ClosingDuringARunAsksThenStopsSavesAndCloses) {
    const std::string film = Pattern(80 * kMiB, 5);
    AddFiles({{"电影.mkv", film}});
    form->show();
    QSignalSpy closed(form, &TForm1::closed);

    // First 否: the run goes on to its end and the window stays.
    FaultySys faulty;
    faulty.beforeCall(
        SysOp::CopyFileRange, [&] { OnWindow([&] { form->close(); }); }, 2);
    MessageBoxes::queueAnswer(false);
    {
        const ScopedSys scoped(faulty);
        StartRunAndWait(*form);
    }
    EXPECT_EQ(BoxTexts(), (std::vector<QString>{QStringLiteral("分拣正在进行，是否停止并退出？"),
                                                QStringLiteral("分拣工作完成！")}));
    // Stopping loses work: Enter answers 否.
    EXPECT_EQ(MessageBoxes::shown()[0].byDefault, MessageBoxes::DefaultAnswer::No);
    EXPECT_EQ(ReadFile(out + "/.mkv/电影.mkv"), film);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(form->isVisible());

    // Then 是: the run stops inside the copy, the window saves and closes.
    MessageBoxes::clearShown();
    W<QRadioButton>("RbOverwrite")->setChecked(true);
    WriteFile(out + "/.mkv/电影.mkv", "the older one");
    faulty.reset();
    faulty.beforeCall(
        SysOp::CopyFileRange, [&] { OnWindow([&] { form->close(); }); }, 2);
    MessageBoxes::queueAnswer(true);
    {
        const ScopedSys scoped(faulty);
        StartRunAndWait(*form);
    }
    EXPECT_EQ(BoxTexts().front(), QStringLiteral("分拣正在进行，是否停止并退出？"));
    EXPECT_TRUE(BoxTexts().back().startsWith(QStringLiteral("分拣已停止。")));
    EXPECT_EQ(ReadFile(out + "/.mkv/电影.mkv"), "the older one");
    EXPECT_EQ(Names(out + "/.mkv"), std::vector<std::string>{"电影.mkv"});
    EXPECT_EQ(ReadFile(src + "/电影.mkv"), film);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ReadFile(m_dir / "Zanfeld.ini").find("[Parameter]") != std::string::npos);
}

TEST_F(RunThreadTest, AnswersForTheRestHoldForOneRunOnly) {
    const std::vector<std::string> names{"a.txt", "b.txt", "c.txt", "d.txt"};
    auto prepare = [&] {
        W<QPushButton>("Button6")->click();
        std::vector<std::pair<std::string, std::string>> files;
        for (const std::string& name : names) {
            files.emplace_back(name, "new " + name);
            WriteFile(out + "/.txt/" + name, "old " + name, 1'000'000'000);
        }
        AddFiles(files);
        MessageBoxes::clearShown();
    };
    W<QRadioButton>("RbAsk")->setChecked(true);

    // 全部否 on the first question keeps every file, asking once.
    prepare();
    MessageBoxes::queueAnswer(ReplaceAnswer::NoToAll);
    StartRunAndWait(*form);
    ASSERT_EQ(MessageBoxes::shown().size(), 2u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Question);
    for (const std::string& name : names) EXPECT_EQ(ReadFile(out + "/.txt/" + name), "old " + name);
    EXPECT_EQ(Status(),
              QStringLiteral("分拣完成：已放置 0 个，跳过 4 个，改名 0 个，覆盖 0 个，失败 0 个"));

    // The next run asks again: 否 once, then 全部是 for the rest.
    prepare();
    MessageBoxes::queueAnswer(ReplaceAnswer::No);
    MessageBoxes::queueAnswer(ReplaceAnswer::YesToAll);
    StartRunAndWait(*form);
    EXPECT_EQ(MessageBoxes::shown().size(), 3u);
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "old a.txt");
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_EQ(ReadFile(out + "/.txt/" + names[i]), "new " + names[i]);

    // 停止 in the question keeps that file and ends the run there.
    prepare();
    MessageBoxes::queueAnswer(ReplaceAnswer::Yes);
    MessageBoxes::queueAnswer(ReplaceAnswer::Stop);
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts().back(),
              QStringLiteral(
                  "分拣已停止。\n\n已放置 0 个，跳过 1 个，改名 0 个，覆盖 1 个，失败 0 个。"));
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "new a.txt");
    EXPECT_EQ(ReadFile(out + "/.txt/b.txt"), "old b.txt");
    EXPECT_EQ(ReadFile(out + "/.txt/c.txt"), "old c.txt");
    EXPECT_TRUE(Status().startsWith(QStringLiteral("分拣已停止：")));
}

// The time left counts the run's own work: a question that waits for a long
// answer neither brings it down while open nor lengthens it afterwards.
TEST_F(RunThreadTest, TheTimeLeftStandsStillWhileAQuestionWaits) {
    AddFiles({{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}});
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteFile(out + "/.txt/" + name, "old", 1'000'000'000);
    W<QRadioButton>("RbAsk")->setChecked(true);
    QStringList atQuestion;
    MessageBoxes::setHook([&](const MessageBoxes::Shown& box) {
        if (box.kind != MessageBoxes::Kind::Question) return;
        atQuestion << Status();
        // The first answer takes longer than the whole run's work.
        if (atQuestion.size() == 1) QThread::msleep(2500);
    });
    StartRunAndWait(*form);
    EXPECT_EQ(atQuestion, (QStringList{QStringLiteral("正在复制 a.txt · 第 1 / 3 个文件"),
                                       QStringLiteral("正在复制 b.txt · 第 2 / 3 个文件"),
                                       QStringLiteral("正在复制 c.txt · 第 3 / 3 个文件")}));
}

TEST_F(RunThreadTest, TheQuestionShowsBothFilesWithTheNewerMarked) {
    AddFiles({{"a.txt", std::string(5 * kMiB, 'n')}});
    WriteFile(out + "/.txt/a.txt", "old", 1'000'000'000);
    W<QRadioButton>("RbAsk")->setChecked(true);
    StartRunAndWait(*form);
    ASSERT_FALSE(MessageBoxes::shown().empty());
    const MessageBoxes::Shown& box = MessageBoxes::shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("文件") + Q(out + "/.txt/a.txt") +
                            QStringLiteral("已存在，是否覆盖？"));
    const QString older =
        QDateTime::fromSecsSinceEpoch(1'000'000'000).toString("yyyy-MM-dd HH:mm:ss");
    const QString newer =
        QDateTime::fromSecsSinceEpoch(2'000'000'000).toString("yyyy-MM-dd HH:mm:ss");
    const QString& d = box.details;
    // The existing file's column comes first, then the new one's.
    EXPECT_LT(d.indexOf(QStringLiteral("现有文件")), d.indexOf(QStringLiteral("新文件")));
    EXPECT_LT(d.indexOf(QStringLiteral(">3 字节<")),
              d.indexOf(QStringLiteral(">5.0 MB（5,242,880 字节）<")))
        << qPrintable(d);
    EXPECT_TRUE(d.contains(QStringLiteral(">") + older + QStringLiteral("<"))) << qPrintable(d);
    EXPECT_TRUE(d.contains(QStringLiteral(">") + newer + QStringLiteral("（较新）<")))
        << qPrintable(d);
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "old");  // no answer is No
}

TEST_F(RunThreadTest, EnterOrEscapeOnTheQuestionKeepsTheFile) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        ReplaceQuestion question(nullptr, QStringLiteral("文件/x/a.txt已存在，是否覆盖？"), {});
        QMessageBox& box = question.box();
        box.show();
        QCoreApplication::processEvents();
        QTest::keyClick(&box, key);
        EXPECT_EQ(question.answerOf(box.clickedButton()), ReplaceAnswer::No) << key;
    }

    ReplaceQuestion question(nullptr, QStringLiteral("文件/x/a.txt已存在，是否覆盖？"), {});
    QMessageBox& box = question.box();
    EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) texts << b->text();
    // 是 and 否 come from Qt's own Chinese catalogue.
    for (const QString& text :
         {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("全部是(&A)"),
          QStringLiteral("全部否(&O)"), QStringLiteral("停止(&S)")})
        EXPECT_TRUE(texts.contains(text)) << qPrintable(texts.join(' '));
    EXPECT_EQ(question.answerOf(box.button(QMessageBox::Yes)), ReplaceAnswer::Yes);
    EXPECT_EQ(question.answerOf(box.button(QMessageBox::YesToAll)), ReplaceAnswer::YesToAll);
    EXPECT_EQ(question.answerOf(box.button(QMessageBox::NoToAll)), ReplaceAnswer::NoToAll);
}

// In either language the answers read 是, 全部是, 否, 全部否 from left to
// right, and 停止 stands apart after them; a plain question that can lose
// work answers 否 to Enter, the undo's question 是.
TEST_F(RunThreadTest, TheQuestionsButtonsReadInOrderAndEnterLosesNothing) {
    for (const char* language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language);
        LanguageScope scope(language);
        ASSERT_TRUE(scope.loaded() || language == kChinese);
        ReplaceQuestion question(nullptr, QStringLiteral("question"), {});
        QMessageBox& box = question.box();
        box.show();
        QCoreApplication::processEvents();
        const std::vector<QAbstractButton*> order = {
            box.button(QMessageBox::Yes), box.button(QMessageBox::YesToAll),
            box.button(QMessageBox::No), box.button(QMessageBox::NoToAll),
            box.findChild<QAbstractButton*>(QStringLiteral("BtnStopRun"))};
        std::vector<int> gaps;
        for (size_t i = 1; i < order.size(); ++i) {
            ASSERT_NE(order[i], nullptr) << i;
            const QRect before(order[i - 1]->mapTo(&box, QPoint()), order[i - 1]->size());
            const int left = order[i]->mapTo(&box, QPoint()).x();
            EXPECT_EQ(order[i]->mapTo(&box, QPoint()).y(), before.y()) << i;
            gaps.push_back(left - before.right());
        }
        for (size_t i = 0; i + 1 < gaps.size(); ++i) EXPECT_GT(gaps[i], 0) << i;
        EXPECT_GT(gaps.back(), 2 * *std::max_element(gaps.begin(), gaps.end() - 1));
        box.hide();

        for (const auto [byDefault, answer] :
             {std::pair{MessageBoxes::DefaultAnswer::No, QMessageBox::No},
              std::pair{MessageBoxes::DefaultAnswer::Yes, QMessageBox::Yes}}) {
            const auto plain = MessageBoxes::makeBox(MessageBoxes::Kind::Question, nullptr,
                                                     QStringLiteral("question"), byDefault);
            plain->show();
            QCoreApplication::processEvents();
            QTest::keyClick(plain.get(), Qt::Key_Return);
            EXPECT_EQ(plain->clickedButton(), plain->button(answer));
        }
    }
}

TEST_F(RunThreadTest, AWindowRunIsJournalledAndKeepsTheFileItReplacesInTheTrash) {
    AddFiles({{"a.txt", "new a"}, {"b.txt", "new b"}});
    WriteFile(out + "/.txt/a.txt", "old a", 1'000'000'000);
    W<QRadioButton>("RbOverwrite")->setChecked(true);
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts().back(), QStringLiteral("分拣工作完成！"));
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "new a");

    RunJournal& journal = m_windows->journal().get();
    ASSERT_TRUE(journal.ok());
    const std::vector<JournalRun> runs = journal.runs(0);
    ASSERT_FALSE(runs.empty());
    const JournalRun& run = runs.front();
    EXPECT_EQ(run.window, RunWindow::Files);
    EXPECT_EQ(run.outputDir, out + "/");
    ASSERT_TRUE(run.end);
    EXPECT_EQ(run.end->kind, JournalEndKind::Finished);
    EXPECT_EQ(run.counts.overwritten, 1);
    EXPECT_EQ(run.counts.placed, 1);
    const std::vector<JournalPlacement> placements = journal.placements(run.id);
    ASSERT_EQ(placements.size(), 2u);
    EXPECT_EQ(placements[0].source, src + "/a.txt");
    EXPECT_EQ(placements[0].target, out + "/.txt/a.txt");
    EXPECT_EQ(placements[0].outcome.result, PlacementResult::Overwritten);
    // The replaced file is whole in the Trash, where the journal says.
    const std::string trashed = placements[0].outcome.trashedPath;
    const std::string files = std::string(getenv("XDG_DATA_HOME")) + "/Trash/files/a";
    EXPECT_EQ(trashed.rfind(files, 0), 0u) << trashed;  // numbered when others came first
    EXPECT_EQ(ReadFile(trashed), "old a");
    EXPECT_EQ(placements[1].outcome.result, PlacementResult::Placed);
}

TEST_F(RunThreadTest, UndoPutsTheLastRunBackAndTheRecordListsIt) {
    AddFiles({{"a.txt", "new a"}, {"b.txt", "new b"}});
    WriteFile(out + "/.txt/a.txt", "old a", 1'000'000'000);
    W<QRadioButton>("RbMove")->setChecked(true);
    W<QRadioButton>("RbOverwrite")->setChecked(true);
    StartRunAndWait(*form);
    ASSERT_FALSE(IsFile(src + "/a.txt"));

    // 撤销上次分拣: asked with the counts, then put back. The status line
    // tells the undo's own steps, and from its closing message on its counts.
    MessageBoxes::clearShown();
    MessageBoxes::queueAnswer(true);
    QStringList during;
    QString statusAtEnd;
    MessageBoxes::setHook([&](const MessageBoxes::Shown&) { statusAtEnd = Status(); });
    RunNotingStatus(*form, "BtnUndo", SysOp::Rename, during);
    MessageBoxes::setHook({});
    ASSERT_FALSE(during.empty());
    EXPECT_EQ(during.front(), QStringLiteral("正在撤销 b.txt · 第 1 / 2 个文件"));
    const QString undone = QStringLiteral("撤销完成：移回 2 个，移除 0 个，恢复 1 个，未撤销 0 个");
    EXPECT_EQ(statusAtEnd, undone);
    EXPECT_EQ(Status(), undone);
    ASSERT_EQ(MessageBoxes::shown().size(), 2u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Question);
    // An undo loses nothing: Enter goes ahead.
    EXPECT_EQ(MessageBoxes::shown()[0].byDefault, MessageBoxes::DefaultAnswer::Yes);
    EXPECT_TRUE(MessageBoxes::shown()[0].text.contains(
        QStringLiteral("移回 2 个文件，删除 0 个副本，从回收站恢复 1 个文件。")))
        << MessageBoxes::shown()[0].text.toStdString();
    EXPECT_TRUE(BoxTexts().back().startsWith(QStringLiteral("撤销完成！")))
        << BoxTexts().back().toStdString();
    EXPECT_EQ(ReadFile(src + "/a.txt"), "new a");
    EXPECT_EQ(ReadFile(src + "/b.txt"), "new b");
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "old a");
    EXPECT_FALSE(IsFile(out + "/.txt/b.txt"));
    EXPECT_TRUE(W<QPushButton>("BtnUndo")->isEnabled());

    // The record lists the undo above the run, as an undo with its own
    // counts, neither to be undone again.
    QStringList states;
    std::vector<bool> undoable;
    ModalDialogs::setScript([&](QDialog& dialog) {
        auto& history = static_cast<RunHistoryDialog&>(dialog);
        for (int row = 0; row < history.TblRuns->rowCount(); ++row) {
            states << history.TblRuns->item(row, 2)->text() + "|" +
                          history.TblRuns->item(row, 3)->text() + "|" +
                          history.TblRuns->item(row, 5)->text() + "|" +
                          history.TblRuns->item(row, 6)->text();
            history.TblRuns->selectRow(row);
            undoable.push_back(history.BtnUndoRun->isEnabled());
        }
        return static_cast<int>(QDialog::Rejected);
    });
    W<QPushButton>("BtnHistory")->click();
    ASSERT_EQ(states.size(), 2);
    EXPECT_EQ(states[0], QStringLiteral("撤销|撤销|移回 2，移除 0，恢复 1，未撤销 0|完成"));
    EXPECT_EQ(states[1], QStringLiteral("按文件类型分拣|移动|已放置 1，跳过 0，改名 0，覆盖 1，"
                                        "失败 0|完成，已撤销"));
    EXPECT_FALSE(undoable[0]);
    EXPECT_FALSE(undoable[1]);

    MessageBoxes::clearShown();
    W<QPushButton>("BtnUndo")->click();  // nothing left to undo: no run starts
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("没有可以撤销的分拣。")});
    EXPECT_EQ(Status(), undone);

    // The folder window's undo takes away copied files, not folders.
    TForm6& folders = m_windows->folderWindow();
    WriteFile(m_dir / "dirs/trip/f.txt", "f");
    FilePickers::queueAnswer({Q(m_dir / "dirs/trip")});
    Find<QPushButton>(&folders, "Button1")->click();
    Find<QTabWidget>(&folders, "PageControl1")->setCurrentIndex(1);
    Find<QLineEdit>(&folders, "EdtOutDir")->setText(Q(out));
    StartRunAndWait(folders);
    MessageBoxes::queueAnswer(true);
    during.clear();
    RunNotingStatus(folders, "BtnUndo", SysOp::Unlink, during);
    ASSERT_FALSE(during.empty());
    EXPECT_EQ(during.front(), QStringLiteral("正在撤销 f.txt · 第 1 / 1 个文件"));
    EXPECT_EQ(Find<QLabel>(&folders, "LblStatus")->text(),
              QStringLiteral("撤销完成：移回 0 个，移除 1 个，恢复 0 个，未撤销 0 个"));
}

TEST_F(RunThreadTest, PreviewShowsThePlanAndTouchesNothing) {
    // Refused as a run would be, with the same message and no window.
    StartRunAndWait(*form, "BtnPreview");
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("没有需要分拣的文件!")});
    EXPECT_EQ(form->findChild<PreviewWindow*>(QStringLiteral("PreviewWindow")), nullptr);

    MessageBoxes::clearShown();
    AddFiles({{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.doc", "c"}});
    WriteFile(out + "/.txt/a.txt", "old a", 1'000'000'000);
    W<QRadioButton>("RbMove")->setChecked(true);
    W<QRadioButton>("RbRename")->setChecked(true);
    StartRunAndWait(*form, "BtnPreview");

    EXPECT_TRUE(MessageBoxes::shown().empty());  // no completion box
    auto* preview = form->findChild<PreviewWindow*>(QStringLiteral("PreviewWindow"));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->model().rowCount(), 3);
    EXPECT_EQ(preview->LblPlanCounts->text(), QStringLiteral("共 3 个文件：移动 2 · 编号 1"))
        << preview->LblPlanCounts->text().toStdString();
    EXPECT_EQ(Status(), QStringLiteral("预览：共 3 个文件：移动 2 · 编号 1"));
    // Nothing moved, nothing made.
    EXPECT_EQ(Names(out), std::vector<std::string>{".txt"});
    EXPECT_EQ(Names(out + "/.txt"), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(IsFile(src + "/a.txt"));
    // The run then does what the plan said.
    StartRunAndWait(*form);
    EXPECT_EQ(ReadFile(out + "/.txt/a_1.txt"), "new a");
    EXPECT_EQ(ReadFile(out + "/.doc/c.doc"), "c");
}

}  // namespace
}  // namespace zanfeld::test
