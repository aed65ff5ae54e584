#include "PlanTexts.h"

#include "NativeText.h"
#include "PlanWords.h"

namespace zanfeld {

const char* PlanColumnName(int column) { return PlanWords::column(column); }

std::string PlanActionBytes(const PlanRow& row) { return PlanWords::cell(row); }

QString PlanActionText(const PlanRow& row) {
    QString text = QString::fromUtf8(PlanWords::action(row.action));
    if (PlanWords::hasDetail(row.action) && !row.detail.empty()) {
        text += QLatin1Char(' ');
        text += FromNative(row.detail);
    }
    return text;
}

QString PlanCountName(PlanAction action) { return QString::fromUtf8(PlanWords::count(action)); }

}  // namespace zanfeld
