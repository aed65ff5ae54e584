#include "PlanTexts.h"

#include "MessageTranslator.h"
#include "NativeText.h"
#include "PlanWords.h"

namespace zanfeld {

std::string PlanColumnName(int column) { return TranslateMessage(PlanWords::column(column)); }

std::string PlanActionBytes(const PlanRow& row) { return TranslateMessage(PlanWords::cell(row)); }

QString PlanActionText(const PlanRow& row) { return FromNative(PlanActionBytes(row)); }

QString PlanCountName(PlanAction action) {
    return QString::fromStdString(TranslateMessage(PlanWords::count(action)));
}

}  // namespace zanfeld
