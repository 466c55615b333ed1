#pragma once
// What the five reports share: their fonts, the report start's page set-up
// and binding, the page numbering and print date of every page header, the
// date texts, and running a report to the printer or the preview with a
// message when that fails.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/report/PrintService.h"
#include "platform/report/Report.h"

namespace reports {

using report::Align;
using report::Band;
using report::Control;

// A box in twips: left, top, width, height.
inline QRect Twips(int left, int top, int width, int height) { return QRect(left, top, width, height); }

report::FontSpec Mincho(double points, bool bold = false);
report::FontSpec Gothic(double points);

// The report start's page set-up and binding: orientation, the four margins
// (left, top, right, bottom), the work table on ModMurv::WorkFilePath and
// the printable width.
void StartReport(report::Report& r, report::Orientation orientation, int left, int top, int right, int bottom,
                 const QString& table, int printWidth);

// The title label "Label1": the report's title, 16 pt bold.
void AddTitle(report::Report& r, QRect label1);
// "Page  " n "/ " N near the top right of the page header.
void AddPageNumbering(report::Report& r, QRect label19, QRect cp, QRect label20, QRect field1);
// "印刷日" and the field of the print date; returns the field.
Control& AddPrintDate(report::Report& r, QRect label2, QRect cday);

// "yyyy/mm/dd" under the Western setting, else "gee/mm/dd".
QString DatePattern();
QString PrintDate();
// A report parameter read as a date (a date, or a "yyyy/mm/dd" text);
// an invalid date for anything else.
QDate ParameterDate(const QVariant& value);
// "from ～ to" of PrnDateFrom and PrnDateTo; empty when no start is set.
QString PeriodText();
// "○" for a true yes/no value, else the empty text.
QString ExemptMark(const QVariant& value);

// Runs the report and prints it (with or without the print dialog) or
// opens its preview; a failure, or a page range that holds none of the
// report's pages (nothing is printed then), is told to the user and logged,
// from the preview's print button too. The jobs of one report object that
// printed number its series (the files of a print to file). With `untold`,
// a range without a page of the report is not told but noted there (the
// range and the page count): the reports of one print that share the range
// tell it once, when none of them printed (TellNoPageInRange).
report::PrintOutcome PrintReport(report::Report& r, bool withDialog, QStringList* untold = nullptr);
bool PreviewReport(report::Report& r);
void TellNoPageInRange(const QString& title, const QStringList& untold);

}  // namespace reports
