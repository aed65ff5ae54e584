#pragma once

#include <stdexcept>
#include <string>

namespace zanfeld {

// A folder of the tree being copied could not be entered (listed). It ends
// the whole folder sort run.
class FolderCopyError : public std::runtime_error {
  public:
    FolderCopyError(std::string path, int error)
        : std::runtime_error("cannot enter folder " + path),
          m_path(std::move(path)),
          m_error(error) {}

    const std::string& path() const { return m_path; }
    int error() const { return m_error; }

  private:
    std::string m_path;
    int m_error;
};

}  // namespace zanfeld
