#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace core {

QString FormatNumber(const QVariant& value, const QString& pattern) {
    if (value.isNull() || !value.isValid()) return QString();
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) return value.toString();
    if (!std::isfinite(number)) return QString();

    const bool digitPattern =
        !pattern.isEmpty() && std::all_of(pattern.begin(), pattern.end(), [](QChar c) {
            return c == u'#' || c == u'0' || c == u',';
        });
    const qsizetype minDigits = digitPattern ? pattern.count(u'0') : 1;
    const bool grouped = digitPattern && pattern.contains(u',');

    const double rounded = std::round(number);  // half away from zero
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    const bool zero = digits == QStringLiteral("0");
    if (zero && minDigits == 0) return QString();
    if (digits.size() < minDigits) digits.prepend(QString(minDigits - digits.size(), u'0'));
    if (grouped) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, u',');
    }
    return rounded < 0 && !zero ? QStringLiteral("-") + digits : digits;
}

}  // namespace core
