#include "FilePickers.h"

#include <QFileDialog>

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

}  // namespace

bool FilePickers::answerScripted(const Request& request, QStringList& answer) {
    Script& s = script();
    if (!s.on) return false;
    s.requests.push_back(request);
    answer.clear();
    if (!s.answers.empty()) {
        answer = s.answers.front();
        s.answers.pop_front();
    }
    return true;
}

QString FilePickers::chooseFolder(QWidget* owner, const QString& prompt) {
    QStringList answer;
    if (answerScripted({Kind::Folder, prompt, {}, {}}, answer)) return answer.value(0);
    return QFileDialog::getExistingDirectory(owner, prompt, QString(), QFileDialog::ShowDirsOnly);
}

QStringList FilePickers::openFiles(QWidget* owner, const QString& filter) {
    QStringList answer;
    if (answerScripted({Kind::OpenFiles, {}, {}, filter}, answer)) return answer;
    return QFileDialog::getOpenFileNames(owner, QString(), QString(), filter);
}

QString FilePickers::openFile(QWidget* owner, const QString& filter) {
    QStringList answer;
    if (answerScripted({Kind::OpenFile, {}, {}, filter}, answer)) return answer.value(0);
    return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
}

QString FilePickers::saveFile(QWidget* owner, const QString& preset, const QString& filter) {
    QStringList answer;
    if (answerScripted({Kind::SaveFile, {}, preset, filter}, answer)) return answer.value(0);
    return QFileDialog::getSaveFileName(owner, QString(), preset, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

void FilePickers::setScripted(bool scripted) {
    Script& s = script();
    s = Script{};
    s.on = scripted;
}

void FilePickers::queueAnswer(const QStringList& paths) { script().answers.push_back(paths); }

const std::vector<FilePickers::Request>& FilePickers::requests() { return script().requests; }

}  // namespace zanfeld
