// The list screens' rules at their edges: the window, the month steps,
// the name condition, the rank limit and the font tiers.
#include <gtest/gtest.h>

#include "lists/ListRules.h"
#include "tests/QtPrint.h"

namespace {

using namespace lists;

TEST(ListRulesTest, TheWindowIsTwelveWholeMonthsFromTheStartElseThePeriodElseToday) {
    const QDate none;
    const auto window = [](const Window& w) {
        return w.start.toString("yyyy/MM/dd") + u'-' + w.end.toString("yyyy/MM/dd");
    };
    EXPECT_EQ(window(DefaultWindow(none, QDate(2006, 4, 1), QDate(2026, 12, 9))),
              QStringLiteral("2006/04/01-2007/03/31"));
    EXPECT_EQ(window(DefaultWindow(none, none, QDate(2006, 2, 10))), QStringLiteral("2006/02/01-2007/01/31"));
    EXPECT_EQ(window(DefaultWindow(QDate(2006, 4, 15), QDate(2001, 1, 1), none)),
              QStringLiteral("2006/04/01-2007/03/31"));
    EXPECT_EQ(window(StepWindow(QDate(2006, 3, 31), QDate(2006, 4, 30), -1, none)),
              QStringLiteral("2006/02/28-2006/03/31"));
    EXPECT_EQ(window(StepWindow(none, none, +1, QDate(2006, 5, 20))), QStringLiteral("2006/06/01-2006/06/30"));
    EXPECT_EQ(window(StepWindow(none, QDate(2007, 12, 31), +2, QDate(2006, 5, 20))),
              QStringLiteral("2006/07/01-2008/02/29"));
    EXPECT_EQ(MonthButtonCaption(QDate(2026, 4, 1), 9), QStringLiteral("01"));
}

TEST(ListRulesTest, NamesLimitsAndFontTiers) {
    EXPECT_EQ(NameCondition(QStringLiteral("科目"), QVariant()), QStringLiteral(" where 科目 is null"));
    EXPECT_EQ(NameCondition(QStringLiteral("科目"), QStringLiteral("Tom's")), QStringLiteral(" where 科目 = 'Tom''s'"));
    EXPECT_EQ(RankLimit(QStringLiteral("すべて")), kBeyondLimit);
    EXPECT_EQ(RankLimit(QStringLiteral("15")), 15);
    EXPECT_FALSE(RankLimit(QString()).has_value());
    EXPECT_FALSE(RankLimit(QStringLiteral("abc")).has_value());

    EXPECT_EQ(MonthFontsFor(9998).box, 11);
    EXPECT_EQ(MonthFontsFor(9999).column, 10) << "9999 itself falls to the next tier";
    EXPECT_EQ(MonthFontsFor(999998).column, 9);
    EXPECT_EQ(MonthFontsFor(999999).box, 8);
    EXPECT_EQ(MonthFontsFor(QVariant()).column, 8);
    EXPECT_EQ(TotalColumnFontFor(99998), 12);
    EXPECT_EQ(TotalColumnFontFor(9999999), 9);
    EXPECT_EQ(TotalColumnFontFor(QVariant()), 9);
    EXPECT_EQ(MonthCellFontFor(123456), 10);
    EXPECT_EQ(MonthCellFontFor(98000), 12);
    EXPECT_FALSE(MonthCellFontFor(QVariant()).has_value());
}

}  // namespace
