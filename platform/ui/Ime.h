#pragma once
// Switching the Japanese input method on or off for a control: on in name
// and reading fields, off in number, date and code fields. The state is
// given to the control, to its focus proxy and to the editor that has the
// focus inside it (a grid's open cell editor), and to editors that get the
// focus inside it later. Where no input method runs, this only sets hints.

#include <QPointer>
#include <QWidget>

namespace ui {

void SetImeOpen(QWidget* widget, bool open);

// The last request, for tests: the control, the state asked for, and how
// many requests there were since the last reset.
struct ImeRequest {
    QPointer<QWidget> widget;
    bool open = false;
    int count = 0;
};
ImeRequest LastImeRequest();
void ResetImeRequests();

// Whether the input method is on for a widget as far as this layer set it:
// enabled, with no hint asking for Latin input.
bool ImeOpenFor(const QWidget* widget);

// Gives a widget that just got the focus the state set on its nearest
// ancestor (used by the layer's event filter).
void ApplyImeOnFocus(QWidget* focused);

}  // namespace ui
