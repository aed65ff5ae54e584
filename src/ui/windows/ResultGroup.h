#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

#include "SortTypes.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zanfeld {

// The group "分拣结果" of both sorting windows: the output folder with its
// chooser button, and the same-name answer. The window connects Button3.
class ResultGroup {
    Q_DECLARE_TR_FUNCTIONS(ResultGroup)

  public:
    ResultGroup();

    // The output folder as native bytes: kept exact when it came from the
    // chooser, the settings or a run and was not edited since.
    std::string outputDir() const;
    void showOutputDir(const std::string& bytes);
    // Button3: the folder chooser "请选择文件夹"; the chosen folder with a
    // trailing separator goes into EdtOutDir. False when cancelled.
    bool chooseOutputDir(QWidget* owner);

    // The same-name answer of the checked radio button, and the reverse.
    SameFilePolicy sameFilePolicy() const;
    void selectSameFilePolicy(SameFilePolicy policy);

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
    QRadioButton* RbIdentical;  // 相同则跳过

  private:
    // The output folder's exact bytes and the text they were shown as.
    std::string m_outDirBytes;
    QString m_outDirShown;
};

}  // namespace zanfeld
