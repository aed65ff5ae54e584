#pragma once

#include <string>

class QApplication;

namespace zanfeld {

// The languages the windows speak: Chinese, the language the texts are
// written in, and English from the program's catalogue.
inline constexpr const char* kChinese = "zh";
inline constexpr const char* kEnglish = "en";

// Names the application "Zanfeld" and installs the texts of language (see
// SetLanguage). Returns whether they were found.
bool SetUpApplication(QApplication& app, const std::string& language = kChinese);

// Puts the texts of language in place of those installed; windows and boxes
// made from then on speak it, and so do the messages of the layers below
// (TranslateMessage). Chinese: Qt's own Chinese texts, so the standard
// buttons read 是, 否, 确定 and 取消, and none of the program's catalogue.
// English: the program's catalogue (TranslationFile), and none of Qt's (its
// own texts are English). Any other language is Chinese. Returns whether the
// language's catalogue was found; without it the texts stay as written.
bool SetLanguage(const std::string& language);
// The language last set.
const std::string& CurrentLanguage();

}  // namespace zanfeld
