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
class TForm1;
class TfrmAbout;

// The folder sorting window: the list of folders to sort, the keyword and
// folder-name pages (and a hidden date page the settings keep), the output
// folder and the same-name choice. Created hidden; the two switch buttons at
// the top hand over between it and the file window. The start button hands
// the options and a copy of the list to the folder engine, and the window
// serves the run as its SortHost.
class TForm6 : public QWidget, public SortHost {
    Q_OBJECT
  public:
    // settingsPath: the settings file, read now and written on close.
    // programDir: the folder of the program file, the output folder's default.
    TForm6(std::string settingsPath, std::string programDir, QWidget* parent = nullptr);
    ~TForm6() override;

    // The file window that RbForm1 switches to, and the shared about box.
    void setFileWindow(TForm1* fileWindow) { m_fileWindow = fileWindow; }
    void setAboutBox(TfrmAbout* about) { m_about = about; }

    SourceList& sourceList();
    // Announces to the list box what was appended to sourceList() directly.
    void syncList();

    // The options of a run as the controls stand.
    SortOptions ReadOptions() const;
    // The settings section as the controls stand, and the reverse.
    FolderWindowSettings ReadSettings() const;
    void ApplySettings(const FolderWindowSettings& settings);
    // The output folder as native bytes.
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
    void RbForm1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void Button6Click();
    void BtnSaveFileListClick();
    void BtnImpFileListClick();
    void BtnAoutClick();
    void BtnCopyClick();

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
    QLabel* Label6;
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

    QFrame* Panel2;
    QGroupBox* GroupBox2;
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

  private:
    void buildSwitchStrip();
    void buildListArea();
    void buildPages();
    void buildResultArea();
    void buildModeArea();
    void buildBottomStrip();
    void FormCreate();
    void FormClose();

    std::string m_settingsPath;
    std::string m_programDir;
    std::unique_ptr<SourceListGroup> m_list;
    std::unique_ptr<ResultGroup> m_result;
    std::unique_ptr<RunControls> m_run;
    TForm1* m_fileWindow = nullptr;
    TfrmAbout* m_about = nullptr;
};

}  // namespace zanfeld
