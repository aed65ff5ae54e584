#include "FileNameRule.h"

#include "FileOps.h"
#include "PathNames.h"

namespace zanfeld {

bool FileNameRule::prepare(const SortOptions& options, SortHost& host) {
    return PrepareNameRange(options, host, m_range);
}

RuleOutcome FileNameRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    const std::string name = DeriveTargetName(BaseNameOf(sourcePath), options, m_range);
    // An empty name is the output directory itself, which exists.
    if (options.onlyMatchDir && !DirExists(options.outputDir + name)) return RuleOutcome::drop();
    return RuleOutcome::place(name);
}

}  // namespace zanfeld
