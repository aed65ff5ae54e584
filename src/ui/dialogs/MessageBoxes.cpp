#include "MessageBoxes.h"

#include <QMessageBox>

#include "AppTitle.h"

namespace zanfeld {

namespace {

struct Script {
    bool on = false;
    std::vector<MessageBoxes::Shown> shown;
    std::deque<ReplaceAnswer> answers;
    std::function<void(const MessageBoxes::Shown&)> hook;
};

Script& scriptState() {
    static Script s;
    return s;
}

}  // namespace

void MessageBoxes::information(QWidget* owner, const QString& text) {
    show(Kind::Information, owner, text);
}

bool MessageBoxes::question(QWidget* owner, const QString& text, DefaultAnswer byDefault) {
    return show(Kind::Question, owner, text, byDefault);
}

void MessageBoxes::error(QWidget* owner, const QString& text) { show(Kind::Error, owner, text); }

void MessageBoxes::warning(QWidget* owner, const QString& text) {
    show(Kind::Warning, owner, text);
}

ReplaceAnswer MessageBoxes::askReplace(QWidget* owner, const QString& text,
                                       const QString& details) {
    if (scriptState().on) return script(Kind::Question, owner, text, details, DefaultAnswer::No);
    ReplaceQuestion question(owner, text, details);
    return question.exec();
}

ReplaceAnswer MessageBoxes::script(Kind kind, QWidget* owner, const QString& text,
                                   const QString& details, DefaultAnswer byDefault) {
    Script& s = scriptState();
    Shown box{kind, AppTitle(), text, owner, details, byDefault};
    s.shown.push_back(box);
    // The hook runs where the real box would be open, so it sees the state
    // the user would see.
    if (s.hook) s.hook(box);
    if (kind != Kind::Question || s.answers.empty()) return ReplaceAnswer::No;
    const ReplaceAnswer answer = s.answers.front();
    s.answers.pop_front();
    return answer;
}

bool MessageBoxes::show(Kind kind, QWidget* owner, const QString& text, DefaultAnswer byDefault) {
    if (scriptState().on) {
        const ReplaceAnswer answer = script(kind, owner, text, {}, byDefault);
        return kind != Kind::Question || answer == ReplaceAnswer::Yes ||
               answer == ReplaceAnswer::YesToAll;
    }
    return makeBox(kind, owner, text, byDefault)->exec() == QMessageBox::Yes;
}

std::unique_ptr<QMessageBox> MessageBoxes::makeBox(Kind kind, QWidget* owner, const QString& text,
                                                   DefaultAnswer byDefault) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(AppTitle());
    box->setText(text);
    switch (kind) {
        case Kind::Information:
            box->setIcon(QMessageBox::Information);
            box->setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Question:
            box->setIcon(QMessageBox::Question);
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box->setDefaultButton(byDefault == DefaultAnswer::Yes ? QMessageBox::Yes
                                                                  : QMessageBox::No);
            break;
        case Kind::Error:
            box->setIcon(QMessageBox::Critical);
            box->setStandardButtons(QMessageBox::Ok);
            break;
        case Kind::Warning:
            box->setIcon(QMessageBox::Warning);
            box->setStandardButtons(QMessageBox::Ok);
            break;
    }
    return box;
}

void MessageBoxes::setScripted(bool scripted) {
    Script& s = scriptState();
    s = Script{};
    s.on = scripted;
}

bool MessageBoxes::scripted() { return scriptState().on; }

void MessageBoxes::queueAnswer(bool yes) {
    scriptState().answers.push_back(yes ? ReplaceAnswer::Yes : ReplaceAnswer::No);
}

void MessageBoxes::queueAnswer(ReplaceAnswer answer) { scriptState().answers.push_back(answer); }

const std::vector<MessageBoxes::Shown>& MessageBoxes::shown() { return scriptState().shown; }

void MessageBoxes::clearShown() { scriptState().shown.clear(); }

void MessageBoxes::setHook(std::function<void(const Shown&)> hook) {
    scriptState().hook = std::move(hook);
}

}  // namespace zanfeld
