#pragma once
// What every control of a screen has in common, whatever Qt widget it is
// built on: a place and a size in twips, visibility, the enabled state, a
// tooltip, a font size and a back colour.
//
// Colours of the screens are written the way the forms store them,
// 0x00BBGGRR (blue in the high byte): Bgr(0xCDD1D1) is red D1, green D1,
// blue CD.

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>
#include <type_traits>

#include "platform/ui/Twips.h"

namespace ui {

// A colour written as 0x00BBGGRR.
constexpr QRgb BgrToRgb(quint32 bgr) { return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }
inline QColor Bgr(quint32 bgr) { return QColor(BgrToRgb(bgr)); }
inline quint32 ToBgr(const QColor& colour) {
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

// Places a widget in twips (15 twips = 1 pixel).
inline void MoveTwips(QWidget* widget, int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    widget->setGeometry(TwipsToPixels(leftTwips), TwipsToPixels(topTwips), TwipsToPixels(widthTwips),
                        TwipsToPixels(heightTwips));
}

// The palette role that paints a widget's background.
template <class W>
constexpr QPalette::ColorRole BackgroundRole() {
    if constexpr (std::is_base_of_v<QAbstractButton, W>) return QPalette::Button;
    else if constexpr (std::is_base_of_v<QLineEdit, W> || std::is_base_of_v<QPlainTextEdit, W>) return QPalette::Base;
    else if constexpr (std::is_base_of_v<QComboBox, W>) return QPalette::Base;
    else return QPalette::Window;
}

// The common properties, mixed into each control class over its Qt widget.
template <class Base>
class Control : public Base {
public:
    using Base::Base;

    // Position and size in twips, relative to the parent (the form, a panel
    // or a tab page).
    void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
        MoveTwips(this, leftTwips, topTwips, widthTwips, heightTwips);
    }
    void Move(int leftTwips, int topTwips) { Base::move(TwipsToPixels(leftTwips), TwipsToPixels(topTwips)); }
    int Left() const { return PixelsToTwips(Base::x()); }
    int Top() const { return PixelsToTwips(Base::y()); }
    int Width() const { return PixelsToTwips(Base::width()); }
    int Height() const { return PixelsToTwips(Base::height()); }
    void SetLeft(int twips) { Base::move(TwipsToPixels(twips), Base::y()); }
    void SetTop(int twips) { Base::move(Base::x(), TwipsToPixels(twips)); }
    void SetWidth(int twips) { Base::resize(TwipsToPixels(twips), Base::height()); }
    void SetHeight(int twips) { Base::resize(Base::width(), TwipsToPixels(twips)); }

    // The control's own visibility flag: true for a control that is not
    // hidden, even while its form or panel is hidden.
    bool Visible() const { return !Base::isHidden(); }
    void SetVisible(bool visible) { Base::setVisible(visible); }
    bool Enabled() const { return Base::isEnabled(); }
    void SetEnabled(bool enabled) { Base::setEnabled(enabled); }
    QString ToolTipText() const { return Base::toolTip(); }
    void SetToolTipText(const QString& text) { Base::setToolTip(text); }
    void SetFocus() { Base::setFocus(Qt::OtherFocusReason); }

    qreal FontSize() const { return Base::font().pointSizeF(); }
    void SetFontSize(qreal points) {
        QFont f = Base::font();
        f.setPointSizeF(points);
        Base::setFont(f);
    }
    bool FontBold() const { return Base::font().bold(); }
    void SetFontBold(bool bold) {
        QFont f = Base::font();
        f.setBold(bold);
        Base::setFont(f);
    }

    QColor BackColor() const { return Base::palette().color(BackgroundRole<Base>()); }
    quint32 BackColorBgr() const { return ToBgr(BackColor()); }
    void SetBackColor(const QColor& colour) {
        QPalette p = Base::palette();
        p.setColor(BackgroundRole<Base>(), colour);
        Base::setPalette(p);
        if constexpr (BackgroundRole<Base>() == QPalette::Window) Base::setAutoFillBackground(true);
    }
    void SetBackColorBgr(quint32 bgr) { SetBackColor(Bgr(bgr)); }

    QColor ForeColor() const { return Base::palette().color(QPalette::WindowText); }
    void SetForeColor(const QColor& colour) {
        QPalette p = Base::palette();
        p.setColor(QPalette::WindowText, colour);
        p.setColor(QPalette::ButtonText, colour);
        p.setColor(QPalette::Text, colour);
        Base::setPalette(p);
    }
};

}  // namespace ui
