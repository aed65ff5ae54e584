// The add-type and add-directory dialogs.

#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <set>

#include "AppWindows.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"

namespace zanfeld::test {
namespace {

class AddTypeDialogTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        types.addItem("*.txt");
        dialog = std::make_unique<TfrmSuffix>(&types);
        dialog->show();
        edit = Find<QLineEdit>(dialog.get(), "Edit1");
        add = Find<QPushButton>(dialog.get(), "Button1");
    }

    // Types text, presses 添加; true when the dialog closed.
    bool Enter(const QString& text) {
        if (!dialog->isVisible()) dialog->show();
        dialog->setResult(0);
        edit->setText(text);
        add->click();
        return !dialog->isVisible();
    }
    QStringList Types() const {
        QStringList list;
        for (int i = 0; i < types.count(); ++i) list << types.item(i)->text();
        return list;
    }

    QListWidget types;
    std::unique_ptr<TfrmSuffix> dialog;
    QLineEdit* edit = nullptr;
    QPushButton* add = nullptr;
};

TEST_F(AddTypeDialogTest, ShowsItsCaptionsAndDefaults) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("添加文件类型"));
    EXPECT_EQ(Find<QLabel>(dialog.get(), "Label1")->text(),
              QStringLiteral("输入文件扩展名如:*.txt"));
    EXPECT_EQ(edit->text(), "*.");
    EXPECT_EQ(add->text(), QStringLiteral("添加"));
    EXPECT_TRUE(add->isDefault());
    EXPECT_FALSE(TakesInputMethod(edit));
}

TEST_F(AddTypeDialogTest, AddsTrimmedPatternsWithoutBarsAndCloses) {
    EXPECT_TRUE(Enter(" *.doc \t"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(Enter("*.x|l|s"));
    EXPECT_EQ(Types(), QStringList({"*.txt", "*.doc", "*.xls"}));
    EXPECT_TRUE(MessageBoxes::shown().empty());
    // The box keeps what was typed last.
    EXPECT_EQ(edit->text(), "*.x|l|s");
}

TEST_F(AddTypeDialogTest, PatternListedInAnotherCaseClosesWithoutAdding) {
    EXPECT_TRUE(Enter("*.TXT"));
    EXPECT_EQ(Types(), QStringList({"*.txt"}));
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(AddTypeDialogTest, RefusedPatternsKeepTheDialogOpen) {
    for (const QString& text : {QString("*."), QString("txt"), QString("*.|||"), QString(" | *. "),
                                QString(".txt"), QString("")}) {
        MessageBoxes::clearShown();
        EXPECT_FALSE(Enter(text)) << text.toStdString();
        ASSERT_EQ(MessageBoxes::shown().size(), 1u);
        EXPECT_EQ(MessageBoxes::shown()[0].text, QStringLiteral("输入文件扩展名如:*.txt !"));
        EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
        EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Information);
        EXPECT_EQ(edit->text(), text);
    }
    EXPECT_EQ(Types(), QStringList({"*.txt"}));
}

class WindowDialogsTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
        form = &m_windows->fileWindow();
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }
    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* form = nullptr;
};

TEST_F(WindowDialogsTest, AddTypeButtonOpensTheDialogThatFillsTheTypeList) {
    Find<QCheckBox>(form, "ChkInclude")->click();
    int shown = 0;
    ModalDialogs::setScript([&](QDialog& dialog) {
        ++shown;
        EXPECT_EQ(&dialog, &m_windows->addTypeDialog());
        dialog.show();
        Find<QLineEdit>(&dialog, "Edit1")->setText("*.jpg");
        Find<QPushButton>(&dialog, "Button1")->click();
        return dialog.result();
    });
    Find<QPushButton>(form, "BtnAddSuffix")->click();
    EXPECT_EQ(shown, 1);
    auto* types = Find<QListWidget>(form, "ListBox2");
    ASSERT_EQ(types->count(), 1);
    EXPECT_EQ(types->item(0)->text(), "*.jpg");
}

TEST_F(WindowDialogsTest, AboutButtonShowsTheAboutBox) {
    QDialog* seen = nullptr;
    ModalDialogs::setScript([&](QDialog& dialog) {
        seen = &dialog;
        return int(QDialog::Accepted);
    });
    Find<QPushButton>(form, "BtnAout")->click();
    EXPECT_EQ(seen, static_cast<QDialog*>(&m_windows->aboutBox()));
}

class AddDirectoryDialogTest : public UiTest {
  protected:
    TempDir m_dir;
    TForm3 dialog;
};

TEST_F(AddDirectoryDialogTest, ShowsItsControlsAndDefaults) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择要添加的目录（文件夹）"));
    EXPECT_TRUE(Find<QCheckBox>(&dialog, "ChkOtHidden")->isChecked());
    EXPECT_EQ(Find<QCheckBox>(&dialog, "ChkOtHidden")->text(),
              QStringLiteral("不显示隐藏的文件夹"));
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>(&dialog, "CheckBox1")->text(),
              QStringLiteral("添加包括选定文件夹下的所有子文件夹中的文件"));
    EXPECT_FALSE(Find<QCheckBox>(&dialog, "CheckBox2")->isChecked());
    EXPECT_EQ(Find<QCheckBox>(&dialog, "CheckBox2")->text(),
              QStringLiteral("添加包括选定文件夹下"));
    auto* depth = Find<QComboBox>(&dialog, "ComboBox1");
    EXPECT_TRUE(depth->isEditable());
    EXPECT_FALSE(depth->isEnabled());
    EXPECT_EQ(depth->currentText(), "1");
    ASSERT_EQ(depth->count(), 3);
    EXPECT_EQ(depth->itemText(2), "3");
    EXPECT_EQ(Find<QLabel>(&dialog, "Label1")->text(), QStringLiteral("级子目录中所有文件"));
    EXPECT_EQ(Find<QPushButton>(&dialog, "BitBtn1")->text(), QStringLiteral("确定"));
    EXPECT_TRUE(Find<QPushButton>(&dialog, "BitBtn1")->isDefault());
    EXPECT_EQ(Find<QPushButton>(&dialog, "BitBtn2")->text(), QStringLiteral("取消"));
    EXPECT_NE(Find<QTreeView>(&dialog, "ShellTreeView1"), nullptr);
}

TEST_F(AddDirectoryDialogTest, TheTwoWaysDownAreExclusiveAndEnableTheDepth) {
    auto* all = Find<QCheckBox>(&dialog, "CheckBox1");
    auto* down = Find<QCheckBox>(&dialog, "CheckBox2");
    auto* depth = Find<QComboBox>(&dialog, "ComboBox1");
    down->click();
    EXPECT_TRUE(depth->isEnabled());
    all->click();
    EXPECT_TRUE(all->isChecked());
    EXPECT_FALSE(down->isChecked());
    EXPECT_FALSE(depth->isEnabled());
    down->click();
    EXPECT_FALSE(all->isChecked());
    EXPECT_TRUE(depth->isEnabled());
    down->click();
    EXPECT_FALSE(depth->isEnabled());
    EXPECT_TRUE(dialog.downToDepth() == false && dialog.allSubFolders() == false);
}

TEST_F(AddDirectoryDialogTest, DepthBoxTakesDigitsOnlyFromTheKeyboard) {
    dialog.show();
    auto* depth = Find<QComboBox>(&dialog, "ComboBox1");
    Find<QCheckBox>(&dialog, "CheckBox2")->click();
    depth->setEditText("");
    TypeInto(depth, "ab-1");
    EXPECT_EQ(dialog.depthText(), "1");
    depth->setEditText("");
    TypeInto(depth, "a2-.x5 ");
    EXPECT_EQ(dialog.depthText(), "25");
    QTest::keyClick(depth, Qt::Key_Backspace);
    EXPECT_EQ(dialog.depthText(), "2");
    // Ctrl+A selects all, and the digit typed next replaces it.
    depth->setEditText("12");
    QTest::keyClick(depth, Qt::Key_A, Qt::ControlModifier);
    TypeInto(depth, "x3");
    QTest::keyClick(depth, Qt::Key_Y, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(dialog.depthText(), "3");
    // An input method would bring letters around the filter.
    EXPECT_FALSE(TakesInputMethod(depth));
}

TEST_F(AddDirectoryDialogTest, AnswersWithTheSelectedFolderAndCloses) {
    MakeDir(m_dir / "pick");
    dialog.show();
    dialog.selectPath(m_dir / "pick");
    EXPECT_EQ(dialog.selectedPath(), m_dir / "pick");
    Find<QPushButton>(&dialog, "BitBtn1")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    Find<QPushButton>(&dialog, "BitBtn2")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    dialog.ShellTreeView1->clearSelection();
    EXPECT_EQ(dialog.selectedPath(), "");
}

TEST_F(AddDirectoryDialogTest, HiddenFoldersAppearWhenTheBoxIsUnchecked) {
    MakeDir(m_dir / "visible");
    MakeDir(m_dir / ".hidden");
    QFileSystemModel* model = dialog.ShellModel;
    dialog.show();
    dialog.selectPath(m_dir.path());
    const QModelIndex parent = model->index(Q(m_dir.path()));
    ASSERT_TRUE(parent.isValid());
    auto children = [&] {
        QStringList names;
        const QModelIndex p = model->index(Q(m_dir.path()));
        if (model->canFetchMore(p)) model->fetchMore(p);
        for (int r = 0; r < model->rowCount(p); ++r)
            names << model->index(r, 0, p).data().toString();
        names.sort();
        return names;
    };
    ASSERT_TRUE(WaitUntil([&] { return children() == QStringList({"visible"}); }))
        << children().join(",").toStdString();

    Find<QCheckBox>(&dialog, "ChkOtHidden")->click();
    EXPECT_TRUE(model->filter() & QDir::Hidden);
    ASSERT_TRUE(WaitUntil([&] {
        return children() == QStringList({".hidden", "visible"});
    })) << children().join(",").toStdString();

    Find<QCheckBox>(&dialog, "ChkOtHidden")->click();
    EXPECT_FALSE(model->filter() & QDir::Hidden);
    ASSERT_TRUE(WaitUntil([&] { return children() == QStringList({"visible"}); }))
        << children().join(",").toStdString();
    // Files never show.
    WriteFile(m_dir / "file.txt", "x");
    QCoreApplication::processEvents();
    EXPECT_FALSE(children().contains("file.txt"));
}

// The first showing of the add-directory dialog, with HOME set by each test.
class AddDirectoryHomeTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_hadHome = qEnvironmentVariableIsSet("HOME");
        m_home = qgetenv("HOME");
        // Folders read after the home folder was selected come before it in
        // the tree and push it down, out of view unless it is kept there.
        MakeDir(m_dir / "a");
        for (int i = 0; i < 40; ++i) MakeDir(m_dir / ("a/a" + std::to_string(100 + i)));
        MakeDir(m_dir / "a/b");
        MakeDir(m_dir / "a/b/home");
        MakeDir(m_dir / "a/b/home/sub");
        MakeDir(m_dir / "a/other");
    }
    void TearDown() override {
        if (m_hadHome) {
            qputenv("HOME", m_home);
        } else {
            qunsetenv("HOME");
        }
        UiTest::TearDown();
    }

    // Shows the dialog and waits until the tree has read every folder above
    // path and sorted what it read.
    static void ShowAndLoadDownTo(TForm3& dialog, const std::string& path) {
        std::set<QString> pending;
        for (QString up = Q(path); up != "/";) {
            up = up.left(std::max<qsizetype>(up.lastIndexOf(u'/'), 1));
            pending.insert(up);
        }
        QObject listening;  // ends the connection with this function
        QObject::connect(dialog.ShellModel, &QFileSystemModel::directoryLoaded, &listening,
                         [&pending](const QString& loaded) { pending.erase(loaded); });
        dialog.show();
        ASSERT_TRUE(WaitUntil([&] { return pending.empty(); })) << pending.begin()->toStdString();
        QTest::qWait(200);  // the model sorts what it read a moment later
    }

    static bool InView(const QTreeView& tree, const QModelIndex& index) {
        const QRect rect = tree.visualRect(index);
        return !rect.isEmpty() && tree.viewport()->rect().contains(rect);
    }

    TempDir m_dir;
    bool m_hadHome = false;
    QByteArray m_home;
};

TEST_F(AddDirectoryHomeTest, FirstShowingOpensTheHomeFolderLaterOnesKeepTheUsersChoice) {
    const std::string home = m_dir / "a/b/home";
    qputenv("HOME", QByteArray::fromStdString(home));
    TForm3 dialog;
    QTreeView* tree = dialog.ShellTreeView1;
    ShowAndLoadDownTo(dialog, home);

    // The tree is still rooted at the top of the file system.
    const QModelIndex top = dialog.ShellModel->index(0, 0, tree->rootIndex());
    EXPECT_EQ(dialog.ShellModel->filePath(top), "/");
    EXPECT_EQ(dialog.selectedPath(), home);
    const QModelIndex homeIndex = dialog.ShellModel->index(Q(home));
    EXPECT_EQ(tree->currentIndex(), homeIndex);
    for (QModelIndex up = homeIndex.parent(); up.isValid(); up = up.parent()) {
        EXPECT_TRUE(tree->isExpanded(up)) << dialog.ShellModel->filePath(up).toStdString();
    }
    // In view once the model has sorted what it read (a moment later, longer
    // on a busy machine), and kept there.
    EXPECT_TRUE(WaitUntil([&] { return InView(*tree, homeIndex); }));

    // The user clicks another folder and confirms; the next showing keeps it.
    const QModelIndex other = dialog.ShellModel->index(Q(m_dir / "a/other"));
    ASSERT_TRUE(other.isValid());
    tree->scrollTo(other);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(other).center());
    EXPECT_EQ(dialog.selectedPath(), m_dir / "a/other");
    Find<QPushButton>(&dialog, "BitBtn1")->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    EXPECT_EQ(dialog.selectedPath(), m_dir / "a/other");
    EXPECT_TRUE(WaitUntil([&] { return InView(*tree, other); }));
}

TEST_F(AddDirectoryHomeTest, WithoutHomeTheAccountsHomeFolderIsOpened) {
    qunsetenv("HOME");
    const struct passwd* pw = ::getpwuid(::getuid());
    if (!pw || !pw->pw_dir || !IsDir(pw->pw_dir) || pw->pw_dir[0] != '/') {
        GTEST_SKIP() << "this account has no home folder";
    }
    std::string home = pw->pw_dir;
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    TForm3 dialog;
    ShowAndLoadDownTo(dialog, home);
    EXPECT_EQ(dialog.selectedPath(), home);
    EXPECT_TRUE(WaitUntil(
        [&] { return InView(*dialog.ShellTreeView1, dialog.ShellModel->index(Q(home))); }));
}

}  // namespace
}  // namespace zanfeld::test
