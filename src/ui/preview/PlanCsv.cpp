#include "PlanCsv.h"

#include <array>
#include <cerrno>
#include <new>
#include <optional>

#include "FileOps.h"
#include "NativeText.h"
#include "PlanTexts.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

void AppendRow(std::string& out, std::string_view a, std::string_view b, std::string_view c,
               std::string_view d) {
    PlanCsv::appendField(out, a);
    out += ',';
    PlanCsv::appendField(out, b);
    out += ',';
    PlanCsv::appendField(out, c);
    out += ',';
    PlanCsv::appendField(out, d);
    out += kLineEnd;
}

}  // namespace

void PlanCsv::appendField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string PlanCsv::text(const RunPlan& plan) {
    std::string out;
    // A first guess at the size, so that a million rows are not copied over
    // and over as the text grows.
    size_t guess = 64;
    for (const PlanRow& row : plan.rows) {
        guess += row.source.size() + row.folder.size() + row.target.size() + row.detail.size() + 40;
    }
    out.reserve(guess);
    out += kBom;
    AppendRow(out, PlanColumnName(0), PlanColumnName(1), PlanColumnName(2), PlanColumnName(3));
    // An action's words are looked up once, not once a row: a plan may hold
    // a million rows, and only a detail makes a row's text its own.
    std::array<std::optional<std::string>, static_cast<size_t>(PlanAction::Count)> words;
    std::string action;
    for (const PlanRow& row : plan.rows) {
        const auto index = static_cast<size_t>(row.action);
        if ((PlanWords::hasDetail(row.action) && !row.detail.empty()) || index >= words.size()) {
            action = PlanActionBytes(row);
        } else {
            if (!words[index]) words[index] = PlanActionBytes(row);
            action = *words[index];
        }
        AppendRow(out, row.source, row.folder, row.target, action);
    }
    return out;
}

int PlanCsv::save(const std::string& path, const RunPlan& plan) {
    std::string data;
    try {
        data = text(plan);
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    return ReplaceFileContents(path, data);
}

QString PlanCsv::errorMessage(const std::string& path, int error) {
    if (error == kNotRegularFile)
        return tr("无法导出预览：“%1”不是普通文件（设备、管道或套接字），未被替换。")
            .arg(FromNative(path));
    return tr("Cannot create file \"%1\". %2").arg(FromNative(path), FromEngine(ErrorText(error)));
}

}  // namespace zanfeld
