#include "TakenDatePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

#include "FormParts.h"
#include "NativeText.h"
#include "TakenDateRule.h"

namespace zanfeld {

using P = FormParts;

TakenDatePage::TakenDatePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet7"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    LblTakenGroup = P::named(new QLabel(tr("按拍摄日期建立文件夹：")), "LblTakenGroup");
    CmbTakenGroup =
        P::dropDown("CmbTakenGroup", {tr("年"), tr("年\\月"), tr("年-月"), tr("年-月-日")});
    P::setIndex(CmbTakenGroup, static_cast<int>(TakenGroup::YearThenMonth));
    LblTakenExample = P::named(new QLabel, "LblTakenExample");
    QPalette grey = LblTakenExample->palette();
    grey.setColor(QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    LblTakenExample->setPalette(grey);
    ChkTakenModified = P::named(new QCheckBox(tr("无拍摄时间时使用修改时间")), "ChkTakenModified");
    ChkTakenSkip = P::named(new QCheckBox(tr("无日期的文件不分拣")), "ChkTakenSkip");
    LblTakenSources = P::named(new QLabel, "LblTakenSources");
    LblTakenSources->setPalette(grey);
    // A longer translation wraps rather than widening the window.
    LblTakenSources->setWordWrap(true);
    LblTakenGroup->setBuddy(CmbTakenGroup);

    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(LblTakenGroup);
    groupRow->addWidget(CmbTakenGroup);
    groupRow->addSpacing(12);
    groupRow->addWidget(LblTakenExample);
    groupRow->addStretch(1);
    auto* controls = new QVBoxLayout;
    controls->setSpacing(4);
    controls->addLayout(groupRow);
    controls->addWidget(ChkTakenModified);
    controls->addWidget(ChkTakenSkip);
    controls->addWidget(LblTakenSources);
    auto* body = new QHBoxLayout;
    body->addSpacing(40);
    body->addLayout(controls, 1);
    body->addSpacing(40);
    auto* page = P::pageLayout(this);
    page->addStretch(1);
    page->addLayout(body);
    page->addStretch(2);

    connect(CmbTakenGroup, &QComboBox::currentIndexChanged, this, [this] { showExample(); });
    for (QCheckBox* box : {ChkTakenModified, ChkTakenSkip})
        connect(box, &QCheckBox::toggled, this, [this] { showSources(); });
    showExample();
    showSources();
}

TakenGroup TakenDatePage::group() const {
    const int index = CmbTakenGroup->currentIndex();
    // No selection reads as the default layout rather than no folders at all.
    if (index < 0 || index > static_cast<int>(TakenGroup::Day)) return TakenGroup::YearThenMonth;
    return static_cast<TakenGroup>(index);
}

void TakenDatePage::showExample() {
    LocalDateTime day;
    day.year = 2024;
    day.month = 5;
    day.day = 6;
    // The rule's own folder name, so the example never says other than a run does.
    LblTakenExample->setText(tr("例：2024-05-06 拍摄的文件放入 %1")
                                 .arg(FromNative(TakenDateRule::FolderOf(day, group()))));
}

void TakenDatePage::showSources() {
    QStringList sources = {tr("照片或视频记录的拍摄时间")};
    if (m_fromName) sources << tr("文件名中的日期");
    if (ChkTakenModified->isChecked()) sources << tr("修改时间");
    const QString rest = ChkTakenSkip->isChecked()
                             ? tr("都没有时留在原处。")
                             : tr("都没有时放入“%1”文件夹。").arg(FromNative(m_unknownFolder));
    LblTakenSources->setText(tr("日期依次取自：%1；%2").arg(sources.join(tr("、")), rest));
}

void TakenDatePage::read(SortOptions& o) const {
    o.takenGroup = group();
    o.takenFromName = m_fromName;
    o.takenFromModified = ChkTakenModified->isChecked();
    o.takenSkipUnknown = ChkTakenSkip->isChecked();
    o.takenUnknownFolder = m_unknownFolder;
}

void TakenDatePage::apply(const SortOptions& o) {
    m_fromName = o.takenFromName;
    m_unknownFolder = o.takenUnknownFolder;
    P::setIndex(CmbTakenGroup, static_cast<int>(o.takenGroup));
    ChkTakenModified->setChecked(o.takenFromModified);
    ChkTakenSkip->setChecked(o.takenSkipUnknown);
    showExample();
    showSources();
}

void TakenDatePage::read(FileWindowSettings& s) const {
    s.takenGroup = static_cast<int>(group());
    s.takenModified = ChkTakenModified->isChecked();
    s.takenSkipUnknown = ChkTakenSkip->isChecked();
}

void TakenDatePage::apply(const FileWindowSettings& s) {
    P::setIndex(CmbTakenGroup, s.takenGroup);
    ChkTakenModified->setChecked(s.takenModified);
    ChkTakenSkip->setChecked(s.takenSkipUnknown);
    showExample();
}

}  // namespace zanfeld
