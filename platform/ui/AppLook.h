#pragma once
// The look of the program: Qt's Fusion style (it paints the back colours the
// screens set) and a Japanese UI font, Noto Sans CJK JP (Debian's
// fonts-noto-cjk) at 9 points, the size the screens' twip layouts are made
// for. The program's main calls SetUpApplicationLook once, right after
// making the QApplication.

#include <QFont>

namespace ui {

constexpr qreal kDefaultFontPoints = 9;

// The default font of every form and control.
QFont DefaultFont();

// Fusion style and the default font for the whole application.
void SetUpApplicationLook();

}  // namespace ui
