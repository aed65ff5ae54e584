#include "ListFile.h"

#include <algorithm>
#include <cerrno>

#include "FileOps.h"
#include "MessageTexts.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

std::string FileError(MessageId what, const std::string& path, int error) {
    return Format(what, {path, ErrorText(error)});
}

// A path holding a line break (or a NUL, where reading stops) would come back
// as other paths, or cut the rest of the list short, so it is not written.
bool CanRoundTrip(const std::string& entry) {
    return entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

// Calls visit with each non-empty line of data before its first NUL, as a
// view into data, until visit returns false. Returns false when stopped.
template <typename Visit>
bool ForEachListLine(std::string_view data, Visit&& visit) {
    const size_t nul = data.find('\0');
    if (nul != std::string_view::npos) data = data.substr(0, nul);
    // The next CR and the next LF are each found once and used until the
    // walk passes them: find_first_of would look for either at every byte.
    size_t nextCr = data.find('\r');
    size_t nextLf = data.find('\n');
    auto next = [&data](char c, size_t from, size_t& at) {
        if (at != std::string_view::npos && at < from) at = data.find(c, from);
    };
    size_t start = 0;
    while (start < data.size()) {
        next('\r', start, nextCr);
        next('\n', start, nextLf);
        size_t end = std::min(nextCr, nextLf);
        if (end == std::string_view::npos) end = data.size();
        if (end > start && !visit(data.substr(start, end - start))) return false;
        start = end;
        if (start < data.size()) {
            // CR LF is one line end; a lone CR or a lone LF is one too.
            if (data[start] == '\r' && start + 1 < data.size() && data[start + 1] == '\n') ++start;
            ++start;
        }
    }
    return true;
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
        result.error = error == kNotRegularFile
                           ? Format(MessageId::ListExportNotRegular, {path})
                           : FileError(MessageId::ListCannotCreate, path, error);
        result.count = 0;
    }
    return result;
}

ListFileResult ImportListFile(const std::string& path, SourceList& list, ListKind kind) {
    ListFileResult result;
    const std::string tooLarge = Format(MessageId::ListTooLarge, {path});
    std::string data;
    if (const int error = ReadWholeFile(path, data, kMaxListFileBytes)) {
        result.ok = false;
        if (error == EFBIG)
            result.error = tooLarge;
        else if (error == kNotRegularFile)
            result.error = Format(MessageId::ListImportNotRegular, {path});
        else
            result.error = FileError(MessageId::ListCannotOpen, path, error);
        return result;
    }
    // Counted before anything is added, so that a refused list adds nothing.
    size_t lines = 0;
    if (!ForEachListLine(data, [&](std::string_view) { return ++lines <= kMaxListFileLines; })) {
        result.ok = false;
        result.error = tooLarge;
        return result;
    }
    // One line at a time from the file's own bytes; only what is added is kept.
    std::string line;
    ForEachListLine(data, [&](std::string_view view) {
        line.assign(view);
        const bool exists = kind == ListKind::Files ? RegularFileExists(line) : DirExists(line);
        if (exists && list.AddIfAbsent(line)) ++result.count;
        return true;
    });
    return result;
}

std::vector<std::string> SplitListLines(std::string_view data) {
    std::vector<std::string> lines;
    ForEachListLine(data, [&](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    return lines;
}

}  // namespace zanfeld
