#include "TypeRule.h"

#include "PathNames.h"

namespace zanfeld {

RuleOutcome TypeRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    RuleOutcome out;
    evaluateInto(options, sourcePath, out);
    return out;
}

void TypeRule::evaluateInto(const SortOptions&, const std::string& sourcePath, RuleOutcome& out) {
    out.kind = RuleOutcome::Kind::Place;
    out.folders.resize(1);
    out.folders.front().assign(ExtensionView(sourcePath));
}

}  // namespace zanfeld
