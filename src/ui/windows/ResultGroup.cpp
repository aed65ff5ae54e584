#include "ResultGroup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "FilePickers.h"
#include "FormParts.h"
#include "NativeText.h"
#include "PathNames.h"

namespace zanfeld {

ResultGroup::ResultGroup() {
    using P = FormParts;
    GroupBox3 = P::named(new QGroupBox(tr("分拣结果")), "GroupBox3");
    Label1 = P::named(new QLabel(tr("分拣结果输出到：")), "Label1");
    EdtOutDir = P::named(new QLineEdit, "EdtOutDir");
    Label1->setBuddy(EdtOutDir);
    Button3 = P::named(new QPushButton(tr("选择")), "Button3");
    Label2 = P::named(new QLabel(tr("目标文件夹下存在同名文件时：")), "Label2");
    RbOverwrite = P::named(new QRadioButton(tr("覆盖")), "RbOverwrite");
    RbAsk = P::named(new QRadioButton(tr("询问")), "RbAsk");
    RbSkip = P::named(new QRadioButton(tr("跳过")), "RbSkip");
    RbRename = P::named(new QRadioButton(tr("自动编号文件名")), "RbRename");
    RbEditFileTime = P::named(new QRadioButton(tr("按文件修改时间只替换旧文件")), "RbEditFileTime");
    RbIdentical = P::named(new QRadioButton(tr("相同则跳过")), "RbIdentical");
    RbOverwrite->setChecked(true);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(EdtOutDir, 1);
    top->addWidget(Button3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label2);
    for (QRadioButton* rb : {RbOverwrite, RbAsk, RbSkip, RbRename, RbEditFileTime, RbIdentical}) {
        bottom->addWidget(rb);
    }
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(GroupBox3);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addLayout(bottom);
}

std::string ResultGroup::outputDir() const {
    const QString text = EdtOutDir->text();
    return text == m_outDirShown ? m_outDirBytes : ToNative(text);
}

void ResultGroup::showOutputDir(const std::string& bytes) {
    m_outDirBytes = bytes;
    m_outDirShown = FromNative(bytes);
    EdtOutDir->setText(m_outDirShown);
}

bool ResultGroup::chooseOutputDir(QWidget* owner) {
    const QString chosen = FilePickers::chooseFolder(owner, tr("请选择文件夹"));
    if (chosen.isEmpty()) return false;
    showOutputDir(WithTrailingSeparator(ToNative(chosen)));
    return true;
}

SameFilePolicy ResultGroup::sameFilePolicy() const {
    if (RbRename->isChecked()) return SameFilePolicy::Rename;
    if (RbEditFileTime->isChecked()) return SameFilePolicy::EditFileTime;
    if (RbAsk->isChecked()) return SameFilePolicy::Ask;
    if (RbSkip->isChecked()) return SameFilePolicy::Skip;
    if (RbIdentical->isChecked()) return SameFilePolicy::Identical;
    return SameFilePolicy::Overwrite;
}

void ResultGroup::selectSameFilePolicy(SameFilePolicy policy) {
    switch (policy) {
        case SameFilePolicy::Overwrite:
            RbOverwrite->setChecked(true);
            break;
        case SameFilePolicy::Ask:
            RbAsk->setChecked(true);
            break;
        case SameFilePolicy::Rename:
            RbRename->setChecked(true);
            break;
        case SameFilePolicy::EditFileTime:
            RbEditFileTime->setChecked(true);
            break;
        case SameFilePolicy::Skip:
            RbSkip->setChecked(true);
            break;
        case SameFilePolicy::Identical:
            RbIdentical->setChecked(true);
            break;
    }
}

}  // namespace zanfeld
