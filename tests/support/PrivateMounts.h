#pragma once

#include <string>

namespace zanfeld::test {

// Moves this process into a mount namespace of its own (once), with every
// mount private, so that the bind mounts a test makes are seen by it alone
// and go with it. Returns "" when that worked, else why not (not root, no
// CAP_SYS_ADMIN in a container, a process with threads), for a skip message.
std::string EnterPrivateMounts();

// A bind mount of the folder from at the folder to, for the object's
// lifetime: one folder reachable under two paths, on two mounts of one file
// system, as container volumes and bind-mounted home folders are.
class BindMount {
  public:
    BindMount(const std::string& from, const std::string& to);
    ~BindMount();
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;

    // "" when mounted, else why not.
    const std::string& error() const { return m_error; }

  private:
    std::string m_to;
    std::string m_error;
};

}  // namespace zanfeld::test
