// The windows' layouts in English: at each window's and dialog's default size
// every label, button, check box, tab, combo box, header and drawn caption
// is wide enough for its English text. With ZANFELD_SCREENSHOTS set to a
// folder, each window is also saved there as a picture, to be looked at.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <string>
#include <vector>

#include "AppWindows.h"
#include "LanguageTexts.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "RunHistoryDialog.h"
#include "RunJournal.h"
#include "SharedJournal.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

// The texts of window (as it is shown now) that do not fit their place.
QStringList CutTexts(QWidget* window) {
    QStringList cut;
    const auto fits = [&](const QWidget* w, const QString& text, int needed, int has) {
        if (needed > has)
            cut << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                       .arg(NameOf(w), text)
                       .arg(needed)
                       .arg(has);
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->wordWrap() && !label->text().isEmpty())
                fits(w, label->text(), label->sizeHint().width(), label->width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty())
                fits(w, button->text(), button->sizeHint().width(), button->width());
        } else if (auto* star = qobject_cast<StarCaption*>(w)) {
            fits(w, star->text(), star->sizeHint().width(), star->width());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            // A box is as wide as its longest item needs.
            if (!combo->isEditable())
                fits(w, combo->currentText(), combo->sizeHint().width(), combo->width());
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            fits(w, group->title(), group->fontMetrics().horizontalAdvance(group->title()) + 16,
                 group->width());
        } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->isTabVisible(i)) continue;
                const QRect tab = bar->tabRect(i);
                // A tab pushed out of the bar's sight is cut whatever its width.
                fits(w, bar->tabText(i), bar->fontMetrics().horizontalAdvance(bar->tabText(i)),
                     bar->rect().contains(tab) ? tab.width() : -1);
            }
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            if (header->orientation() != Qt::Horizontal) continue;
            for (int i = 0; i < header->count(); ++i) {
                if (header->isSectionHidden(i)) continue;
                // The last section stretches over what the others leave; its
                // cells need room as well as its title.
                int needed = header->sectionSizeHint(i);
                if (header->stretchLastSection() && i == header->count() - 1) {
                    if (auto* view = qobject_cast<const QAbstractItemView*>(header->parentWidget()))
                        needed = std::max(needed, view->sizeHintForColumn(i));
                }
                fits(w, header->model()->headerData(i, Qt::Horizontal).toString(), needed,
                     header->sectionSize(i));
            }
        } else if (auto* picture = qobject_cast<SortIllustration*>(w)) {
            for (const SortIllustration::Label& label : picture->labels())
                fits(w, label.text, picture->fontMetrics().horizontalAdvance(label.text),
                     label.width);
        }
    }
    return cut;
}

// Saves the window's picture when asked to, under name.
void Shoot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("ZANFELD_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void ExpectNothingCut(QWidget* window, const QString& name) {
    window->show();
    QCoreApplication::processEvents();
    Shoot(window, name);
    const QStringList cut = CutTexts(window);
    EXPECT_TRUE(cut.isEmpty()) << qPrintable(name) << ":\n  " << qPrintable(cut.join("\n  "));
}

class EnglishLayoutTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(m_english.loaded());
        TfrmAbout::setBaseAddress(QStringLiteral("http://127.0.0.1:1"));
    }
    void TearDown() override {
        TfrmAbout::setBaseAddress(QString::fromLatin1(TfrmAbout::kDefaultBaseAddress));
        UiTest::TearDown();
    }

    static void EveryPage(SortWindow& window, const QString& name) {
        auto* pages = Find<QTabWidget>(&window, "PageControl1");
        for (int page = 0; page < pages->count(); ++page) {
            if (!pages->isTabVisible(page)) continue;
            pages->setCurrentIndex(page);
            ExpectNothingCut(&window, name + QString::number(page));
        }
    }

    LanguageScope m_english{kEnglish};
    TempDir m_dir;
};

TEST_F(EnglishLayoutTest, EveryWindowPageAndDialog) {
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
    TForm1& form = windows.fileWindow();
    EveryPage(form, QStringLiteral("files-page"));

    // The preview, a run and the record of runs, with files listed and a
    // same-name file that the run numbers.
    QStringList paths;
    for (const char* name : {"a.txt", "b.txt", "c.doc"}) {
        WriteFile(m_dir / "in/" + name, name);
        paths << Q(m_dir / "in/" + name);
    }
    WriteFile(m_dir / "out/.txt/a.txt", "old a");
    FilePickers::queueAnswer(paths);
    Find<QPushButton>(&form, "Button1")->click();
    Find<QTabWidget>(&form, "PageControl1")->setCurrentIndex(2);
    Find<QLineEdit>(&form, "EdtOutDir")->setText(Q(m_dir / "out"));
    Find<QRadioButton>(&form, "RbRename")->setChecked(true);
    StartRunAndWait(form, "BtnPreview");
    auto* preview = form.findChild<PreviewWindow*>(QStringLiteral("PreviewWindow"));
    ASSERT_NE(preview, nullptr);
    ExpectNothingCut(preview, QStringLiteral("preview"));
    preview->hide();
    StartRunAndWait(form);
    // A long record, undos among its runs, some into a deep output folder:
    // the record opens with every column but the folders' readable.
    RunJournal& journal = windows.journal().get();
    for (int i = 0; i < 40; ++i) {
        JournalRun run;
        run.outputDir = m_dir / "out/";
        if (i % 4 == 0)
            for (int depth = 0; depth < 8; ++depth) run.outputDir += "a folder with a long name/";
        run.undoes = i % 3 == 0 ? 1 : 0;
        const int64_t id = journal.beginRun(run);
        journal.endRun(id,
                       JournalEnd{i % 2 ? JournalEndKind::Stopped : JournalEndKind::Finished, {}},
                       JournalCounts{1000, 20, 3, 4, 5});
    }
    int histories = 0;
    ModalDialogs::setScript([&](QDialog& dialog) {
        ++histories;
        ExpectNothingCut(&dialog, QStringLiteral("history"));
        return static_cast<int>(QDialog::Rejected);
    });
    Find<QPushButton>(&form, "BtnHistory")->click();
    EXPECT_EQ(histories, 1);
    // As wide as a usual screen allows, the record opens with every column
    // in sight, the last one whole beside its scroll bar: the output folders
    // give way.
    RunHistoryDialog wide;
    wide.resize(1300, 420);
    wide.load(journal);
    ExpectNothingCut(&wide, QStringLiteral("history-wide"));
    EXPECT_EQ(wide.width(), 1300);
    EXPECT_TRUE(wide.TblRuns->verticalScrollBar()->isVisible());
    EXPECT_LE(wide.TblRuns->horizontalHeader()->length(), wide.TblRuns->viewport()->width());
    const int folders = RunHistoryDialog::kOutputColumn;
    EXPECT_LT(wide.TblRuns->columnWidth(folders),
              static_cast<const QAbstractItemView*>(wide.TblRuns)->sizeHintForColumn(folders));
    // With the type list in use too.
    Find<QCheckBox>(&form, "ChkInclude")->setChecked(true);
    ExpectNothingCut(&form, QStringLiteral("files-after-run"));
    form.hide();

    EveryPage(windows.folderWindow(), QStringLiteral("folders-page"));
    ExpectNothingCut(&windows.addDirectoryDialog(), QStringLiteral("add-directory"));
    // The depth row in use.
    windows.addDirectoryDialog().CheckBox2->setChecked(true);
    ExpectNothingCut(&windows.addDirectoryDialog(), QStringLiteral("add-directory-depth"));
    ExpectNothingCut(&windows.addTypeDialog(), QStringLiteral("add-type"));
    ExpectNothingCut(&windows.aboutBox(), QStringLiteral("about"));
    WriteFile(m_dir / "old", "old");
    WriteFile(m_dir / "new", std::string(5000, 'n'));
    ReplaceQuestion question(nullptr, QStringLiteral("The file /x/old already exists. Replace it?"),
                             ReplaceQuestion::details(m_dir / "old", m_dir / "new"));
    ExpectNothingCut(&question.box(), QStringLiteral("same-name"));
}

}  // namespace
}  // namespace zanfeld::test
