#include "NameRules.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "IntParse.h"
#include "MessageTexts.h"
#include "TextUtil.h"
#include "UnitPublic.h"
#include "Utf8Chars.h"

namespace zanfeld {

namespace {

constexpr int32_t kMaxNameEnd = 254;

// Every non-overlapping occurrence of piece, from the left, that starts on a
// character boundary of name.
std::string RemovePiece(const std::string& name, std::string_view piece) {
    if (piece.empty()) return name;
    const std::string_view text(name);
    std::string out;
    out.reserve(name.size());
    size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, piece.size(), piece) == 0) {
            pos += piece.size();
            continue;
        }
        const size_t length = Utf8CharAt(text, pos).bytes;
        out.append(text.substr(pos, length));
        pos += length;
    }
    return out;
}

}  // namespace

std::vector<std::string> SplitKeywords(std::string_view keywordText) {
    std::vector<std::string> keywords;
    size_t space;
    while ((space = keywordText.find(' ')) != std::string_view::npos) {
        keywords.emplace_back(keywordText.substr(0, space));
        keywordText.remove_prefix(space + 1);
    }
    keywords.emplace_back(keywordText);
    return keywords;
}

bool KeywordMatches(std::string_view keyword, std::string_view name) {
    if (IsBlank(keyword)) return false;
    // The keyword as it stands, not trimmed; bytes of multi-byte characters
    // are never ASCII letters in UTF-8, so only ASCII letters fold.
    return ContainsIgnoreAsciiCase(name, keyword);
}

std::string RemoveFilterPieces(std::string name, std::string_view filter) {
    size_t start = 0;
    while (true) {
        const size_t star = filter.find('*', start);
        const size_t end = star == std::string_view::npos ? filter.size() : star;
        name = RemovePiece(name, filter.substr(start, end - start));
        if (star == std::string_view::npos) break;
        start = star + 1;
    }
    return name;
}

bool PrepareNameRange(const SortOptions& options, SortHost& host, NameRange& range) {
    range = NameRange{};
    if (!options.useNamePart) return true;
    const auto begin = ParseInt32(options.partBeginText);
    if (!begin) {
        host.rejectOption(Format(MessageId::EnterWholeNumbers), OptionId::PartBegin);
        return false;
    }
    const auto end = ParseInt32(options.partEndText);
    if (!end) {
        host.rejectOption(Format(MessageId::EnterWholeNumbers), OptionId::PartEnd);
        return false;
    }
    range.begin = *begin;
    range.end = *end;
    if (range.end < range.begin) std::swap(range.begin, range.end);
    if (range.end > kMaxNameEnd) range.end = kMaxNameEnd;
    return true;
}

std::string DeriveTargetName(const std::string& name, const SortOptions& options,
                             const NameRange& range) {
    std::string derived = name;
    if (options.useNamePart) {
        // A begin far below 1 makes the count exceed 32 bits; such a count
        // simply runs to the end of the name.
        const int64_t count = int64_t{range.end} - range.begin + 1;
        const int32_t clamped =
            static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
        derived = CopyChars(name, range.begin, clamped);
    }
    return RemoveFilterPieces(std::move(derived), options.nameFilter);
}

}  // namespace zanfeld
