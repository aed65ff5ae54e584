#include "ListFile.h"

#include <cerrno>

#include "FileOps.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

std::string FileError(const char* what, const std::string& path, int error) {
    return std::string(what) + " \"" + path + "\". " + ErrorText(error);
}

// A path holding a line break (or a NUL, where reading stops) would come back
// as other paths, or cut the rest of the list short, so it is not written.
bool CanRoundTrip(const std::string& entry) {
    return entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

}  // namespace

ListFileResult ExportListFile(const std::string& path, const std::vector<std::string>& entries) {
    ListFileResult result;
    std::string data;
    for (const std::string& entry : entries) {
        if (!CanRoundTrip(entry)) {
            ++result.skipped;
            continue;
        }
        data += entry;
        data += "\r\n";
        ++result.count;
    }
    if (const int error = ReplaceFileContents(path, data)) {
        result.ok = false;
        result.error =
            error == kNotRegularFile
                ? "无法导出列表：“" + path + "”不是普通文件（设备、管道或套接字），未被替换。"
                : FileError("Cannot create file", path, error);
        result.count = 0;
    }
    return result;
}

ListFileResult ImportListFile(const std::string& path, SourceList& list, ListKind kind) {
    ListFileResult result;
    std::string data;
    if (const int error = ReadWholeFile(path, data)) {
        result.ok = false;
        result.error =
            error == kNotRegularFile
                ? "无法导入列表：“" + path + "”不是普通文件（设备、管道或套接字），未被打开。"
                : FileError("Cannot open file", path, error);
        return result;
    }
    for (const std::string& line : SplitListLines(data)) {
        const bool exists = kind == ListKind::Files ? RegularFileExists(line) : DirExists(line);
        if (exists && list.AddIfAbsent(line)) ++result.count;
    }
    return result;
}

std::vector<std::string> SplitListLines(std::string_view data) {
    const size_t nul = data.find('\0');
    if (nul != std::string_view::npos) data = data.substr(0, nul);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = data.size();
        if (end > start) lines.emplace_back(data.substr(start, end - start));
        start = end;
        if (start < data.size()) {
            // CR LF is one line end; a lone CR or a lone LF is one too.
            if (data[start] == '\r' && start + 1 < data.size() && data[start + 1] == '\n') ++start;
            ++start;
        }
    }
    return lines;
}

}  // namespace zanfeld
