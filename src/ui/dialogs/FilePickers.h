#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QWidget;

namespace zanfeld {

// The platform's file and folder choosers. Each opens where the user last
// chose something of its sort in this session (the folder choosers at the
// folder chosen, the file choosers at the folder of the files), else at the
// home folder; never at the program's working folder. Tests switch to
// scripted mode: nothing is shown, each request is recorded and answered from
// a queue (an empty answer, or an empty queue, is a cancel).
class FilePickers {
  public:
    enum class Kind { Folder, OpenFiles, OpenFile, SaveFile };

    struct Request {
        Kind kind = Kind::Folder;
        QString title;   // the folder chooser's prompt
        QString preset;  // the save dialog's preset name
        QString filter;
        QString folder;  // where the chooser opens
    };

    // Folders only, nothing preselected; the chosen path or "" on cancel.
    static QString chooseFolder(QWidget* owner, const QString& prompt);
    // Several existing files; empty on cancel.
    static QStringList openFiles(QWidget* owner, const QString& filter);
    // One existing file; "" on cancel.
    static QString openFile(QWidget* owner, const QString& filter);
    // A name to write to, starting from preset; no default suffix is added and
    // replacing an existing file is not asked about. "" on cancel.
    static QString saveFile(QWidget* owner, const QString& preset, const QString& filter);

    // Tests. Turning scripted mode on or off clears the records, the answers
    // and the folders last chosen.
    static void setScripted(bool scripted);
    static void queueAnswer(const QStringList& paths);
    static const std::vector<Request>& requests();

  private:
    static bool answerScripted(const Request& request, QStringList& answer);
    // Where a chooser of kind opens, and what it keeps of an answer.
    static QString startFolder(Kind kind);
    static void remember(Kind kind, const QStringList& answer);
};

}  // namespace zanfeld
