#include "ShortDate.h"

#include <QLocale>
#include <QString>
#include <cstdio>

namespace zanfeld {

namespace {

std::string& PatternOverride() {
    static std::string pattern;
    return pattern;
}

// The user's short date pattern, read once like the regional settings at start-up.
const std::string& SystemPattern() {
    static const std::string pattern =
        QLocale::system().dateFormat(QLocale::ShortFormat).toStdString();
    return pattern;
}

void AppendNumber(std::string& out, int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    out += text;
}

std::string Format(const std::string& pattern, int year, int month, int day) {
    std::string out;
    const size_t n = pattern.size();
    size_t i = 0;
    while (i < n) {
        const char c = pattern[i];
        if (c == '\'') {
            // '' is a quote; 'text' is copied as it stands ('' inside it too).
            if (i + 1 < n && pattern[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            ++i;
            while (i < n) {
                if (pattern[i] == '\'') {
                    if (i + 1 < n && pattern[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += pattern[i++];
            }
            continue;
        }
        if (c != 'd' && c != 'M' && c != 'y') {
            out += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < n && pattern[i + run] == c) ++run;
        if (c == 'y') {
            if (run >= 4) {
                AppendNumber(out, year, 4);
                i += 4;
            } else if (run >= 2) {
                AppendNumber(out, ((year % 100) + 100) % 100, 2);
                i += 2;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        if (run <= 2) {
            AppendNumber(out, c == 'd' ? day : month, static_cast<int>(run));
        } else {
            // Day and month names are no part of a short date here; copied.
            out.append(run, c);
        }
        i += run;
    }
    return out;
}

}  // namespace

std::string ShortDateText(int year, int month, int day) {
    const std::string& custom = PatternOverride();
    return Format(custom.empty() ? SystemPattern() : custom, year, month, day);
}

void SetShortDatePattern(const std::string& pattern) { PatternOverride() = pattern; }

}  // namespace zanfeld
