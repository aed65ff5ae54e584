// The windows in English and in Chinese. Under English no text a user can
// read holds a Chinese character, in any window, page, dialog, chooser or
// box; under Chinese the texts are the ones the program always had; and a
// run, the settings file and a list file come out the same in either language.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpServer>
#include <QTextBrowser>
#include <QXmlStreamReader>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "AppTitle.h"
#include "AppWindows.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "LanguageTexts.h"
#include "MessageTranslator.h"
#include "PlanCsv.h"
#include "PlanTableModel.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "RunHistoryDialog.h"
#include "RunStatusText.h"
#include "SharedJournal.h"
#include "TempDir.h"
#include "TestPictures.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

// An address where nothing listens, so the about box shows its own text.
QString DeadAddress() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return QStringLiteral("http://127.0.0.1:1");
    return QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
}

// Shows the about box and waits for its text.
void ShowAbout(TfrmAbout& about) {
    QSignalSpy spy(&about, &TfrmAbout::pageShown);
    about.show();
    EXPECT_TRUE(spy.wait(15000));
}

class LanguageTest : public UiTest {
  protected:
    void TearDown() override {
        TfrmAbout::setBaseAddress(QString::fromLatin1(TfrmAbout::kDefaultBaseAddress));
        UiTest::TearDown();
    }

    // Lists files (written with their names as content) through the add-files button.
    static void AddFiles(SortWindow& window, const std::string& folder,
                         const std::vector<std::string>& names) {
        QStringList paths;
        for (const std::string& name : names) {
            if (!IsFile(folder + "/" + name)) WriteFile(folder + "/" + name, name);
            paths << Q(folder + "/" + name);
        }
        FilePickers::queueAnswer(paths);
        Find<QPushButton>(&window, "Button1")->click();
    }

    TempDir m_dir;
};

class EnglishTest : public LanguageTest {
  protected:
    void SetUp() override {
        LanguageTest::SetUp();
        ASSERT_TRUE(m_english.loaded()) << "the English catalogue was not found";
    }
    LanguageScope m_english{kEnglish};
};

// The placeholders of a text: %1 to %99 and %n, each once.
std::set<QString> Placeholders(const QString& text) {
    std::set<QString> found;
    static const QRegularExpression placeholder(QStringLiteral("%(\\d+|n)"));
    for (const QRegularExpressionMatch& m : placeholder.globalMatch(text))
        found.insert(m.captured());
    return found;
}

// Every translation keeps the placeholders of its text (a lost %1 would drop
// a path from a message), in each plural form; and the engine's messages find
// every one of their texts in the catalogue, which the program holds within.
TEST_F(EnglishTest, TranslationsKeepEveryPlaceholder) {
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/i18n/zanfeld_en.qm")));
    QFile file(QStringLiteral(ZANFELD_CATALOGUE_TS));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    int messages = 0, forms = 0;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
            ++messages;
        } else if (name == QLatin1String("translation") &&
                   xml.attributes().value(QLatin1String("type")).isEmpty()) {
            // A plain translation holds text; a plural one holds forms.
            if (xml.readNext() == QXmlStreamReader::Characters && !xml.text().trimmed().isEmpty()) {
                EXPECT_EQ(Placeholders(xml.text().toString()), Placeholders(source))
                    << qPrintable(context) << ": " << source.toStdString();
                ++forms;
            }
        } else if (name == QLatin1String("numerusform")) {
            const QString form = xml.readElementText();
            // English says "1 file" with the count, so every form keeps it.
            EXPECT_EQ(Placeholders(form), Placeholders(source))
                << qPrintable(context) << ": " << source.toStdString();
            ++forms;
        }
    }
    // The reader reports the end of the file as premature once it has read
    // past the last element; anything else is a fault of the file.
    EXPECT_TRUE(!xml.hasError() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
        << xml.errorString().toStdString();
    EXPECT_GT(messages, 250);
    EXPECT_GE(forms, messages);
    EXPECT_EQ(TranslationProblems(true), std::vector<std::string>{});
}

// What the walk finds, in Chinese and in English: one text of each kind it
// reads (button, tab, heading, group, label, combo item, drawn caption,
// sentence put together) and of each window and dialog, exactly, leading and
// trailing spaces included.
const std::pair<const char*, const char*> kWalkFinds[] = {
    {"开始处理(&S)", "&Start"},
    {" 图像文件分拣", " Pictures"},
    {"     按文件名称分拣 ", "     Sort by name "},
    {"要分拣的文件", "Files to sort"},
    {"判断文件名时过滤以下字符（多个字符以 * （星号）分隔）：",
     "Ignore these characters in names (separate several with * (asterisk)):"},
    {"大于等于", "at least"},
    {"西游记.txt", "Rome trip.txt"},
    {"分拣方式： 按文件类型分拣", "Sorting: By file type"},
    {"分拣方式： 图像文件分拣", "Sorting: Pictures"},
    {"列表中共有 0 个文件", "0 files in the list"},
    {"按文件修改时间只替换旧文件", "Replace only older files"},
    {" 按目录名分拣", " By folder name"},
    {"判断目录名时过滤以下字符（多个字符以*（星号）分隔）",
     "Ignore these characters in folder names (separate several with * (asterisk)):"},
    {"东游记", "Oslo trip"},
    {"列表中共有 0 个文件夹", "0 folders in the list"},
    {"选择要添加的目录（文件夹）", "Choose a folder to add"},
    {"级子目录中所有文件", "levels of subfolders"},
    {"确定", "OK"},
    {"添加文件类型", "Add file type"},
    {"关于 - Zanfeld", "About - Zanfeld"},
};

class WalkTest : public LanguageTest, public ::testing::WithParamInterface<const char*> {};

// Every window, page and dialog of the program, hidden parts included; under
// English not one Chinese character in any of them, Qt's own buttons too.
TEST_P(WalkTest, EveryWindowPageAndDialog) {
    LanguageScope language(GetParam());
    ASSERT_EQ(CurrentLanguage(), GetParam());
    const bool english = CurrentLanguage() == kEnglish;
    ASSERT_TRUE(language.loaded() || !english) << "the English catalogue was not found";
    TfrmAbout::setBaseAddress(DeadAddress());
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());

    std::vector<SeenText> texts;
    const auto walk = [&](QWidget* window) {
        const std::vector<SeenText> shown = TextsOf(window);
        texts.insert(texts.end(), shown.begin(), shown.end());
    };
    // Every page of both windows in turn: some texts follow the page shown.
    Find<QRadioButton>(&windows.fileWindow(), "RbForm6")->click();
    ASSERT_TRUE(windows.folderWindow().isVisible());
    for (SortWindow* window :
         std::initializer_list<SortWindow*>{&windows.fileWindow(), &windows.folderWindow()}) {
        auto* pages = Find<QTabWidget>(window, "PageControl1");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            walk(window);
        }
    }
    ShowAbout(windows.aboutBox());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                           QMessageBox::Cancel);
    for (QWidget* dialog : std::initializer_list<QWidget*>{
             &windows.addDirectoryDialog(), &windows.addTypeDialog(), &windows.aboutBox(), &box}) {
        dialog->show();
        walk(dialog);
        dialog->hide();
    }

    for (const auto& [zh, en] : kWalkFinds) {
        const QString text = QString::fromUtf8(english ? en : zh);
        EXPECT_TRUE(Contains(texts, text)) << text.toStdString();
    }
    EXPECT_TRUE(windows.aboutBox().WebBrowser1->toPlainText().contains(
        QString::fromUtf8(english ? "Version " : "版本 ") + QString::fromLatin1(kAppVersion)));
    if (english) ExpectNoChinese(texts);
}

INSTANTIATE_TEST_SUITE_P(Languages, WalkTest, ::testing::Values(kChinese, kEnglish),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST_F(EnglishTest, RefusalsChoosersAndQuestionsOfTheWindowsAndDialogs) {
    SharedJournal journal(m_dir / "journal.sqlite");
    TForm3 addDirectory;
    TfrmAbout about;
    TForm1 form(m_dir / "Zanfeld.ini", m_dir.path());
    TfrmSuffix addType(form.ListBox2);
    form.setDialogs(&addDirectory, &about, &addType);
    form.setJournal(&journal);

    // The list: empty, then with a name a list file cannot hold.
    Find<QPushButton>(&form, "BtnSaveFileList")->click();
    AddFiles(form, m_dir / "in", {"a.txt", "line\nbreak.txt"});
    FilePickers::queueAnswer({Q(m_dir / "files.lst")});
    Find<QPushButton>(&form, "BtnSaveFileList")->click();
    FilePickers::queueAnswer({});
    Find<QPushButton>(&form, "BtnImpFileList")->click();
    FilePickers::queueAnswer({});
    Find<QPushButton>(&form, "Button3")->click();

    // A depth that is no number, and a type that is no pattern.
    ModalDialogs::setScript([&](QDialog& dialog) {
        if (&dialog == &addDirectory) {
            addDirectory.selectPath(m_dir / "in");
            addDirectory.CheckBox2->setChecked(true);
            addDirectory.ComboBox1->setCurrentText(QStringLiteral("x"));
            return static_cast<int>(QDialog::Accepted);
        }
        addType.Edit1->setText(QStringLiteral("abc"));
        addType.Button1Click();
        return static_cast<int>(QDialog::Rejected);
    });
    WaitUntil([&] { return addDirectory.selectPath(m_dir / "in"); });
    Find<QPushButton>(&form, "Button5")->click();
    Find<QCheckBox>(&form, "ChkInclude")->setChecked(true);
    Find<QPushButton>(&form, "BtnAddSuffix")->click();
    ModalDialogs::setScript({});

    // Nothing to undo yet; and a window with no journal at all.
    Find<QPushButton>(&form, "BtnUndo")->click();
    TForm1 unrecorded(m_dir / "Zanfeld.ini", m_dir.path());
    Find<QPushButton>(&unrecorded, "BtnUndo")->click();
    Find<QPushButton>(&unrecorded, "BtnHistory")->click();

    // The folder window: a whole disk, and the parent folder's chooser.
    TForm6 folders(m_dir / "Zanfeld.ini", m_dir.path());
    FilePickers::queueAnswer({QStringLiteral("/")});
    Find<QPushButton>(&folders, "Button1")->click();
    FilePickers::queueAnswer({});
    Find<QPushButton>(&folders, "Button5")->click();

    // A box for each refusal and every chooser asked, none of them in Chinese.
    ExpectNoChinese(BoxesAndChoosers());
    const std::vector<QString> boxes = BoxTexts();
    ASSERT_EQ(boxes.size(), 8u);
    EXPECT_EQ(boxes[1], QStringLiteral("1 name contains a line break and was not written to the "
                                       "list file."));
    EXPECT_EQ(FilePickers::requests().size(), 6u);
}

TEST_F(EnglishTest, RunsPreviewHistoryUndoAndTheirBoxes) {
    SharedJournal journal(m_dir / "journal.sqlite");
    TForm1 form(m_dir / "Zanfeld.ini", m_dir.path());
    form.setJournal(&journal);
    form.show();
    const std::string out = m_dir / "out";
    MakeDir(out);

    // Refused: nothing listed.
    StartRunAndWait(form);
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);

    AddFiles(form, m_dir / "in", {"a.txt", "b.txt", "c.doc"});
    WriteFile(out + "/.txt/a.txt", "old a", 1'000'000'000);
    Find<QTabWidget>(&form, "PageControl1")->setCurrentIndex(2);
    Find<QLineEdit>(&form, "EdtOutDir")->setText(Q(out));
    Find<QRadioButton>(&form, "RbAsk")->setChecked(true);

    // The preview, under each of its filters, and its export's refusals.
    StartRunAndWait(form, "BtnPreview");
    auto* preview = form.findChild<PreviewWindow*>(QStringLiteral("PreviewWindow"));
    ASSERT_NE(preview, nullptr);
    for (int filter = 0; filter < preview->CmbPlanFilter->count(); ++filter) {
        preview->CmbPlanFilter->setCurrentIndex(filter);
        ExpectNoChinese(TextsOf(preview));
    }
    EXPECT_TRUE(
        Find<QLabel>(&form, "LblStatus")->text().startsWith(QStringLiteral("Preview: 3 files: ")));
    FilePickers::queueAnswer({Q(m_dir.path())});
    preview->BtnExportPlan->click();
    FilePickers::queueAnswer({QStringLiteral("/dev/null")});
    preview->BtnExportPlan->click();
    preview->hide();

    // The run: the same-name question, and the question of closing while it goes.
    bool closing = false;
    MessageBoxes::setHook([&](const MessageBoxes::Shown& box) {
        if (closing || box.details.isEmpty()) return;
        closing = true;
        form.close();
    });
    MessageBoxes::queueAnswer(false);  // do not close
    MessageBoxes::queueAnswer(true);   // replace a.txt
    StartRunAndWait(form);
    MessageBoxes::setHook({});
    EXPECT_TRUE(closing);
    EXPECT_TRUE(form.isVisible());
    ExpectNoChinese(TextsOf(&form));

    // A real same-name box, with both files described.
    ReplaceQuestion question(&form, QStringLiteral("question"),
                             ReplaceQuestion::details(out + "/.txt/b.txt", m_dir / "in/a.txt"));
    const std::vector<SeenText> questionTexts = TextsOf(&question.box());
    ExpectNoChinese(questionTexts);
    EXPECT_TRUE(Contains(questionTexts, QStringLiteral("Yes to &All")));

    // The record of runs, and undo.
    int dialogs = 0;
    ModalDialogs::setScript([&](QDialog& dialog) {
        ++dialogs;
        auto& history = static_cast<RunHistoryDialog&>(dialog);
        EXPECT_GE(history.TblRuns->rowCount(), 1);
        ExpectNoChinese(TextsOf(&history));
        return static_cast<int>(QDialog::Rejected);
    });
    Find<QPushButton>(&form, "BtnHistory")->click();
    EXPECT_EQ(dialogs, 1);
    MessageBoxes::queueAnswer(true);
    StartRunAndWait(form, "BtnUndo");
    ExpectNoChinese(TextsOf(&form));

    // The folder window's run and preview.
    TForm6 folders(m_dir / "Zanfeld.ini", m_dir.path());
    folders.setJournal(&journal);
    WriteFile(m_dir / "dirs/trip-x/f.txt", "f");
    FilePickers::queueAnswer({Q(m_dir / "dirs/trip-x")});
    Find<QPushButton>(&folders, "Button1")->click();
    Find<QTabWidget>(&folders, "PageControl1")->setCurrentIndex(1);
    MakeDir(m_dir / "folders-out");
    Find<QLineEdit>(&folders, "EdtOutDir")->setText(Q(m_dir / "folders-out"));
    StartRunAndWait(folders, "BtnPreview");
    StartRunAndWait(folders);
    ExpectNoChinese(TextsOf(&folders));
    auto* folderPreview = folders.findChild<PreviewWindow*>(QStringLiteral("PreviewWindow"));
    ASSERT_NE(folderPreview, nullptr);
    ExpectNoChinese(TextsOf(folderPreview));

    // Refused run, preview export errors, same-name question, closing
    // question, the run's end, the undo question and its end, and the folder run's end.
    EXPECT_GE(MessageBoxes::shown().size(), 9u);
    ExpectNoChinese(BoxesAndChoosers());
}

// The words of a count go with the count in English.
TEST_F(EnglishTest, CountsTakeTheirSingularAndPlural) {
    WriteFile(m_dir / "small", "x");
    WriteFile(m_dir / "smaller", "");
    const QString details = ReplaceQuestion::details(m_dir / "small", m_dir / "smaller");
    const auto cell = [](const char* text) {
        return QStringLiteral("<td style=\"white-space:nowrap\">%1</td>").arg(QLatin1String(text));
    };
    const std::pair<QString, QString> cases[] = {
        {RunStatusText::idle(1, false), QStringLiteral("1 file in the list")},
        {RunStatusText::idle(2, false), QStringLiteral("2 files in the list")},
        {RunStatusText::idle(1, true), QStringLiteral("1 folder in the list")},
        {PlanTableModel().countsText(), QStringLiteral("0 files")},
    };
    for (const auto& [seen, expected] : cases) EXPECT_EQ(seen, expected);
    for (const char* size : {"1 byte", "0 bytes"})
        EXPECT_TRUE(details.contains(cell(size))) << details.toStdString();
}

// Under Chinese the texts that are now put together from a translatable
// sentence read exactly as they always did.
class ChineseTest : public LanguageTest {};

TEST_F(ChineseTest, SentencesWithPlaceholdersReadAsBefore) {
    ASSERT_EQ(CurrentLanguage(), kChinese);
    EXPECT_EQ(TfrmAbout::fallbackHtml(),
              QStringLiteral("<html><body style=\"font-family:sans-serif\">"
                             "<h2 align=\"center\">Zanfeld</h2>"
                             "<p align=\"center\">版本 ") +
                  QString::fromLatin1(kAppVersion) +
                  QStringLiteral(
                      "</p>"
                      "<p>文件分拣工具：按关键字、文件名、类型、大小、日期或图片宽高，"
                      "把文件复制或移动到输出目录下的分类文件夹中；也可按目录名分拣整个文件夹。</p>"
                      "<p align=\"center\">暂时无法连接到服务器。</p>"
                      "</body></html>"));

    PreviewWindow preview;
    RunPlan plan;
    plan.rows.push_back(PlanRow{"/in/a", "/out/x", "/out/x/a", PlanAction::Copy, {}});
    plan.rows.push_back(PlanRow{"/in/b", "/out/x", "/out/x/b", PlanAction::Copy, {}});
    preview.setPlan(std::move(plan));
    EXPECT_EQ(preview.model().countsText(), QStringLiteral("共 2 个文件：复制 2"));
    RunHistoryDialog history;
    EXPECT_EQ(history.windowTitle(), QStringLiteral("Zanfeld - 分拣记录"));

    EXPECT_EQ(PlanCsv::errorMessage("/p/plan.csv", kNotRegularFile),
              QStringLiteral(
                  "无法导出预览：“/p/plan.csv”不是普通文件（设备、管道或套接字），未被替换。"));
    EXPECT_TRUE(PlanCsv::errorMessage("/p/plan.csv", ENOENT)
                    .startsWith(QStringLiteral("Cannot create file \"/p/plan.csv\". ")));

    // The same-name question's lines about the two files.
    WriteFile(m_dir / "old", std::string(10, 'o'), 1'000'000'000);
    WriteFile(m_dir / "new", std::string(2048, 'n'), 1'100'000'000);
    const auto when = [](int64_t sec) {
        return QDateTime::fromSecsSinceEpoch(sec).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    const auto cell = [](const QString& text) {
        return QStringLiteral("<td style=\"white-space:nowrap\">") + text + QStringLiteral("</td>");
    };
    EXPECT_EQ(
        ReplaceQuestion::details(m_dir / "old", m_dir / "new"),
        QStringLiteral("<table cellspacing=\"6\"><tr><td></td><th align=\"left\">现有文件</th>"
                       "<th align=\"left\">新文件</th></tr><tr>") +
            cell(QStringLiteral("大小：")) + cell(QStringLiteral("10 字节")) +
            cell(RunStatusText::bytes(2048) + QStringLiteral("（2,048 字节）")) +
            QStringLiteral("</tr><tr>") + cell(QStringLiteral("修改时间：")) +
            cell(when(1'000'000'000)) + cell(when(1'100'000'000) + QStringLiteral("（较新）")) +
            QStringLiteral("</tr></table>"));

    // A list export that had to leave a name out.
    TForm1 form(m_dir / "Zanfeld.ini", m_dir.path());
    AddFiles(form, m_dir / "in", {"line\nbreak.txt"});
    FilePickers::queueAnswer({Q(m_dir / "files.lst")});
    Find<QPushButton>(&form, "BtnSaveFileList")->click();
    EXPECT_EQ(BoxTexts(), std::vector<QString>{
                              QStringLiteral("有 1 个文件名中含有换行符，未能写入列表文件。")});
    EXPECT_EQ(FilePickers::requests().back().filter, QStringLiteral("列表文件(*.lst)"));
}

// The folders a run makes, the settings file and a list file are the same
// whichever language the windows speak.
class SameInEitherLanguageTest : public LanguageTest {
  protected:
    // A listing of a folder's tree: relative paths, folders with a "/", files with their size.
    static std::vector<std::string> Tree(const std::string& root) {
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string relative = std::filesystem::relative(entry.path(), root).string();
            entries.push_back(entry.is_directory()
                                  ? relative + "/"
                                  : relative + " " + std::to_string(entry.file_size()));
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    // Runs every page of window into out/<name><page>.
    static void RunPages(SortWindow& window, int pages, const std::string& out) {
        for (int page = 0; page < pages; ++page) {
            const std::string target = out + std::to_string(page);
            MakeDir(target);
            Find<QTabWidget>(&window, "PageControl1")->setCurrentIndex(page);
            Find<QLineEdit>(&window, "EdtOutDir")->setText(Q(target));
            StartRunAndWait(window);
            EXPECT_FALSE(Names(target).empty()) << target << " holds nothing";
        }
    }

    // Runs every page of both windows with the same choices into root/out,
    // exports the file list to root/files.lst, then closes the windows
    // (writing the settings file root/Zanfeld.ini).
    void RunEverything(const std::string& root) {
        const std::string ini = root + "/Zanfeld.ini", out = root + "/out";
        TForm1 files(ini, m_dir.path());
        files.show();
        AddFiles(files, m_dir / "in", {"trip-a.txt", "trip-b.doc", "note.txt", "pic.png"});
        for (const auto& [name, text] :
             {std::pair{"EdtKeys", "trip"}, {"EdtSize", "1"}, {"EdtPic", "10"}})
            Find<QLineEdit>(&files, name)->setText(QString::fromLatin1(text));
        for (const auto& [name, index] :
             {std::pair{"CmbCondition", 0}, {"CmbUnit", 0}, {"CmbFileDate", 1}, {"CmbPic", 0}})
            Find<QComboBox>(&files, name)->setCurrentIndex(index);
        for (const char* name : {"RbRename", "RbModifyTime", "RbPicW"})
            Find<QRadioButton>(&files, name)->setChecked(true);
        Find<QDateEdit>(&files, "DtDate")->setDate(QDate(2000, 1, 2));
        Find<QCheckBox>(&files, "ChkExclude")->setChecked(true);
        files.ListBox2->addItem(QStringLiteral("*.bak"));
        RunPages(files, 6, out + "/files");
        FilePickers::queueAnswer({Q(root + "/files.lst")});
        Find<QPushButton>(&files, "BtnSaveFileList")->click();

        TForm6 folders(ini, m_dir.path());
        for (const char* folder : {"dirs/trip-x", "dirs/other"}) {
            FilePickers::queueAnswer({Q(m_dir / folder)});
            Find<QPushButton>(&folders, "Button1")->click();
        }
        Find<QLineEdit>(&folders, "EdtKeys")->setText(QStringLiteral("trip"));
        RunPages(folders, 2, out + "/folders");

        // The settings name one output folder, whichever language ran.
        for (SortWindow* window :
             {static_cast<SortWindow*>(&files), static_cast<SortWindow*>(&folders)}) {
            Find<QLineEdit>(window, "EdtOutDir")->setText(Q(m_dir / "common"));
            window->close();
        }
    }
};

TEST_F(SameInEitherLanguageTest, RunsSettingsAndListFiles) {
    const std::string in = m_dir / "in";
    WriteFile(in + "/trip-a.txt", std::string(2000, 'a'), 1'600'000'000);
    WriteFile(in + "/trip-b.doc", "b", 1'600'000'000);
    WriteFile(in + "/note.txt", "n", 1'600'000'000);
    WritePicture(in + "/pic.png", 20, 10, "png");
    WriteFile(m_dir / "dirs/trip-x/f.txt", "f");
    WriteFile(m_dir / "dirs/other/g.txt", "g");
    for (const char* language : {kChinese, kEnglish}) {
        LanguageScope scope(language);
        ASSERT_EQ(CurrentLanguage(), language);
        ASSERT_TRUE(scope.loaded() || language == kChinese);
        MakeDir(m_dir / language);
        RunEverything(m_dir / language);
    }
    EXPECT_EQ(Tree(m_dir / "zh/out"), Tree(m_dir / "en/out"));
    for (const std::string file : {"Zanfeld.ini", "files.lst"}) {
        EXPECT_FALSE(ReadFile(m_dir / "zh/" + file).empty()) << file;
        EXPECT_EQ(ReadFile(m_dir / "zh/" + file), ReadFile(m_dir / "en/" + file)) << file;
    }
}

}  // namespace
}  // namespace zanfeld::test
