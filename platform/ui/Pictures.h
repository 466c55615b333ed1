#pragma once
// The small pictures of the screens, drawn once here so that no screen paints
// its own: the magnifying glass of the lookup buttons, the triangles of the
// month-step buttons, the banner of the main menu and the banners of the web
// links.

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ui {

// A magnifying glass, 14 x 14 pixels, for the buttons that open a lookup.
QPixmap LookupPicture();

// A triangle pointing back or forward, 14 x 14 pixels, for the buttons that
// move a period a month.
QPixmap StepPicture(bool forward);

// A banner of the given size: a blue gradient with the text in bold white,
// centred, in the application's font.
QPixmap BannerPicture(const QSize& size, const QString& text);

// The banner of a web link, 120 x 32 pixels: a gradient from one colour to
// the other with the text in bold white, centred, in the application's font
// at its own size.
QPixmap LinkPicture(const QString& text, const QColor& from, const QColor& to);

}  // namespace ui
