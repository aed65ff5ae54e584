#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "SettingsFile.h"
#include "SortHost.h"
#include "SortTypes.h"
#include "SourceList.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMimeData;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QVBoxLayout;

namespace zanfeld {

class ResultGroup;
class RunControls;
class SortIllustration;
class SourceListGroup;
class StarCaption;
class TForm3;
class TForm6;
class TfrmAbout;
class TfrmSuffix;

// The file sorting window: the list of files to sort, the six criterion
// pages, the output folder and the same-name choice. It holds no sorting
// logic: the start button hands the options and a copy of the list to the
// engine, and the window serves the run as its SortHost.
class TForm1 : public QWidget, public SortHost {
    Q_OBJECT
  public:
    // settingsPath: the settings file, read now and written on close.
    // programDir: the folder of the program file, the output folder's default.
    TForm1(std::string settingsPath, std::string programDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs are created after this window (start-up order) and shared.
    void setDialogs(TForm3* addDirectory, TfrmAbout* about, TfrmSuffix* addType);
    // The folder sorting window that RbForm6 switches to.
    void setFolderWindow(TForm6* folderWindow) { m_folderWindow = folderWindow; }

    SourceList& sourceList();
    // Announces to the list box what was appended to sourceList() directly.
    void syncList();

    // The options of a run as the controls stand.
    SortOptions ReadOptions() const;
    // The settings section as the controls stand, and the reverse.
    FileWindowSettings ReadSettings() const;
    void ApplySettings(const FileWindowSettings& settings);
    // The output folder as native bytes (kept exact when it came from a chooser
    // or the settings and was not edited since).
    std::string outputDir() const;

    // SortHost.
    void showInfo(const std::string& text) override;
    void rejectOption(const std::string& text, OptionId option) override;
    void setOutputDir(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgress(int percent) override;
    void refreshLiveOptions(SortOptions& options) override;
    bool askOverwrite(const std::string& targetPath) override;

    // Handlers.
    void RbForm6Click();
    void PageControl1Change();
    void ChkIncludeClick();
    void ChkExcludeClick();
    void ChkFileNamePartClick();
    void BtnAddSuffixClick();
    void BtnDelSuffixClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void Button6Click();
    void BtnSaveFileListClick();
    void BtnImpFileListClick();
    void BtnAoutClick();
    void BtnCopyClick();
    // Files dropped on ListBox1; returns how many were appended.
    size_t ListBox1Drop(const QMimeData* data);

    // Controls, named as the user documentation names them.
    QVBoxLayout* RootLayout;  // the areas from top to bottom

    QFrame* Panel9;
    QRadioButton* RbForm1;
    QRadioButton* RbForm6;

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
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QLabel* LblHeading1;
    QLabel* LblHeading2;
    QLabel* LblHeading3;
    QLabel* LblHeading4;
    QLabel* LblHeading6;
    SortIllustration* Image1;
    SortIllustration* Image2;
    SortIllustration* Image3;
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
    QLabel* Label6;
    QComboBox* CmbCondition;
    QLineEdit* EdtSize;
    QComboBox* CmbUnit;
    QRadioButton* RbCreateTime;
    QRadioButton* RbModifyTime;
    QComboBox* CmbFileDate;
    QDateEdit* DtDate;
    QTimeEdit* DtTime;
    QRadioButton* RbPicW;
    QRadioButton* RbPicH;
    QComboBox* CmbPic;
    QLineEdit* EdtPic;
    QLabel* Label7;

    QGroupBox* GroupBox5;
    QLabel* lblOption;
    QFrame* PnlOption;
    QCheckBox* ChkInclude;
    QCheckBox* ChkExclude;
    QListWidget* ListBox2;
    QPushButton* BtnAddSuffix;
    QPushButton* BtnDelSuffix;
    QFrame* PnlOption2;
    QLabel* Label9;
    QListWidget* ChkLstPic;

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

    QFrame* Panel2;
    QGroupBox* GroupBox2;
    QRadioButton* RbMove;
    QRadioButton* RbCopy;
    QGroupBox* GroupBox4;
    QProgressBar* ProgressBar1;

    QFrame* Panel1;
    QPushButton* BtnCopy;
    QPushButton* BtnAout;

  signals:
    // The user closed the window; its settings are written. The program ends.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildSwitchStrip();
    void buildListArea();
    void buildPages();
    void buildOptionArea();
    void buildResultArea();
    void buildModeArea();
    void buildBottomStrip();
    void FormCreate();
    void FormClose();
    void readLiveOptions(SortOptions& options) const;

    std::string m_settingsPath;
    std::string m_programDir;
    std::unique_ptr<SourceListGroup> m_list;
    std::unique_ptr<ResultGroup> m_result;
    std::unique_ptr<RunControls> m_run;
    TForm3* m_addDirectory = nullptr;
    TfrmAbout* m_about = nullptr;
    TfrmSuffix* m_addType = nullptr;
    TForm6* m_folderWindow = nullptr;
};

}  // namespace zanfeld
