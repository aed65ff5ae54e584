#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "ReplaceQuestion.h"

class QMessageBox;
class QWidget;

namespace zanfeld {

// Every message box of the program goes through here. Captions are always the
// application title. Tests switch to scripted mode: nothing is shown, each box
// is recorded, questions take their answers from a queue (No when it is empty)
// and a hook may look at the program's state while the box "is open".
class MessageBoxes {
  public:
    enum class Kind { Information, Question, Error, Warning };
    // The answer Enter gives to a question.
    enum class DefaultAnswer { No, Yes };

    struct Shown {
        Kind kind = Kind::Information;
        QString caption;
        QString text;
        QWidget* owner = nullptr;
        QString details;  // the same-name question's lines about the two files
        DefaultAnswer byDefault = DefaultAnswer::No;  // a question's
    };

    // Information icon and an OK button; returns when dismissed.
    static void information(QWidget* owner, const QString& text);
    // Question icon with Yes and No; true for Yes. No is the default unless
    // asked otherwise: no key alone may lose work.
    static bool question(QWidget* owner, const QString& text,
                         DefaultAnswer byDefault = DefaultAnswer::No);
    // The error box for failures the program reports with the system's text.
    static void error(QWidget* owner, const QString& text);
    // Warning icon and an OK button: a run that could not place every file.
    static void warning(QWidget* owner, const QString& text);
    // A run's same-name question (a Question box): the question, the two
    // files beneath it, and 是, 全部是, 否, 全部否 and 停止.
    static ReplaceAnswer askReplace(QWidget* owner, const QString& text, const QString& details);
    // The box the functions above show (all but the same-name question), not yet shown.
    static std::unique_ptr<QMessageBox> makeBox(Kind kind, QWidget* owner, const QString& text,
                                                DefaultAnswer byDefault = DefaultAnswer::No);

    // Tests. Turning scripted mode on or off clears the records, the answers and the hook.
    static void setScripted(bool scripted);
    static bool scripted();
    // Yes or No for the next question (for the same-name question, 是 or 否).
    static void queueAnswer(bool yes);
    // Any answer for the next same-name question; a plain question takes
    // 全部是 as Yes and the others as No.
    static void queueAnswer(ReplaceAnswer answer);
    static const std::vector<Shown>& shown();
    static void clearShown();
    static void setHook(std::function<void(const Shown&)> hook);

  private:
    static bool show(Kind kind, QWidget* owner, const QString& text,
                     DefaultAnswer byDefault = DefaultAnswer::No);
    // Scripted mode: records the box, runs the hook and takes the next answer.
    static ReplaceAnswer script(Kind kind, QWidget* owner, const QString& text,
                                const QString& details, DefaultAnswer byDefault);
};

}  // namespace zanfeld
