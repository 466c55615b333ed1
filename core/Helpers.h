#pragma once
// Small helpers the screens share: the progress counters, the stack of forms
// left through navigation buttons, cutting text at a separator, and the size
// of a file.

#include <QString>
#include <QVariant>

namespace core {

// Advances ModMurv::ProgressPercent by 10 (up to 100) each time index
// reaches a multiple of ModMurv::ProgressInterval, which it sets to
// ModMurv::ProgressTotal / 9 rounded to the nearest whole number (halves to
// the even neighbour), or 1 when that is 0. A total of 0 (or none) leaves
// every counter alone. The caller sets the total and a starting percent of
// 10 before the first record.
void ProgressStep(qint64 index);

// "PUSH" puts formName at the top of ModMurv::FormNameStack (element 0),
// moving elements 0-3 down one place; the name in element 4 is lost. Other
// operations change nothing. The result is true, or null when formName is
// empty (nothing is pushed then).
QVariant FormStack(const QString& op, const QString& formName);

// Cuts source at the first occurrence of separator:
//   mode 0  the text after the separator's first character
//   mode 1  source without the separator's first character
//   mode 2  the text before the separator
//   mode 3  only the digits 0-9 of source (separator ignored)
//   other   null
// A separator that does not occur (or is empty) gives source unchanged in
// modes 0-2 and any other mode. A separator given as the number 0 with
// mode 2 cuts at the first NUL character; the result is null when the NUL
// comes first.
QVariant StrExtract(const QString& source, const QVariant& separator, int mode);

// The size in bytes of a file, or -1 when it cannot be opened (missing,
// unreadable, or a folder).
qint64 GetFileSizeByName(const QString& path);

}  // namespace core
