#pragma once
// The program-wide event filter behind forms (internal to this layer):
// it runs a form's key preview before the focused control gets the key,
// keeps track of which window was active before, so that a form can tell a
// switch from another window from the return out of its own modal window,
// and applies the input-method state of SetImeOpen to editors that get the
// focus later (a grid's cell editor).

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

class QKeyEvent;

namespace ui {

class Form;

class FormEventRouter : public QObject {
public:
    // The router, installed on the application the first time it is asked for.
    static FormEventRouter& Instance();

    // True once for the activation that a form should announce: the window
    // active before it was another window of the program, and not a modal
    // window opened while this form was active.
    bool TakeActivation(Form* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormEventRouter() = default;

    bool RouteKey(QWidget* receiver, QKeyEvent* event);
    void NoteActivation(QWidget* window);

    // The keys being delivered by the router itself right now (their
    // delivery passes through this filter again).
    QSet<QEvent*> inFlight_;

    struct ActiveWindow {
        QPointer<QWidget> window;
        QWidget* address = nullptr;
        bool modal = false;
        bool popup = false;        // a drop-down list or calendar of a control
        QPointer<QWidget> opener;  // the window that was active when it came up
    };
    ActiveWindow current_;
    QHash<QWidget*, QPointer<QWidget>> openers_;
    QPointer<QWidget> toAnnounce_;
};

}  // namespace ui
