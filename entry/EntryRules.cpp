#include "entry/EntryRules.h"

#include <cmath>

#include "core/ScreenKit.h"
#include "core/TaxDate.h"
#include "platform/db/StoredForms.h"

namespace entry {

QString WeekdayChar(const QDate& date) {
    if (!date.isValid()) return {};
    static const QString kDays = QStringLiteral("日月火水木金土");
    return QString(kDays.at(date.dayOfWeek() % 7));  // Qt counts Monday 1 .. Sunday 7
}

QString MonthDayText(const QDate& date) { return core::TwoDigits(date.month()) + core::TwoDigits(date.day()); }

qint64 ContainedTax(double amount, double rate, const QString& mode) {
    double tax = amount - amount / (1 + rate);
    return core::RoundTax(tax, mode);
}

QString Narrowed(const QString& text) {
    QString out = text.trimmed();
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19) c = QChar(u - 0xFF10 + u'0');
        else if (u == 0xFF0C) c = u',';
        else if (u == 0xFF0E) c = u'.';
        else if (u == 0xFF0D || u == 0x2212) c = u'-';
        else if (u == 0xFF0B) c = u'+';
    }
    return out;
}

std::optional<double> ParseAmount(const QString& text) {
    const QString t = Narrowed(text);
    if (t.contains(u'.')) return std::nullopt;  // whole yen only
    const std::optional<double> number = db::NumberFromText(t);
    return number ? AmountOf(*number) : std::nullopt;
}

std::optional<double> AmountOf(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kAmountLimit || value != std::trunc(value)) return std::nullopt;
    return value;
}

std::optional<int> ParseDay(const QString& text) {
    const QString t = Narrowed(text);
    if (t.isEmpty() || t.size() > 2) return std::nullopt;
    for (const QChar c : t)
        if (!c.isDigit() || c.unicode() >= 128) return std::nullopt;
    const int day = t.toInt();
    if (day < 1 || day > 31) return std::nullopt;
    return day;
}

QString SqlDateText(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

QString LoadFilter(const QString& partner, const QString& item, const QDate& from, const QDate& to) {
    QString filter;
    bool any = false;
    const auto joint = [&] {
        const QString j = any ? QStringLiteral(" and ") : QStringLiteral(" where ");
        any = true;
        return j;
    };
    if (!partner.isEmpty()) filter += joint() + QStringLiteral(" 取引先名 = ") + core::Quoted(partner);
    if (!item.isEmpty()) filter += joint() + QStringLiteral(" 科目 = ") + core::Quoted(item);
    if (from.isValid()) filter += joint() + QStringLiteral(" 日付 >= #") + SqlDateText(from) + QStringLiteral("#");
    if (to.isValid()) filter += joint() + QStringLiteral(" 日付 <= #") + SqlDateText(to) + QStringLiteral("#");
    return filter;
}

QString LoadOrder(const QString& sortText) {
    if (sortText == QStringLiteral("日付、取引先、科目")) return QStringLiteral(" order by 日付,取引先名,科目;");
    if (sortText == QStringLiteral("日付、科目、取引先")) return QStringLiteral(" order by 日付,科目,取引先名;");
    if (sortText == QStringLiteral("取引先、日付")) return QStringLiteral(" order by 取引先名,日付,行番号;");
    if (sortText == QStringLiteral("科目、日付")) return QStringLiteral(" order by 科目,日付,行番号;");
    return QStringLiteral(" order by 日付,行番号;");
}

}  // namespace entry
