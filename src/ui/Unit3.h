#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace zanfeld {

// The add-directory dialog: a folder tree and the choice of how deep to
// collect the chosen folder's files.
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);

    // The folder selected in the tree as a native path; "" when none is.
    std::string selectedPath() const;
    // Selects the folder at a native path in the tree (expanding down to it).
    void selectPath(const std::string& path);
    bool allSubFolders() const;  // CheckBox1
    bool downToDepth() const;    // CheckBox2
    QString depthText() const;   // ComboBox1

    void ChkOtHiddenClick();
    void CheckBox1Click();
    void CheckBox2Click();

    QTreeView* ShellTreeView1;
    QFileSystemModel* ShellModel;
    QCheckBox* ChkOtHidden;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QComboBox* ComboBox1;
    QLabel* Label1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

}  // namespace zanfeld
