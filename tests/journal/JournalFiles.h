#pragma once

#include <dirent.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zanfeld::test {

// The names of the run logs (and of logs being made) beside the journal at
// journalPath, sorted.
inline std::vector<std::string> RunLogsBeside(const std::string& journalPath) {
    const size_t slash = journalPath.rfind('/');
    const std::string folder = journalPath.substr(0, slash);
    const std::string prefix = journalPath.substr(slash + 1) + ".run-";
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.rfind(prefix, 0) == 0) names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Every name in a folder but . and .., sorted.
inline std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs sql on the database at path with a connection of its own: the first
// column of every row, joined by ",", or the error.
inline std::string SqlValues(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 3000);
        char* error = nullptr;
        auto collect = [](void* out, int, char** values, char**) {
            auto* text = static_cast<std::string*>(out);
            if (!text->empty()) *text += ",";
            *text += values[0] ? values[0] : "NULL";
            return 0;
        };
        if (sqlite3_exec(db, sql.c_str(), collect, &result, &error) != SQLITE_OK)
            result = std::string("error: ") + (error ? error : "?");
        sqlite3_free(error);
    } else {
        result = std::string("error: ") + sqlite3_errmsg(db);
    }
    sqlite3_close(db);
    return result;
}

}  // namespace zanfeld::test
