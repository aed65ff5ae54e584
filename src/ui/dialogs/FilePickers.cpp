#include "FilePickers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "HomeFolder.h"
#include "NativeText.h"

namespace zanfeld {

namespace {

struct Script {
    bool on = false;
    std::vector<FilePickers::Request> requests;
    std::deque<QStringList> answers;
};

Script& script() {
    static Script s;
    return s;
}

// The folders last chosen in this session: by the folder choosers, and by
// the file choosers.
struct LastFolders {
    QString folders;
    QString files;
};

LastFolders& lastFolders() {
    static LastFolders last;
    return last;
}

bool ForFolders(FilePickers::Kind kind) { return kind == FilePickers::Kind::Folder; }

}  // namespace

QString FilePickers::startFolder(Kind kind) {
    const QString& last = ForFolders(kind) ? lastFolders().folders : lastFolders().files;
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    return FromNative(HomeFolder());
}

void FilePickers::remember(Kind kind, const QStringList& answer) {
    if (answer.isEmpty() || answer.front().isEmpty()) return;
    if (ForFolders(kind)) {
        lastFolders().folders = answer.front();
    } else {
        lastFolders().files = QFileInfo(answer.front()).absolutePath();
    }
}

bool FilePickers::answerScripted(const Request& request, QStringList& answer) {
    Script& s = script();
    if (!s.on) return false;
    s.requests.push_back(request);
    answer.clear();
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    remember(request.kind, answer);
    return true;
}

QString FilePickers::chooseFolder(QWidget* owner, const QString& prompt) {
    const QString folder = startFolder(Kind::Folder);
    QStringList answer;
    if (answerScripted({Kind::Folder, prompt, {}, {}, folder}, answer)) return answer.value(0);
    const QString chosen =
        QFileDialog::getExistingDirectory(owner, prompt, folder, QFileDialog::ShowDirsOnly);
    remember(Kind::Folder, {chosen});
    return chosen;
}

QStringList FilePickers::openFiles(QWidget* owner, const QString& filter) {
    const QString folder = startFolder(Kind::OpenFiles);
    QStringList answer;
    if (answerScripted({Kind::OpenFiles, {}, {}, filter, folder}, answer)) return answer;
    const QStringList chosen = QFileDialog::getOpenFileNames(owner, QString(), folder, filter);
    remember(Kind::OpenFiles, chosen);
    return chosen;
}

QString FilePickers::openFile(QWidget* owner, const QString& filter) {
    const QString folder = startFolder(Kind::OpenFile);
    QStringList answer;
    if (answerScripted({Kind::OpenFile, {}, {}, filter, folder}, answer)) return answer.value(0);
    const QString chosen = QFileDialog::getOpenFileName(owner, QString(), folder, filter);
    remember(Kind::OpenFile, {chosen});
    return chosen;
}

QString FilePickers::saveFile(QWidget* owner, const QString& preset, const QString& filter) {
    const QString folder = startFolder(Kind::SaveFile);
    QStringList answer;
    if (answerScripted({Kind::SaveFile, {}, preset, filter, folder}, answer))
        return answer.value(0);
    // A bare name is offered in the folder the dialog opens at.
    const QString chosen =
        QFileDialog::getSaveFileName(owner, QString(), QDir(folder).filePath(preset), filter,
                                     nullptr, QFileDialog::DontConfirmOverwrite);
    remember(Kind::SaveFile, {chosen});
    return chosen;
}

void FilePickers::setScripted(bool scripted) {
    Script& s = script();
    s = Script{};
    s.on = scripted;
    lastFolders() = LastFolders{};
}

void FilePickers::queueAnswer(const QStringList& paths) { script().answers.push_back(paths); }

const std::vector<FilePickers::Request>& FilePickers::requests() { return script().requests; }

}  // namespace zanfeld
