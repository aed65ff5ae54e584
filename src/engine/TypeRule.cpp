#include "TypeRule.h"

#include "PathNames.h"

namespace zanfeld {

RuleOutcome TypeRule::evaluate(const SortOptions&, const std::string& sourcePath) {
    return RuleOutcome::place(ExtensionOf(sourcePath));
}

}  // namespace zanfeld
