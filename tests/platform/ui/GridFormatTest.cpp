// How grid cells show their values, and what their editors start from.
#include <gtest/gtest.h>

#include <QDate>

#include "platform/ui/Formats.h"
#include "platform/ui/GridFormat.h"
#include "tests/QtPrint.h"

namespace {

using ui::CellEditText;
using ui::FormatCellText;

TEST(GridFormatTest, DigitPatternsShowWholeYenWithSeparators) {
    EXPECT_EQ(FormatCellText(0.0, "#,###"), "");
    EXPECT_EQ(FormatCellText(0.4, "#,###"), "");
    EXPECT_EQ(FormatCellText(0.0, "#,##0"), "0");
    EXPECT_EQ(FormatCellText(1234567.0, "#,###"), "1,234,567");
    EXPECT_EQ(FormatCellText(qint64(9999999999), "#,###"), "9,999,999,999");
    EXPECT_EQ(FormatCellText(-1500, "#,###"), "-1,500");
    EXPECT_EQ(FormatCellText(999.5, "#,###"), "1,000");
    EXPECT_EQ(FormatCellText(-0.4, "#,##0"), "0");
    EXPECT_EQ(FormatCellText(123456789, "###,###,###"), "123,456,789");
    EXPECT_EQ(FormatCellText(5, "00"), "05");
    EXPECT_EQ(FormatCellText(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(FormatCellText(QStringLiteral("1200"), "#,###"), "1,200");
    EXPECT_EQ(FormatCellText(QStringLiteral("千円"), "#,###"), "千円");
    EXPECT_EQ(FormatCellText(QVariant(), "#,##0"), "");
}

TEST(GridFormatTest, DatePatternsUseLowerCaseCodes) {
    const QDate d(2005, 3, 5);
    EXPECT_EQ(FormatCellText(d, "yyyy/mm/dd"), "2005/03/05");
    EXPECT_EQ(FormatCellText(d, "yy/mm/dd"), "05/03/05");
    EXPECT_EQ(FormatCellText(d, "m月d日"), "3月5日");
    EXPECT_EQ(FormatCellText(QStringLiteral("2005-03-05"), "yyyy/mm/dd"), "2005/03/05");
}

TEST(GridFormatTest, UnknownPatternsGoToTheHook) {
    const QDate d(2005, 3, 5);
    EXPECT_EQ(FormatCellText(d, "gee/mm/dd"), "2005/03/05") << "no hook: the plain date";
    ui::SetCellFormatHook([](const QVariant& value, const QString& format) -> std::optional<QString> {
        if (format != "gee/mm/dd") return std::nullopt;
        return QStringLiteral("H17/%1").arg(value.toDate().toString("MM/dd"));
    });
    EXPECT_EQ(FormatCellText(d, "gee/mm/dd"), "H17/03/05");
    EXPECT_EQ(FormatCellText(d, "ggg"), "2005/03/05");
    EXPECT_EQ(FormatCellText(1000.0, "#,###"), "1,000") << "known patterns never reach the hook";
    ui::SetCellFormatHook({});
}

TEST(GridFormatTest, PlainValuesAndEditorText) {
    EXPECT_EQ(FormatCellText(1000.0, ""), "1000");
    EXPECT_EQ(FormatCellText(47.5, ""), "47.5");
    EXPECT_EQ(FormatCellText(true, ""), "True");
    EXPECT_EQ(FormatCellText(QDate(2005, 3, 5), ""), "2005/03/05");
    // The editor opens on the value, never on its display: 0 under "#,###" edits as "0".
    EXPECT_EQ(CellEditText(0.0), "0");
    EXPECT_EQ(CellEditText(1234.0), "1234");
    EXPECT_EQ(CellEditText(QDate(2005, 3, 5)), "2005/03/05");
    EXPECT_EQ(CellEditText(QVariant()), "");
}

TEST(NumberFormat, PatternsOfAmountsCountsAndTwoDigitParts) {
    struct {
        QVariant value;
        const char *pattern, *text;
    } const cases[] = {
        {1234567, "#,###", "1,234,567"},
        {0, "#,###", ""},
        {-1234.5, "#,###", "-1,235"},
        {-0.4, "#,###", ""},
        {999, "#,###", "999"},
        {0, "#,##0", "0"},
        {2.5, "#,##0", "3"},
        {123456789, "###,###,###", "123,456,789"},
        {5, "00", "05"},
        {123, "00", "123"},
        {QVariant(), "#,##0", ""},
        {"1500", "#,###", "1,500"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::FormatNumber(c.value, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.text)) << c.pattern;
}

}  // namespace
