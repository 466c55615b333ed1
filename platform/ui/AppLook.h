#pragma once
// The look of the program: Qt's Fusion style (it paints the back colours the
// screens set) and a Japanese UI font, Noto Sans CJK JP (Debian's
// fonts-noto-cjk) at 9 points, the size the screens' twip layouts are made
// for. The program's main calls SetUpApplicationLook once, right after
// making the QApplication, and LoadJapaneseTranslations after it.

#include <QFont>

class QTranslator;

namespace ui {

constexpr qreal kDefaultFontPoints = 9;

// The default font of every form and control.
QFont DefaultFont();

// Fusion style and the default font for the whole application.
void SetUpApplicationLook();

// Qt's own texts in Japanese whatever the machine's locale: the file
// dialogs, the text fields' context menus and the standard buttons
// (qtbase_ja.qm of Debian's qt6-translations-l10n). Japanese is also the
// default locale. The translator installed, or null when the file is
// missing (the texts then stay Qt's English; the failure is logged).
QTranslator* LoadJapaneseTranslations();

}  // namespace ui
