#include "NamePage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "FormParts.h"
#include "KeyFilter.h"
#include "StarCaption.h"

namespace zanfeld {

NamePage::NamePage(SortIllustration::Kind illustration, const Texts& texts) {
    TabSheet2 = FormParts::whitePage("TabSheet2");
    LblHeading2 = FormParts::heading("LblHeading2", tr("     按文件名称分拣 "));
    Image2 = FormParts::named(new SortIllustration(illustration), "Image2");
    ChkFileNamePart = FormParts::named(new QCheckBox(texts.part), "ChkFileNamePart");
    EdtPartNameBegin = FormParts::named(new QLineEdit, "EdtPartNameBegin");
    Label4 = FormParts::named(new QLabel(tr("字符到：")), "Label4");
    EdtPartNameEnd = FormParts::named(new QLineEdit, "EdtPartNameEnd");
    Label5 = FormParts::named(new QLabel(tr("字符")), "Label5");
    ImgFilter = FormParts::named(new StarCaption(texts.filter), "ImgFilter");
    EdtFilter = FormParts::named(new QLineEdit, "EdtFilter");
    ChkOnlyMatchDir = FormParts::named(new QCheckBox(texts.onlyMatch), "ChkOnlyMatchDir");
    for (QLineEdit* edit : {EdtPartNameBegin, EdtPartNameEnd}) {
        edit->setFixedWidth(48);
        KeyFilter::install(edit, KeyFilter::kDigits);
    }
    // Names for screen readers: the caption names the filter box; the range
    // boxes stand between a check box and the words "字符到：" and "字符",
    // neither of which says what a box holds.
    ImgFilter->setBuddy(EdtFilter);
    EdtPartNameBegin->setAccessibleName(tr("从第几个字符"));
    EdtPartNameEnd->setAccessibleName(tr("到第几个字符"));

    auto* range = new QHBoxLayout;
    range->addWidget(ChkFileNamePart);
    range->addWidget(EdtPartNameBegin);
    range->addWidget(Label4);
    range->addWidget(EdtPartNameEnd);
    range->addWidget(Label5);
    range->addStretch(1);
    auto* controls = new QVBoxLayout;
    controls->addStretch(1);
    controls->addLayout(range);
    controls->addWidget(ImgFilter);
    controls->addWidget(EdtFilter);
    controls->addWidget(ChkOnlyMatchDir);
    controls->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(Image2);
    body->addSpacing(16);
    body->addLayout(controls, 1);
    auto* page = FormParts::pageLayout(TabSheet2);
    page->addWidget(LblHeading2);
    page->addLayout(body, 1);
}

}  // namespace zanfeld
