#include "ReplaceQuestion.h"

#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

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
    m_stop = box.addButton(tr("停止(&S)"), QMessageBox::DestructiveRole);
    m_stop->setObjectName(QStringLiteral("BtnStopRun"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
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
