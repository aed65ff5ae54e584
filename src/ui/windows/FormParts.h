#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace zanfeld {

// Small builders shared by the two sorting windows, so both look alike.
class FormParts {
    Q_DECLARE_TR_FUNCTIONS(FormParts)

  public:
    // Gives the widget its object name (the name the user documentation uses).
    template <typename T>
    static T* named(T* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }

    // The criterion pages (PageControl1), tabs drawn as flat buttons, as high
    // as the pages need and never narrower than all tabs side by side.
    static QTabWidget* pageControl();
    // A criterion page: a white panel.
    static QWidget* whitePage(const char* name);
    // The layout of a criterion page, kept tight so the pages fit the window.
    static QVBoxLayout* pageLayout(QWidget* page);
    // The heading at the top left of a criterion page.
    static QLabel* heading(const char* name, const QString& text);
    // A drop-down list (not editable) with its first item selected.
    static QComboBox* dropDown(const char* name, const QStringList& items);
    // Selects index, or nothing when index is not one of the items.
    static void setIndex(QComboBox* box, int index);
    // A borderless panel.
    static QFrame* strip(const char* name);
    // The group "分拣进度" (GroupBox4) with its bar (ProgressBar1, 0 to 100)
    // and the run's status line (LblStatus) beneath it.
    static QGroupBox* progressGroup(QProgressBar*& bar, QLabel*& status);
    // The bottom strip (Panel1) with "开始处理(&S)" (BtnCopy), "停止(&T)"
    // (BtnStop, disabled) and "关于(&A)" (BtnAout).
    static QFrame* startStrip(QPushButton*& start, QPushButton*& stop, QPushButton*& about);
};

}  // namespace zanfeld
