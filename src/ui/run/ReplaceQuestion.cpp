#include "ReplaceQuestion.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "AppTitle.h"
#include "FileOps.h"
#include "RunStatusText.h"

namespace zanfeld {

ReplaceQuestion::ReplaceQuestion(QWidget* owner, const QString& text, const QString& details)
    : m_box(std::make_unique<QMessageBox>(owner)) {
    QMessageBox& box = *m_box;
    box.setObjectName(QStringLiteral("ReplaceQuestion"));
    box.setWindowTitle(AppTitle());
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    box.setInformativeText(details);
    // Yes and No take Qt's own words for them; its words for the "to all"
    // buttons read differently from ours, so these two are set here.
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll |
                           QMessageBox::NoToAll);
    box.button(QMessageBox::YesToAll)->setText(tr("全部是(&A)"));
    box.button(QMessageBox::NoToAll)->setText(tr("全部否(&O)"));
    m_stop = box.addButton(tr("停止(&S)"), QMessageBox::RejectRole);
    m_stop->setObjectName(QStringLiteral("BtnStopRun"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    arrangeButtons();
}

void ReplaceQuestion::arrangeButtons() {
    // The platform orders buttons by their roles, some with 否 before 是 or
    // 停止 among the answers: here they read 是, 全部是, 否, 全部否, and 停止,
    // which ends the whole run, stands apart at the end.
    auto* buttons = m_box->findChild<QDialogButtonBox*>();
    auto* row = buttons ? qobject_cast<QBoxLayout*>(buttons->layout()) : nullptr;
    if (!row) return;
    // Deleting a layout item leaves its button alone.
    while (QLayoutItem* item = row->takeAt(0)) delete item;
    const QList<QAbstractButton*> order = {
        m_box->button(QMessageBox::Yes), m_box->button(QMessageBox::YesToAll),
        m_box->button(QMessageBox::No), m_box->button(QMessageBox::NoToAll), m_stop};
    row->addStretch();
    for (QAbstractButton* button : order) {
        if (button == m_stop) row->addSpacing(std::max(24, 3 * row->spacing()));
        row->addWidget(button);
    }
    if (buttons->centerButtons()) row->addStretch();
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

ReplaceQuestion::~ReplaceQuestion() = default;

ReplaceAnswer ReplaceQuestion::exec() {
    m_box->exec();
    return answerOf(m_box->clickedButton());
}

ReplaceAnswer ReplaceQuestion::answerOf(const QAbstractButton* button) const {
    if (!button) return ReplaceAnswer::No;
    if (button == m_stop) return ReplaceAnswer::Stop;
    switch (m_box->standardButton(const_cast<QAbstractButton*>(button))) {
        case QMessageBox::Yes:
            return ReplaceAnswer::Yes;
        case QMessageBox::YesToAll:
            return ReplaceAnswer::YesToAll;
        case QMessageBox::NoToAll:
            return ReplaceAnswer::NoToAll;
        default:
            return ReplaceAnswer::No;
    }
}

QString ReplaceQuestion::details(const std::string& target, const std::string& source) {
    if (source.empty()) return {};
    const auto targetSize = RegularFileSize(target);
    const auto sourceSize = RegularFileSize(source);
    const auto targetTime = RegularFileTime(target);
    const auto sourceTime = RegularFileTime(source);

    const QString none = QStringLiteral("—");
    auto size = [&](const std::optional<int64_t>& n) {
        if (!n) return none;
        const auto bytes = static_cast<uint64_t>(*n);
        if (bytes < 1024) return tr("%n 字节", nullptr, static_cast<int>(bytes));
        return tr("%1（%2 字节）")
            .arg(
                RunStatusText::bytes(bytes),
                QLocale(QLocale::Chinese, QLocale::China).toString(static_cast<qulonglong>(bytes)));
    };
    auto time = [&](const std::optional<FileTime>& t, bool newer) {
        if (!t) return none;
        const QString shown =
            QDateTime::fromSecsSinceEpoch(t->sec).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return newer ? tr("%1（较新）").arg(shown) : shown;
    };
    const bool targetNewer = targetTime && sourceTime && *targetTime > *sourceTime;
    const bool sourceNewer = targetTime && sourceTime && *sourceTime > *targetTime;
    auto cell = [](const QString& text) {
        // A time with its mark stays on one line however narrow the box is.
        return QStringLiteral("<td style=\"white-space:nowrap\">%1</td>").arg(text.toHtmlEscaped());
    };
    auto head = [](const QString& text) {
        return QStringLiteral("<th align=\"left\">%1</th>").arg(text.toHtmlEscaped());
    };
    return QStringLiteral("<table cellspacing=\"6\">") + QStringLiteral("<tr><td></td>") +
           head(tr("现有文件")) + head(tr("新文件")) + QStringLiteral("</tr>") +
           QStringLiteral("<tr>") + cell(tr("大小：")) + cell(size(targetSize)) +
           cell(size(sourceSize)) + QStringLiteral("</tr><tr>") + cell(tr("修改时间：")) +
           cell(time(targetTime, targetNewer)) + cell(time(sourceTime, sourceNewer)) +
           QStringLiteral("</tr></table>");
}

}  // namespace zanfeld
