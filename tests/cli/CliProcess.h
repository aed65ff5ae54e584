#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "MiniJson.h"
#include "TempDir.h"

namespace zanfeld::test {

// Where the program's standard input comes from.
enum class CliInput {
    Null,      // /dev/null: no terminal, nothing to read
    Pipe,      // a pipe the test writes to
    Terminal,  // a pseudo-terminal the test types on
};

// What a finished program left: its status and everything it wrote.
struct CliResult {
    int exitCode = -1;  // the exit status, or -1 when a signal ended it
    int signal = 0;     // the signal that ended it, or 0
    bool timedOut = false;
    std::string out;        // standard output
    std::string err;        // standard error
    std::string terminal;   // what came back on the pseudo-terminal (its echo included)
    size_t unanswered = 0;  // answers not typed: their question never came (CliSandbox::answer)
};

// The built program run as a person or a script runs it: with posix_spawn,
// its own arguments, environment and working folder, standard output and
// standard error captured apart.
class CliProcess {
  public:
    struct Setup {
        std::string program;
        std::vector<std::string> args;  // after the program's name
        // Set over the test's own environment; a later entry of a name wins.
        std::vector<std::pair<std::string, std::string>> env;
        std::vector<std::string> unset;  // variables of the test's own left out
        std::string cwd;                 // empty: the test's working folder
        CliInput input = CliInput::Null;
        // Standard error on the pseudo-terminal too (CliInput::Terminal only),
        // so that the program draws its progress line there.
        bool errOnTerminal = false;
        int columns = 80;  // the pseudo-terminal's width
    };

    // Starts the program; throws std::runtime_error when it cannot.
    explicit CliProcess(Setup setup);
    // A program still running is killed.
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t pid() const { return m_pid; }
    // Writes to the pipe or types on the terminal.
    void write(const std::string& text);
    // Closes the pipe (end of input) or the terminal's master side.
    void closeInput();
    void signal(int number);

    // Reads what the program writes until done() holds or the time is up;
    // returns whether done() held. done() is asked after every read.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Waits for the end, reading everything; a program still running when the
    // time is up is killed (timedOut).
    CliResult finish(std::chrono::milliseconds timeout = std::chrono::seconds(60));

    const std::string& err() const { return m_result.err; }

  private:
    // One round of reading, waiting at most timeoutMs for anything to come.
    void pump(int timeoutMs);
    bool reap(bool block);
    bool drained() const;

    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_in = -1;      // the pipe's write end, or the terminal's master
    int m_out = -1;     // stdout's read end
    int m_err = -1;     // stderr's read end
    int m_master = -1;  // the terminal's master, for reading (same as m_in)
    CliResult m_result;
};

// Runs the program to its end with input written to its standard input (a
// pipe; none with CliInput::Null).
CliResult RunProgram(const CliProcess::Setup& setup, const std::string& input = {},
                     std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A temporary folder for one test and the environment every run of the
// program gets there: its journal (XDG_STATE_HOME), Trash (XDG_DATA_HOME),
// settings (XDG_CONFIG_HOME), a watch's lock (XDG_RUNTIME_DIR) and home
// folder all inside it, so that no run touches a person's own.
class CliSandbox {
  public:
    explicit CliSandbox(std::string program);

    const std::string& root() const { return m_dir.path(); }
    std::string operator/(const std::string& relative) const { return m_dir / relative; }

    // A start of the program in the folder with the sandbox's environment.
    CliProcess::Setup setup(std::vector<std::string> args, CliInput input = CliInput::Null) const;
    // Runs it to its end; input is written to a pipe when input is Pipe.
    CliResult run(std::vector<std::string> args, CliInput input = CliInput::Null,
                  const std::string& text = {}) const;
    // Runs it with standard input on a pseudo-terminal, typing each answer
    // (and a line end) once as many same-name questions have been asked.
    CliResult answer(std::vector<std::string> args, const std::vector<std::string>& answers) const;
    // `history --json --limit 0`, read back.
    Json history() const;

    // Files below the folder, by their path relative to it.
    void write(const std::string& relative, const std::string& bytes, int64_t mtime = 0) const;
    std::string read(const std::string& relative) const;
    // Everything in the folder but the journal's and the lock's folders.
    std::map<std::string, std::string> files() const;

  private:
    std::string m_program;
    TempDir m_dir;
    std::vector<std::pair<std::string, std::string>> m_env;
};

// How often piece occurs in text, and whether it does.
size_t Occurrences(const std::string& text, const std::string& piece);
bool Contains(const std::string& text, const std::string& piece);

// What a tree holds: every entry below root by its relative path, hidden
// ones included; a file as its bytes, a folder as "<dir>", a link as
// "<link>" and its target, anything else as "<other>".
std::map<std::string, std::string> TreeOf(const std::string& root);
// What differs between two trees, one line an entry ("only in first: a/b",
// "only in second: …", "differs: …"); empty when they are the same.
std::string TreeDifference(const std::map<std::string, std::string>& first,
                           const std::map<std::string, std::string>& second);
// The number of regular files in a tree.
size_t FileCount(const std::map<std::string, std::string>& tree);
// The relative paths of a tree's entries, one a line, for messages.
std::string Listing(const std::map<std::string, std::string>& tree);

}  // namespace zanfeld::test
