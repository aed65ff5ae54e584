#pragma once

// Shared by the window tests: a QApplication for the whole test program, the
// seams switched to scripted answers, and small helpers.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QString>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "AppSetup.h"
#include "FilePickers.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "SortWindow.h"

namespace zanfeld::test {

class QtAppEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zanfeld_ui_test";
        static char* argv[] = {name, nullptr};
        // The offscreen platform notes every fixed-size window; that is noise here.
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (message.contains(QLatin1String("propagateSizeHints"))) return;
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
            });
        // The run journal and the Trash of the windows' runs go to a folder
        // of the test program's own, never to the user's.
        char pattern[] = "/tmp/zanfeld-ui-home-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            m_home = made;
            setenv("XDG_STATE_HOME", (m_home + "/state").c_str(), 1);
            setenv("XDG_DATA_HOME", (m_home + "/data").c_str(), 1);
        }
        m_app = new QApplication(argc, argv);
        SetUpApplication(*m_app);
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
        if (!m_home.empty()) std::system(("rm -rf '" + m_home + "'").c_str());
    }

  private:
    QApplication* m_app = nullptr;
    std::string m_home;
};

inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

// Every test starts and ends with scripted boxes and choosers and no dialog script.
class UiTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetSeams(true); }
    void TearDown() override { ResetSeams(false); }

    static void ResetSeams(bool scripted) {
        MessageBoxes::setScripted(scripted);
        FilePickers::setScripted(scripted);
        ModalDialogs::setScript({});
    }

    // The texts of the boxes shown so far.
    static std::vector<QString> BoxTexts() {
        std::vector<QString> texts;
        for (const auto& box : MessageBoxes::shown()) texts.push_back(box.text);
        return texts;
    }
};

// Finds a widget by its object name; a missing one fails the test at once.
template <typename T>
T* Find(const QObject* root, const char* name) {
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        ADD_FAILURE() << "no widget named " << name;
        throw std::runtime_error(std::string("no widget named ") + name);
    }
    return found;
}

// Lets events run until the condition holds or the time is up (for work the
// toolkit does on its own threads, such as file-system models and sockets).
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Types keys into a box as a person's keyboard does: the box is given the
// focus (as a click into it would) and the keys go to the widget that then
// holds it. For an editable combo box that is the box itself, not its line edit.
inline void TypeInto(QWidget* box, const char* keys) {
    box->setFocus(Qt::MouseFocusReason);
    QWidget* focused = box->window()->focusWidget();
    ASSERT_TRUE(focused && (focused == box || box->isAncestorOf(focused)))
        << "the focus did not go into " << qPrintable(box->objectName());
    QTest::keyClicks(focused, QString::fromLatin1(keys));
}

// Whether an input method would be offered text for the box while it has the
// focus (the platform asks the focused widget, as here).
inline bool TakesInputMethod(QWidget* box) {
    box->setFocus(Qt::MouseFocusReason);
    QWidget* focused = box->window()->focusWidget();
    if (!focused || (focused != box && !box->isAncestorOf(focused))) {
        ADD_FAILURE() << "the focus did not go into " << qPrintable(box->objectName());
        return true;
    }
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focused, &query);
    return query.value(Qt::ImEnabled).toBool();
}

// What a running sort locks in its window, as seen at one moment.
struct LockState {
    bool startEnabled;
    bool pagesEnabled;
    bool chooserEnabled;
    bool outDirReadOnly;
    bool waitCursor;
};

inline LockState LocksOf(const QWidget& window) {
    const QCursor* cursor = QApplication::overrideCursor();
    return {Find<QPushButton>(&window, "BtnCopy")->isEnabled(),
            Find<QTabWidget>(&window, "PageControl1")->isEnabled(),
            Find<QPushButton>(&window, "Button3")->isEnabled(),
            Find<QLineEdit>(&window, "EdtOutDir")->isReadOnly(),
            cursor != nullptr && cursor->shape() == Qt::WaitCursor};
}

inline void ExpectLocked(const LockState& s) {
    EXPECT_FALSE(s.startEnabled);
    EXPECT_FALSE(s.pagesEnabled);
    EXPECT_FALSE(s.chooserEnabled);
    EXPECT_TRUE(s.outDirReadOnly);
    EXPECT_TRUE(s.waitCursor);
}

inline void ExpectUnlocked(const LockState& s) {
    EXPECT_TRUE(s.startEnabled);
    EXPECT_TRUE(s.pagesEnabled);
    EXPECT_TRUE(s.chooserEnabled);
    EXPECT_FALSE(s.outDirReadOnly);
    EXPECT_FALSE(s.waitCursor);
}

// The result, mode and progress groups both windows share, with the same-name
// answers from left to right.
inline void ExpectSharedResultControls(const QWidget& window) {
    EXPECT_EQ(Find<QGroupBox>(&window, "GroupBox3")->title(), QStringLiteral("分拣结果"));
    EXPECT_EQ(Find<QGroupBox>(&window, "GroupBox2")->title(), QStringLiteral("分拣方式"));
    EXPECT_EQ(Find<QGroupBox>(&window, "GroupBox4")->title(), QStringLiteral("分拣进度"));
    EXPECT_EQ(Find<QLabel>(&window, "Label1")->text(), QStringLiteral("分拣结果输出到："));
    EXPECT_EQ(Find<QLabel>(&window, "Label2")->text(),
              QStringLiteral("目标文件夹下存在同名文件时："));
    const char* policies[] = {"RbOverwrite", "RbAsk",          "RbSkip",
                              "RbRename",    "RbEditFileTime", "RbIdentical"};
    const char* policyTexts[] = {
        "覆盖", "询问", "跳过", "自动编号文件名", "按文件修改时间只替换旧文件", "相同则跳过"};
    int lastX = -1;
    for (int i = 0; i < 6; ++i) {
        auto* rb = Find<QRadioButton>(&window, policies[i]);
        EXPECT_EQ(rb->text(), QString::fromUtf8(policyTexts[i]));
        const int x = rb->mapTo(&window, QPoint(0, 0)).x();
        EXPECT_GT(x, lastX) << policies[i];
        lastX = x;
    }
}

// How a sorting window shares out its height, and whether its page tabs can
// be read in full at the smallest width it can be given.
inline void ExpectListGrowsAndTabsStayReadable(QWidget& window) {
    window.show();
    QCoreApplication::processEvents();
    auto* list = Find<QWidget>(&window, "ListBox1");
    auto* pages = Find<QTabWidget>(&window, "PageControl1");
    const QTabBar* bar = pages->tabBar();
    // The tabs as wide as they are with room to spare (the default width).
    std::map<int, int> roomyWidths;
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->isTabVisible(i)) roomyWidths[i] = bar->tabRect(i).width();
    }

    // Taller: the list takes the added height, the pages keep theirs.
    const int listHeight = list->height();
    const int pagesHeight = pages->height();
    window.resize(window.width(), window.height() + 240);
    QCoreApplication::processEvents();
    EXPECT_NEAR(list->height(), listHeight + 240, 2);
    EXPECT_EQ(pages->height(), pagesHeight);

    // As narrow as it goes: every tab whole, as wide as with room, in view.
    window.resize(1, window.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(window.width(), window.minimumWidth());
    for (const auto& [i, roomy] : roomyWidths) {
        const QRect tab = bar->tabRect(i);
        const QString text = bar->tabText(i);
        EXPECT_EQ(tab.width(), roomy) << qPrintable(text);
        EXPECT_GE(tab.width(), bar->fontMetrics().horizontalAdvance(text)) << qPrintable(text);
        EXPECT_TRUE(QRegion(tab).subtracted(bar->visibleRegion()).isEmpty()) << qPrintable(text);
    }
    for (const QToolButton* scroll : bar->findChildren<QToolButton*>()) {
        EXPECT_FALSE(scroll->isVisible()) << "the tab bar scrolls";
    }
}

// The texts of every label on a page.
inline QStringList LabelTexts(const QWidget* page) {
    QStringList texts;
    for (const QLabel* label : page->findChildren<QLabel*>()) texts << label->text();
    return texts;
}

// Every value a window's bar takes during a run, with the locks at that moment.
struct BarWatch {
    explicit BarWatch(QWidget& window) {
        QObject::connect(Find<QProgressBar>(&window, "ProgressBar1"), &QProgressBar::valueChanged,
                         &window, [this, &window](int value) {
                             values.push_back(value);
                             locks.push_back(LocksOf(window));
                         });
    }
    std::vector<int> values;
    std::vector<LockState> locks;
};

inline QString Q(const std::string& native) {
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
}

}  // namespace zanfeld::test

namespace zanfeld::test {

// Presses the window's start button (or another that starts a run, such as
// BtnUndo) and lets events run until the run has ended, as its runFinished
// signal tells. A run that never ends fails the
// test after a minute rather than hanging it.
inline void StartRunAndWait(SortWindow& window, const char* button = "BtnCopy") {
    bool ended = false;
    QEventLoop loop;
    const auto connection = QObject::connect(&window, &SortWindow::runFinished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        ADD_FAILURE() << "the run did not end within a minute";
        loop.quit();
    });
    Find<QPushButton>(&window, button)->click();
    if (!ended) {
        watchdog.start(60000);
        loop.exec();
    }
    QObject::disconnect(connection);
}

}  // namespace zanfeld::test
