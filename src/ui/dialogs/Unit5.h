#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zanfeld {

// The add-type dialog: one file-type pattern such as "*.txt" for the file
// window's type list.
class TfrmSuffix : public QDialog {
    Q_OBJECT
  public:
    // typeList is the file window's ListBox2, which the dialog appends to.
    explicit TfrmSuffix(QListWidget* typeList, QWidget* parent = nullptr);

    void Button1Click();

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;

  private:
    QListWidget* m_typeList;
};

}  // namespace zanfeld
