#pragma once
// Forms: the screens of the program. Each screen is a class derived from
// Form that builds its controls in its constructor (placed in twips) and
// does its set-up in OnLoad:
//
//   class FrmKeihiJuni : public ui::Form {
//   public:
//       FrmKeihiJuni() {                       // made by Forms::Get
//           SetCaption(QStringLiteral("経費順位"));
//           SetClientSize(11400, 7800);
//           SetKeyPreview(true);               // OnKeyDown sees every key first
//           cmd読込.Move(120, 6900, 1200, 450);
//           connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read経費順位(); });
//       }
//   protected:
//       void OnLoad() override { FormInit(); Clear経費順位(); }
//       void OnKeyDown(ui::KeyArgs& key) override {
//           if (key.key == Qt::Key_F9) { Clear経費順位(); key.Consume(); }
//       }
//   private:
//       ui::CommandButton cmd読込{QStringLiteral("読込"), this};
//       ...
//   };
//
// One shared instance per form name lives in the registry Forms:
//
//   auto& input = ui::Forms::Get<FrmInput>("FrmInput");  // created when absent
//   input.Show();        // loaded on the first showing, brought forward later
//   input.Unload();      // OnUnload runs, the instance goes; the next Get makes a new one
//
// Loading runs OnLoad once per instance; the form then belongs to the
// collection of loaded forms (Forms::Loaded, in load order) until it is
// unloaded. Closing the window with its title-bar button unloads it.
//
// A form is always made with new (Forms::Get does so): unloading deletes it
// once control is back in the event loop. Hold QPointer<Form> or call
// Forms::Get again instead of keeping raw pointers across an unload.

#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <type_traits>

#include "platform/ui/Control.h"
#include "platform/ui/KeyHooks.h"

class QEventLoop;
class QScrollArea;

namespace ui {

class Form : public Control<QWidget> {
    Q_OBJECT

public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // The form's name ("FrmInput"): the key of the registry and the name
    // the hint editor stores. Forms::Get sets it.
    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }

    // The window caption.
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    // The inner size of the window in twips; the user cannot resize it.
    // Where the window would not fit the free area of its screen (a small
    // screen, a large scale), it is made as large as that area and its
    // controls scroll inside it, keeping their places: every one of them can
    // still be reached, and the one that takes the focus is scrolled into
    // view.
    void SetClientSize(int widthTwips, int heightTwips);
    // A resizable form can be made larger than its client size by the user
    // (never smaller, but for the screen's sake as above).
    void SetResizable(bool resizable);
    // The size of the area the controls are placed on, in twips: the client
    // size, or more while a resizable form is made larger.
    int ScaleWidth() const;
    int ScaleHeight() const;

    bool IsLoaded() const { return loaded_; }
    // Runs OnLoad when the form is not loaded yet; it joins the collection
    // of loaded forms before OnLoad runs (OnLoad may call Show itself).
    void Load();
    // Shows the form modeless in the normal window state: loads it first
    // when needed, un-minimises it, raises it and makes it the active window.
    void Show();
    // Shows the form application-modal and returns when it is hidden or
    // unloaded. Loads it first when needed.
    void ShowModal();
    // Hides the window; the form stays loaded.
    void Hide() { hide(); }
    // OnUnload runs, the window closes, the form leaves the collection of
    // loaded forms and the registry, and the instance is deleted once
    // control is back in the event loop. Safe to call from the form's own
    // handlers.
    void Unload();
    bool IsUnloading() const { return unloading_; }

    // Key preview: the form's OnKeyDown sees every key going down anywhere
    // on the form before the focused control does (a combo, a text box, a
    // grid and its cell editor alike). A key the handler does not consume is
    // then delivered to the focused control as usual. Keys of a combo's open
    // drop-down list and of other windows (message boxes) are not previewed.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }

signals:
    void Loaded();
    void Unloaded();
    // The form became the active window because the user switched to it
    // from another window of the program (not on the return from a message
    // box or a modal window that the form itself opened, and not on the
    // return from another program).
    void Activated();

protected:
    virtual void OnLoad() {}
    virtual void OnUnload() {}
    virtual void OnActivate() {}
    virtual void OnKeyDown(KeyArgs& key) { Q_UNUSED(key); }
    // The area the controls are placed on changed its size.
    virtual void OnResize() {}

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class FormEventRouter;
    void PreviewKey(KeyArgs& key) { OnKeyDown(key); }
    // Scrolls a control that took the focus into view.
    void ShowFocused(QWidget* control);
    // Moves the controls made on the form onto its scrolled area.
    void AdoptControls();
    // Sizes the window to what its screen has room for; with place, also
    // moves it inside the screen's free area where it reaches out of it.
    void FitScreen(bool place);

    QScrollArea* scroller_ = nullptr;
    QWidget* area_ = nullptr;  // the controls' parent, inside the scroller
    QSize client_;             // the client size in pixels
    bool resizable_ = false;

    bool loaded_ = false;
    bool loading_ = false;
    bool unloading_ = false;
    bool keyPreview_ = false;
    QEventLoop* modalLoop_ = nullptr;
};

// The room a window has on its screen: the screen's free area (without its
// panels and task bars) less the window's frame, as far as that is known (a
// shown window's own frame, else that of another shown window).
QSize RoomOnScreen(const QWidget* window);

// The registry of shared form instances and the collection of loaded forms.
class Forms {
public:
    // The shared instance of the form called name, made with new T() when
    // there is none (made, not loaded: the first Show or Load loads it).
    // Asking for a name that belongs to a form of another class is a
    // programming error and aborts.
    template <class T>
    static T& Get(const QString& name);

    // The shared instance of that name, or nullptr.
    static Form* Find(const QString& name);
    // Unloads the form of that name when it exists.
    static void Unload(const QString& name);

    // The loaded forms, in the order they were loaded, and their number.
    static QList<Form*> Loaded();
    static int Count();

    // Unloads every form, last loaded first, processing pending events
    // after each.
    static void UnloadAll();

private:
    friend class Form;
    static void Adopt(const QString& name, Form* form);
    [[noreturn]] static void WrongClass(const QString& name);
};

template <class T>
T& Forms::Get(const QString& name) {
    static_assert(std::is_base_of_v<Form, T>, "Forms::Get makes forms only");
    if (Form* existing = Find(name)) {
        if (T* typed = dynamic_cast<T*>(existing)) return *typed;
        WrongClass(name);
    }
    T* form = new T();
    Adopt(name, form);
    return *form;
}

}  // namespace ui
