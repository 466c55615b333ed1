#include <gtest/gtest.h>

#include <tuple>

#include "core/Clock.h"
#include "core/ModMurv.h"
#include "core/TaxDate.h"

namespace {

QDate Iso(const char* text) { return QDate::fromString(QString::fromLatin1(text), Qt::ISODate); }
const QString kCut = QStringLiteral("切り捨て"), kHalf = QStringLiteral("四捨五入"), kUp = QStringLiteral("切り上げ");

TEST(RoundTaxTest, RoundsByModeWithinRange) {
    struct {
        double amount;
        QString mode;
        qint64 expected;
    } const cases[] = {
        {4.9999999999, kCut, 5},
        {104.7, kCut, 104},
        {-3.7, kCut, -3},
        {2.5, kHalf, 3},
        {-2.5, kHalf, -3},
        {2.4999, kHalf, 2},
        {100, kUp, 100},
        {100.00001, kUp, 101},
        {100.000001, kUp, 100},
        {0, kUp, 0},
        {-2.2, QString(), -3},
        {9999999999.99, kCut, 9999999999},
        {-9999999999.99, kHalf, -10000000000},
        {1e10, kCut, 0},
        {-1e10, kUp, 0},
    };
    for (const auto& c : cases) {
        double amount = c.amount;
        EXPECT_EQ(core::RoundTax(amount, c.mode), c.expected) << c.amount << " " << c.mode.toStdString();
    }
    // The caller's variable receives the adjusted amount; a negative amount
    // under truncation and an amount out of range are left alone.
    for (auto [before, mode, after] : {std::tuple{10.2, kHalf, 10.7}, {-3.7, kCut, -3.7}, {1e10, kUp, 1e10}}) {
        double amount = before;
        core::RoundTax(amount, mode);
        EXPECT_DOUBLE_EQ(amount, after) << before;
    }
    // The tax contained in a round tax-inclusive amount, figured both ways.
    for (auto [gross, rate, tax] : {std::tuple{1100.0, 0.10, 100}, {1080.0, 0.08, 80}, {1050.0, 0.05, 50}})
        for (double t : {gross - gross / (1 + rate), gross * rate / (1 + rate)})
            for (const QString& mode : {kCut, kHalf, kUp}) {
                double amount = t;
                EXPECT_EQ(core::RoundTax(amount, mode), tax) << gross << " " << mode.toStdString();
            }
}

TEST(ResolveMonthDayTest, PrefersADateInsideThePeriod) {
    ModMurv::ResetState();
    core::SetToday(Iso("2006-07-15"));
    struct {
        const char *start, *end, *typed, *expected;
    } const cases[] = {
        {"2005-01-01", "2005-12-31", "0315", "2005-03-15"},
        {"2005-01-01", "2005-12-31", "0229", ""},
        {"2005-01-01", "2005-12-31", "1301", ""},
        {"2005-01-01", "2005-12-31", "031", ""},
        {"2008-01-01", "2008-12-31", "0229", "2008-02-29"},
        {"2005-04-01", "2006-03-31", "0115", "2006-01-15"},
        {"2005-04-01", "2006-03-31", "0415", "2005-04-15"},
        {"2005-04-15", "2006-03-31", "0410", "2005-04-10"},  // outside, but the only April
        {"2005-04-21", "2006-04-20", "0410", "2006-04-10"},
        {"2005-04-21", "2006-04-20", "0425", "2005-04-25"},
        {"2005-04-21", "2005-05-20", "0510", "2005-05-10"},
        {"2007-01-01", "2008-12-31", "0229", "2008-02-29"},
        {"2005-01-31", "2005-03-29", "0301", "2005-03-01"},
        {"", "", "0720", "2006-07-20"},
        {"", "", "0820", ""},
        {"2006-01-01", "", "0305", "2006-03-05"},
        {"2006-01-01", "", "0810", ""},
        {"", "2006-12-31", "0910", "2006-09-10"},
    };
    for (const auto& c : cases) {
        ModMurv::PeriodStart = Iso(c.start);
        ModMurv::PeriodEnd = Iso(c.end);
        ModMurv::InputMMDD = QString::fromLatin1(c.typed);
        ModMurv::ResolvedDate = Iso("1999-09-09");
        const QDate expected = Iso(c.expected);
        EXPECT_EQ(core::ResolveMonthDay(), expected.isValid()) << c.start << " " << c.typed;
        EXPECT_EQ(ModMurv::ResolvedDate, expected.isValid() ? expected : Iso("1999-09-09"))
            << c.start << " " << c.typed;
        if (expected.isValid()) {
            EXPECT_EQ(ModMurv::ResolvedYear * 10000 + ModMurv::ResolvedMonth * 100 + ModMurv::ResolvedDay,
                      expected.year() * 10000 + expected.month() * 100 + expected.day());
        }
    }
    core::SetToday(QDate());
    ModMurv::ResetState();
}

TEST(DaysInMonthTest, CountsAndRewritesAsTwoDigitYear) {
    struct {
        const char* text;
        int days;
        const char* after;
    } const cases[] = {
        {"2000/02/10", 29, "00/02/10"},
        {"2005/02/01", 28, "05/02/01"},
        {"2005/04/30", 30, "05/04/30"},
        {"2005/12/05", 31, "05/12/05"},
        {"08/2/1", 29, "08/02/01"},
        {"2100/02/01", 28, "00/02/01"},
        {"", 0, ""},
        {"2005/02/30", 0, "2005/02/30"},
        {"abc", 0, "abc"},
    };
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(core::DaysInMonth(text), c.days) << c.text;
        EXPECT_EQ(text, QString::fromLatin1(c.after));
    }
}

TEST(GetClosingPeriodTest, WindowAroundTheClosingDay) {
    struct {
        const char* date;
        int n;
        const char *start, *end;
    } const cases[] = {
        {"2005-02-14", 0, "2005-02-01", "2005-02-28"},  {"2004-02-14", 0, "2004-02-01", "2004-02-29"},
        {"2005-03-25", 20, "2005-03-21", "2005-04-20"}, {"2005-03-10", 20, "2005-02-21", "2005-03-20"},
        {"2005-02-14", 30, "2005-01-31", "2005-02-28"}, {"2005-03-31", 30, "2005-03-31", "2005-04-30"},
        {"2004-02-29", 28, "2004-02-29", "2004-03-28"}, {"", 0, "2001-01-01", "2001-01-31"},
    };
    for (const auto& c : cases) {
        QDate date = Iso(c.date), start = Iso("2001-01-01"), end = Iso("2001-01-31");
        core::GetClosingPeriod(date, start, end, c.n);
        EXPECT_EQ(start, Iso(c.start)) << c.date << " " << c.n;
        EXPECT_EQ(end, Iso(c.end)) << c.date << " " << c.n;
    }
    // Whatever the closing day, the windows follow one another without gap or overlap.
    for (int n : {0, 15, 28, 29, 30, 31})
        for (QDate d = Iso("2003-12-01"); d <= Iso("2005-03-31"); d = d.addDays(1)) {
            QDate date = d, start, end, next, nextStart, nextEnd;
            core::GetClosingPeriod(date, start, end, n);
            next = end.addDays(1);
            core::GetClosingPeriod(next, nextStart, nextEnd, n);
            ASSERT_TRUE(start <= d && d <= end && nextStart == next) << d.toString().toStdString() << " " << n;
        }
}

}  // namespace
