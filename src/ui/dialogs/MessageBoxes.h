#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "ReplaceQuestion.h"

class QWidget;

namespace zanfeld {

// Every message box of the program goes through here. Captions are always the
// application title. Tests switch to scripted mode: nothing is shown, each box
// is recorded, questions take their answers from a queue (No when it is empty)
// and a hook may look at the program's state while the box "is open".
class MessageBoxes {
  public:
    enum class Kind { Information, Question, Error, Warning };

    struct Shown {
        Kind kind = Kind::Information;
        QString caption;
        QString text;
        QWidget* owner = nullptr;
        QString details;  // the same-name question's lines about the two files
    };

    // Information icon and an OK button; returns when dismissed.
    static void information(QWidget* owner, const QString& text);
    // Question icon with Yes and No; true for Yes.
    static bool question(QWidget* owner, const QString& text);
    // The error box for failures the program reports with the system's text.
    static void error(QWidget* owner, const QString& text);
    // Warning icon and an OK button: a run that could not place every file.
    static void warning(QWidget* owner, const QString& text);
    // A run's same-name question (a Question box): the question, the two
    // files beneath it, and 是, 否, 全部是, 全部否 and 停止.
    static ReplaceAnswer askReplace(QWidget* owner, const QString& text, const QString& details);

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
    static bool show(Kind kind, QWidget* owner, const QString& text);
    // Scripted mode: records the box, runs the hook and takes the next answer.
    static ReplaceAnswer script(Kind kind, QWidget* owner, const QString& text,
                                const QString& details);
};

}  // namespace zanfeld
