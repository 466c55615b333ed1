#pragma once
// Whole-number display of amounts, counts and two-digit parts of dates.

#include <QString>
#include <QVariant>

namespace core {

// Shows a number in a digit pattern made of '#', '0' and ',':
//   "#,###" and "###,###,###"  thousands separators; 0 shows as empty text
//   "#,##0"                    thousands separators; 0 shows as "0"
//   "00"                       at least two digits, zero padded (5 -> "05")
// Negative numbers lead with "-". Fractions are rounded half away from zero
// (amounts are whole yen). A null value gives the empty text; text that is
// not a number is shown as it stands; a pattern with other characters shows
// the plain rounded number.
QString FormatNumber(const QVariant& value, const QString& pattern);

}  // namespace core
