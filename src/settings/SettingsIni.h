#pragma once

#include <functional>
#include <string>

#include "SectionWriter.h"
#include "SimpleIniA.h"

namespace zanfeld {

// Reads the file for loading. A missing, unreadable or oversized file, or a
// folder, leaves ini empty so that every key takes its default.
void LoadForReading(const std::string& path, CSimpleIniA& ini);

// Rereads the file, lets fill rewrite one section and puts the result in
// place of the file. Returns "" or the error text. A file holding what the
// rewrite could not keep is left as it is, byte for byte.
std::string SaveSection(const std::string& path, const char* section,
                        const std::function<void(SectionWriter&)>& fill);
// The same, with the section's old keys gone first.
std::string ReplaceSection(const std::string& path, const char* section,
                           const std::function<void(SectionWriter&)>& fill);
// The same for taking one section away, with its keys and their comments.
std::string RemoveSection(const std::string& path, const char* section);

}  // namespace zanfeld
