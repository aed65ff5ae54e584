#include "KeywordPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "FormParts.h"

namespace zanfeld {

KeywordPage::KeywordPage(SortIllustration::Kind illustration) {
    TabSheet1 = FormParts::whitePage("TabSheet1");
    LblHeading1 = FormParts::heading("LblHeading1", tr("     按文件名匹配关键字分拣  "));
    Image1 = FormParts::named(new SortIllustration(illustration), "Image1");
    Label3 = FormParts::named(
        new QLabel(tr("请输入关键字（多个关键字以空格分隔）：               ")), "Label3");
    EdtKeys = FormParts::named(new QLineEdit, "EdtKeys");
    Label3->setBuddy(EdtKeys);

    auto* controls = new QVBoxLayout;
    controls->addStretch(1);
    controls->addWidget(Label3);
    controls->addWidget(EdtKeys);
    controls->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(Image1);
    body->addSpacing(16);
    body->addLayout(controls, 1);
    auto* page = FormParts::pageLayout(TabSheet1);
    page->addWidget(LblHeading1);
    page->addLayout(body, 1);
}

}  // namespace zanfeld
