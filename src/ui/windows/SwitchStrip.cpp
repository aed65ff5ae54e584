#include "SwitchStrip.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QRadioButton>

#include "FormParts.h"

namespace zanfeld {

SwitchStrip::SwitchStrip(Window own) {
    Panel9 = FormParts::strip("Panel9");
    Panel9->setFixedHeight(26);
    RbForm1 = FormParts::named(new QRadioButton(tr("文件分拣")), "RbForm1");
    RbForm6 = FormParts::named(new QRadioButton(tr("文件夹（目录）分拣")), "RbForm6");
    (own == Window::Files ? RbForm1 : RbForm6)->setChecked(true);
    auto* layout = new QHBoxLayout(Panel9);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(24);
    layout->addWidget(RbForm1);
    layout->addWidget(RbForm6);
    layout->addStretch(1);
}

}  // namespace zanfeld
