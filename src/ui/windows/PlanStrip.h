#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace zanfeld {

class SortWindow;

// The saved plans ("方案") of a sorting window, at the right of its switch
// strip: "方案" with the list of the window's own plans (file plans in the
// file window, folder plans in the folder window), "保存方案…" and
// "删除方案". The plans live in the window's settings file. Choosing one fills
// the window's controls with it; saving stores the options as the controls
// stand. The window connects nothing: the strip wires its own controls.
class PlanStrip {
    Q_DECLARE_TR_FUNCTIONS(PlanStrip)

  public:
    PlanStrip(SortWindow& window, std::string settingsPath, bool folders);

    // Lists the window's plans from the file again, keeping the chosen one
    // chosen while it is there.
    void reload();
    // The name of the chosen plan, "" when none is.
    std::string chosenPlan() const;

    // Handlers.
    // A plan was chosen from the list (also the one already shown).
    void CmbPlanChoose(int index);
    void BtnSavePlanClick();
    void BtnDeletePlanClick();

    QLabel* LblPlan;             // "方案"
    QComboBox* CmbPlan;          // the plans, by name
    QPushButton* BtnSavePlan;    // "保存方案…"
    QPushButton* BtnDeletePlan;  // "删除方案", while a plan is chosen

  private:
    // Fills the list and chooses name (none when "" or gone).
    void fill(const std::string& name);
    // Asks for a name, starting from preset; false when cancelled.
    bool askName(const QString& preset, std::string& name);

    SortWindow& m_window;
    std::string m_settingsPath;
    bool m_folders;
    std::vector<std::string> m_names;  // the names in the list, as stored
};

}  // namespace zanfeld
