#include "SortPlans.h"

#include <algorithm>

#include "IniScan.h"
#include "MessageTexts.h"
#include "SectionReader.h"
#include "SettingsIni.h"
#include "StoredOptions.h"
#include "Utf8Chars.h"
#include "WindowKeys.h"

namespace zanfeld {

namespace {

constexpr std::string_view kPrefix = "Plan:";
constexpr size_t kMaxNameBytes = 64;

std::string SectionOf(const std::string& name) { return std::string(kPrefix) + name; }

// The plan's name in a section's name, or "" when the section is no plan's.
std::string NameOf(const std::string& section) {
    if (section.size() <= kPrefix.size() ||
        IniScan::Fold(section.substr(0, kPrefix.size())) != IniScan::Fold(kPrefix))
        return {};
    std::string name = section.substr(kPrefix.size());
    return PlanNameProblem(name).empty() ? name : std::string();
}

// The picture types are one key, joined as the type list is.
std::string JoinPictureTypes(const std::vector<std::string>& types) {
    return JoinSuffixFilter(types);
}

SortPlan ReadPlan(const CSimpleIniA& ini, const std::string& section, std::string name) {
    const SectionReader in(ini, section.c_str());
    SortPlan plan;
    plan.name = std::move(name);
    plan.folders = in.text("Window") == "Folders";
    plan.options = plan.folders ? FolderWindowOptions(ReadFolderWindowKeys(in))
                                : FileWindowOptions(ReadFileWindowKeys(in));
    SortOptions& o = plan.options;
    o.transferMode = in.integer("Move") != 0 ? TransferMode::Move : TransferMode::Copy;
    const int filter = in.integer("TypeFilter");
    o.typeFilter = filter == 1   ? TypeFilterMode::Include
                   : filter == 2 ? TypeFilterMode::Exclude
                                 : TypeFilterMode::None;
    if (in.has("PicTypes")) o.picturePatterns = ParseSuffixFilter(in.text("PicTypes"));
    o.useNamePart = in.integer("NamePart") != 0;
    o.partBeginText = in.text("PartBegin");
    o.partEndText = in.text("PartEnd");
    o.onlyMatchDir = in.integer("OnlyDir") != 0;
    if (!plan.folders) {
        o.takenFromName = in.integer("TakenName", 1) != 0;
        if (in.has("TakenUnknown")) o.takenUnknownFolder = in.text("TakenUnknown");
        if (in.has("TakenTypes")) o.takenPatterns = ParseSuffixFilter(in.text("TakenTypes"));
    }
    return plan;
}

}  // namespace

std::string PlanNameProblem(const std::string& name) {
    if (name.find_first_not_of(" \t") == std::string::npos)
        return Format(MessageId::PlanNameEmpty);
    if (name.size() > kMaxNameBytes) return Format(MessageId::PlanNameTooLong, {name});
    bool usable = name.front() != ' ' && name.back() != ' ' && name.front() != '\t' &&
                  name.back() != '\t';
    for (size_t i = 0; usable && i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const Utf8Char ch = Utf8CharAt(name, i);
        // A broken UTF-8 sequence, a control character, or a bracket that
        // would end or begin a section line.
        if ((c >= 0x80 && ch.bytes == 1) || c < 0x20 || c == 0x7F || c == '[' || c == ']')
            usable = false;
        i += ch.bytes;
    }
    return usable ? std::string() : Format(MessageId::PlanNameUnusable, {name});
}

std::vector<SortPlan> LoadPlans(const std::string& iniPath) {
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<SortPlan> plans;
    for (const auto& section : sections) {
        std::string name = NameOf(section.pItem);
        if (!name.empty()) plans.push_back(ReadPlan(ini, section.pItem, std::move(name)));
    }
    return plans;
}

std::optional<SortPlan> LoadPlan(const std::string& iniPath, const std::string& name) {
    if (!PlanNameProblem(name).empty()) return std::nullopt;
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    const std::string wanted = IniScan::Fold(SectionOf(name));
    for (const auto& section : sections) {
        if (IniScan::Fold(section.pItem) == wanted)
            return ReadPlan(ini, section.pItem, NameOf(section.pItem));
    }
    return std::nullopt;
}

std::string SavePlan(const std::string& iniPath, const SortPlan& plan) {
    if (std::string problem = PlanNameProblem(plan.name); !problem.empty()) return problem;
    const std::string section = SectionOf(plan.name);
    return SaveSection(iniPath, section.c_str(), [&](SectionWriter& out) {
        const SortOptions& o = plan.options;
        out.text("Window", plan.folders ? "Folders" : "Files");
        if (plan.folders)
            WriteFolderWindowKeys(out, FolderWindowSettingsOf(o));
        else {
            const FileWindowSettings settings = FileWindowSettingsOf(o);
            WriteFileWindowKeys(out, settings);
            WriteTakenKeys(out, settings);
        }
        out.integer("Move", o.transferMode == TransferMode::Move ? 1 : 0);
        out.integer("TypeFilter", static_cast<int>(o.typeFilter));
        if (!plan.folders) out.text("PicTypes", JoinPictureTypes(o.picturePatterns));
        out.integer("NamePart", o.useNamePart ? 1 : 0);
        out.text("PartBegin", o.partBeginText);
        out.text("PartEnd", o.partEndText);
        out.integer("OnlyDir", o.onlyMatchDir ? 1 : 0);
        if (!plan.folders) {
            out.integer("TakenName", o.takenFromName ? 1 : 0);
            out.text("TakenUnknown", o.takenUnknownFolder);
            out.text("TakenTypes", JoinSuffixFilter(o.takenPatterns));
        }
    });
}

std::string DeletePlan(const std::string& iniPath, const std::string& name) {
    if (!PlanNameProblem(name).empty()) return {};
    const std::string section = SectionOf(name);
    return RemoveSection(iniPath, section.c_str());
}

}  // namespace zanfeld
