#include "PlanChoices.h"

#include "MessageTexts.h"
#include "SettingsFile.h"
#include "SortPlans.h"

namespace zanfeld {

std::string PlanSettingsPath(const CliRequest& r, const std::string& cwd) {
    if (!r.useSettings || r.settingsFile.empty() || r.settingsFile == kDefaultSettingsFile)
        return DefaultSettingsPath();
    return AbsolutePath(r.settingsFile, cwd);
}

std::optional<ChoiceError> ResolvePlans(const std::vector<std::string>& names, const CliRequest& r,
                                        PlanUser user, const std::string& cwd,
                                        std::vector<SortOptions>& plans) {
    const std::string path = PlanSettingsPath(r, cwd);
    const bool folders = user == PlanUser::SortFolders;
    for (const std::string& name : names) {
        const std::optional<SortPlan> plan = LoadPlan(path, name);
        if (!plan) return ChoiceError{"--plan", Format(MessageId::CliNoSuchPlan, {name})};
        if (plan->folders != folders) {
            const MessageId why = user == PlanUser::Watch ? MessageId::WatchFolderPlan
                                  : plan->folders         ? MessageId::CliFolderPlan
                                                          : MessageId::CliFilePlan;
            return ChoiceError{"--plan", Format(why, {plan->name})};
        }
        SortOptions options = plan->options;
        if (auto error = ApplyLineChoices(r, folders, cwd, options)) return error;
        plans.push_back(std::move(options));
    }
    return std::nullopt;
}

}  // namespace zanfeld
