#include "PlanPickDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "AppTitle.h"
#include "NativeText.h"

namespace zanfeld {

PlanPickDialog::PlanPickDialog(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), m_names(names) {
    setObjectName(QStringLiteral("PlanPickDialog"));
    setWindowTitle(tr("%1 - 选择方案").arg(AppTitle()));
    LblPlans = new QLabel(tr("自动分拣时依次应用的方案（按勾选的先后）："), this);
    LblPlans->setObjectName(QStringLiteral("LblPlans"));
    LstPlans = new QListWidget(this);
    LstPlans->setObjectName(QStringLiteral("LstPlans"));
    LstPlans->setAccessibleName(LblPlans->text());
    for (const std::string& name : m_names) {
        auto* item = new QListWidgetItem(FromNative(name), LstPlans);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    LblOrder = new QLabel(this);
    LblOrder->setObjectName(QStringLiteral("LblOrder"));
    LblOrder->setWordWrap(true);
    BtnOk = new QPushButton(tr("确定"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(tr("取消"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblPlans);
    layout->addWidget(LstPlans, 1);
    layout->addWidget(LblOrder);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(LstPlans, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { itemChanged(LstPlans->row(item)); });
    connect(BtnOk, &QPushButton::clicked, this, [this] {
        if (!m_order.empty()) accept();
    });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    itemChanged(-1);
}

void PlanPickDialog::itemChanged(int row) {
    if (row >= 0 && row < static_cast<int>(m_names.size())) {
        const std::string& name = m_names[static_cast<size_t>(row)];
        const auto at = std::find(m_order.begin(), m_order.end(), name);
        const bool checked = LstPlans->item(row)->checkState() == Qt::Checked;
        if (checked && at == m_order.end()) m_order.push_back(name);
        if (!checked && at != m_order.end()) m_order.erase(at);
    }
    QStringList order;
    for (const std::string& name : m_order) order << FromNative(name);
    LblOrder->setText(tr("应用顺序：%1").arg(order.join(QStringLiteral(" → "))));
    BtnOk->setEnabled(!m_order.empty());
}

}  // namespace zanfeld
