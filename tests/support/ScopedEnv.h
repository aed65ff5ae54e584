#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace zanfeld::test {

// Sets an environment variable (XDG_DATA_HOME, XDG_STATE_HOME, ...) for the
// object's lifetime and puts back what was there before, so that the Trash
// and the journal of a test go to folders of its own.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace zanfeld::test
