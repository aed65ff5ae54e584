#include "RunControls.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <exception>

#include "MessageBoxes.h"
#include "NativeText.h"

namespace zanfeld {

RunControls::RunControls(const Parts& parts) : m_parts(parts) {}

RunControls::~RunControls() {
    if (m_busy) QApplication::restoreOverrideCursor();
}

void RunControls::showInfo(const std::string& text) {
    MessageBoxes::information(m_parts.owner, FromNative(text));
}

void RunControls::showWarning(const std::string& text) {
    MessageBoxes::warning(m_parts.owner, FromNative(text));
}

bool RunControls::askOverwrite(const std::string& targetPath) {
    // The question belongs to the application, not to the window.
    return MessageBoxes::question(nullptr, QStringLiteral("文件") + FromNative(targetPath) +
                                               QStringLiteral("已存在，是否覆盖？"));
}

void RunControls::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    m_parts.start->setEnabled(!busy);
    m_parts.pages->setEnabled(!busy);
    m_parts.chooser->setEnabled(!busy);
    m_parts.outDir->setReadOnly(busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void RunControls::setProgress(int percent) {
    QProgressBar* bar = m_parts.bar;
    const bool moved = bar->value() != percent;
    // setValue repaints the bar at once whenever its look changes; a second
    // repaint would only draw the same picture again.
    if (moved) bar->setValue(percent);
    // Letting events run costs more than placing a small file, so a long list
    // hands them over when the bar moves or every few milliseconds: the window
    // answers as quickly as a user can tell, and the run is not slowed down.
    constexpr qint64 kEventsEveryMs = 10;
    if (moved || !m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventsEveryMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
}

void RunControls::run(const std::function<void()>& sort) {
    try {
        sort();
    } catch (const std::exception& e) {
        // Unlock before telling the user, so the window is usable again.
        setBusy(false);
        MessageBoxes::error(m_parts.owner, QString::fromLocal8Bit(e.what()));
    }
    setBusy(false);
    QProgressBar* bar = m_parts.bar;
    if (bar->value() != 0) {
        bar->setValue(0);
        bar->repaint();
    }
}

}  // namespace zanfeld
