#include "ShortDate.h"

#include <QDate>
#include <QLocale>
#include <QString>

namespace zanfeld {

namespace {

std::string& LocaleOverride() {
    static std::string name;
    return name;
}

std::string& PatternOverride() {
    static std::string pattern;
    return pattern;
}

}  // namespace

std::string ShortDateText(int year, int month, int day) {
    // The system locale is read once by Qt, as the regional settings at start-up.
    const QLocale locale = LocaleOverride().empty()
                               ? QLocale::system()
                               : QLocale(QString::fromStdString(LocaleOverride()));
    const QDate date(year, month, day);
    const QString text = PatternOverride().empty()
                             ? locale.toString(date, QLocale::ShortFormat)
                             : locale.toString(date, QString::fromStdString(PatternOverride()));
    return text.toStdString();
}

void SetShortDateLocale(const std::string& name) { LocaleOverride() = name; }

void SetShortDatePattern(const std::string& pattern) { PatternOverride() = pattern; }

}  // namespace zanfeld
