#include "PlanStrip.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AppTitle.h"
#include "FormParts.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NativeText.h"
#include "SortPlans.h"
#include "SortWindow.h"

namespace zanfeld {

using P = FormParts;

PlanStrip::PlanStrip(SortWindow& window, std::string settingsPath, bool folders)
    : m_window(window), m_settingsPath(std::move(settingsPath)), m_folders(folders) {
    LblPlan = P::named(new QLabel(tr("方案")), "LblPlan");
    CmbPlan = P::named(new QComboBox, "CmbPlan");
    CmbPlan->setMinimumContentsLength(12);
    CmbPlan->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LblPlan->setBuddy(CmbPlan);
    BtnSavePlan = P::named(new QPushButton(tr("保存方案…")), "BtnSavePlan");
    BtnDeletePlan = P::named(new QPushButton(tr("删除方案")), "BtnDeletePlan");

    // activated, not currentIndexChanged: choosing the plan already shown
    // puts back what was changed since, and filling the list applies nothing.
    QObject::connect(CmbPlan, &QComboBox::activated, &window,
                     [this](int index) { CmbPlanChoose(index); });
    QObject::connect(BtnSavePlan, &QPushButton::clicked, &window, [this] { BtnSavePlanClick(); });
    QObject::connect(BtnDeletePlan, &QPushButton::clicked, &window,
                     [this] { BtnDeletePlanClick(); });
    fill({});
}

std::string PlanStrip::chosenPlan() const {
    const int index = CmbPlan->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_names.size())) return {};
    return m_names[static_cast<size_t>(index)];
}

void PlanStrip::reload() { fill(chosenPlan()); }

void PlanStrip::fill(const std::string& name) {
    m_names.clear();
    CmbPlan->clear();
    int chosen = -1;
    for (SortPlan& plan : LoadPlans(m_settingsPath)) {
        if (plan.folders != m_folders) continue;
        if (plan.name == name) chosen = static_cast<int>(m_names.size());
        CmbPlan->addItem(FromNative(plan.name));
        m_names.push_back(std::move(plan.name));
    }
    CmbPlan->setCurrentIndex(chosen);
    BtnDeletePlan->setEnabled(chosen >= 0);
}

void PlanStrip::CmbPlanChoose(int index) {
    BtnDeletePlan->setEnabled(index >= 0);
    if (index < 0 || index >= static_cast<int>(m_names.size())) return;
    const std::string name = m_names[static_cast<size_t>(index)];
    const std::optional<SortPlan> plan = LoadPlan(m_settingsPath, name);
    // Gone from the file since the list was made, or now a plan of the
    // other window: the list is made again and nothing is applied.
    if (!plan || plan->folders != m_folders) {
        MessageBoxes::information(&m_window, tr("方案“%1”已不存在。").arg(FromNative(name)));
        fill({});
        return;
    }
    m_window.ApplyOptions(plan->options);
}

bool PlanStrip::askName(const QString& preset, std::string& name) {
    QInputDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("PlanNameDialog"));
    dialog.setWindowTitle(AppTitle());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(tr("方案名称："));
    dialog.setTextValue(preset);
    if (ModalDialogs::exec(dialog) != QDialog::Accepted) return false;
    name = ToNative(dialog.textValue());
    return true;
}

void PlanStrip::BtnSavePlanClick() {
    std::string name;
    if (!askName(FromNative(chosenPlan()), name)) return;
    if (const std::string problem = PlanNameProblem(name); !problem.empty()) {
        MessageBoxes::information(&m_window, FromEngine(problem));
        return;
    }
    // The name may be one of the other window's plans (or differ from one in
    // the case of its letters only): one section all the same.
    if (const std::optional<SortPlan> old = LoadPlan(m_settingsPath, name)) {
        if (!MessageBoxes::question(
                &m_window, tr("已有名为“%1”的方案，是否替换？").arg(FromNative(old->name))))
            return;
    }
    const SortPlan plan{name, m_folders, m_window.ReadOptions()};
    if (const std::string error = SavePlan(m_settingsPath, plan); !error.empty()) {
        MessageBoxes::error(&m_window, FromEngine(error));
        fill(chosenPlan());
        return;
    }
    fill(name);
}

void PlanStrip::BtnDeletePlanClick() {
    const std::string name = chosenPlan();
    if (name.empty()) return;
    if (!MessageBoxes::question(&m_window, tr("是否删除方案“%1”？").arg(FromNative(name)))) return;
    if (const std::string error = DeletePlan(m_settingsPath, name); !error.empty()) {
        MessageBoxes::error(&m_window, FromEngine(error));
        fill(name);
        return;
    }
    fill({});
}

}  // namespace zanfeld
