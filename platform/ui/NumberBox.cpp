#include "platform/ui/NumberBox.h"

#include <QFocusEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <cmath>

#include "platform/ui/Formats.h"

namespace ui {
namespace {

class NumberValidator : public QValidator {
public:
    NumberValidator(bool negatives, int decimals, QObject* parent)
        : QValidator(parent),
          pattern_(QStringLiteral("^%1\\d*%2$")
                       .arg(negatives ? QStringLiteral("-?") : QString(),
                            decimals > 0 ? QStringLiteral("(\\.\\d{0,%1})?").arg(decimals) : QString())) {}

    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) c = QChar(c.unicode() - 0xFF10 + u'0');
            else if (c.unicode() == 0xFF0D || c.unicode() == 0x2212) c = u'-';
            else if (c.unicode() == 0xFF0E) c = u'.';
        }
        if (!pattern_.match(input).hasMatch()) return Invalid;
        return input == QLatin1String("-") ? Intermediate : Acceptable;
    }

private:
    QRegularExpression pattern_;
};

}  // namespace

NumberBox::NumberBox(QWidget* parent) : Control<QLineEdit>(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhLatinOnly | Qt::ImhPreferLatin);
    UpdateValidator();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { SetStoredValue(Parse(text)); });
}

QVariant NumberBox::Value() const { return Clamped(value_); }

void NumberBox::SetValue(const QVariant& value) {
    QVariant number;
    if (value.isValid() && !value.isNull()) {
        bool ok = false;
        const double d = value.toString().trimmed().isEmpty() ? 0 : value.toDouble(&ok);
        if (ok) number = d;
    }
    SetStoredValue(Clamped(number));
    ShowValue();
}

void NumberBox::SetDisplayFormat(const QString& pattern) {
    format_ = pattern;
    UpdateValidator();
    ShowValue();
}

void NumberBox::SetRange(double minValue, double maxValue) {
    min_ = minValue;
    max_ = maxValue;
    UpdateValidator();
    SetStoredValue(Clamped(value_));
    ShowValue();
}

void NumberBox::focusInEvent(QFocusEvent* event) {
    editing_ = true;
    ShowValue();
    Control<QLineEdit>::focusInEvent(event);
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
    Control<QLineEdit>::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;  // its own context menu
    editing_ = false;
    SetStoredValue(Clamped(Parse(text())));
    ShowValue();
}

void NumberBox::paintEvent(QPaintEvent* event) {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    // The room of the text: the contents without the margins a line edit keeps (2 pixels a side).
    const QRect room = style()
                           ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                           .marginsRemoved(textMargins())
                           .adjusted(2, 0, -2, 0);
    const QFont shown = FittedFont(font(), text(), room.width());
    if (hasFocus() || shown == font()) {
        Control<QLineEdit>::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setFont(shown);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(room, int(alignment()), text());
}

QVariant NumberBox::Parse(const QString& text) const {
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("-")) return {};
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? QVariant(d) : QVariant();
}

QVariant NumberBox::Clamped(const QVariant& value) const {
    if (value.isNull() || !value.isValid()) return {};
    return qBound(min_, value.toDouble(), max_);
}

QString NumberBox::EditText() const {
    if (value_.isNull()) return {};
    const double d = value_.toDouble();
    if (d == std::trunc(d) && std::fabs(d) < 9e18) return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

void NumberBox::ShowValue() {
    const QString shown = editing_ ? EditText() : FormatNumber(value_, format_);
    if (shown != text()) setText(shown);
}

void NumberBox::SetStoredValue(const QVariant& value) {
    const bool changed =
        value.isNull() != value_.isNull() || (!value.isNull() && value.toDouble() != value_.toDouble());
    value_ = value;
    if (changed) emit Change();
}

void NumberBox::UpdateValidator() {
    delete validator();
    setValidator(new NumberValidator(min_ < 0, DecimalsOf(format_), this));
}

}  // namespace ui
