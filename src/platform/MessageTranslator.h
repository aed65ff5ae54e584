#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// The texts of MessageTexts in the language chosen at start-up. The layers
// below the windows always make their messages in Chinese; whatever shows a
// message (a window, the command line) passes it through TranslateMessage
// last, just before it is shown.

// The message in the loaded language: each line that is one of the table's
// texts with its pieces filled in is given in that language, with the pieces
// as they were (a reason or a count line within it translated in turn, paths,
// names and numbers kept byte for byte). Lines that are no text of the table
// stay as they are. Without a loaded translation the message comes back
// unchanged at once. Safe to call from any thread.
std::string TranslateMessage(const std::string& chineseText);

// Loads the catalogue of language ("en") found by TranslationFile. "zh" and
// "" unload it: the messages are shown as they are made. Returns false when
// no catalogue of that language could be loaded; the messages then stay
// Chinese. Called at start-up, before any run begins.
bool LoadTranslation(const std::string& language);

// Loads the compiled catalogue (.qm) at path, in place of any other.
bool LoadTranslationFile(const std::string& path);

// Whether a catalogue is loaded.
bool TranslationLoaded();

// What is wrong with the loaded catalogue: each text whose translation has
// other %N than the text itself, and, with untranslatedToo, each text it does
// not translate, one line each ("text → translation").
std::vector<std::string> TranslationProblems(bool untranslatedToo);

}  // namespace zanfeld
