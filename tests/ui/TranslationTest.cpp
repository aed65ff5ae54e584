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
#include <QTreeView>
#include <QXmlStreamReader>
#include <cerrno>
#include <filesystem>
#include <memory>
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

    // Every page of a sorting window in turn, the texts of each gathered.
    static std::vector<SeenText> EveryPage(SortWindow& window) {
        std::vector<SeenText> texts;
        auto* pages = Find<QTabWidget>(&window, "PageControl1");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            const std::vector<SeenText> shown = TextsOf(&window);
            texts.insert(texts.end(), shown.begin(), shown.end());
        }
        return texts;
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

TEST_F(EnglishTest, CatalogueIsBuiltInAndQtSpeaksEnglishToo) {
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/i18n/zanfeld_en.qm")));
    EXPECT_EQ(CurrentLanguage(), kEnglish);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                           QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&No"));
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancel"));
}

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
// every one of their texts in the catalogue.
TEST_F(EnglishTest, TranslationsKeepEveryPlaceholder) {
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

TEST_F(EnglishTest, EveryWindowPageAndDialogOfTheProgram) {
    TfrmAbout::setBaseAddress(DeadAddress());
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());

    TForm1& files = windows.fileWindow();
    const std::vector<SeenText> fileTexts = EveryPage(files);
    ExpectNoChinese(fileTexts);
    // The walk reads the window, in English.
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("Start")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("Sort folders")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral(" By file type")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("greater than")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("Rome trip.txt")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("Sorting: Pictures")));
    EXPECT_TRUE(Contains(fileTexts, QStringLiteral("0 files in the list")));

    Find<QRadioButton>(&files, "RbForm6")->click();
    TForm6& folders = windows.folderWindow();
    ASSERT_TRUE(folders.isVisible());
    const std::vector<SeenText> folderTexts = EveryPage(folders);
    ExpectNoChinese(folderTexts);
    EXPECT_TRUE(Contains(folderTexts, QStringLiteral(" By folder name")));
    EXPECT_TRUE(Contains(folderTexts, QStringLiteral("0 folders in the list")));

    windows.addDirectoryDialog().show();
    const std::vector<SeenText> addDirectory = TextsOf(&windows.addDirectoryDialog());
    ExpectNoChinese(addDirectory);
    EXPECT_TRUE(Contains(addDirectory, QStringLiteral("Choose a folder to add")));
    windows.addDirectoryDialog().hide();

    windows.addTypeDialog().show();
    const std::vector<SeenText> addType = TextsOf(&windows.addTypeDialog());
    ExpectNoChinese(addType);
    EXPECT_TRUE(Contains(addType, QStringLiteral("Add file type")));
    windows.addTypeDialog().hide();

    ShowAbout(windows.aboutBox());
    const std::vector<SeenText> about = TextsOf(&windows.aboutBox());
    ExpectNoChinese(about);
    EXPECT_TRUE(Contains(about, QStringLiteral("About - Zanfeld")));
    EXPECT_TRUE(windows.aboutBox().WebBrowser1->toPlainText().contains(
        QStringLiteral("Version ") + QString::fromLatin1(kAppVersion)));
    windows.aboutBox().hide();
}

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

    const std::vector<SeenText> boxes = BoxesShown();
    ExpectNoChinese(boxes);
    ExpectNoChinese(ChoosersAsked());
    EXPECT_EQ(BoxTexts(),
              (std::vector<QString>{
                  QStringLiteral("The list is empty!"),
                  QStringLiteral("1 name contains a line break and was not written to the list "
                                 "file."),
                  QStringLiteral("'x' is not a valid integer value"),
                  QStringLiteral("Enter an extension such as *.txt!"),
                  QStringLiteral("There is no run that can be undone."),
                  QStringLiteral("The run journal cannot be opened; nothing can be undone."),
                  QStringLiteral("The run journal cannot be opened."),
                  QStringLiteral("A whole drive (disk) cannot be sorted!")}));
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
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Zanfeld - Preview"));
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
    ExpectNoChinese(BoxesShown());
    ExpectNoChinese(ChoosersAsked());
}

// The words of a count go with the count in English.
TEST_F(EnglishTest, CountsTakeTheirSingularAndPlural) {
    EXPECT_EQ(RunStatusText::idle(1, false), QStringLiteral("1 file in the list"));
    EXPECT_EQ(RunStatusText::idle(2, false), QStringLiteral("2 files in the list"));
    EXPECT_EQ(RunStatusText::idle(1, true), QStringLiteral("1 folder in the list"));
    EXPECT_EQ(RunStatusText::idle(0, true), QStringLiteral("0 folders in the list"));
    PlanTableModel model;
    EXPECT_EQ(model.countsText(), QStringLiteral("0 files"));
    WriteFile(m_dir / "small", "x");
    WriteFile(m_dir / "smaller", "");
    const QString details = ReplaceQuestion::details(m_dir / "small", m_dir / "smaller");
    EXPECT_TRUE(details.contains(QStringLiteral("<td style=\"white-space:nowrap\">1 byte</td>")))
        << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("<td style=\"white-space:nowrap\">0 bytes</td>")))
        << details.toStdString();
}

// Under Chinese the texts that are now put together from a translatable
// sentence read exactly as they always did.
class ChineseTest : public LanguageTest {};

TEST_F(ChineseTest, SentencesWithPlaceholdersReadAsBefore) {
    ASSERT_EQ(CurrentLanguage(), kChinese);
    TForm1 form(m_dir / "Zanfeld.ini", m_dir.path());
    auto* pages = Find<QTabWidget>(&form, "PageControl1");
    pages->setCurrentIndex(2);
    EXPECT_EQ(Find<QLabel>(&form, "lblOption")->text(),
              QStringLiteral("分拣方式： 按文件类型分拣"));
    EXPECT_EQ(Find<QLabel>(&form, "LblStatus")->text(), QStringLiteral("列表中共有 0 个文件"));
    TForm6 folders(m_dir / "Zanfeld.ini", m_dir.path());
    EXPECT_EQ(Find<QLabel>(&folders, "LblStatus")->text(), QStringLiteral("列表中共有 0 个文件夹"));
    EXPECT_EQ(RunStatusText::idle(1, false), QStringLiteral("列表中共有 1 个文件"));

    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 - Zanfeld"));
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
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Zanfeld - 预览"));
    EXPECT_EQ(preview.model().countsText(), QStringLiteral("共 0 个文件"));
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
    ReplaceQuestion question(nullptr, QStringLiteral("q"), QString());
    EXPECT_EQ(question.box().button(QMessageBox::YesToAll)->text(), QStringLiteral("全部是(&A)"));
    EXPECT_EQ(question.box().button(QMessageBox::NoToAll)->text(), QStringLiteral("全部否(&O)"));
    EXPECT_EQ(Find<QPushButton>(&question.box(), "BtnStopRun")->text(), QStringLiteral("停止(&S)"));

    // A list export that had to leave a name out.
    AddFiles(form, m_dir / "in", {"line\nbreak.txt"});
    FilePickers::queueAnswer({Q(m_dir / "files.lst")});
    Find<QPushButton>(&form, "BtnSaveFileList")->click();
    EXPECT_EQ(BoxTexts(), std::vector<QString>{
                              QStringLiteral("有 1 个文件名中含有换行符，未能写入列表文件。")});
    EXPECT_EQ(ChoosersAsked().back().text, QStringLiteral("列表文件(*.lst)"));
}

TEST_F(ChineseTest, TheWalkFindsTheTextsTheProgramAlwaysHad) {
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
    const std::vector<SeenText> texts = EveryPage(windows.fileWindow());
    for (const char* text : {"开始处理",
                             "停止",
                             "关于",
                             "预览",
                             "撤销上次分拣",
                             "分拣记录",
                             "文件分拣",
                             "文件夹（目录）分拣",
                             "要分拣的文件",
                             "添加目录下文件",
                             " 按文件名匹配关键字分拣 ",
                             " 图像文件分拣",
                             "     按文件名称分拣 ",
                             "判断文件名时过滤以下字符（多个字符以 * （星号）分隔）：",
                             "西游记.txt",
                             "游记",
                             "大于等于",
                             "KB",
                             "早于",
                             "分拣方式： 图像文件分拣",
                             "目标文件夹下存在同名文件时：",
                             "按文件修改时间只替换旧文件"}) {
        EXPECT_TRUE(Contains(texts, QString::fromUtf8(text))) << text;
    }
    const std::vector<SeenText> folderTexts = EveryPage(windows.folderWindow());
    for (const char* text : {" 按目录名分拣", "判断目录名时过滤以下字符（多个字符以*（星号）分隔）",
                             "复制式分拣(将文件夹复制到分拣目录)", "文件夹创建时间：", "东游记"}) {
        EXPECT_TRUE(Contains(folderTexts, QString::fromUtf8(text))) << text;
    }
    const std::vector<SeenText> dialog = TextsOf(&windows.addDirectoryDialog());
    for (const char* text : {"选择要添加的目录（文件夹）", "添加包括选定文件夹下",
                             "级子目录中所有文件", "确定", "取消"}) {
        EXPECT_TRUE(Contains(dialog, QString::fromUtf8(text))) << text;
    }
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

    // Runs every page of both windows with the same choices into out, then
    // closes the windows (writing the settings file ini) and exports the
    // file list to list.
    void RunEverything(const std::string& ini, const std::string& out, const std::string& list) {
        const std::string in = m_dir / "in";
        TForm1 files(ini, m_dir.path());
        files.show();
        AddFiles(files, in, {"trip-a.txt", "trip-b.doc", "note.txt", "pic.png"});
        auto edit = [&](const char* name, const char* text) {
            Find<QLineEdit>(&files, name)->setText(QString::fromUtf8(text));
        };
        Find<QRadioButton>(&files, "RbRename")->setChecked(true);
        edit("EdtKeys", "trip");
        Find<QComboBox>(&files, "CmbCondition")->setCurrentIndex(0);
        edit("EdtSize", "1");
        Find<QComboBox>(&files, "CmbUnit")->setCurrentIndex(0);
        Find<QRadioButton>(&files, "RbModifyTime")->setChecked(true);
        Find<QComboBox>(&files, "CmbFileDate")->setCurrentIndex(1);
        Find<QDateEdit>(&files, "DtDate")->setDate(QDate(2000, 1, 2));
        Find<QRadioButton>(&files, "RbPicW")->setChecked(true);
        Find<QComboBox>(&files, "CmbPic")->setCurrentIndex(0);
        edit("EdtPic", "10");
        Find<QCheckBox>(&files, "ChkExclude")->setChecked(true);
        files.ListBox2->addItem(QStringLiteral("*.bak"));
        for (int page = 0; page < 6; ++page) {
            const std::string target = out + "/files" + std::to_string(page);
            MakeDir(target);
            Find<QTabWidget>(&files, "PageControl1")->setCurrentIndex(page);
            Find<QLineEdit>(&files, "EdtOutDir")->setText(Q(target));
            StartRunAndWait(files);
            EXPECT_FALSE(Names(target).empty()) << "page " << page << " placed nothing";
        }
        FilePickers::queueAnswer({Q(list)});
        Find<QPushButton>(&files, "BtnSaveFileList")->click();

        TForm6 folders(ini, m_dir.path());
        WriteFile(m_dir / "dirs/trip-x/f.txt", "f");
        WriteFile(m_dir / "dirs/other/g.txt", "g");
        for (const char* folder : {"dirs/trip-x", "dirs/other"}) {
            FilePickers::queueAnswer({Q(m_dir / folder)});
            Find<QPushButton>(&folders, "Button1")->click();
        }
        Find<QLineEdit>(&folders, "EdtKeys")->setText(QStringLiteral("trip"));
        for (int page = 0; page < 2; ++page) {
            const std::string target = out + "/folders" + std::to_string(page);
            MakeDir(target);
            Find<QTabWidget>(&folders, "PageControl1")->setCurrentIndex(page);
            Find<QLineEdit>(&folders, "EdtOutDir")->setText(Q(target));
            StartRunAndWait(folders);
            EXPECT_FALSE(Names(target).empty()) << "folder page " << page << " placed nothing";
        }

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
    MakeDir(m_dir / "zh");
    MakeDir(m_dir / "en");
    {
        ASSERT_EQ(CurrentLanguage(), kChinese);
        RunEverything(m_dir / "zh/Zanfeld.ini", m_dir / "zh/out", m_dir / "zh/files.lst");
    }
    {
        LanguageScope english(kEnglish);
        ASSERT_TRUE(english.loaded());
        RunEverything(m_dir / "en/Zanfeld.ini", m_dir / "en/out", m_dir / "en/files.lst");
    }
    const std::vector<std::string> chinese = Tree(m_dir / "zh/out");
    EXPECT_EQ(chinese, Tree(m_dir / "en/out"));
    // Folders named after the size, date and picture conditions are among them.
    for (int page : {3, 4, 5}) {
        EXPECT_FALSE(Names(m_dir / "zh/out/files" + std::to_string(page)).empty());
    }
    EXPECT_FALSE(ReadFile(m_dir / "zh/Zanfeld.ini").empty());
    EXPECT_EQ(ReadFile(m_dir / "zh/Zanfeld.ini"), ReadFile(m_dir / "en/Zanfeld.ini"));
    EXPECT_FALSE(ReadFile(m_dir / "zh/files.lst").empty());
    EXPECT_EQ(ReadFile(m_dir / "zh/files.lst"), ReadFile(m_dir / "en/files.lst"));
}

}  // namespace
}  // namespace zanfeld::test
