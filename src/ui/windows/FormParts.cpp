#include "FormParts.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zanfeld {

QTabWidget* FormParts::pageControl() {
    auto* pages = named(new QTabWidget, "PageControl1");
    pages->setDocumentMode(true);
    pages->tabBar()->setObjectName(QStringLiteral("PageControl1Tabs"));
    // As high as the pages need; the window's added height goes to the list.
    pages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Every tab is read in full: the tabs set the window's smallest width
    // rather than being cut short or scrolled.
    pages->setUsesScrollButtons(false);
    pages->setElideMode(Qt::ElideNone);
    pages->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 4px 8px; margin-right: 3px; border: 1px solid #b8b8b8;"
        " border-radius: 2px; background: #eeeeee; }"
        "QTabBar::tab:selected { background: #ffffff; border-color: #6f8fbf; }"
        "QTabBar::tab:hover { background: #f6f6f6; }"));
    return pages;
}

QWidget* FormParts::whitePage(const char* name) {
    auto* page = named(new QWidget, name);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Qt::white);
    page->setPalette(palette);
    return page;
}

QVBoxLayout* FormParts::pageLayout(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    return layout;
}

QLabel* FormParts::heading(const char* name, const QString& text) {
    auto* label = named(new QLabel(text), name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() + 1.5);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1c, 0x4f, 0x9c));
    label->setPalette(palette);
    return label;
}

QComboBox* FormParts::dropDown(const char* name, const QStringList& items) {
    auto* box = named(new QComboBox, name);
    box->addItems(items);
    box->setCurrentIndex(0);
    return box;
}

void FormParts::setIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

QFrame* FormParts::strip(const char* name) {
    auto* frame = named(new QFrame, name);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

QGroupBox* FormParts::progressGroup(QProgressBar*& bar, QLabel*& status) {
    auto* group = named(new QGroupBox(tr("分拣进度")), "GroupBox4");
    bar = named(new QProgressBar, "ProgressBar1");
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    // The run's status line under the bar; a long file name is cut, never
    // widening the window.
    status = named(new QLabel, "LblStatus");
    status->setMinimumWidth(1);
    status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // One line of fixed height: a new text repaints the label and lays out
    // nothing else.
    status->setFixedHeight(status->fontMetrics().height() + 2);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(bar);
    layout->addWidget(status);
    return group;
}

QFrame* FormParts::startStrip(QPushButton*& start, QPushButton*& stop, QPushButton*& about) {
    QFrame* panel = strip("Panel1");
    // Each with a Latin mnemonic in parentheses, as Chinese buttons take them.
    start = named(new QPushButton(tr("开始处理(&S)")), "BtnCopy");
    stop = named(new QPushButton(tr("停止(&T)")), "BtnStop");
    about = named(new QPushButton(tr("关于(&A)")), "BtnAout");
    start->setMinimumWidth(100);
    stop->setMinimumWidth(80);
    stop->setEnabled(false);
    about->setMinimumWidth(80);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(start);
    layout->addWidget(stop);
    layout->addWidget(about);
    return panel;
}

}  // namespace zanfeld
