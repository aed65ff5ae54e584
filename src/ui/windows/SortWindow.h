#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "NamePage.h"
#include "SortHost.h"
#include "SortTypes.h"
#include "SourceList.h"
#include "SourceListGroup.h"
#include "SwitchStrip.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QVBoxLayout;

namespace zanfeld {

class PlanStrip;
class ResultGroup;
class RunControls;
class PreviewWindow;
class RunHistoryDialog;
struct RunPlan;
class SharedJournal;
struct JournalRun;
class SortIllustration;
class StarCaption;
class TfrmAbout;

// What the file window and the folder window have alike: the switch strip,
// the list group, the keyword and name pages, the result group, the mode and
// progress strip and the start strip, the handlers behind them, and the
// window's side of a run as its SortHost. Each window builds its areas with
// the steps below, in its own order, and adds what is its own.
class SortWindow : public QWidget, public SortHost {
    Q_OBJECT
  public:
    // A sort of the engine: the file sort or the folder sort.
    using SortFunction = void (*)(SortOptions options, const std::vector<std::string>& sources,
                                  SortHost& host);

    ~SortWindow() override;

    // The shared about box BtnAout shows.
    void setAboutBox(TfrmAbout* about) { m_about = about; }
    // Where the window's runs keep their records (shared by both windows).
    void setJournal(SharedJournal* journal);

    SourceList& sourceList();
    // Announces to the list box what was appended to sourceList() directly.
    void syncList();

    // The options of a run as the controls stand, and the reverse: every
    // option the window has a control for is shown (a plan chosen).
    virtual SortOptions ReadOptions() const = 0;
    virtual void ApplyOptions(const SortOptions& options) = 0;
    // The output folder as native bytes (kept exact when it came from a chooser
    // or the settings and was not edited since).
    std::string outputDir() const;

    // SortHost, on the window's thread: a run on its worker thread reaches
    // these through a bridge. Each window rereads its own live options.
    void showInfo(const std::string& text) override;
    void showWarning(const std::string& text) override;
    void rejectOption(const std::string& text, OptionId option) override;
    void setOutputDir(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgress(int percent) override;
    bool askOverwrite(const std::string& targetPath) override;

    // Handlers.
    // RbForm1 or RbForm6, whichever leads to the other window.
    void switchWindow();
    virtual void Button1Click() = 0;
    virtual void Button5Click() = 0;
    void Button2Click();
    void Button6Click();
    void BtnSaveFileListClick();
    void BtnImpFileListClick();
    void Button3Click();
    void BtnAoutClick();
    // Starts a run on a worker thread and returns; runFinished tells its end.
    void BtnCopyClick();
    void BtnStopClick();
    // Plans a run with the same checks and rules, touching nothing, and shows
    // the plan in the preview window.
    void BtnPreviewClick();
    // Undoes the newest run that can be undone, after asking.
    void BtnUndoClick();
    // Lists past runs in a dialog, to undo any of them.
    void BtnHistoryClick();
    // A run is going.
    bool running() const;

    // Controls, named as the user documentation names them.
    QVBoxLayout* RootLayout;  // the areas from top to bottom

    QFrame* Panel9;
    QRadioButton* RbForm1;
    QRadioButton* RbForm6;
    // The saved plans, at the right of the switch strip (see PlanStrip).
    QLabel* LblPlan;
    QComboBox* CmbPlan;
    QPushButton* BtnSavePlan;
    QPushButton* BtnDeletePlan;

    QGroupBox* GroupBox1;
    QListView* ListBox1;
    QPushButton* Button1;
    QPushButton* Button5;
    QPushButton* Button2;
    QPushButton* Button6;
    QPushButton* BtnSaveFileList;
    QPushButton* BtnImpFileList;

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;  // each window's own third page
    QLabel* LblHeading1;
    QLabel* LblHeading2;
    SortIllustration* Image1;
    SortIllustration* Image2;
    QLabel* Label3;
    QLineEdit* EdtKeys;
    QCheckBox* ChkFileNamePart;
    QLineEdit* EdtPartNameBegin;
    QLabel* Label4;
    QLineEdit* EdtPartNameEnd;
    QLabel* Label5;
    StarCaption* ImgFilter;
    QLineEdit* EdtFilter;
    QCheckBox* ChkOnlyMatchDir;
    QLabel* Label6;  // on one of each window's own pages
    QComboBox* CmbFileDate;
    QDateEdit* DtDate;
    QTimeEdit* DtTime;

    QGroupBox* GroupBox3;
    QLabel* Label1;
    QLineEdit* EdtOutDir;
    QPushButton* Button3;
    QLabel* Label2;
    QRadioButton* RbOverwrite;
    QRadioButton* RbAsk;
    QRadioButton* RbSkip;
    QRadioButton* RbRename;
    QRadioButton* RbEditFileTime;
    QRadioButton* RbIdentical;

    QFrame* Panel2;
    QGroupBox* GroupBox2;
    QRadioButton* RbCopy;
    QGroupBox* GroupBox4;
    QProgressBar* ProgressBar1;

    QFrame* Panel1;
    QLabel* LblStatus;  // under the bar

    QPushButton* BtnCopy;
    QPushButton* BtnPreview;  // "预览(&P)"
    QPushButton* BtnStop;
    QPushButton* BtnUndo;     // "撤销上次分拣(&U)"
    QPushButton* BtnHistory;  // "分拣记录(&H)"
    QPushButton* BtnAout;

  signals:
    // The user closed the window; its settings are written. The program ends.
    void closed();
    // A run started from BtnCopy has ended and the window is unlocked.
    void runFinished();

  protected:
    // settingsPath: the settings file, read at creation and written on close.
    // defaultOutDir: the output folder on the first start (see DefaultOutputFolder).
    SortWindow(std::string settingsPath, std::string defaultOutDir, Qt::WindowFlags flags,
               QWidget* parent);

    const std::string& settingsPath() const { return m_settingsPath; }
    const std::string& defaultOutDir() const { return m_defaultOutDir; }
    // The window RbForm1 or RbForm6 switches to.
    void setOtherWindow(SortWindow* other) { m_otherWindow = other; }

    // Building steps. own: the window's button in the switch strip.
    void buildSwitchStrip(SwitchStrip::Window own);
    void buildListArea(const SourceListGroup::Texts& texts);
    // PageControl1 with pages 0 and 1 built; the window adds the tabs.
    void buildSharedPages(SortIllustration::Kind keywords, SortIllustration::Kind name,
                          const NamePage::Texts& nameTexts);
    // CmbFileDate, DtDate and DtTime for the window's date page.
    void buildDateControls();
    void buildResultArea();
    // move: the file window's RbMove above RbCopy, or none.
    void buildModeArea(QRadioButton* move, const QString& copyText);
    void buildBottomStrip();
    // Sets up the run controls, then sizes the window and centres it on screen.
    void finishBuilding(int width, int height);

    // The options both windows read alike: the page, the output folder, the
    // same-name answer and the keyword and name pages.
    SortOptions readSharedOptions() const;
    // Shows what readSharedOptions reads; an options' empty output folder
    // leaves the window's as it is.
    void applySharedOptions(const SortOptions& o);
    CivilDate shownDate() const;
    TimeOfDay shownTime() const;
    // Shows the keys both settings sections hold alike, and reads them back.
    // Settings: FileWindowSettings or FolderWindowSettings.
    template <typename Settings>
    void applySharedSettings(const Settings& s);
    template <typename Settings>
    void readSharedSettings(Settings& s) const;

    // The control a rejected option focuses; none for an option the window lacks.
    virtual QWidget* optionControl(OptionId option) const;
    // The window's sort; it runs on a worker thread.
    virtual SortFunction sortFunction() const = 0;
    // A control whose value a run rereads (refreshLiveOptions) changed.
    void liveOptionsChanged();
    // Writes the window's settings section; an error text, empty when written.
    virtual std::string writeSettings() const = 0;

    void closeEvent(QCloseEvent* event) override;
    // The plans are read again: another window or the command line may have
    // saved some since.
    void showEvent(QShowEvent* event) override;
    // Where the window's runs keep their records; none until set.
    SharedJournal* journal() const { return m_journal; }

    SourceListGroup& listGroup() { return *m_list; }
    // The same-name answer as the radio buttons stand.
    SameFilePolicy sameFilePolicy() const;

  private:
    void FormClose();
    void runEnded();
    // Asks, then undoes run on the worker thread as a run goes.
    void undoRun(const JournalRun& run);

    std::string m_settingsPath;
    std::string m_defaultOutDir;
    std::unique_ptr<SourceListGroup> m_list;
    std::unique_ptr<ResultGroup> m_result;
    std::unique_ptr<PlanStrip> m_plans;
    std::unique_ptr<RunControls> m_run;
    TfrmAbout* m_about = nullptr;
    SortWindow* m_otherWindow = nullptr;
    QRadioButton* m_ownButton = nullptr;   // this window's button in the switch strip
    QRadioButton* m_awayButton = nullptr;  // the button that leads to the other window
    bool m_listsFolders = false;
    bool m_closeAfterRun = false;  // the user closed the window during a run
    SharedJournal* m_journal = nullptr;
    std::unique_ptr<RunHistoryDialog> m_history;
    std::shared_ptr<RunPlan> m_plan;  // the plan a preview run is making
    std::unique_ptr<PreviewWindow> m_preview;
};

}  // namespace zanfeld
