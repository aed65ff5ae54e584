#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <string>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace zanfeld {

// The add-directory dialog: a folder tree and the choice of how deep to
// collect the chosen folder's files. The tree starts at the top of the file
// system; the first showing opens it down to the user's home folder and
// selects that, later showings find the selection the user left.
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* parent = nullptr);

    // The folder selected in the tree as a native path; "" when none is.
    std::string selectedPath() const;
    // Selects the folder at a native path in the tree (expanding down to it);
    // false when the tree has no such folder.
    bool selectPath(const std::string& path);
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

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void selectHomeFolder();
    // Scrolls the home folder back into view while the folders above it are
    // still being read (rows arriving above it push it down).
    void keepHomeInView();

    bool m_shownBefore = false;
    // The home folder while it is kept in view; invalid once the user has
    // scrolled or chosen anything in the tree.
    QPersistentModelIndex m_homeInView;
};

}  // namespace zanfeld
