#pragma once
// A date field whose value is null or a date. It also takes and gives the
// date as a yyyymmdd number. Three patterns are set at run time: the entry
// pattern (the text shown while the field has the focus and read back when
// it loses it), the display pattern (shown otherwise) and the year-month
// pattern (the title of its drop-down calendar). The patterns go through
// the program's date formatter and parser (Formats.h), so era patterns such
// as "ggg ee年mm月dd日" work once the program has installed its own.
//
// A typed text that the entry pattern does not read is also tried in the
// display pattern and as a yyyymmdd number. A text that none of them reads
// is said through the handler the program installs (SetUnreadableDateHandler)
// when the focus leaves the field for another control (a message box or
// another window that takes it leaves the field being edited), and stays in
// the field for correction; the value stays what it was. An action that
// reads the field asks Readable() first, so that it never acts on the value
// the text replaced.

#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <optional>

#include "platform/ui/Control.h"

class QCalendarWidget;
class QFrame;
class QLabel;

namespace ui {

// Says a text that a date field cannot read; empty: nothing is said.
using UnreadableDateHandler = std::function<void(const QString& text)>;
void SetUnreadableDateHandler(UnreadableDateHandler handler);

class DateBox : public Control<QLineEdit> {
    Q_OBJECT

public:
    explicit DateBox(QWidget* parent = nullptr);

    // Null when empty, otherwise a QDate. While the user is typing it is the
    // date typed so far, when the text already reads as one.
    QVariant Value() const;
    QDate Date() const;
    bool IsNull() const { return !Date().isValid(); }
    // Takes a QDate or QDateTime, a yyyymmdd number, or a "yyyy/mm/dd" or
    // yyyymmdd text; null, an empty text or anything that is no date empties
    // the field.
    void SetValue(const QVariant& value);
    void SetDate(const QDate& date);
    void Clear() { SetDate(QDate()); }

    // The date as a yyyymmdd number (a qint64), or null when empty.
    QVariant Number() const;
    // 0, or a number that is no date, empties the field.
    void SetNumber(qint64 yyyymmdd);

    QString Text() const { return text(); }
    // False while the text shown is one the field cannot read (the value
    // behind it is then the old one); an empty text is readable (no date).
    bool Readable() const;
    // True from the moment the field said its unreadable text on losing the
    // focus until the events of that moment are done (a click on a button
    // that took the focus): the action of that click need not say it again.
    bool RefusalJustSaid() const { return justSaid_; }

    QString EntryPattern() const { return entry_; }
    QString DisplayPattern() const { return display_; }
    QString YearMonthPattern() const { return yearMonth_; }
    void SetEntryPattern(const QString& pattern);
    void SetDisplayPattern(const QString& pattern);
    void SetPatterns(const QString& entry, const QString& display);
    void SetYearMonthPattern(const QString& pattern);

    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool locked) { setReadOnly(locked); }

    // Opens the drop-down calendar under the field (also F4 or Alt+Down, or
    // the button at the field's right end). Picking a day sets the value.
    void ShowCalendar();
    // Opens the drop-down calendar and waits until it closes: the date picked
    // there (also the box's value now), or nullopt when it was closed without
    // a pick or could not be shown. A caller that may go away meanwhile keeps
    // a QPointer to the box and looks at it afterwards.
    std::optional<QDate> PickDate();
    // The calendar's title as it is shown now (the year-month pattern).
    QString CalendarTitle() const;

signals:
    // The value changed, by typing, by the calendar or by code.
    void Change();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QDate ReadText(const QString& text) const;
    void ShowValue();
    void Store(const QDate& date);
    void MakeCalendar();
    void ShowMonth(int year, int month);

    QDate value_;
    QString entry_ = QStringLiteral("yyyy/mm/dd");
    QString display_ = QStringLiteral("yyyy/mm/dd");
    QString yearMonth_ = QStringLiteral("yyyy年mm月");
    bool editing_ = false;
    bool refused_ = false;  // the text shown is one the field could not read
    bool justSaid_ = false;

    QPointer<QFrame> popup_;
    QCalendarWidget* calendar_ = nullptr;
    QLabel* title_ = nullptr;
    bool picked_ = false;  // the calendar's last showing ended in a pick
};

}  // namespace ui
