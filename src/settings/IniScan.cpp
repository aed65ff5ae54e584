#include "IniScan.h"

namespace zanfeld {

namespace {

// SimpleIni's blanks within a line.
constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string IniScan::Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

void IniScan::noteFault(size_t line, IniLineFault fault) {
    if (m_faultLine != 0) return;
    m_faultLine = line;
    m_fault = fault;
}

IniScan::IniScan(std::string_view text) {
    std::string section;  // folded; "" before the first section line
    // Comments waiting for the entry they stand before.
    size_t waiting = 0;
    auto attach = [&](const Key& before, bool beforeKey) {
        for (size_t i = m_comments.size() - waiting; i < m_comments.size(); ++i) {
            m_comments[i].before = before;
            m_comments[i].beforeKey = beforeKey;
        }
        waiting = 0;
    };

    size_t number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(start, end - start);
        ++number;
        // CR LF is one line end; a lone CR or LF is one too.
        start = end;
        if (start < text.size()) {
            if (text[start] == '\r' && start + 1 < text.size() && text[start + 1] == '\n') ++start;
            ++start;
        }

        if (raw.find('\0') != std::string_view::npos) {
            noteFault(number, IniLineFault::Nul);
            continue;
        }
        const std::string_view line = Trim(raw);
        if (line.empty()) continue;
        if (line[0] == ';' || line[0] == '#') {
            m_comments.push_back(Comment{std::string(line), {}, false});
            ++waiting;
            continue;
        }
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos) {
                noteFault(number, IniLineFault::UnclosedSection);
                continue;
            }
            if (close + 1 != line.size()) noteFault(number, IniLineFault::TextAfterSection);
            section = Fold(Trim(line.substr(1, close - 1)));
            if (!section.empty()) m_sections.insert(section);
            attach(Key{section, std::string()}, false);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            noteFault(number, IniLineFault::NoEquals);
            continue;
        }
        if (equals == 0) {
            noteFault(number, IniLineFault::EmptyKey);
            continue;
        }
        Key key{section, Fold(Trim(line.substr(0, equals)))};
        attach(key, true);
        m_values[std::move(key)].emplace_back(Trim(line.substr(equals + 1)));
    }
}

}  // namespace zanfeld
