#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// The desktop's autostart entry that starts the watcher at login:
// $XDG_CONFIG_HOME/autostart/zanfeld-watch.desktop (~/.config when unset).
// Another system keeps its own list of programs started at login and would
// replace this file.
std::string AutostartEntryPath();

// The entry's text for the command (program first), each word quoted as the
// desktop entry format wants where it holds a blank or a reserved character.
// name: what the desktop's list of programs started at login shows (UTF-8).
std::string AutostartEntryText(const std::vector<std::string>& command, const std::string& name);

// Writes the entry whole: its folder is made when missing, and the text goes
// into a new file that is renamed into place, so a login never reads half an
// entry. 0 or an errno value.
int WriteAutostartEntry(const std::vector<std::string>& command, const std::string& name);
// Removes the entry; 0 when it is gone (or was never there), else an errno value.
int RemoveAutostartEntry();

}  // namespace zanfeld
