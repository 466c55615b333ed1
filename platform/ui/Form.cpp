#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

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

Form::Form(QWidget* parent)
    : Control<QWidget>(parent, Qt::Window), scroller_(new QScrollArea(this)), area_(new QWidget) {
    setAttribute(Qt::WA_QuitOnClose, true);
    FormEventRouter::Instance();
    // The controls lie on an area that scrolls only where the window is
    // smaller than they need; otherwise nothing of it shows.
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setWidgetResizable(true);
    scroller_->setWidget(area_);
    area_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(scroller_);
}

Form::~Form() {
    if (modalLoop_) modalLoop_->exit();
    Forget(this);
}

void Form::SetClientSize(int widthTwips, int heightTwips) {
    client_ = QSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
    area_->setMinimumSize(client_);
    area_->resize(client_);
    resize(client_);
    FitScreen(false);
}

void Form::SetResizable(bool resizable) {
    resizable_ = resizable;
    FitScreen(false);
}

int Form::ScaleWidth() const { return PixelsToTwips(area_->width()); }
int Form::ScaleHeight() const { return PixelsToTwips(area_->height()); }

void Form::AdoptControls() {
    const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        if (control == scroller_ || control->isWindow()) continue;
        // Moving a shown control hides it; one the screen hid stays hidden.
        const bool hidden = control->isHidden() && control->testAttribute(Qt::WA_WState_ExplicitShowHide);
        control->setParent(area_);
        if (!hidden && area_->isVisible()) control->show();
    }
}

void Form::FitScreen(bool place) {
    if (client_.isEmpty()) return;
    const QSize room = RoomOnScreen(this);
    const int barWidth = scroller_->verticalScrollBar()->sizeHint().width();
    const int barHeight = scroller_->horizontalScrollBar()->sizeHint().height();
    // A scroll bar one way takes room the other way.
    bool across = client_.width() > room.width();
    const bool down = client_.height() + (across ? barHeight : 0) > room.height();
    across = across || client_.width() + (down ? barWidth : 0) > room.width();
    const QSize fitted = (client_ + QSize(down ? barWidth : 0, across ? barHeight : 0)).boundedTo(room);
    if (resizable_) {
        setMinimumSize(fitted);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(size().boundedTo(room).expandedTo(fitted));
    } else {
        setFixedSize(fitted);
    }
    if (!place || !(across || down)) return;
    const QRect free = screen() ? screen()->availableGeometry() : QRect();
    const QRect frame = frameGeometry();
    if (free.isEmpty() || free.contains(frame)) return;
    move(std::max(free.left(), std::min(frame.left(), free.right() + 1 - frame.width())),
         std::max(free.top(), std::min(frame.top(), free.bottom() + 1 - frame.height())));
}

void Form::ShowFocused(QWidget* control) {
    if (area_->isAncestorOf(control)) scroller_->ensureWidgetVisible(control);
}

void Form::Load() {
    if (loaded_ || unloading_) return;
    AdoptControls();
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
    // Shown again or moved (perhaps onto another screen, perhaps its frame
    // now known): it still fits what the screen has room for.
    if (event->type() == QEvent::Show) {
        AdoptControls();
        FitScreen(true);
    } else if (event->type() == QEvent::Move) {
        FitScreen(false);
    }
    const bool handled = Control<QWidget>::event(event);
    if (event->type() == QEvent::WindowActivate && FormEventRouter::Instance().TakeActivation(this) && loaded_ &&
        !unloading_) {
        OnActivate();
        emit Activated();
    }
    return handled;
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) OnResize();
    return Control<QWidget>::eventFilter(watched, event);
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

void Form::hideEvent(QHideEvent* event) {
    Control<QWidget>::hideEvent(event);
    if (modalLoop_ && !isVisible()) modalLoop_->exit();
}

QSize RoomOnScreen(const QWidget* window) {
    const QWidget* top = window->window();
    const QScreen* screen = top->screen();
    if (!screen) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize frame = top->frameGeometry().size() - top->size();
    if (frame.isNull()) {  // not known before the window is first shown
        for (const QWidget* other : QApplication::topLevelWidgets()) {
            if (other == top || !other->isVisible()) continue;
            frame = other->frameGeometry().size() - other->size();
            if (!frame.isNull()) break;
        }
    }
    // At a fractional scale the area's size in device-independent pixels is
    // rounded, perhaps up by a pixel that the screen does not have.
    const qreal ratio = screen->devicePixelRatio();
    if (ratio != std::floor(ratio)) frame += QSize(1, 1);
    return screen->availableGeometry().size() - frame;
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
