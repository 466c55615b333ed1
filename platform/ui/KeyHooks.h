#pragma once
// Keys as the screens see them: the form's key preview (Form::OnKeyDown) and
// the key-down and typed-character handlers of single controls. A handler
// that marks the key consumed keeps it from the control; otherwise the
// control goes on to handle it as usual.

#include <QString>
#include <QWidget>
#include <functional>

namespace ui {

struct KeyArgs {
    int key = 0;  // Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text;  // the typed character, when the key types one
    bool consumed = false;

    void Consume() { consumed = true; }
};

using KeyHandler = std::function<void(KeyArgs&)>;

// Runs before the control handles a key going down (after the form's key
// preview). A control with a focus proxy (TextBox) hooks its editor.
// An empty handler removes the hook.
void SetKeyDownHandler(QWidget* control, KeyHandler handler);

// Runs once for each character typed into the control, also for characters
// committed by an input method; args.key is 0 then. Consuming drops the
// character.
void SetKeyPressHandler(QWidget* control, KeyHandler handler);

}  // namespace ui
