#include "core/TaxDate.h"

#include <algorithm>
#include <cmath>

#include "core/Clock.h"
#include "core/EraDate.h"
#include "core/ModMurv.h"

namespace core {

qint64 RoundTax(double& amount, const QString& mode) {
    constexpr double kLimit = 9999999999.99;
    // Written so that a NaN also counts as out of range.
    if (!(amount >= -kLimit && amount <= kLimit)) return 0;

    if (mode == QStringLiteral("切り捨て")) {
        // A tax that should be whole but came out a hair short (4.9999999999)
        // is lifted back before truncation; negative amounts stay as they are.
        if (amount > 0) amount += 0.00000001;
    } else if (mode == QStringLiteral("四捨五入")) {
        amount += amount > 0 ? 0.5 : -0.5;
    } else {
        // Rounding up: fractions below 0.00001 count as floating noise.
        amount += amount > 0 ? 0.99999 : -0.99999;
    }
    return static_cast<qint64>(std::trunc(amount));
}

namespace {

bool IsAsciiDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

bool ResolveMonthDay() {
    const QDate today = Today();
    const QDate start = ModMurv::PeriodStart.isValid() ? ModMurv::PeriodStart : today;
    const QDate end = ModMurv::PeriodEnd.isValid() ? ModMurv::PeriodEnd : today;

    const QString& typed = ModMurv::InputMMDD;
    if (typed.size() != 4 || !IsAsciiDigits(typed)) return false;
    const int month = typed.left(2).toInt();
    const int day = typed.right(2).toInt();

    // The first existing date inside the period, over every month the
    // period touches.
    QDate resolved;
    for (QDate first(start.year(), start.month(), 1); first.isValid() && first <= end; first = first.addMonths(1)) {
        if (first.month() != month) continue;
        const QDate candidate(first.year(), month, day);
        if (candidate.isValid() && start <= candidate && candidate <= end) {
            resolved = candidate;
            break;
        }
    }
    // Otherwise the typed day of the first month with that number met when
    // stepping from the start a month at a time (the day clamps in shorter
    // months and is never compared with the period), provided it exists.
    if (!resolved.isValid()) {
        for (QDate d = start; d.isValid() && d <= end; d = d.addMonths(1)) {
            if (d.month() == month) {
                resolved = QDate(d.year(), month, day);
                break;
            }
        }
    }
    if (!resolved.isValid()) return false;
    ModMurv::ResolvedDate = resolved;
    ModMurv::ResolvedYear = static_cast<qint16>(resolved.year());
    ModMurv::ResolvedMonth = static_cast<qint16>(resolved.month());
    ModMurv::ResolvedDay = static_cast<qint16>(resolved.day());
    return true;
}

int DaysInMonth(QString& dateText) {
    if (dateText.isEmpty()) return 0;
    const QDate date = ParseDate(dateText);
    if (!date.isValid()) return 0;
    dateText = FormatDate(date, QStringLiteral("yy/mm/dd"));
    return date.daysInMonth();
}

namespace {

// The closing day of the month that starts on first: day n, or the month's
// last day when the month is shorter.
QDate ClosingDateOf(const QDate& first, int n) {
    return QDate(first.year(), first.month(), std::min(n, first.daysInMonth()));
}

}  // namespace

void GetClosingPeriod(QDate& date, QDate& start, QDate& end, int closingDay) {
    if (!date.isValid()) return;
    const QDate first(date.year(), date.month(), 1);
    if (closingDay <= 0) {
        start = first;
        end = QDate(first.year(), first.month(), first.daysInMonth());
        return;
    }
    const QDate closing = ClosingDateOf(first, closingDay);
    if (date > closing) {
        start = closing.addDays(1);
        end = ClosingDateOf(first.addMonths(1), closingDay);
    } else {
        start = ClosingDateOf(first.addMonths(-1), closingDay).addDays(1);
        end = closing;
    }
}

}  // namespace core
