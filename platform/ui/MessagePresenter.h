#pragma once
// Every message box of the program goes through one presenter. The running
// program shows a modal QMessageBox; tests install a ScriptedPresenter that
// records each box and answers from a script, so no window ever appears.

#include <QList>
#include <QString>
#include <deque>

namespace ui {

enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageIcon { Information, Question, Warning };
enum class Answer { Yes, No, Ok, Cancel };

// One message box as the user sees it.
struct MessageBoxContent {
    QString title;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Information;
    Answer defaultButton = Answer::Ok;  // Ok for an OK box; Yes or No for a Yes/No box; Ok or Cancel

    bool operator==(const MessageBoxContent&) const = default;
};

// The answer a box gives when the user dismisses it without choosing:
// No for a Yes/No box, Cancel for an OK/Cancel box, OK for an OK box.
Answer EscapeAnswer(const MessageBoxContent& box);

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows the box and returns once the user has answered.
    virtual Answer Present(const MessageBoxContent& box) = 0;
};

// The presenter in use; the QMessageBox one unless another was installed.
MessagePresenter& CurrentPresenter();
// Installs a presenter (nullptr: back to the QMessageBox one) and returns the
// one it replaces. The caller keeps ownership.
MessagePresenter* SetPresenter(MessagePresenter* presenter);

// Installs a presenter for the lifetime of the guard and restores the
// previous one afterwards.
class ScopedPresenter {
public:
    explicit ScopedPresenter(MessagePresenter& presenter) : previous_(SetPresenter(&presenter)) {}
    ~ScopedPresenter() { SetPresenter(previous_); }
    ScopedPresenter(const ScopedPresenter&) = delete;
    ScopedPresenter& operator=(const ScopedPresenter&) = delete;

private:
    MessagePresenter* previous_;
};

// A modal QMessageBox over the active window, with the buttons "はい" and
// "いいえ", "OK" and "キャンセル", or "OK". Esc and the window's close button give EscapeAnswer.
class QtMessagePresenter : public MessagePresenter {
public:
    Answer Present(const MessageBoxContent& box) override;
};

// For tests: records every box and answers the Yes/No and OK/Cancel boxes
// from a queue. An OK box always answers Ok and leaves the queue alone; a
// question with the queue empty answers with its default button, as
// pressing Enter would.
class ScriptedPresenter : public MessagePresenter {
public:
    ScriptedPresenter() = default;
    explicit ScriptedPresenter(std::initializer_list<Answer> answers) : answers_(answers) {}

    Answer Present(const MessageBoxContent& box) override;

    void QueueAnswer(Answer answer) { answers_.push_back(answer); }
    const QList<MessageBoxContent>& Shown() const { return shown_; }
    qsizetype PendingAnswers() const { return static_cast<qsizetype>(answers_.size()); }
    void Clear() {
        shown_.clear();
        answers_.clear();
    }

private:
    std::deque<Answer> answers_;
    QList<MessageBoxContent> shown_;
};

}  // namespace ui
