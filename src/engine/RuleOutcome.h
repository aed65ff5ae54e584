#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// What a page's rule says about one file.
struct RuleOutcome {
    enum class Kind {
        Drop,     // passed over without a progress step
        NoMatch,  // not selected; a progress step is taken
        Place     // placed into each of `folders`, in order
    };
    Kind kind = Kind::NoMatch;
    std::vector<std::string> folders;  // relative to the output directory, no trailing separator

    static RuleOutcome drop() { return {Kind::Drop, {}}; }
    static RuleOutcome noMatch() { return {Kind::NoMatch, {}}; }
    static RuleOutcome place(std::string folder) { return {Kind::Place, {std::move(folder)}}; }
    static RuleOutcome place(std::vector<std::string> folders) {
        return {Kind::Place, std::move(folders)};
    }
};

}  // namespace zanfeld
