#include "HomeFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace zanfeld {

std::string HomeFolder() {
    if (const char* env = std::getenv("HOME"); env && env[0] != '\0') return env;
    if (const struct passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

std::string DefaultOutputFolder() {
    std::string folder = HomeFolder();
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

}  // namespace zanfeld
