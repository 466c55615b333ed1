#include "platform/ui/DateBox.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QEventLoop>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/Formats.h"

namespace ui {
namespace {

QString Narrowed(const QString& text) {
    QString out = text.trimmed();
    for (QChar& c : out)
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) c = QChar(c.unicode() - 0xFF10 + u'0');
    return out;
}

// The small triangle of a drop-down button, in the text colour.
QIcon DropDownIcon(const QColor& colour) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({QPointF(2, 4), QPointF(10, 4), QPointF(6, 9)}));
    return QIcon(pixmap);
}

bool IsEightDigits(const QString& text) {
    if (text.size() != 8) return false;
    for (const QChar c : text)
        if (!c.isDigit()) return false;
    return true;
}

UnreadableDateHandler& Unreadable() {
    static UnreadableDateHandler handler;
    return handler;
}

}  // namespace

void SetUnreadableDateHandler(UnreadableDateHandler handler) { Unreadable() = std::move(handler); }

DateBox::DateBox(QWidget* parent) : Control<QLineEdit>(parent) {
    setInputMethodHints(Qt::ImhDate | Qt::ImhPreferLatin | Qt::ImhLatinOnly);
    QAction* dropDown = addAction(DropDownIcon(palette().color(QPalette::Text)), QLineEdit::TrailingPosition);
    dropDown->setToolTip(QStringLiteral("カレンダー"));
    connect(dropDown, &QAction::triggered, this, &DateBox::ShowCalendar);
}

QVariant DateBox::Value() const {
    const QDate date = Date();
    return date.isValid() ? QVariant(date) : QVariant();
}

QDate DateBox::Date() const {
    if (!editing_) return value_;
    if (text().trimmed().isEmpty()) return {};
    const QDate typed = ReadText(text());
    return typed.isValid() ? typed : value_;
}

void DateBox::SetValue(const QVariant& value) {
    QDate date;
    switch (value.typeId()) {
    case QMetaType::QDate: date = value.toDate(); break;
    case QMetaType::QDateTime: date = value.toDateTime().date(); break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double: date = DateFromNumber(value.toLongLong()); break;
    case QMetaType::QString: {
        const QString text = Narrowed(value.toString());
        date = IsEightDigits(text) ? DateFromNumber(text.toLongLong())
                                   : ParseDateWestern(text, QStringLiteral("yyyy/mm/dd"));
        break;
    }
    default: break;
    }
    SetDate(date);
}

void DateBox::SetDate(const QDate& date) {
    refused_ = false;
    Store(date.isValid() ? date : QDate());
    ShowValue();
}

QVariant DateBox::Number() const {
    const QDate date = Date();
    return date.isValid() ? QVariant(NumberFromDate(date)) : QVariant();
}

bool DateBox::Readable() const {
    if (!editing_ && !refused_) return true;  // the value, as it is shown
    return text().trimmed().isEmpty() || ReadText(text()).isValid();
}

void DateBox::SetNumber(qint64 yyyymmdd) { SetDate(DateFromNumber(yyyymmdd)); }

void DateBox::SetEntryPattern(const QString& pattern) {
    entry_ = pattern;
    ShowValue();
}

void DateBox::SetDisplayPattern(const QString& pattern) {
    display_ = pattern;
    ShowValue();
}

void DateBox::SetPatterns(const QString& entry, const QString& display) {
    entry_ = entry;
    display_ = display;
    ShowValue();
}

void DateBox::SetYearMonthPattern(const QString& pattern) {
    yearMonth_ = pattern;
    if (calendar_) ShowMonth(calendar_->yearShown(), calendar_->monthShown());
}

namespace {
// The focus went to the field's calendar or context menu, or to another
// window (a message box): the field is still being edited.
bool StillEditing(const QFocusEvent* event) {
    return event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
}
}  // namespace

void DateBox::focusInEvent(QFocusEvent* event) {
    if (!StillEditing(event) || !editing_) {
        editing_ = true;
        ShowValue();
    }
    Control<QLineEdit>::focusInEvent(event);
}

void DateBox::focusOutEvent(QFocusEvent* event) {
    Control<QLineEdit>::focusOutEvent(event);
    if (StillEditing(event)) return;
    refused_ = !text().trimmed().isEmpty() && !ReadText(text()).isValid();
    if (refused_) {
        editing_ = false;
        if (Unreadable()) {
            Unreadable()(text());
            justSaid_ = true;
            QTimer::singleShot(0, this, [this] { justSaid_ = false; });
        }
        return;
    }
    const QDate typed = Date();
    editing_ = false;
    Store(typed);
    ShowValue();
}

void DateBox::keyPressEvent(QKeyEvent* event) {
    const bool opens =
        event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (opens && !isReadOnly()) {
        ShowCalendar();
        event->accept();
        return;
    }
    Control<QLineEdit>::keyPressEvent(event);
}

QDate DateBox::ReadText(const QString& text) const {
    QDate date = ParseDate(text, entry_);
    if (!date.isValid() && display_ != entry_) date = ParseDate(text, display_);
    const QString narrowed = Narrowed(text);
    if (!date.isValid() && IsEightDigits(narrowed)) date = DateFromNumber(narrowed.toLongLong());
    return date;
}

void DateBox::ShowValue() {
    if (refused_) return;  // kept for correction
    const QString shown = FormatDate(value_, editing_ ? entry_ : display_);
    if (shown != text()) setText(shown);
}

void DateBox::Store(const QDate& date) {
    if (date == value_) return;
    value_ = date;
    emit Change();
}

// ---- The drop-down calendar

void DateBox::MakeCalendar() {
    popup_ = new QFrame(this, Qt::Popup);
    popup_->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto* header = new QHBoxLayout;
    auto* previous = new QToolButton(popup_);
    previous->setArrowType(Qt::LeftArrow);
    previous->setAutoRaise(true);
    auto* next = new QToolButton(popup_);
    next->setArrowType(Qt::RightArrow);
    next->setAutoRaise(true);
    title_ = new QLabel(popup_);
    title_->setAlignment(Qt::AlignCenter);
    header->addWidget(previous);
    header->addWidget(title_, 1);
    header->addWidget(next);
    layout->addLayout(header);

    calendar_ = new QCalendarWidget(popup_);
    calendar_->setNavigationBarVisible(false);
    calendar_->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setGridVisible(true);
    layout->addWidget(calendar_);

    connect(previous, &QToolButton::clicked, this, [this] {
        const QDate shown = QDate(calendar_->yearShown(), calendar_->monthShown(), 1).addMonths(-1);
        ShowMonth(shown.year(), shown.month());
    });
    connect(next, &QToolButton::clicked, this, [this] {
        const QDate shown = QDate(calendar_->yearShown(), calendar_->monthShown(), 1).addMonths(1);
        ShowMonth(shown.year(), shown.month());
    });
    connect(calendar_, &QCalendarWidget::currentPageChanged, this,
            [this](int year, int month) { title_->setText(FormatDate(QDate(year, month, 1), yearMonth_)); });
    connect(calendar_, &QCalendarWidget::clicked, this, [this](const QDate& date) {
        picked_ = true;
        popup_->hide();
        editing_ = hasFocus();
        SetDate(date);
    });
    connect(calendar_, &QCalendarWidget::activated, this, [this](const QDate& date) {
        picked_ = true;
        popup_->hide();
        editing_ = hasFocus();
        SetDate(date);
    });
}

void DateBox::ShowMonth(int year, int month) {
    calendar_->setCurrentPage(year, month);
    title_->setText(FormatDate(QDate(year, month, 1), yearMonth_));
}

void DateBox::ShowCalendar() {
    if (!popup_) MakeCalendar();
    const QDate date = Date().isValid() ? Date() : QDate::currentDate();
    calendar_->setSelectedDate(date);
    ShowMonth(date.year(), date.month());
    popup_->adjustSize();
    QPoint below = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        if (below.y() + popup_->height() > area.bottom()) below.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
        below.setX(qMin(below.x(), area.right() - popup_->width()));
    }
    popup_->move(below);
    popup_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

namespace {

// Ends an event loop when the watched window hides.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop* loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) loop_->quit();
        return false;
    }

private:
    QEventLoop* loop_;
};

}  // namespace

std::optional<QDate> DateBox::PickDate() {
    ShowCalendar();
    QPointer<QFrame> popup(popup_);
    if (!popup || !popup->isVisible()) return std::nullopt;
    picked_ = false;
    QPointer<DateBox> self(this);
    QEventLoop loop;
    HideWatcher watcher(&loop);
    popup->installEventFilter(&watcher);
    loop.exec();
    if (!self) return std::nullopt;  // went with its window
    if (popup) popup->removeEventFilter(&watcher);
    if (!picked_ || !Date().isValid()) return std::nullopt;
    return Date();
}

QString DateBox::CalendarTitle() const { return title_ ? title_->text() : QString(); }

}  // namespace ui
