#pragma once
#include <QString>

namespace core {

// The product text and version shown by the main menu and the maintenance screen.
inline const QString kProductText = QStringLiteral("MURV経費帳 Pro Ver ");
inline const QString kVersionText = QStringLiteral("2.40");
inline QString ProductCaption() { return kProductText + kVersionText; }

// The program's web page, opened from the menu's picture.
inline const QString kWebPage = QStringLiteral("https://www.example.com/murv/");

}  // namespace core
