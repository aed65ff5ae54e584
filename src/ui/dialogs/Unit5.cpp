#include "Unit5.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "InputMethodOff.h"
#include "MessageBoxes.h"
#include "NativeText.h"
#include "TextUtil.h"

namespace zanfeld {

TfrmSuffix::TfrmSuffix(QListWidget* typeList, QWidget* parent)
    : QDialog(parent), m_typeList(typeList) {
    setObjectName(QStringLiteral("frmSuffix"));
    setWindowTitle(tr("添加文件类型"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(tr("输入文件扩展名如:*.txt"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("*."), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);
    // Patterns are typed in plain ASCII; an input method would only get in the way.
    InputMethodOff::install(Edit1);
    Button1 = new QPushButton(tr("添加"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* row = new QHBoxLayout;
    row->addWidget(Edit1, 1);
    row->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Label1);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TfrmSuffix::Button1Click() {
    std::string pattern = TrimBlanks(ToNative(Edit1->text()));
    // The bar separates the patterns in the settings file.
    std::erase(pattern, '|');
    if (!pattern.starts_with("*.") || pattern.size() <= 2) {
        MessageBoxes::information(nullptr, tr("输入文件扩展名如:*.txt !"));
        return;
    }
    bool listed = false;
    for (int row = 0; row < m_typeList->count() && !listed; ++row) {
        listed = EqualsIgnoreAsciiCase(ToNative(m_typeList->item(row)->text()), pattern);
    }
    if (!listed) m_typeList->addItem(FromNative(pattern));
    accept();
}

}  // namespace zanfeld
