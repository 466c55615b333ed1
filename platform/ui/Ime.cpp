#include "platform/ui/Ime.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>

#include "platform/ui/FormEventRouter.h"

namespace ui {
namespace {

constexpr char kImeProperty[] = "murvImeOpen";
constexpr Qt::InputMethodHints kLatinHints = Qt::ImhLatinOnly | Qt::ImhPreferLatin;

ImeRequest& Last() {
    static ImeRequest last;
    return last;
}

bool anyRequest = false;

void Apply(QWidget* widget, bool open) {
    if (!widget) return;
    Qt::InputMethodHints hints = widget->inputMethodHints() & ~kLatinHints;
    if (open) widget->setAttribute(Qt::WA_InputMethodEnabled, true);
    else hints |= kLatinHints;
    widget->setInputMethodHints(hints);
    if (widget->hasFocus() && QGuiApplication::inputMethod())
        QGuiApplication::inputMethod()->update(Qt::ImHints | Qt::ImEnabled);
}

}  // namespace

void SetImeOpen(QWidget* widget, bool open) {
    if (!widget) return;
    anyRequest = true;
    FormEventRouter::Instance();
    widget->setProperty(kImeProperty, open);
    Apply(widget, open);
    Apply(widget->focusProxy(), open);
    QWidget* focused = QApplication::focusWidget();
    if (focused && widget->isAncestorOf(focused)) Apply(focused, open);

    ImeRequest& last = Last();
    last.widget = widget;
    last.open = open;
    ++last.count;
}

ImeRequest LastImeRequest() { return Last(); }

void ResetImeRequests() { Last() = ImeRequest{}; }

bool ImeOpenFor(const QWidget* widget) {
    return widget && widget->testAttribute(Qt::WA_InputMethodEnabled) && !(widget->inputMethodHints() & kLatinHints);
}

void ApplyImeOnFocus(QWidget* focused) {
    if (!anyRequest) return;
    for (QWidget* w = focused; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        const QVariant state = w->property(kImeProperty);
        if (state.isValid()) {
            if (w != focused) Apply(focused, state.toBool());
            return;
        }
    }
}

}  // namespace ui
