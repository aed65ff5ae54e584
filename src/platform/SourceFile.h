#pragma once

#include <fcntl.h>

#include <string>

namespace zanfeld {

// A file to be sorted: its whole path (for messages and for what goes by
// path), and how the system calls reach it. A run that holds the file's
// folder open reaches it by its name in that folder, sparing the walk down
// the whole path on every call; otherwise by the whole path.
class SourceFile {
  public:
    // Reached by its whole path. Not explicit, so that a path can be given
    // wherever a source is asked for; path must outlive the object.
    SourceFile(const std::string& path)  // NOLINT(google-explicit-constructor)
        : m_path(path), m_dirFd(AT_FDCWD), m_name(path.c_str()) {}
    // Reached as name (the last component of path, so it ends where path
    // ends) in the folder dirFd, held open by the caller for this object's
    // lifetime.
    SourceFile(const std::string& path, int dirFd, const char* name)
        : m_path(path), m_dirFd(dirFd), m_name(name) {}

    const std::string& path() const { return m_path; }
    int dirFd() const { return m_dirFd; }
    const char* name() const { return m_name; }

  private:
    const std::string& m_path;
    int m_dirFd;
    const char* m_name;
};

}  // namespace zanfeld
