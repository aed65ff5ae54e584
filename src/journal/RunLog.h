#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld {

// The append-only log of one run, beside the journal it belongs to:
// <journal>.run-<id>.log. A run writes each placement's step here before it
// touches the file, with one write(): once write() has taken it, a killed
// process cannot lose it. The journal's database follows in batches, and
// the log is removed once the run's end is committed there; a log left
// behind is a killed run's, replayed by the next open().
//
// The file is private (0600) and locked (flock) for the run's life, so that
// a live run's log is never taken for a killed one's. It appears under its
// name only once locked and holding its header.
class RunLog {
  public:
    RunLog() = default;
    ~RunLog() { close(); }
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Creates the log of run for the journal at journalPath. Returns 0 or errno.
    int create(const std::string& journalPath, int64_t run, int64_t startedNs);
    // Appends whole records. Returns 0 or errno.
    int append(std::string_view bytes);
    // Removes the file, then lets go of it. Returns 0 or errno.
    int remove();
    // Lets go of the file and leaves it for the next open() to replay.
    void close();

    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // Whether name (a file name in the journal's folder) is one of the logs
    // of the journal named journalName, or one being made.
    static bool IsLogName(std::string_view journalName, std::string_view name);
    static bool IsUnfinishedName(std::string_view journalName, std::string_view name);

  private:
    int m_fd = -1;
    std::string m_path;
};

}  // namespace zanfeld
