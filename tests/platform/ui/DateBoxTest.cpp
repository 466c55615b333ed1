// Date boxes: null or a date, yyyymmdd numbers, and patterns switched at run
// time through the program's formatter and parser.

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QTimer>

#include "UiTestSupport.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Formats.h"

namespace {

TEST(WesternDates, ReadWhatTheFieldsAccept) {
    const QDate d(2006, 4, 1);
    EXPECT_EQ(ui::FormatDateWestern(d, "yy年m月d日"), "06年4月1日");
    EXPECT_EQ(ui::ParseDateWestern("2006/4/1", "yyyy/mm/dd"), d);
    EXPECT_EQ(ui::ParseDateWestern(QStringLiteral("２００６／０４／０１"), "yyyy/mm/dd"), d);
    EXPECT_EQ(ui::ParseDateWestern("95/04/01", "yy/mm/dd"), QDate(1995, 4, 1));
    EXPECT_EQ(ui::ParseDateWestern("2006年4月", "yyyy年mm月"), d) << "a pattern without a day gives the 1st";
    EXPECT_FALSE(ui::ParseDateWestern("2005/02/30", "yyyy/mm/dd").isValid());
    EXPECT_FALSE(ui::ParseDateWestern("2006/04/01x", "yyyy/mm/dd").isValid());
    EXPECT_FALSE(ui::DateFromNumber(20070231).isValid());
}

// Stand-ins for the program's era hooks: Heisei dates in "ggg ee年mm月dd日" only.
QString FakeEraFormat(const QDate& date, const QString& pattern) {
    if (!pattern.startsWith("ggg")) return ui::FormatDateWestern(date, pattern);
    return QStringLiteral("平成 %1年").arg(date.year() - 1988, 2, 10, QLatin1Char('0')) +
           ui::FormatDateWestern(date, "mm月dd日");
}
QDate FakeEraParse(const QString& text, const QString& pattern) {
    if (!pattern.startsWith("ggg")) return ui::ParseDateWestern(text, pattern);
    if (!text.startsWith(QStringLiteral("平成"))) return {};
    const QDate d = ui::ParseDateWestern(text.mid(2), QStringLiteral("yy年mm月dd日"));
    return d.isValid() ? QDate(d.year() % 100 + 1988, d.month(), d.day()) : QDate();
}

class DateBoxTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        box = new ui::DateBox(&window);
        box->setGeometry(10, 10, 180, 24);
        other = new QLineEdit(&window);
        other->setGeometry(10, 50, 120, 24);
        window.show();
        ASSERT_TRUE(ui_test::Activate(&window));
        other->setFocus();  // the box shows its display text while another field has the focus
    }
    void TearDown() override {
        ui::SetDateFormatter(nullptr);
        ui::SetDateParser(nullptr);
        UiTest::TearDown();
    }

    void Type(const QString& text) {
        box->setFocus();
        box->selectAll();
        ui_test::CommitText(box, text);
    }
    void Leave() { other->setFocus(); }

    QWidget window;
    ui::DateBox* box = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(DateBoxTest, YyyymmddNumberRoundTrip) {
    EXPECT_TRUE(box->Value().isNull());
    EXPECT_TRUE(box->Number().isNull());
    box->SetNumber(20060401);
    EXPECT_EQ(box->Value().toDate(), QDate(2006, 4, 1));
    EXPECT_EQ(box->Number().toLongLong(), 20060401);
    EXPECT_EQ(box->Text(), "2006/04/01");
    box->SetNumber(0);
    EXPECT_TRUE(box->IsNull());
    EXPECT_EQ(box->Text(), "");
}

TEST_F(DateBoxTest, PatternsSwitchedAtRunTimeGoThroughTheProgramsHooks) {
    ui::SetDateFormatter(FakeEraFormat);
    ui::SetDateParser(FakeEraParse);
    box->SetDate(QDate(2006, 4, 1));
    box->SetPatterns(QStringLiteral("ggg ee年mm月dd日"), QStringLiteral("ggg ee年mm月dd日"));
    EXPECT_EQ(box->Text(), QStringLiteral("平成 18年04月01日"));

    Type(QStringLiteral("平成 19年05月02日"));
    Leave();
    EXPECT_EQ(box->Date(), QDate(2007, 5, 2));

    box->SetPatterns("yyyy/mm/dd", QStringLiteral("yyyy年mm月dd日"));
    EXPECT_EQ(box->Text(), QStringLiteral("2007年05月02日")) << "the value stays, only its display changes";
    box->setFocus();
    EXPECT_EQ(box->Text(), "2007/05/02") << "typing starts from the entry pattern";
}

TEST_F(DateBoxTest, TypedTextCountsBeforeTheBoxIsLeftAndBadTextIsKeptForCorrection) {
    Type("20060401");
    EXPECT_EQ(box->Date(), QDate(2006, 4, 1)) << "a yyyymmdd number reads in any pattern, and at once";
    Leave();
    EXPECT_EQ(box->Text(), "2006/04/01");

    Type("2006/13/01");
    Leave();
    EXPECT_EQ(box->Date(), QDate(2006, 4, 1)) << "text that is no date keeps the previous value";
    EXPECT_EQ(box->Text(), "2006/13/01") << "and stays in the field for correction";

    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    Leave();
    EXPECT_TRUE(box->IsNull());
}

TEST_F(DateBoxTest, CalendarTitleUsesTheYearMonthPatternAndAPickSetsTheDate) {
    ui::SetDateFormatter(FakeEraFormat);
    box->SetDate(QDate(2006, 4, 1));
    box->SetYearMonthPattern(QStringLiteral("yyyy年mm月"));
    box->ShowCalendar();
    EXPECT_EQ(box->CalendarTitle(), QStringLiteral("2006年04月"));

    auto* calendar = box->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    emit calendar->clicked(QDate(2006, 4, 15));
    EXPECT_EQ(box->Date(), QDate(2006, 4, 15));
}

TEST_F(DateBoxTest, PickDateWaitsForTheCalendarAndTellsAPickFromAClose) {
    box->SetDate(QDate(2006, 4, 1));
    QTimer::singleShot(0, [this] {
        auto* calendar = box->findChild<QCalendarWidget*>();
        ASSERT_TRUE(calendar && calendar->isVisible());
        calendar->setSelectedDate(QDate(2006, 4, 20));
        QTest::keyClick(calendar->findChild<QAbstractItemView*>(), Qt::Key_Return);
    });
    EXPECT_EQ(box->PickDate(), std::optional<QDate>(QDate(2006, 4, 20)));
    EXPECT_EQ(box->Date(), QDate(2006, 4, 20));

    // Closed without a pick (Esc, a click elsewhere): nothing picked, the date stays.
    QTimer::singleShot(0, [this] { box->findChild<QCalendarWidget*>()->window()->hide(); });
    EXPECT_EQ(box->PickDate(), std::nullopt);
    EXPECT_EQ(box->Date(), QDate(2006, 4, 20));
}

}  // namespace
