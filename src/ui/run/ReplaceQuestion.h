#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>
#include <string>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace zanfeld {

// The answers to "文件<path>已存在，是否覆盖？" during a run.
enum class ReplaceAnswer {
    Yes,       // replace this file
    No,        // keep it
    YesToAll,  // replace this and every later one of the run
    NoToAll,   // keep this and every later one of the run
    Stop       // keep it and stop the run
};

// The same-name question of a run: the question as its first line, the two
// files beneath it, and five buttons: 是, 全部是, 否, 全部否, and apart from
// them 停止. Enter answers No, as does Escape: no key press alone replaces a
// file.
class ReplaceQuestion {
    Q_DECLARE_TR_FUNCTIONS(ReplaceQuestion)

  public:
    // text: the question; details: the two files (rich text).
    ReplaceQuestion(QWidget* owner, const QString& text, const QString& details);
    ~ReplaceQuestion();
    ReplaceQuestion(const ReplaceQuestion&) = delete;
    ReplaceQuestion& operator=(const ReplaceQuestion&) = delete;

    // Shows the box and waits for the answer.
    ReplaceAnswer exec();
    // The box, for a look at it while it is open.
    QMessageBox& box() { return *m_box; }
    // The answer a button gives (No for one that is not the box's).
    ReplaceAnswer answerOf(const QAbstractButton* button) const;

    // The lines beneath the question: the existing file's and the new file's
    // size and modification time side by side, the newer one marked. Empty
    // without a source; a file that cannot be looked at shows "—".
    static QString details(const std::string& target, const std::string& source);

  private:
    // Lays out the buttons in reading order, 停止 apart at the end.
    void arrangeButtons();

    std::unique_ptr<QMessageBox> m_box;
    QAbstractButton* m_stop = nullptr;
};

}  // namespace zanfeld
