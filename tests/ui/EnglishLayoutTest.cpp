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
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeView>
#include <string>
#include <vector>

#include "AppWindows.h"
#include "LanguageTexts.h"
#include "PreviewWindow.h"
#include "ReplaceQuestion.h"
#include "RunHistoryDialog.h"
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

QString Describe(const QWidget* w, const QString& text, int needed, int has) {
    return QStringLiteral("%1 \"%2\" needs %3 px, has %4")
        .arg(NameOf(w), text)
        .arg(needed)
        .arg(has);
}

// The texts of window (as it is shown now) that do not fit their place.
QStringList CutTexts(QWidget* window) {
    QStringList cut;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->text().isEmpty()) continue;
            if (label->sizeHint().width() > label->width())
                cut << Describe(w, label->text(), label->sizeHint().width(), label->width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text().isEmpty()) continue;
            if (button->sizeHint().width() > button->width())
                cut << Describe(w, button->text(), button->sizeHint().width(), button->width());
        } else if (auto* star = qobject_cast<StarCaption*>(w)) {
            if (star->sizeHint().width() > star->width())
                cut << Describe(w, star->text(), star->sizeHint().width(), star->width());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            // A box is as wide as its longest item needs.
            if (combo->isEditable()) continue;
            if (combo->sizeHint().width() > combo->width())
                cut << Describe(w, combo->currentText(), combo->sizeHint().width(), combo->width());
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            const int needed = group->fontMetrics().horizontalAdvance(group->title()) + 16;
            if (needed > group->width()) cut << Describe(w, group->title(), needed, group->width());
        } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->isTabVisible(i)) continue;
                const QRect tab = bar->tabRect(i);
                const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
                if (needed > tab.width() || !bar->rect().contains(tab))
                    cut << Describe(w, bar->tabText(i), needed, tab.width());
            }
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            if (header->orientation() != Qt::Horizontal) continue;
            const QAbstractItemModel* model = header->model();
            for (int i = 0; i < header->count(); ++i) {
                if (header->isSectionHidden(i)) continue;
                // The last section stretches over what the others leave; its
                // cells need room as well as its title.
                int needed = header->sectionSizeHint(i);
                if (header->stretchLastSection() && i == header->count() - 1) {
                    if (auto* view = qobject_cast<const QAbstractItemView*>(header->parentWidget()))
                        needed = std::max(needed, view->sizeHintForColumn(i));
                }
                if (needed > header->sectionSize(i))
                    cut << Describe(w, model->headerData(i, Qt::Horizontal).toString(), needed,
                                    header->sectionSize(i));
            }
        } else if (auto* picture = qobject_cast<SortIllustration*>(w)) {
            for (const SortIllustration::Label& label : picture->labels()) {
                const int needed = picture->fontMetrics().horizontalAdvance(label.text);
                if (needed > label.width) cut << Describe(w, label.text, needed, label.width);
            }
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

TEST_F(EnglishLayoutTest, SortingWindowsOnEveryPage) {
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
    EveryPage(windows.fileWindow(), QStringLiteral("files-page"));
    // With the type list in use and a file listed.
    Find<QCheckBox>(&windows.fileWindow(), "ChkInclude")->setChecked(true);
    WriteFile(m_dir / "in/a.txt", "a");
    FilePickers::queueAnswer({Q(m_dir / "in/a.txt")});
    Find<QPushButton>(&windows.fileWindow(), "Button1")->click();
    ExpectNothingCut(&windows.fileWindow(), QStringLiteral("files-listed"));
    windows.fileWindow().hide();
    EveryPage(windows.folderWindow(), QStringLiteral("folders-page"));
}

TEST_F(EnglishLayoutTest, Dialogs) {
    AppWindows windows(m_dir / "Zanfeld.ini", m_dir.path());
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

TEST_F(EnglishLayoutTest, PreviewAndHistoryAfterARun) {
    SharedJournal journal(m_dir / "journal.sqlite");
    TForm1 form(m_dir / "Zanfeld.ini", m_dir.path());
    form.setJournal(&journal);
    QStringList paths;
    for (const char* name : {"a.txt", "b.txt", "c.doc"}) {
        WriteFile(m_dir / "in" + "/" + name, name);
        paths << Q(m_dir / "in" + "/" + name);
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
    ExpectNothingCut(&form, QStringLiteral("files-after-run"));
    ModalDialogs::setScript([](QDialog& dialog) {
        ExpectNothingCut(&dialog, QStringLiteral("history"));
        return static_cast<int>(QDialog::Rejected);
    });
    Find<QPushButton>(&form, "BtnHistory")->click();
}

}  // namespace
}  // namespace zanfeld::test
