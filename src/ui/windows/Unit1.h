#pragma once

#include <memory>
#include <string>
#include <vector>

#include "SettingsFile.h"
#include "SortTypes.h"
#include "SortWindow.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPushButton;
class QRadioButton;

namespace zanfeld {

class AutoSortDialog;
class TForm3;
class TForm6;
class TakenDatePage;
class TfrmAbout;
class TfrmSuffix;

// The file sorting window: the list of files to sort, the seven criterion
// pages, the output folder and the same-name choice. It holds no sorting
// logic: the start button hands the options and a copy of the list to the
// engine, and the window serves the run as its SortHost.
class TForm1 : public SortWindow {
    Q_OBJECT
  public:
    // settingsPath: the settings file, read now and written on close.
    // defaultOutDir: the output folder on the first start (see DefaultOutputFolder).
    TForm1(std::string settingsPath, std::string defaultOutDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs are created after this window (start-up order) and shared.
    void setDialogs(TForm3* addDirectory, TfrmAbout* about, TfrmSuffix* addType);
    // The folder sorting window that RbForm6 switches to.
    void setFolderWindow(TForm6* folderWindow);

    SortOptions ReadOptions() const override;
    void ApplyOptions(const SortOptions& options) override;
    // The settings section as the controls stand, and the reverse.
    FileWindowSettings ReadSettings() const;
    void ApplySettings(const FileWindowSettings& settings);

    // SortHost: the type filter, copy or move and the same-name answer.
    void refreshLiveOptions(SortOptions& options) override;

    // Handlers.
    void RbForm6Click() { switchWindow(); }
    void PageControl1Change();
    void ChkIncludeClick();
    void ChkExcludeClick();
    void ChkFileNamePartClick();
    void BtnAddSuffixClick();
    void BtnDelSuffixClick();
    void Button1Click() override;
    void Button5Click() override;
    // The watched folders ("自动分拣…").
    void BtnAutoSortClick();
    // Files dropped on ListBox1; returns how many were appended.
    size_t ListBox1Drop(const QMimeData* data);

    // Controls of this window's own; the shared ones are SortWindow's.
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    TakenDatePage* TabSheet7;  // "拍摄日期"
    QLabel* LblHeading3;
    QLabel* LblHeading4;
    QLabel* LblHeading6;
    SortIllustration* Image3;
    QComboBox* CmbCondition;
    QLineEdit* EdtSize;
    QComboBox* CmbUnit;
    QRadioButton* RbCreateTime;
    QRadioButton* RbModifyTime;
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
    // The taken-date page's types, shown in place of the others on that page.
    QFrame* PnlOption3;
    QLabel* LblTakenTypes;
    QListWidget* LstTakenTypes;

    QRadioButton* RbMove;
    QPushButton* BtnAutoSort;  // "自动分拣(&W)…", after 分拣记录

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QWidget* optionControl(OptionId option) const override;
    SortFunction sortFunction() const override;
    std::string writeSettings() const override;

  private:
    void buildPages();
    void buildOptionArea();
    void FormCreate();
    void readLiveOptions(SortOptions& options) const;

    TForm3* m_addDirectory = nullptr;
    TfrmSuffix* m_addType = nullptr;
    // The type list and the checked picture and taken-date types as last gathered. A run
    // reads the live options before every file; the lists are gathered again
    // only after the user changed one of them.
    mutable std::vector<std::string> m_typePatterns;
    mutable std::vector<std::string> m_picturePatterns;
    mutable std::vector<std::string> m_takenPatterns;
    mutable bool m_patternsRead = false;
    std::unique_ptr<AutoSortDialog> m_autoSort;
};

}  // namespace zanfeld
