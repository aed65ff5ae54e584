#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zanfeld {

class SharedJournal;
class TForm1;
class TForm3;
class TForm6;
class TfrmAbout;
class TfrmSuffix;

// The program's windows, created in start-up order: the file sorting window
// (the main window, shown), the folder sorting window (hidden), then the
// add-directory dialog, the about box and the add-type dialog. Closing either
// sorting window saves that window's settings only and ends the program.
class AppWindows {
  public:
    AppWindows(const std::string& settingsPath, const std::string& defaultOutDir);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    TForm1& fileWindow() { return *m_form1; }
    TForm6& folderWindow() { return *m_form6; }
    TForm3& addDirectoryDialog() { return *m_form3; }
    TfrmAbout& aboutBox() { return *m_about; }
    TfrmSuffix& addTypeDialog() { return *m_suffix; }

    SharedJournal& journal() { return *m_journal; }

    // Paths the program was opened with: files join the file window's list
    // as dropped files do, folders the folder window's list; the folder
    // window comes forward when only folders were given. Other paths (gone,
    // devices) are passed over.
    void openPaths(const std::vector<std::string>& paths);

  private:
    // Declared in creation order, so they are destroyed in reverse; the
    // journal outlives the windows whose runs write it.
    std::unique_ptr<SharedJournal> m_journal;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm6> m_form6;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TfrmAbout> m_about;
    std::unique_ptr<TfrmSuffix> m_suffix;
};

}  // namespace zanfeld
