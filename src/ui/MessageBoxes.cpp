#include "MessageBoxes.h"

#include <QMessageBox>

#include "AppTitle.h"

namespace zanfeld {

namespace {

struct Script {
    bool on = false;
    std::vector<MessageBoxes::Shown> shown;
    std::deque<bool> answers;
    std::function<void(const MessageBoxes::Shown&)> hook;
};

Script& script() {
    static Script s;
    return s;
}

}  // namespace

void MessageBoxes::information(QWidget* owner, const QString& text) {
    show(Kind::Information, owner, text);
}

bool MessageBoxes::question(QWidget* owner, const QString& text) {
    return show(Kind::Question, owner, text);
}

void MessageBoxes::error(QWidget* owner, const QString& text) { show(Kind::Error, owner, text); }

void MessageBoxes::warning(QWidget* owner, const QString& text) {
    show(Kind::Warning, owner, text);
}

bool MessageBoxes::show(Kind kind, QWidget* owner, const QString& text) {
    Script& s = script();
    if (s.on) {
        Shown box{kind, AppTitle(), text, owner};
        s.shown.push_back(box);
        // The hook runs where the real box would be open, so it sees the state
        // the user would see.
        if (s.hook) s.hook(box);
        if (kind != Kind::Question) return true;
        if (s.answers.empty()) return false;
        const bool yes = s.answers.front();
        s.answers.pop_front();
        return yes;
    }

    QMessageBox box(owner);
    box.setWindowTitle(AppTitle());
    box.setText(text);
    switch (kind) {
        case Kind::Information:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Question:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            break;
        case Kind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxes::setScripted(bool scripted) {
    Script& s = script();
    s = Script{};
    s.on = scripted;
}

bool MessageBoxes::scripted() { return script().on; }

void MessageBoxes::queueAnswer(bool yes) { script().answers.push_back(yes); }

const std::vector<MessageBoxes::Shown>& MessageBoxes::shown() { return script().shown; }

void MessageBoxes::clearShown() { script().shown.clear(); }

void MessageBoxes::setHook(std::function<void(const Shown&)> hook) {
    script().hook = std::move(hook);
}

}  // namespace zanfeld
