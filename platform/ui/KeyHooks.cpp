#include "platform/ui/KeyHooks.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace ui {
namespace {

class KeyHookFilter : public QObject {
public:
    explicit KeyHookFilter(QWidget* target) : QObject(target) {}

    KeyHandler keyDown;
    KeyHandler keyPress;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) return OnKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod && keyPress)
            return OnInputMethod(watched, static_cast<QInputMethodEvent*>(event));
        return false;
    }

private:
    bool OnKey(QKeyEvent* event) {
        if (keyDown) {
            KeyArgs args{event->key(), event->modifiers(), event->text()};
            keyDown(args);
            if (args.consumed) return true;
        }
        if (keyPress && !event->text().isEmpty()) {
            KeyArgs args{event->key(), event->modifiers(), event->text()};
            keyPress(args);
            if (args.consumed) return true;
        }
        return false;
    }

    bool OnInputMethod(QObject* watched, QInputMethodEvent* event) {
        const QString committed = event->commitString();
        if (committed.isEmpty() || resending_) return false;
        QString kept;
        for (const QChar c : committed) {
            KeyArgs args{0, Qt::NoModifier, QString(c)};
            keyPress(args);
            if (!args.consumed) kept += c;
        }
        if (kept == committed) return false;
        QInputMethodEvent replacement(event->preeditString(), event->attributes());
        replacement.setCommitString(kept, event->replacementStart(), event->replacementLength());
        resending_ = true;
        QCoreApplication::sendEvent(watched, &replacement);
        resending_ = false;
        return true;
    }

    bool resending_ = false;
};

KeyHookFilter* HookOf(QWidget* control) {
    QWidget* target = control->focusProxy() ? control->focusProxy() : control;
    for (QObject* child : target->children())
        if (auto* hook = dynamic_cast<KeyHookFilter*>(child)) return hook;
    auto* hook = new KeyHookFilter(target);
    target->installEventFilter(hook);
    return hook;
}

}  // namespace

void SetKeyDownHandler(QWidget* control, KeyHandler handler) { HookOf(control)->keyDown = std::move(handler); }

void SetKeyPressHandler(QWidget* control, KeyHandler handler) { HookOf(control)->keyPress = std::move(handler); }

}  // namespace ui
