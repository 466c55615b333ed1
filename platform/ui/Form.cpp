#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>

#include "platform/ui/FormEventRouter.h"

namespace ui {
namespace {

QHash<QString, QPointer<Form>>& Shared() {
    static QHash<QString, QPointer<Form>> shared;
    return shared;
}

QList<QPointer<Form>>& LoadedForms() {
    static QList<QPointer<Form>> loaded;
    return loaded;
}

void Forget(Form* form) {
    LoadedForms().removeAll(form);
    LoadedForms().removeAll(nullptr);
    auto& shared = Shared();
    for (auto it = shared.begin(); it != shared.end();) {
        if (it.value() == form || it.value().isNull()) it = shared.erase(it);
        else ++it;
    }
}

}  // namespace

// ---- Form

Form::Form(QWidget* parent) : Control<QWidget>(parent, Qt::Window) {
    setAttribute(Qt::WA_QuitOnClose, true);
    FormEventRouter::Instance();
}

Form::~Form() {
    if (modalLoop_) modalLoop_->exit();
    Forget(this);
}

void Form::SetClientSize(int widthTwips, int heightTwips) {
    setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
}

void Form::Load() {
    if (loaded_ || unloading_) return;
    loaded_ = true;
    loading_ = true;
    LoadedForms().append(this);
    QPointer<Form> self(this);
    OnLoad();
    if (!self) return;
    loading_ = false;
    if (!unloading_) emit Loaded();
}

void Form::Show() {
    QPointer<Form> self(this);
    Load();
    if (!self || unloading_) return;
    const bool wasVisible = isVisible();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    if (wasVisible) raise();  // a window just shown is on top already
    activateWindow();
}

void Form::ShowModal() {
    QPointer<Form> self(this);
    Load();
    if (!self || unloading_) return;
    if (isVisible()) hide();
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    modalLoop_ = &loop;
    Show();
    if (self && isVisible()) loop.exec(QEventLoop::DialogExec);
    if (!self) return;
    modalLoop_ = nullptr;
    if (!isVisible()) setWindowModality(Qt::NonModal);
}

void Form::Unload() {
    if (unloading_) return;
    unloading_ = true;
    if (loaded_) OnUnload();
    loaded_ = false;
    hide();
    Forget(this);
    emit Unloaded();
    deleteLater();
}

bool Form::event(QEvent* event) {
    const bool handled = Control<QWidget>::event(event);
    if (event->type() == QEvent::WindowActivate && FormEventRouter::Instance().TakeActivation(this) && loaded_ &&
        !unloading_) {
        OnActivate();
        emit Activated();
    }
    return handled;
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

void Form::hideEvent(QHideEvent* event) {
    Control<QWidget>::hideEvent(event);
    if (modalLoop_ && !isVisible()) modalLoop_->exit();
}

// ---- Forms

Form* Forms::Find(const QString& name) {
    auto it = Shared().constFind(name);
    return it == Shared().constEnd() ? nullptr : it.value().data();
}

void Forms::Unload(const QString& name) {
    if (Form* form = Find(name)) form->Unload();
}

QList<Form*> Forms::Loaded() {
    QList<Form*> forms;
    for (const auto& form : LoadedForms())
        if (form && form->IsLoaded()) forms.append(form);
    return forms;
}

int Forms::Count() { return int(Loaded().size()); }

void Forms::UnloadAll() {
    const QList<Form*> forms = Loaded();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        QPointer<Form> form(*it);
        if (form) form->Unload();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const QList<QPointer<Form>> made = Shared().values();  // made but never loaded
    for (const auto& form : made)
        if (form) form->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Forms::Adopt(const QString& name, Form* form) {
    form->SetName(name);
    Shared().insert(name, form);
}

void Forms::WrongClass(const QString& name) { qFatal("Forms::Get: the form %s is of another class", qPrintable(name)); }

}  // namespace ui
