#pragma once
// A number field whose value is null when it is empty. While it has the
// focus it shows the plain number for typing; otherwise the number in its
// display format ("#,###" shows 0 as empty text, "#,##0" shows "0").
// Only digits, one leading minus (when the range allows negatives) and, when
// the format has decimals, a decimal point can be typed; full-width digits
// are taken as ordinary ones. A box has no range until one is set; a typed
// number outside it is cut to the nearest end when the field loses the focus.
// A number wider than the box is shown whole at a smaller size (FontSize
// stays the size set).

#include <QLineEdit>
#include <QVariant>
#include <limits>

#include "platform/ui/Control.h"

namespace ui {

class NumberBox : public Control<QLineEdit> {
    Q_OBJECT

public:
    explicit NumberBox(QWidget* parent = nullptr);

    // Null when empty, otherwise the number (a double). While the user is
    // typing it is the number typed so far.
    QVariant Value() const;
    bool IsNull() const { return Value().isNull(); }
    // A null value, an empty text or text that is not a number empties the field.
    void SetValue(const QVariant& value);
    void Clear() { SetValue(QVariant()); }
    // The text as shown.
    QString Text() const { return text(); }

    QString DisplayFormat() const { return format_; }
    void SetDisplayFormat(const QString& pattern);
    double MinValue() const { return min_; }
    double MaxValue() const { return max_; }
    void SetRange(double minValue, double maxValue);
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool locked) { setReadOnly(locked); }

signals:
    // The value changed, by typing or by code.
    void Change();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QVariant Parse(const QString& text) const;
    QVariant Clamped(const QVariant& value) const;
    QString EditText() const;
    void ShowValue();
    void SetStoredValue(const QVariant& value);
    void UpdateValidator();

    QVariant value_;
    QString format_ = QStringLiteral("#,##0");
    double min_ = -std::numeric_limits<double>::infinity();
    double max_ = std::numeric_limits<double>::infinity();
    bool editing_ = false;
};

}  // namespace ui
