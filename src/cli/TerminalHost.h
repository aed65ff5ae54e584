#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ProgressLine.h"
#include "SortHost.h"

namespace zanfeld {

// A run's host on a terminal or in a script: every message on standard
// error, the same-name question on the terminal, the progress line, the stop
// on Ctrl-C, and an account of the run for the summary and the exit status.
class TerminalHost : public SortHost {
  public:
    struct Setup {
        bool folders = false;   // the folder window's run
        bool progress = false;  // draw the progress line
        bool undo = false;      // the run is an undo: its line tells what undo does
        int columns = 0;        // the terminal's width
        // --yes or --no: the answer to every same-name question; otherwise
        // each is asked on standard input (a terminal).
        std::optional<bool> answer;
        // --quiet: every message waits for showMessages(), so that a run
        // that placed everything can end without a word.
        bool holdMessages = false;
        // Each option of the run by its name on the command line, for refusals.
        const char* optionNames[6] = {"--out",   "--keywords", "--range",
                                      "--range", "--size",     "--width"};
        RunRecorder* recorder = nullptr;
    };

    struct Failure {
        std::string path;
        std::string reason;
    };

    TerminalHost(Setup setup, std::FILE* err = stderr, int in = 0);

    void showInfo(const std::string& text) override;
    void showWarning(const std::string& text) override;
    void rejectOption(const std::string& text, OptionId option) override;
    void setOutputDir(const std::string& text) override { m_outputDir = text; }
    void setBusy(bool) override {}
    void setProgress(int) override {}
    void refreshLiveOptions(SortOptions&) override {}
    bool askOverwrite(const std::string& targetPath) override { return askReplace(targetPath, {}); }
    bool askReplace(const std::string& targetPath, const std::string& sourcePath) override;
    bool stopRequested() override;
    void noteProgress(const RunProgress& progress) override { m_line.note(progress); }
    void noteCounts(const RunCounts& counts) override;
    void noteFailure(const std::string& path, const std::string& reason) override;
    RunRecorder* recorder() override { return m_setup.recorder; }
    bool keepReplacedFiles() override { return true; }

    // What the run left to tell.
    const std::vector<std::string>& messages() const { return m_messages; }
    // The option a check refused, or none.
    const std::string& refusedOption() const { return m_refusedOption; }
    bool refused() const { return m_refused; }
    // The run went through to its counts (finished, stopped or ended early).
    bool counted() const { return m_counted; }
    const RunCounts& counts() const { return m_counts; }
    const std::vector<Failure>& failures() const { return m_failures; }
    const std::string& outputDir() const { return m_outputDir; }
    // The user stopped the run (a signal, or 停止 in the question).
    bool stopped() const { return m_stopAnswered || m_signalled; }
    // Clears the progress line before other output.
    void clearLine() { m_line.clear(); }
    // Writes the messages held back so far (Setup::holdMessages).
    void showMessages();

    // "文件<path>已存在，是否覆盖？" with both files' size and time beneath.
    static std::string question(const std::string& targetPath, const std::string& sourcePath);

  private:
    void say(const std::string& text);

    Setup m_setup;
    std::FILE* m_err;
    int m_in;
    ProgressLine m_line;
    std::optional<bool> m_answerForAll;
    bool m_stopAnswered = false;
    bool m_signalled = false;
    std::vector<std::string> m_messages;
    size_t m_shown = 0;  // of m_messages, those written
    bool m_refused = false;
    std::string m_refusedOption;
    bool m_counted = false;
    RunCounts m_counts;
    std::vector<Failure> m_failures;
    std::string m_outputDir;
};

}  // namespace zanfeld
