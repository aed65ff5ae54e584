#pragma once

#include <cstdint>
#include <string>

namespace zanfeld {

// Told how far a copy has come, and able to stop it: a window shows a large
// file's progress and lets the user stop a run inside it. Told, too, of the
// folders made.
class CopyObserver {
  public:
    virtual ~CopyObserver() = default;
    // After each chunk of a copy's data: done of total bytes (total is the
    // size the source had when the copy began). False stops the copy, which
    // then fails with ECANCELED, leaving no copy behind and the source as it
    // was.
    virtual bool copied(uint64_t done, uint64_t total) = 0;
    // A folder was made (by this thread, at path), so that a run can take
    // back the folders it made.
    virtual void madeFolder(const std::string& path) {}
};

// Makes observer the one told of every copy this thread makes, for the
// object's lifetime; a run installs it around its work.
class ScopedCopyObserver {
  public:
    explicit ScopedCopyObserver(CopyObserver& observer);
    ~ScopedCopyObserver();
    ScopedCopyObserver(const ScopedCopyObserver&) = delete;
    ScopedCopyObserver& operator=(const ScopedCopyObserver&) = delete;

  private:
    CopyObserver* m_previous;
};

// The observer in force on this thread, or null.
CopyObserver* CurrentCopyObserver();

}  // namespace zanfeld
