#pragma once
// The fonts the layouts name, mapped once to the Japanese fonts the program
// installs (Noto Sans/Serif CJK JP).

#include <QFont>
#include <QString>

#include "platform/report/Report.h"

namespace report {

// The installed family that stands for a font name of the layouts; the
// serif one for names it does not know.
QString InstalledFamily(const QString& layoutName);

// The font of a face sized in twips: its pixel size is the point size
// times 20, so on a 1440-dpi device it has its size in points.
QFont TwipFont(const FontSpec& face);
// The same at a given point size.
QFont TwipFont(const FontSpec& face, double points);

}  // namespace report
