#include <gtest/gtest.h>

#include "core/EraDate.h"
#include "core/ModMurv.h"

namespace {

QDate Iso(const char* text) { return QDate::fromString(QString::fromLatin1(text), Qt::ISODate); }
QString U(const char* text) { return QString::fromUtf8(text); }

// Expected texts for the patterns below, on both sides of each era boundary.
const char* const kPatterns[] = {"gee/mm/dd",    "gee年mm月dd日", "gggee年mm月dd日", "ggg ee年mm月dd日", "g ee年mm月",
                                 "ggg ee年mm月", "yyyy/mm/dd",    "yy/mm/dd",        "yyyy年mm月dd日"};
struct {
    const char* date;
    const char* texts[9];
} const kBoundaries[] = {
    {"1989-01-07",
     {"S64/01/07", "S64年01月07日", "昭和64年01月07日", "昭和 64年01月07日", "S 64年01月", "昭和 64年01月",
      "1989/01/07", "89/01/07", "1989年01月07日"}},
    {"1989-01-08",
     {"H01/01/08", "H01年01月08日", "平成01年01月08日", "平成 01年01月08日", "H 01年01月", "平成 01年01月",
      "1989/01/08", "89/01/08", "1989年01月08日"}},
    {"2019-04-30",
     {"H31/04/30", "H31年04月30日", "平成31年04月30日", "平成 31年04月30日", "H 31年04月", "平成 31年04月",
      "2019/04/30", "19/04/30", "2019年04月30日"}},
    {"2019-05-01",
     {"R01/05/01", "R01年05月01日", "令和01年05月01日", "令和 01年05月01日", "R 01年05月", "令和 01年05月",
      "2019/05/01", "19/05/01", "2019年05月01日"}},
};

TEST(EraDateTest, FormatsAndReadsBackAcrossEraBoundaries) {
    for (const auto& b : kBoundaries)
        for (int p = 0; p < 9; ++p) {
            const QString text = core::FormatDate(Iso(b.date), U(kPatterns[p]));
            EXPECT_EQ(text, U(b.texts[p])) << b.date << " " << kPatterns[p];
            if (!U(kPatterns[p]).endsWith(u'月')) {
                EXPECT_EQ(core::ParseDate(text), Iso(b.date)) << text.toStdString();
            }
        }
    struct {
        const char *date, *pattern, *text;
    } const more[] = {
        {"1912-07-29", "gee/mm/dd", "M45/07/29"},
        {"1912-07-30", "gggee年", "大正01年"},
        {"1926-12-25", "gge/m/d", "昭1/12/25"},
        {"2006-04-01", "ee/mm mmdd yyyymmdd", "18/04 0401 20060401"},
        {"", "yyyy/mm/dd", ""},
    };
    for (const auto& m : more) EXPECT_EQ(core::FormatDate(Iso(m.date), U(m.pattern)), U(m.text)) << m.pattern;
}

TEST(EraDateTest, ParsesWhatDateFieldsAccept) {
    struct {
        const char *text, *date;
    } const cases[] = {
        {"2006/4/1", "2006-04-01"},
        {" 2006-04-01 ", "2006-04-01"},
        {"20060401", "2006-04-01"},
        {"2006年4月1日", "2006-04-01"},
        {"06/04/01", "2006-04-01"},
        {"h18/4/1", "2006-04-01"},
        {"平成18年4月1日", "2006-04-01"},
        {"平成元年1月8日", "1989-01-08"},
        {"Ｈ１８／４／１", "2006-04-01"},
        {"2005/02/30", ""},
        {"2006/04-01", ""},
        {"H32/01/01", ""},
        {"H31/05/01", ""},
        {"S64/01/08", ""},
        {"R01/04/30", ""},
        {"H00/04/01", ""},
        {"H17/02/29", ""},
        {"X18/04/01", ""},
        {"平成18年4月", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(core::ParseDate(U(c.text)), Iso(c.date)) << c.text;
}

TEST(EraDateTest, ScreensAndReportsTestDifferentSettings) {
    struct {
        const char *setting, *byEra, *forScreen;
    } const cases[] = {
        {"西暦", "2006/04/01", "2006/04/01"},
        {"和暦", "H18/04/01", "H18/04/01"},
        {"", "H18/04/01", "2006/04/01"},
    };
    for (const auto& c : cases) {
        ModMurv::EraSetting = U(c.setting);
        EXPECT_EQ(core::FormatByEra(Iso("2006-04-01"), U("yyyy/mm/dd"), U("gee/mm/dd")), U(c.byEra));
        EXPECT_EQ(core::FormatForScreen(Iso("2006-04-01"), U("yyyy/mm/dd"), U("gee/mm/dd")), U(c.forScreen));
    }
    ModMurv::EraSetting = U("西暦");
}

}  // namespace
