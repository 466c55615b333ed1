#include "platform/ui/FormEventRouter.h"

#include "platform/ui/Grid.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/ui/Form.h"
#include "platform/ui/Ime.h"

namespace ui {
namespace {

// The keys a previewing form claims before any shortcut can take them.
bool IsScreenKey(int key) { return (key >= Qt::Key_F1 && key <= Qt::Key_F24) || key == Qt::Key_Escape; }

Form* PreviewingForm(QWidget* receiver) {
    auto* form = qobject_cast<Form*>(receiver->window());
    if (!form || !form->KeyPreview() || form->IsUnloading() || !form->isEnabled()) return nullptr;
    return form;
}

}  // namespace

FormEventRouter& FormEventRouter::Instance() {
    static FormEventRouter* router = [] {
        auto* r = new FormEventRouter;
        QCoreApplication::instance()->installEventFilter(r);
        return r;
    }();
    return *router;
}

bool FormEventRouter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (watched->isWidgetType()) return RouteKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
        return false;
    case QEvent::WindowActivate:
        if (watched->isWidgetType()) NoteActivation(static_cast<QWidget*>(watched));
        return false;
    case QEvent::Hide:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            openers_.remove(static_cast<QWidget*>(watched));
        return false;
    case QEvent::FocusIn:
        if (watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            ApplyImeOnFocus(widget);
            if (auto* form = qobject_cast<Form*>(widget->window())) form->ShowFocused(widget);
        }
        return false;
    default: return false;
    }
}

bool FormEventRouter::RouteKey(QWidget* receiver, QKeyEvent* event) {
    if (inFlight_.contains(event)) return false;
    Form* form = PreviewingForm(receiver);
    if (!form) return false;

    if (event->type() == QEvent::ShortcutOverride) {
        if (!IsScreenKey(event->key())) return false;
        event->accept();  // deliver it as a key press, not as a shortcut
        return true;
    }

    // A function key runs a command: the edit open in a grid of the form is
    // committed first, and a refused edit swallows the key.
    if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F24 && !DataGrid::CommitAllPendingEdits(form)) {
        event->accept();
        return true;
    }

    KeyArgs args{event->key(), event->modifiers(), event->text()};
    inFlight_.insert(event);
    QPointer<QWidget> target(receiver);
    form->PreviewKey(args);
    if (args.consumed || !target) {
        inFlight_.remove(event);
        event->accept();
        return true;
    }
    // Passed on: deliver it now, with Qt's usual propagation to the parents
    // (delivered accepted, as Qt does: a widget ignores what it does not use).
    // That delivery is complete when it returns: the event is left accepted
    // so that Qt does not offer it to the parents a second time, and nothing
    // of it is kept (a later event may well live at the same address).
    event->accept();
    QApplication::instance()->notify(target, event);
    inFlight_.remove(event);
    event->accept();
    return true;
}

void FormEventRouter::NoteActivation(QWidget* window) {
    if (!window->isWindow() || QApplication::activeWindow() != window) return;
    if (current_.address == window && current_.window) {  // back from another program
        toAnnounce_ = nullptr;
        return;
    }
    const ActiveWindow previous = current_;

    auto opener = openers_.constFind(window);
    if (opener == openers_.constEnd()) opener = openers_.insert(window, previous.window);

    current_ = {window, window, window->isModal(), window->windowType() == Qt::Popup, *opener};
    // Closing a modal window, or a pop-up of one of its controls, gives the
    // activation back to the form that opened it: no switch.
    const bool backFromOwnModal = (previous.modal || previous.popup) && previous.opener == window;
    toAnnounce_ = backFromOwnModal ? nullptr : window;
}

bool FormEventRouter::TakeActivation(Form* form) {
    if (toAnnounce_ != form) return false;
    toAnnounce_ = nullptr;
    return true;
}

}  // namespace ui
