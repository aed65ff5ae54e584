#include "SortIllustration.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace zanfeld {

namespace {

constexpr int kFileW = 24;
constexpr int kFileH = 30;
constexpr int kFolderW = 36;
constexpr int kFolderH = 26;
constexpr int kTop = 4;
constexpr int kLabelH = 16;
constexpr int kLabelW = 90;       // under a file or a folder
constexpr int kArrowLabelW = 60;  // the keyword beside the arrows
constexpr int kArrowTop = kTop + kFileH + kLabelH + 2;
constexpr int kArrowLen = 26;
constexpr int kFolderTop = kArrowTop + kArrowLen + 2;
constexpr int kHeight = kFolderTop + kFolderH + kLabelH + 2;

QColor BandColour(const QString& name) {
    if (name.endsWith(QStringLiteral(".doc"))) return QColor(0x2b, 0x5d, 0xb8);
    if (name.endsWith(QStringLiteral(".xls"))) return QColor(0x1f, 0x8a, 0x3f);
    return QColor(0x80, 0x80, 0x80);
}

void DrawFile(QPainter& p, QPointF centre, const QString& name) {
    const QRectF r(centre.x() - kFileW / 2.0, kTop, kFileW, kFileH);
    const qreal fold = 7;
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xdd, 0xdd, 0xdd));
    p.drawPath(corner);
    p.fillRect(QRectF(r.left() + 3, r.bottom() - 9, kFileW - 6, 5), BandColour(name));
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() - kLabelW / 2.0, r.bottom() + 1, kLabelW, kLabelH),
               Qt::AlignCenter, name);
}

// top: the upper edge; target folders sit in the lower row by default.
void DrawFolder(QPainter& p, QPointF centre, const QString& name, qreal top = kFolderTop) {
    const QRectF r(centre.x() - kFolderW / 2.0, top, kFolderW, kFolderH);
    QPainterPath folder;
    folder.moveTo(r.left(), r.top() + 4);
    folder.lineTo(r.left() + 12, r.top() + 4);
    folder.lineTo(r.left() + 15, r.top());
    folder.lineTo(r.left() + 24, r.top());
    folder.lineTo(r.left() + 27, r.top() + 4);
    folder.lineTo(r.right(), r.top() + 4);
    folder.lineTo(r.bottomRight());
    folder.lineTo(r.bottomLeft());
    folder.closeSubpath();
    p.setPen(QPen(QColor(0xb0, 0x80, 0x10), 1));
    p.setBrush(QColor(0xf6, 0xc8, 0x4c));
    p.drawPath(folder);
    p.setPen(QPen(QColor(0xe0, 0xa8, 0x20), 1));
    p.drawLine(QPointF(r.left() + 1, r.top() + 9), QPointF(r.right() - 1, r.top() + 9));
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() - kLabelW / 2.0, r.bottom() + 1, kLabelW, kLabelH),
               Qt::AlignCenter, name);
}

void DrawArrow(QPainter& p, QPointF from, QPointF to) {
    const QColor colour(0xc0, 0x30, 0x30);
    p.setPen(QPen(colour, 1.5));
    p.drawLine(from, to);
    const qreal angle = qAtan2(to.y() - from.y(), to.x() - from.x());
    const qreal len = 7;
    const QPointF a = to - QPointF(len * qCos(angle - 0.45), len * qSin(angle - 0.45));
    const QPointF b = to - QPointF(len * qCos(angle + 0.45), len * qSin(angle + 0.45));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({to, a, b}));
}

}  // namespace

SortIllustration::SortIllustration(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    switch (kind) {
        case Kind::Keywords:
            m_files = {tr("西游记.txt"), tr("东游记.doc")};
            m_folders = {tr("游记")};
            m_arrows = {{0, 0}, {1, 0}};
            m_arrowLabel = tr("游记");
            break;
        case Kind::BaseName:
            m_files = {QStringLiteral("A.xls"), QStringLiteral("A.doc"), QStringLiteral("B.txt"),
                       QStringLiteral("B.doc")};
            m_folders = {QStringLiteral("A"), QStringLiteral("B")};
            m_arrows = {{0, 0}, {1, 0}, {2, 1}, {3, 1}};
            break;
        case Kind::FileType:
            m_files = {QStringLiteral("a.doc"), QStringLiteral("b.txt"), QStringLiteral("c.doc"),
                       QStringLiteral("d.txt")};
            m_folders = {QStringLiteral(".doc"), QStringLiteral(".txt")};
            m_arrows = {{0, 0}, {2, 0}, {1, 1}, {3, 1}};
            break;
        case Kind::FolderKeywords:
            m_folderSources = true;
            m_files = {tr("西游记"), tr("东游记")};
            m_folders = {tr("游记")};
            m_arrows = {{0, 0}, {1, 0}};
            m_arrowLabel = tr("游记");
            break;
        case Kind::FolderName:
            m_folderSources = true;
            m_files = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"),
                       QStringLiteral("B2")};
            m_folders = {QStringLiteral("A"), QStringLiteral("B")};
            m_arrows = {{0, 0}, {1, 0}, {2, 1}, {3, 1}};
            break;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

std::vector<SortIllustration::Label> SortIllustration::labels() const {
    std::vector<Label> labels;
    for (const QString& name : m_files) labels.push_back({name, kLabelW});
    for (const QString& name : m_folders) labels.push_back({name, kLabelW});
    if (!m_arrowLabel.isEmpty()) labels.push_back({m_arrowLabel, kArrowLabelW});
    return labels;
}

QSize SortIllustration::sizeHint() const {
    return QSize(static_cast<int>(m_files.size()) * (m_files.size() < 3 ? 105 : 75), kHeight);
}

QSize SortIllustration::minimumSizeHint() const {
    return QSize(static_cast<int>(m_files.size()) * 60, kHeight);
}

void SortIllustration::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal step = static_cast<qreal>(width()) / static_cast<qreal>(m_files.size());
    std::vector<qreal> fileX(m_files.size());
    for (size_t i = 0; i < m_files.size(); ++i) fileX[i] = step * (static_cast<qreal>(i) + 0.5);

    // Each folder sits under the middle of the files that go into it.
    std::vector<qreal> folderX(m_folders.size(), 0);
    std::vector<int> counts(m_folders.size(), 0);
    for (const Arrow& a : m_arrows) {
        folderX[static_cast<size_t>(a.folder)] += fileX[static_cast<size_t>(a.file)];
        ++counts[static_cast<size_t>(a.folder)];
    }
    for (size_t f = 0; f < m_folders.size(); ++f) {
        if (counts[f] > 0) folderX[f] /= counts[f];
    }

    for (size_t i = 0; i < m_files.size(); ++i) {
        if (m_folderSources) {
            // Level with where a file's label would sit.
            DrawFolder(p, QPointF(fileX[i], 0), m_files[i], kTop + kFileH - kFolderH);
        } else {
            DrawFile(p, QPointF(fileX[i], 0), m_files[i]);
        }
    }
    for (const Arrow& a : m_arrows) {
        DrawArrow(p, QPointF(fileX[static_cast<size_t>(a.file)], kArrowTop),
                  QPointF(folderX[static_cast<size_t>(a.folder)], kArrowTop + kArrowLen));
    }
    for (size_t f = 0; f < m_folders.size(); ++f)
        DrawFolder(p, QPointF(folderX[f], 0), m_folders[f]);

    if (!m_arrowLabel.isEmpty()) {
        p.setPen(QColor(0xc0, 0x30, 0x30));
        const qreal x = folderX.empty() ? width() / 2.0 : folderX[0];
        p.drawText(QRectF(x - kArrowLabelW / 2.0, kArrowTop + kArrowLen / 2.0 - kLabelH - 2,
                          kArrowLabelW, kLabelH),
                   Qt::AlignCenter, m_arrowLabel);
    }
}

}  // namespace zanfeld
