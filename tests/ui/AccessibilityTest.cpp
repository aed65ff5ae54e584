// What a screen reader and the keyboard find, in Chinese and in English.

#include <QAccessible>
#include <QKeySequence>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "AppWindows.h"
#include "AutoSortDialog.h"
#include "LanguageTexts.h"
#include "PlanPickDialog.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

const QSet<QAccessible::Role> kControls = {QAccessible::PushButton,   QAccessible::CheckBox,
                                           QAccessible::RadioButton,  QAccessible::ComboBox,
                                           QAccessible::EditableText, QAccessible::SpinBox,
                                           QAccessible::List,         QAccessible::Table,
                                           QAccessible::Tree,         QAccessible::PageTab};
const QSet<QAccessible::Role> kComposite = {QAccessible::List, QAccessible::Table,
                                            QAccessible::Tree, QAccessible::ComboBox,
                                            QAccessible::SpinBox};

// The controls below node (a role of kControls, or anything else Tab reaches)
// that neither a label (a buddy, a group's title) nor a name of their own
// names; a combo box's own name is its current item on Linux, so only a
// label names it. The items and parts of composite controls are left out.
void FindUnnamed(QAccessibleInterface* node, QStringList& unnamed, int& controls) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        const auto* widget = qobject_cast<const QWidget*>(child->object());
        if (kControls.contains(child->role()) ||
            (widget && (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())) {
            ++controls;
            bool named = child->role() != QAccessible::ComboBox &&
                         !child->text(QAccessible::Name).trimmed().isEmpty();
            for (const auto& [label, relation] : child->relations(QAccessible::Label))
                named = named || !label->text(QAccessible::Name).trimmed().isEmpty();
            if (!named) unnamed << NameOf(child->object());
        }
        if (!kComposite.contains(child->role())) FindUnnamed(child, unnamed, controls);
    }
}

class AccessibilityTest : public UiTest, public ::testing::WithParamInterface<const char*> {
  protected:
    LanguageScope m_language{GetParam()};
    TempDir m_dir;
};

// Every control of every window and dialog, hidden pages included, has a name.
TEST_P(AccessibilityTest, EveryControlHasAName) {
    ASSERT_TRUE(m_language.loaded() || GetParam() != kEnglish);
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
    const auto expectNamed = [](QWidget* window, int least) {
        ASSERT_NE(window, nullptr);
        QStringList unnamed;
        int controls = 0;
        FindUnnamed(QAccessible::queryAccessibleInterface(window), unnamed, controls);
        EXPECT_GE(controls, least) << qPrintable(NameOf(window));
        EXPECT_EQ(unnamed, QStringList()) << qPrintable(NameOf(window));
    };
    TForm1& files = windows.fileWindow();
    expectNamed(&files, 50);
    expectNamed(&windows.folderWindow(), 30);
    expectNamed(&windows.addDirectoryDialog(), 7);
    expectNamed(&windows.addTypeDialog(), 2);
    expectNamed(&windows.aboutBox(), 2);
    ReplaceQuestion question(nullptr, QStringLiteral("?"), QString());
    expectNamed(&question.box(), 5);
    AutoSortDialog autoSort(m_dir / "Zanfeld.ini");
    expectNamed(&autoSort, 6);
    PlanPickDialog pick({"A", "B"});
    expectNamed(&pick, 3);
    // The preview and the record of runs as the window opens them.
    WriteFile(m_dir / "a.txt", "a");
    FilePickers::queueAnswer({Q(m_dir / "a.txt")});
    Find<QPushButton>(&files, "Button1")->click();
    Find<QLineEdit>(&files, "EdtOutDir")->setText(Q(m_dir / "out"));
    Find<QTabWidget>(&files, "PageControl1")->setCurrentIndex(2);
    StartRunAndWait(files, "BtnPreview");
    expectNamed(files.findChild<PreviewWindow*>(), 4);
    int histories = 0;
    ModalDialogs::setScript([&](QDialog& history) {
        expectNamed(&history, 3);
        ++histories;
        return static_cast<int>(QDialog::Rejected);
    });
    Find<QPushButton>(&files, "BtnHistory")->click();
    EXPECT_EQ(histories, 1);
}

// Tab goes along the button row as it is seen and leaves it after 关于;
// each button has its mnemonic, the same letter in either language. Nothing
// sits under the row but the window's margin.
TEST_P(AccessibilityTest, TheButtonRowGoesLeftToRightWithMnemonics) {
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
    using Row = std::vector<std::pair<const char*, Qt::Key>>;
    const Row folderRow = {{"BtnCopy", Qt::Key_S},    {"BtnPreview", Qt::Key_P},
                           {"BtnStop", Qt::Key_T},    {"BtnUndo", Qt::Key_U},
                           {"BtnHistory", Qt::Key_H}, {"BtnAout", Qt::Key_A}};
    // The file window has 自动分拣 after the record of runs.
    Row fileRow = folderRow;
    fileRow.insert(fileRow.end() - 1, {"BtnAutoSort", Qt::Key_W});
    for (SortWindow* window : {static_cast<SortWindow*>(&windows.fileWindow()),
                               static_cast<SortWindow*>(&windows.folderWindow())}) {
        const Row& row = window == &windows.fileWindow() ? fileRow : folderRow;
        window->show();
        QWidget* strip = Find<QWidget>(window, "Panel1");
        EXPECT_EQ(strip->geometry().bottom() + 1 + window->layout()->contentsMargins().bottom(),
                  window->height());
        window->BtnStop->setEnabled(true);  // as while a run goes
        window->BtnCopy->setFocus();
        for (const auto& [name, key] : row) {
            EXPECT_EQ(NameOf(window->focusWidget()), QString::fromLatin1(name));
            EXPECT_EQ(QKeySequence::mnemonic(Find<QPushButton>(window, name)->text()),
                      QKeySequence(Qt::ALT | key));
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        }
        EXPECT_FALSE(strip->isAncestorOf(window->focusWidget()));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, AccessibilityTest, ::testing::Values(kChinese, kEnglish),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace zanfeld::test
