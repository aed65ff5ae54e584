#pragma once

#include <QWidget>
#include <string>

#include "SettingsFile.h"
#include "SortTypes.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace zanfeld {

// The file window's taken-date page (page 6, TabSheet7): photos and videos
// into folders of the year, the month or the day they were taken. The folder
// layout with an example of it, the modification time standing in for a
// missing date, and files without a date left where they are. The page's type
// list sits in the window's option group, as the picture page's does.
class TakenDatePage : public QWidget {
    Q_OBJECT
  public:
    explicit TakenDatePage(QWidget* parent = nullptr);

    // The page's fields of a run's options, and the reverse.
    void read(SortOptions& options) const;
    void apply(const SortOptions& options);
    // The page's keys of the settings section, and the reverse.
    void read(FileWindowSettings& settings) const;
    void apply(const FileWindowSettings& settings);

    QLabel* LblTakenGroup;
    QComboBox* CmbTakenGroup;  // TakenGroup's order
    QLabel* LblTakenExample;   // where a file taken on 2024-05-06 goes
    QCheckBox* ChkTakenModified;
    QCheckBox* ChkTakenSkip;
    QLabel* LblTakenSources;  // where the date comes from, and what becomes of a file without

  private:
    TakenGroup group() const;
    void showExample();
    void showSources();

    // No control shows these: a chosen plan's values are kept, so that the
    // plan is run and saved again as it was made.
    bool m_fromName = true;
    std::string m_unknownFolder = SortOptions().takenUnknownFolder;
};

}  // namespace zanfeld
