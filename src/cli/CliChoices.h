#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CliRequest.h"
#include "SortTypes.h"

namespace zanfeld {

// A choice of the command line that cannot be taken; the message names the
// option.
struct ChoiceError {
    std::string option;  // "--size"
    std::string message;
};

// The options of a run of the file window (folders false) or the folder
// window: the choices stored in the settings file when the request asks for
// them, else those of a window's first start; then every choice given on the
// line over them. Relative paths are taken from cwd.
std::optional<ChoiceError> ResolveOptions(const CliRequest& request, bool folders,
                                          const std::string& cwd, SortOptions& options);

// Every choice given on the line over options (a stored plan's); the
// criterion stays the plan's unless --by names another.
std::optional<ChoiceError> ApplyLineChoices(const CliRequest& request, bool folders,
                                            const std::string& cwd, SortOptions& options);

// The parts of the conditions as typed, each refused with none.
struct SizeChoice {
    SizeCondition condition = SizeCondition::Greater;
    std::string number;
    SizeUnit unit = SizeUnit::KB;
};
std::optional<SizeChoice> ParseSizeChoice(const std::string& text);  // ">10MB", "<500"

struct DateChoice {
    DateCondition condition = DateCondition::Earlier;
    CivilDate date;
    TimeOfDay time;
};
std::optional<DateChoice> ParseDateChoice(const std::string& text);  // "<2015-05-06 12:00"

struct PictureChoice {
    PicCondition condition = PicCondition::AtLeast;
    std::string number;
};
std::optional<PictureChoice> ParsePictureChoice(const std::string& text);  // ">=800"

// "*.txt,doc,.pdf" as "*.txt", "*.doc", "*.pdf"; none when empty.
std::optional<std::vector<std::string>> ParseTypePatterns(const std::string& text);
// "JPG,png" as the picture type list's items, in the list's order.
std::optional<std::vector<std::string>> ParsePictureTypes(const std::string& text);

// path made absolute against cwd, without resolving links or "..".
std::string AbsolutePath(const std::string& path, const std::string& cwd);

}  // namespace zanfeld
