#pragma once

#include <string>
#include <vector>

#include "SettingsFile.h"
#include "SortTypes.h"
#include "SortWindow.h"

namespace zanfeld {

class TForm1;

// The folder sorting window: the list of folders to sort, the keyword and
// folder-name pages (and a hidden date page the settings keep), the output
// folder and the same-name choice. Created hidden; the two switch buttons at
// the top hand over between it and the file window. The start button hands
// the options and a copy of the list to the folder engine, and the window
// serves the run as its SortHost.
class TForm6 : public SortWindow {
    Q_OBJECT
  public:
    // settingsPath: the settings file, read now and written on close.
    // defaultOutDir: the output folder on the first start (see DefaultOutputFolder).
    TForm6(std::string settingsPath, std::string defaultOutDir, QWidget* parent = nullptr);
    ~TForm6() override;

    // The file window that RbForm1 switches to.
    void setFileWindow(TForm1* fileWindow);

    SortOptions ReadOptions() const override;
    void ApplyOptions(const SortOptions& options) override;
    // The settings section as the controls stand, and the reverse.
    FolderWindowSettings ReadSettings() const;
    void ApplySettings(const FolderWindowSettings& settings);

    // SortHost: the same-name answer.
    void refreshLiveOptions(SortOptions& options) override;

    // Handlers.
    void RbForm1Click() { switchWindow(); }
    void Button1Click() override;
    void Button5Click() override;

  protected:
    SortFunction sortFunction() const override;
    std::string writeSettings() const override;

  private:
    void buildPages();
    void FormCreate();
};

}  // namespace zanfeld
