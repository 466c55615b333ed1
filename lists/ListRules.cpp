#include "lists/ListRules.h"

#include "core/EraDate.h"
#include "core/ScreenKit.h"

namespace lists {

namespace {

QDate FirstOfMonth(const QDate& d) { return QDate(d.year(), d.month(), 1); }
QDate LastOfMonth(const QDate& d) { return QDate(d.year(), d.month(), d.daysInMonth()); }

}  // namespace

// ---------------------------------------------------------------- windows

QDate MonthBase(const QDate& periodStart, const QDate& today) {
    return FirstOfMonth(periodStart.isValid() ? periodStart : today);
}

Window DefaultWindow(const QDate& start, const QDate& periodStart, const QDate& today) {
    const QDate first = start.isValid() ? FirstOfMonth(start) : MonthBase(periodStart, today);
    return {first, LastOfMonth(first.addMonths(11))};
}

Window StepWindow(const QDate& start, const QDate& end, int step, const QDate& today) {
    const QDate from = start.isValid() ? start : FirstOfMonth(today);
    const QDate to = end.isValid() ? end : today;
    return {from.addMonths(step), LastOfMonth(to.addMonths(step))};
}

Window MonthOf(const QDate& base, int index) {
    const QDate first = FirstOfMonth(base).addMonths(index);
    return {first, LastOfMonth(first)};
}

QString MonthButtonCaption(const QDate& base, int index) { return core::TwoDigits(MonthOf(base, index).start.month()); }

// ---------------------------------------------------------------- the expense list

namespace {

// The orders after the empty text: caption and ORDER BY keys.
constexpr std::pair<const char16_t*, const char16_t*> kOrders[] = {
    {u"日付昇順", u"日付"},
    {u"日付降順", u"日付 DESC"},
    {u"金額昇順", u"金額"},
    {u"金額降順", u"金額 DESC"},
    {u"科目別、日付昇順", u"科目,日付"},
    {u"科目別、日付降順", u"科目,日付 DESC"},
    {u"科目別、金額昇順", u"科目,金額"},
    {u"科目別、金額降順", u"科目,金額 DESC"},
    {u"取引先別、日付昇順", u"取引先名,日付"},
    {u"取引先別、日付降順", u"取引先名,日付 DESC"},
    {u"取引先別、金額昇順", u"取引先名,金額"},
    {u"取引先別、金額降順", u"取引先名,金額 DESC"},
};

}  // namespace

QStringList SortOrders() {
    QStringList orders{QString()};
    for (const auto& [text, keys] : kOrders) orders << QString::fromUtf16(text);
    return orders;
}

QString ListOrder(const QString& sortText) {
    QString keys = QStringLiteral("行番号");
    for (const auto& [text, order] : kOrders)
        if (sortText == QString::fromUtf16(text)) keys = QString::fromUtf16(order);
    // The stored order last: ties come out the same way every time.
    return QStringLiteral(" order by ") + keys + QStringLiteral(",rowid;");
}

QString ListFilter(const QString& item, const QString& partner) {
    QString filter;
    if (!item.isEmpty()) filter += QStringLiteral(" and 科目 = ") + core::Quoted(item);
    if (!partner.isEmpty()) filter += QStringLiteral(" and 取引先名 = ") + core::Quoted(partner);
    return filter;
}

// ---------------------------------------------------------------- statements

QString SqlDate(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

QString DateLiteral(const QDate& date) { return u'#' + SqlDate(date) + u'#'; }

QString NameCondition(const QString& field, const QVariant& name) {
    return QStringLiteral(" where ") + FieldEquals(field, name);
}

QString FieldEquals(const QString& field, const QVariant& value) {
    if (value.isNull()) return field + QStringLiteral(" is null");
    switch (value.typeId()) {
    case QMetaType::QDate: return field + QStringLiteral(" = ") + DateLiteral(value.toDate());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: return field + QStringLiteral(" = ") + QString::number(value.toDouble(), 'g', 17);
    default: return field + QStringLiteral(" = ") + core::Quoted(value.toString());
    }
}

// ---------------------------------------------------------------- ranking

QStringList RankLimits() {
    return {QStringLiteral("すべて"), QStringLiteral("5"),  QStringLiteral("10"),
            QStringLiteral("15"),     QStringLiteral("20"), QStringLiteral("30")};
}

std::optional<int> RankLimit(const QString& text) {
    if (text == QStringLiteral("すべて")) return kBeyondLimit;
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0) return std::nullopt;
    return n;
}

// ---------------------------------------------------------------- the monthly table

QString MonthColumnCaption(const QDate& month, bool eraYears) {
    return core::FormatDate(month, eraYears ? QStringLiteral("ee/mm") : QStringLiteral("yy/mm"));
}

MonthFonts MonthFontsFor(const QVariant& largest) {
    if (largest.isNull()) return {8, 8};
    const double max = largest.toDouble();
    if (max < 9999) return {11, 11};
    if (max < 99999) return {10, 10};
    if (max < 999999) return {10, 9};
    return {8, 8};
}

int TotalColumnFontFor(const QVariant& largest) {
    if (largest.isNull()) return 9;
    const double max = largest.toDouble();
    if (max < 99999) return 12;
    if (max < 999999) return 11;
    if (max < 9999999) return 10;
    return 9;
}

std::optional<int> MonthCellFontFor(const QVariant& value) {
    if (value.isNull() || value.toString().isEmpty()) return std::nullopt;
    return value.toDouble() < 99999 ? 12 : 10;
}

}  // namespace lists
