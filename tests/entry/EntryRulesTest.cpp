// The entry screen's rules that need no screen: weekdays, the tax contained
// in an amount, and reading typed amounts and days.
#include <gtest/gtest.h>

#include "entry/EntryRules.h"
#include "tests/QtPrint.h"

namespace {

using namespace entry;

TEST(EntryRulesTest, WeekdaysCountFromSunday) {
    EXPECT_EQ(WeekdayChar(QDate(2005, 3, 15)), QStringLiteral("火"));
    EXPECT_EQ(WeekdayChar(QDate(2024, 5, 5)), QStringLiteral("日"));
    EXPECT_EQ(WeekdayChar(QDate(2024, 5, 4)), QStringLiteral("土"));
    EXPECT_EQ(WeekdayChar(QDate()), QString());
}

TEST(EntryRulesTest, ContainedTaxInEachRoundingMode) {
    const QString down = QStringLiteral("切り捨て"), half = QStringLiteral("四捨五入"), up = QStringLiteral("切り上げ");
    EXPECT_EQ(ContainedTax(1000, 0.05, down), 47);
    EXPECT_EQ(ContainedTax(1000, 0.05, half), 48);
    EXPECT_EQ(ContainedTax(1000, 0.05, up), 48);
    EXPECT_EQ(ContainedTax(1000, 0.05, QString()), 48);  // any other mode rounds up
    for (const QString& mode : {down, half, up}) EXPECT_EQ(ContainedTax(1050, 0.05, mode), 50);
    // 1100 at 10 % holds exactly 100: the tiny remainder of the division is
    // no fraction to round up.
    EXPECT_EQ(ContainedTax(1100, 0.10, up), 100);
    EXPECT_EQ(ContainedTax(1100, 0.10, down), 100);
    EXPECT_EQ(ContainedTax(0, 0.05, up), 0);
    EXPECT_EQ(ContainedTax(-1000, 0.05, down), -47);
}

TEST(EntryRulesTest, AmountsAreNumbersWithinTheLimit) {
    EXPECT_EQ(ParseAmount(QStringLiteral("1080")), 1080.0);
    EXPECT_EQ(ParseAmount(QStringLiteral(" 1,080 ")), 1080.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("１，０８０")), 1080.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("-500")), -500.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("0")), 0.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("9999999999")), 9999999999.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("-9999999999")), -9999999999.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("1,234,567")), 1234567.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("-1,000")), -1000.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("999")), 999.0);
    EXPECT_EQ(AmountOf(1500), 1500.0);
    EXPECT_FALSE(AmountOf(1000.5).has_value());
    // Grouping only where it is well formed; whole yen only.
    for (const char16_t* bad :
         {u"",       u"abc",    u"12a", u"1.2.3", u"--5",   u"10000000000", u"-10000000000", u",5",     u"千円",
          u"1e5",    u"nan",    u"inf", u"1,2,3", u"12,34", u"1234,567",    u"1,",           u"1,0800", u"1,234,56",
          u"1000.5", u"1000.0", u"0.5", u"-",     u"+"})
        EXPECT_FALSE(ParseAmount(QString::fromUtf16(bad)).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(EntryRulesTest, DaysAreWholeNumbersFromOneToThirtyOne) {
    EXPECT_EQ(ParseDay(QStringLiteral("1")), 1);
    EXPECT_EQ(ParseDay(QStringLiteral("07")), 7);
    EXPECT_EQ(ParseDay(QStringLiteral("３１")), 31);
    for (const char16_t* bad : {u"0", u"32", u"a", u"", u"1.5", u"-1", u"100"})
        EXPECT_FALSE(ParseDay(QString::fromUtf16(bad)).has_value()) << QString::fromUtf16(bad).toStdString();
}

}  // namespace
