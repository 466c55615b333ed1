#pragma once
// The fonts the layouts name, mapped once to the report faces the program
// brings beside itself (MurvReportMincho.ttf, MurvReportGothic.ttf, made at
// build time from the IPAex faces): their figures have one width, so the
// digits and commas of an amount column stand one under the other, and
// their character map makes a PDF's text layer carry the printed
// characters. Without those files the installed IPAex faces stand in.

#include <QFont>
#include <QString>

#include "platform/report/Report.h"

namespace report {

// The family that stands for a font name of the layouts; the Mincho one for
// names it does not know. Loads the report faces on first use.
QString InstalledFamily(const QString& layoutName);

// The font of a face sized in twips: its pixel size is the point size
// times 20, so on a 1440-dpi device it has its size in points.
QFont TwipFont(const FontSpec& face);
// The same at a given point size.
QFont TwipFont(const FontSpec& face, double points);

}  // namespace report
