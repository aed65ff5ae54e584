#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace zanfeld::test {

namespace {

[[noreturn]] void Fail(const std::string& what, int error = errno) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The environment of setup: the test's own without the unset variables, and
// env over it, the later of two with one name.
std::vector<std::string> Environment(const CliProcess::Setup& setup) {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const size_t equals = std::min(entry.find('='), entry.size());
        vars[entry.substr(0, equals)] = entry.substr(std::min(equals + 1, entry.size()));
    }
    for (const std::string& name : setup.unset) vars.erase(name);
    for (const auto& [name, value] : setup.env) vars[name] = value;
    std::vector<std::string> env;
    for (const auto& [name, value] : vars) env.push_back(name + "=" + value);
    return env;
}

// Frees the spawn objects whatever way the start goes.
struct SpawnParts {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnParts() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
    }
    ~SpawnParts() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
};

}  // namespace

CliProcess::CliProcess(Setup setup) {
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    int inPipe[2] = {-1, -1};
    int slave = -1;
    const auto cleanUp = [&] {
        for (int* fd :
             {&outPipe[0], &outPipe[1], &errPipe[0], &errPipe[1], &inPipe[0], &inPipe[1], &slave})
            CloseFd(*fd);
        CloseFd(m_master);
        m_in = -1;
    };
    try {
        if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) Fail("pipe");
        SpawnParts parts;
        if (setup.input == CliInput::Pipe) {
            if (pipe2(inPipe, O_CLOEXEC) != 0) Fail("pipe");
            // A program that ends without reading must not kill the test.
            ::signal(SIGPIPE, SIG_IGN);
            posix_spawn_file_actions_adddup2(&parts.actions, inPipe[0], 0);
        } else if (setup.input == CliInput::Terminal) {
            m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
                Fail("posix_openpt");
            char name[256];
            if (ptsname_r(m_master, name, sizeof name) != 0) Fail("ptsname");
            slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
            if (slave < 0) Fail(std::string("open ") + name);
            winsize size{};
            size.ws_row = 24;
            size.ws_col = static_cast<unsigned short>(setup.columns);
            ioctl(slave, TIOCSWINSZ, &size);
            posix_spawn_file_actions_adddup2(&parts.actions, slave, 0);
        } else {
            posix_spawn_file_actions_addopen(&parts.actions, 0, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_adddup2(&parts.actions, outPipe[1], 1);
        if (setup.input == CliInput::Terminal && setup.errOnTerminal) {
            posix_spawn_file_actions_adddup2(&parts.actions, slave, 2);
        } else {
            posix_spawn_file_actions_adddup2(&parts.actions, errPipe[1], 2);
        }
        if (!setup.cwd.empty())
            posix_spawn_file_actions_addchdir_np(&parts.actions, setup.cwd.c_str());

        // The program starts with the signals as a shell leaves them, in a
        // process group of its own so that a Ctrl-C typed at the test's own
        // terminal does not reach it.
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int s : {SIGINT, SIGTERM, SIGPIPE, SIGQUIT, SIGHUP}) sigaddset(&defaults, s);
        posix_spawnattr_setsigmask(&parts.attr, &none);
        posix_spawnattr_setsigdefault(&parts.attr, &defaults);
        posix_spawnattr_setpgroup(&parts.attr, 0);
        posix_spawnattr_setflags(
            &parts.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

        std::vector<std::string> args{setup.program};
        args.insert(args.end(), setup.args.begin(), setup.args.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = Environment(setup);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);

        const int error = posix_spawn(&m_pid, setup.program.c_str(), &parts.actions, &parts.attr,
                                      argv.data(), envp.data());
        if (error != 0) Fail("posix_spawn " + setup.program, error);
    } catch (...) {
        cleanUp();
        throw;
    }
    // The child holds its ends now; the test keeps only its own.
    CloseFd(outPipe[1]);
    CloseFd(errPipe[1]);
    CloseFd(inPipe[0]);
    CloseFd(slave);
    m_out = outPipe[0];
    m_err = errPipe[0];
    if (setup.input == CliInput::Pipe) m_in = inPipe[1];
    if (setup.input == CliInput::Terminal) m_in = m_master;
}

CliProcess::~CliProcess() {
    if (!m_reaped && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        reap(true);
    }
    if (m_in != m_master) CloseFd(m_in);
    CloseFd(m_master);
    CloseFd(m_out);
    CloseFd(m_err);
}

void CliProcess::write(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(m_in, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("write to the program");
        }
        done += static_cast<size_t>(n);
    }
}

void CliProcess::closeInput() {
    if (m_in == m_master) {
        CloseFd(m_master);
        m_in = -1;
    } else {
        CloseFd(m_in);
    }
}

void CliProcess::signal(int number) {
    if (!m_reaped && ::kill(m_pid, number) != 0) Fail("kill");
}

void CliProcess::pump(int timeoutMs) {
    pollfd fds[3];
    std::string* into[3];
    int* owner[3];
    nfds_t n = 0;
    for (auto [fd, text] : {std::pair{&m_out, &m_result.out}, std::pair{&m_err, &m_result.err},
                            std::pair{&m_master, &m_result.terminal}}) {
        if (*fd < 0) continue;
        fds[n] = pollfd{*fd, POLLIN, 0};
        into[n] = text;
        owner[n] = fd;
        ++n;
    }
    if (n == 0) {
        if (timeoutMs > 0) ::poll(nullptr, 0, timeoutMs);
        return;
    }
    if (::poll(fds, n, timeoutMs) <= 0) return;
    for (nfds_t i = 0; i < n; ++i) {
        if (fds[i].revents == 0) continue;
        char buffer[65536];
        const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
        if (got > 0) {
            into[i]->append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            // The end of a pipe, or EIO on a terminal whose other side is gone.
            if (*owner[i] == m_master) {
                if (m_in == m_master) m_in = -1;
            }
            CloseFd(*owner[i]);
        }
    }
}

bool CliProcess::reap(bool block) {
    if (m_reaped) return true;
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got != m_pid) return false;
    m_reaped = true;
    if (WIFEXITED(status)) m_result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) m_result.signal = WTERMSIG(status);
    return true;
}

bool CliProcess::drained() const { return m_out < 0 && m_err < 0; }

bool CliProcess::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        // Short rounds, so that a condition on the disk is seen soon too.
        pump(static_cast<int>(std::min<long long>(left.count(), 5)));
        if (drained() && reap(false)) return done();
    }
}

CliResult CliProcess::finish(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // The terminal may still hold the program's last words after its end.
        if (reap(false) && drained() && m_master < 0) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            if (!m_reaped) {
                m_result.timedOut = true;
                ::kill(m_pid, SIGKILL);
                reap(true);
            }
            break;
        }
        pump(20);
    }
    return m_result;
}

CliResult RunProgram(const CliProcess::Setup& setup, const std::string& input,
                     std::chrono::milliseconds timeout) {
    CliProcess process(setup);
    if (setup.input != CliInput::Null) {
        if (!input.empty()) process.write(input);
        if (setup.input == CliInput::Pipe) process.closeInput();
    }
    return process.finish(timeout);
}

CliSandbox::CliSandbox(std::string program) : m_program(std::move(program)) {
    for (const char* folder : {"state", "data", "config", "home", "runtime"})
        MakeDir(m_dir / folder);
    m_env = {{"XDG_STATE_HOME", m_dir / "state"},
             {"XDG_DATA_HOME", m_dir / "data"},
             {"XDG_CONFIG_HOME", m_dir / "config"},
             {"XDG_RUNTIME_DIR", m_dir / "runtime"},
             {"HOME", m_dir / "home"}};
}

CliProcess::Setup CliSandbox::setup(std::vector<std::string> args, CliInput input) const {
    CliProcess::Setup s;
    s.program = m_program;
    s.args = std::move(args);
    s.env = m_env;
    s.cwd = m_dir.path();
    s.input = input;
    return s;
}

CliResult CliSandbox::run(std::vector<std::string> args, CliInput input,
                          const std::string& text) const {
    return RunProgram(setup(std::move(args), input), text);
}

CliResult CliSandbox::answer(std::vector<std::string> args,
                             const std::vector<std::string>& answers) const {
    CliProcess process(setup(std::move(args), CliInput::Terminal));
    size_t typed = 0;
    for (; typed < answers.size(); ++typed) {
        const bool asked = process.waitUntil(
            [&] { return Occurrences(process.err(), "已存在，是否覆盖？") > typed; },
            std::chrono::seconds(15));
        if (!asked) break;
        process.write(answers[typed] + "\n");
    }
    CliResult result = process.finish(std::chrono::seconds(30));
    result.unanswered = answers.size() - typed;
    return result;
}

Json CliSandbox::history() const {
    const CliResult r = run({"history", "--json", "--limit", "0"});
    if (r.exitCode != 0) throw std::runtime_error("history failed: " + r.err);
    return Json::parse(r.out);
}

void CliSandbox::write(const std::string& relative, const std::string& bytes, int64_t mtime) const {
    WriteFile(m_dir / relative, bytes, mtime);
}

std::string CliSandbox::read(const std::string& relative) const {
    return ReadFile(m_dir / relative);
}

std::map<std::string, std::string> CliSandbox::files() const {
    auto tree = TreeOf(m_dir.path());
    for (auto it = tree.begin(); it != tree.end();) {
        const bool journal = it->first == "state" || it->first.rfind("state/", 0) == 0 ||
                             it->first == "runtime" || it->first.rfind("runtime/", 0) == 0;
        it = journal ? tree.erase(it) : std::next(it);
    }
    return tree;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

bool Contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

std::map<std::string, std::string> TreeOf(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> tree;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        const std::string path = it->path().string();
        const std::string relative = path.substr(path.find('/', root.size() - 1) + 1);
        std::error_code unread;
        const fs::file_status status = it->symlink_status(unread);
        if (fs::is_directory(status)) {
            tree[relative] = "<dir>";
        } else if (fs::is_regular_file(status)) {
            tree[relative] = ReadFile(path);
        } else if (fs::is_symlink(status)) {
            tree[relative] = "<link>" + fs::read_symlink(it->path(), unread).string();
        } else {
            tree[relative] = "<other>";
        }
    }
    return tree;
}

std::string TreeDifference(const std::map<std::string, std::string>& first,
                           const std::map<std::string, std::string>& second) {
    std::string text;
    for (const auto& [path, content] : first) {
        const auto other = second.find(path);
        if (other == second.end()) {
            text += "only in first: " + path + "\n";
        } else if (other->second != content) {
            text += "differs: " + path + "\n";
        }
    }
    for (const auto& [path, content] : second) {
        if (first.count(path) == 0) text += "only in second: " + path + "\n";
    }
    return text;
}

size_t FileCount(const std::map<std::string, std::string>& tree) {
    size_t n = 0;
    for (const auto& [path, content] : tree) {
        if (content != "<dir>" && content.rfind("<link>", 0) != 0 && content != "<other>") ++n;
    }
    return n;
}

std::string Listing(const std::map<std::string, std::string>& tree) {
    std::string text;
    for (const auto& [path, content] : tree) {
        text += "  " + path;
        text += content == "<dir>" ? "/\n" : " (" + std::to_string(content.size()) + " bytes)\n";
    }
    return text;
}

}  // namespace zanfeld::test
