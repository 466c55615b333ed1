#pragma once
// The small pictures of the screens, drawn once here so that no screen paints
// its own: the magnifying glass of the lookup buttons and the banner of the
// main menu.

#include <QPixmap>
#include <QSize>
#include <QString>

namespace ui {

// A magnifying glass, 14 x 14 pixels, for the buttons that open a lookup.
QPixmap LookupPicture();

// A banner of the given size: a blue gradient with the text in bold white,
// centred, in the application's font.
QPixmap BannerPicture(const QSize& size, const QString& text);

}  // namespace ui
