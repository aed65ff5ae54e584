// The file window's list: the add, remove and clear buttons, the directory
// walk behind the add-directory dialog, list files and dropped files.

#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <memory>

#include "AppWindows.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"

namespace zanfeld::test {
namespace {

using Entries = std::vector<std::string>;

class FileListTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
        form = &m_windows->fileWindow();
        list = Find<QListView>(form, "ListBox1");
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }

    QPushButton* Button(const char* name) { return Find<QPushButton>(form, name); }
    const Entries& entries() { return form->sourceList().entries(); }
    int rows() { return list->model()->rowCount(); }
    QString row(int r) { return list->model()->index(r, 0).data().toString(); }

    // Plays the add-directory dialog: selects folder, sets the boxes, answers.
    void ScriptAddDirectory(const std::string& folder, bool all, bool depth,
                            const QString& depthText, int result = QDialog::Accepted) {
        ModalDialogs::setScript([=](QDialog& dialog) {
            auto& d = dynamic_cast<TForm3&>(dialog);
            d.selectPath(folder);
            Find<QCheckBox>(&d, "CheckBox1")->setChecked(all);
            Find<QCheckBox>(&d, "CheckBox2")->setChecked(depth);
            Find<QComboBox>(&d, "ComboBox1")->setEditText(depthText);
            return result;
        });
    }

    // A drag entering the list, then the drop (Qt delivers a drop only to the
    // widget that accepted the drag).
    void Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &drop);
        EXPECT_TRUE(drop.isAccepted());
    }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* form = nullptr;
    QListView* list = nullptr;
};

TEST_F(FileListTest, AddFilesAppendsEachPathOnceInDialogOrder) {
    const std::string a = m_dir / "a.txt";
    const std::string b = m_dir / "b.txt";
    FilePickers::queueAnswer({Q(b), Q(a), Q(b)});
    Button("Button1")->click();
    EXPECT_EQ(entries(), (Entries{b, a}));
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].kind, FilePickers::Kind::OpenFiles);
    EXPECT_EQ(FilePickers::requests()[0].filter, "*.* (*)");

    FilePickers::queueAnswer({Q(a)});
    Button("Button1")->click();
    Button("Button1")->click();  // cancelled
    EXPECT_EQ(entries(), (Entries{b, a}));
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(row(0), Q(b));
    EXPECT_EQ(row(1), Q(a));
}

// The choosers open where the user last chose something of their sort, else
// at the home folder, never at the program's working folder.
TEST_F(FileListTest, ChoosersOpenAtTheFolderLastChosenElseAtHome) {
    const ScopedEnv home("HOME", m_dir / "home");
    for (const char* folder : {"home", "photos", "out", "gone"}) MakeDir(m_dir / folder);
    const struct {
        const char* button;
        QStringList answer;
        std::string opensAt;
        bool goneBefore = false;  // the folder "gone" is removed first
    } steps[] = {
        {"Button1", {Q(m_dir / "photos/1.jpg"), Q(m_dir / "2.jpg")}, m_dir / "home"},
        {"Button1", {}, m_dir / "photos"},  // cancelled: nothing changes
        {"Button1", {Q(m_dir / "gone/3.jpg")}, m_dir / "photos"},
        {"Button3", {Q(m_dir / "out")}, m_dir / "home"},  // folders are remembered apart
        {"Button3", {Q(m_dir / "gone")}, m_dir / "out"},
        {"BtnImpFileList", {}, m_dir / "gone"},  // the file choosers share theirs
        {"Button3", {}, m_dir / "home", true},   // a folder that went: home again
    };
    for (const auto& step : steps) {
        if (step.goneBefore) ASSERT_EQ(::rmdir((m_dir / "gone").c_str()), 0);
        if (!step.answer.isEmpty()) FilePickers::queueAnswer(step.answer);
        Button(step.button)->click();
        ASSERT_FALSE(FilePickers::requests().empty());
        EXPECT_EQ(FilePickers::requests().back().folder, Q(step.opensAt)) << step.button;
    }
    EXPECT_EQ(FilePickers::requests().size(), std::size(steps));
}

TEST_F(FileListTest, RemoveTakesTheSelectedRowAndClearEmptiesTheList) {
    FilePickers::queueAnswer({"/x/1", "/x/2", "/x/3"});
    Button("Button1")->click();

    list->clearSelection();
    Button("Button2")->click();  // nothing selected
    EXPECT_EQ(entries().size(), 3u);

    list->setCurrentIndex(list->model()->index(1, 0));
    Button("Button2")->click();
    EXPECT_EQ(entries(), (Entries{"/x/1", "/x/3"}));
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(row(1), "/x/3");

    Button("Button6")->click();
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(FileListTest, ExportWritesTheListAndImportBringsBackExistingFiles) {
    Button("BtnSaveFileList")->click();
    ASSERT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("当前文件列表为空！")});
    EXPECT_TRUE(FilePickers::requests().empty());

    const std::string a = m_dir / "a.txt";
    const std::string b = m_dir / "sub/b.txt";
    WriteFile(a, "a");
    WriteFile(b, "b");
    const std::string folder = m_dir / "sub";
    const std::string missing = m_dir / "gone.txt";
    form->sourceList().Append(a);
    form->sourceList().Append(folder);
    form->sourceList().Append(missing);
    form->sourceList().Append(b);
    form->sourceList().Append(a);
    form->syncList();

    const std::string lst = m_dir / "saved.lst";
    WriteFile(lst, "old content that is much longer than the new one");
    FilePickers::queueAnswer({Q(lst)});
    Button("BtnSaveFileList")->click();
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].kind, FilePickers::Kind::SaveFile);
    EXPECT_EQ(FilePickers::requests()[0].preset, "file.lst");
    EXPECT_EQ(FilePickers::requests()[0].filter, QStringLiteral("列表文件(*.lst)"));
    EXPECT_EQ(ReadFile(lst),
              a + "\r\n" + folder + "\r\n" + missing + "\r\n" + b + "\r\n" + a + "\r\n");
    EXPECT_EQ(MessageBoxes::shown().size(), 1u);

    Button("Button6")->click();
    FilePickers::queueAnswer({Q(lst)});
    Button("BtnImpFileList")->click();
    EXPECT_EQ(FilePickers::requests().back().kind, FilePickers::Kind::OpenFile);
    EXPECT_EQ(FilePickers::requests().back().filter, "*.lst (*.lst)");
    // Only existing files come back, each once.
    EXPECT_EQ(entries(), (Entries{a, b}));
    EXPECT_EQ(rows(), 2);

    FilePickers::queueAnswer({Q(lst)});
    Button("BtnImpFileList")->click();
    EXPECT_EQ(entries(), (Entries{a, b}));
    EXPECT_EQ(MessageBoxes::shown().size(), 1u);
}

TEST_F(FileListTest, ListFileErrorsAreShownAndChangeNothing) {
    form->sourceList().Append("/x/1");
    form->syncList();
    const std::string blocked = m_dir / "no-such-folder/file.lst";
    FilePickers::queueAnswer({Q(blocked)});
    Button("BtnSaveFileList")->click();
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_TRUE(
        MessageBoxes::shown()[0].text.startsWith("Cannot create file \"" + Q(blocked) + "\""))
        << MessageBoxes::shown()[0].text.toStdString();
    EXPECT_FALSE(IsFile(blocked));

    FilePickers::queueAnswer({Q(m_dir / "missing.lst")});
    Button("BtnImpFileList")->click();
    ASSERT_EQ(MessageBoxes::shown().size(), 2u);
    EXPECT_EQ(MessageBoxes::shown()[1].kind, MessageBoxes::Kind::Error);
    EXPECT_TRUE(MessageBoxes::shown()[1].text.startsWith("Cannot open file \""));
    EXPECT_EQ(entries(), Entries{"/x/1"});
}

// A list file chosen where a pipe stands (here through a link) is neither
// replaced by an export nor opened by an import; the box says why.
TEST_F(FileListTest, APipeChosenAsTheListFileIsRefusedWithItsReason) {
    form->sourceList().Append("/x/1");
    form->syncList();
    const std::string pipe = m_dir / "pipe";
    const std::string chosen = m_dir / "chosen.lst";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    ASSERT_EQ(::symlink(pipe.c_str(), chosen.c_str()), 0);

    FilePickers::queueAnswer({Q(chosen)});
    Button("BtnSaveFileList")->click();
    FilePickers::queueAnswer({Q(chosen)});
    Button("BtnImpFileList")->click();
    ASSERT_EQ(MessageBoxes::shown().size(), 2u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[0].text,
              QStringLiteral("无法导出列表：“") + Q(chosen) +
                  QStringLiteral("”不是普通文件（设备、管道或套接字），未被替换。"));
    EXPECT_EQ(MessageBoxes::shown()[1].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[1].text,
              QStringLiteral("无法导入列表：“") + Q(chosen) +
                  QStringLiteral("”不是普通文件（设备、管道或套接字），未被打开。"));
    EXPECT_EQ(entries(), Entries{"/x/1"});
    struct stat st;
    ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::lstat(chosen.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(FileListTest, ExportReportsNamesThatHoldLineBreaks) {
    const std::string odd = m_dir / "two\nlines.txt";
    form->sourceList().Append(m_dir / "a.txt");
    form->sourceList().Append(odd);
    form->syncList();
    const std::string lst = m_dir / "file.lst";
    FilePickers::queueAnswer({Q(lst)});
    Button("BtnSaveFileList")->click();
    EXPECT_EQ(ReadFile(lst), m_dir / "a.txt" + "\r\n");
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Information);
    EXPECT_TRUE(MessageBoxes::shown()[0].text.contains("1"));
}

class AddDirectoryTest : public FileListTest {
  protected:
    void SetUp() override {
        FileListTest::SetUp();
        root = m_dir / "tree";
        WriteFile(root + "/a.txt", "a");
        WriteFile(root + "/sub/b.txt", "b");
        WriteFile(root + "/sub/deeper/c.txt", "c");
        WriteFile(root + "/.hidden/h.txt", "h");
    }
    std::string root;
};

TEST_F(AddDirectoryTest, OwnFilesOnlyWhenNoBoxIsChecked) {
    ScriptAddDirectory(root, false, false, "1");
    Button("Button5")->click();
    EXPECT_EQ(entries(), Entries{root + "/a.txt"});
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AddDirectoryTest, DepthLimitsTheWalkAndAllSubFoldersGoesDown) {
    ScriptAddDirectory(root, false, true, "1");
    Button("Button5")->click();
    Entries got = entries();
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (Entries{root + "/.hidden/h.txt", root + "/a.txt", root + "/sub/b.txt"}));
    // A folder's own files come first.
    EXPECT_EQ(entries().front(), root + "/a.txt");

    ScriptAddDirectory(root, true, false, "1");
    Button("Button5")->click();
    EXPECT_EQ(entries().size(), 4u);
    EXPECT_EQ(entries().back(), root + "/sub/deeper/c.txt");
    EXPECT_EQ(rows(), 4);

    // The same folder again adds nothing.
    Button("Button5")->click();
    EXPECT_EQ(entries().size(), 4u);
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(AddDirectoryTest, DepthZeroTakesTheFolderItself) {
    ScriptAddDirectory(root + "/sub", false, true, "0");
    Button("Button5")->click();
    EXPECT_EQ(entries(), Entries{root + "/sub/b.txt"});
}

TEST_F(AddDirectoryTest, DepthThatIsNoWholeNumberIsReported) {
    for (const QString& text :
         {QString("1x"), QString(""), QString("99999999999"), QString("abc")}) {
        ScriptAddDirectory(root, false, true, text);
        Button("Button5")->click();
        ASSERT_FALSE(MessageBoxes::shown().empty());
        EXPECT_EQ(MessageBoxes::shown().back().kind, MessageBoxes::Kind::Error);
        EXPECT_EQ(MessageBoxes::shown().back().text, "'" + text + "' is not a valid integer value");
        EXPECT_TRUE(entries().empty()) << text.toStdString();
    }
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AddDirectoryTest, CancelOrNoFolderChangesNothing) {
    ScriptAddDirectory(root, true, false, "1", QDialog::Rejected);
    Button("Button5")->click();
    ModalDialogs::setScript([](QDialog& dialog) {
        dynamic_cast<TForm3&>(dialog).ShellTreeView1->clearSelection();
        return int(QDialog::Accepted);
    });
    Button("Button5")->click();
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(FileListTest, DroppedFilesAreListedEveryTimeAndFoldersIgnored) {
    const std::string file = m_dir / "d.txt";
    WriteFile(file, "d");
    MakeDir(m_dir / "folder");
    Drop({QUrl::fromLocalFile(Q(file))});
    Drop({QUrl::fromLocalFile(Q(file)), QUrl::fromLocalFile(Q(m_dir / "folder")),
          QUrl::fromLocalFile(Q(m_dir / "missing.txt")), QUrl("http://example.com/x.txt")});
    EXPECT_EQ(entries(), (Entries{file, file}));
    EXPECT_EQ(rows(), 2);
}

TEST_F(FileListTest, DroppedNameKeepsBytesThatAreNotUtf8) {
    const std::string odd = m_dir / "\xB0\xA1\xff.txt";  // a GBK name seen on Linux
    WriteFile(odd, "x");
    const QByteArray encoded = "file://" + QByteArray::fromStdString(odd).toPercentEncoding("/");
    Drop({QUrl::fromEncoded(encoded)});
    EXPECT_EQ(entries(), Entries{odd});
}

TEST_F(FileListTest, LargeListFillsInOneStep) {
    constexpr int kCount = 300000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kCount; ++i) form->sourceList().Append("/big/file" + std::to_string(i));
    form->syncList();
    list->scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_EQ(rows(), kCount);
    EXPECT_EQ(row(kCount - 1), "/big/file" + QString::number(kCount - 1));
    EXPECT_LT(clock.elapsed(), 20000);
}

}  // namespace
}  // namespace zanfeld::test
