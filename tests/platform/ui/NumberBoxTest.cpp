// Number boxes: null when empty, the display formats of the screens, and
// what can be typed.

#include "UiTestSupport.h"
#include "platform/ui/Formats.h"
#include "platform/ui/NumberBox.h"

namespace {

using ui::FormatNumber;

TEST(NumberFormat, PatternsOfTheScreens) {
    EXPECT_EQ(FormatNumber(1234567, "#,###"), "1,234,567");
    EXPECT_EQ(FormatNumber(0, "#,###"), "") << "0 shows as empty text";
    EXPECT_EQ(FormatNumber(0, "#,##0"), "0");
    EXPECT_EQ(FormatNumber(-1234, "###,###,###"), "-1,234");
    EXPECT_EQ(FormatNumber(5, "00"), "05");
    EXPECT_EQ(FormatNumber(-2.5, "#,##0"), "-3") << "halves round away from zero";
    EXPECT_EQ(FormatNumber(-0.4, "#,###"), "") << "no lone minus sign";
    EXPECT_EQ(FormatNumber(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(FormatNumber(8, "0.##"), "8");
}

class NumberBoxTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window.resize(300, 100);
        box = new ui::NumberBox(&window);
        box->setGeometry(10, 10, 120, 24);
        other = new QLineEdit(&window);
        other->setGeometry(10, 50, 120, 24);
        window.show();
        ASSERT_TRUE(ui_test::Activate(&window));
        other->setFocus();  // the box shows its display text while another field has the focus
    }

    void TypeIntoBox(const QString& keys) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, keys);
    }
    void LeaveBox() { other->setFocus(); }

    QWidget window;
    ui::NumberBox* box = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(NumberBoxTest, EmptyIsNullAndZeroIsNot) {
    EXPECT_TRUE(box->Value().isNull());
    box->SetDisplayFormat("#,###");
    box->SetValue(0);
    EXPECT_FALSE(box->IsNull());
    EXPECT_EQ(box->Value().toDouble(), 0.0);
    EXPECT_EQ(box->Text(), "") << "\"#,###\" shows 0 as empty text, but the value stays 0";
    box->SetDisplayFormat("#,##0");
    EXPECT_EQ(box->Text(), "0");
    box->SetValue(QString());
    EXPECT_TRUE(box->IsNull());
}

TEST_F(NumberBoxTest, TypingShowsThePlainNumberAndLeavingShowsTheFormat) {
    box->SetValue(1234567);
    EXPECT_EQ(box->Text(), "1,234,567");
    box->setFocus();
    EXPECT_EQ(box->Text(), "1234567");
    LeaveBox();
    EXPECT_EQ(box->Text(), "1,234,567");
}

TEST_F(NumberBoxTest, AcceptsOnlyDigitsAndALeadingMinus) {
    TypeIntoBox("1a2-3");
    EXPECT_EQ(box->Text(), "123");
    EXPECT_EQ(box->Value().toDouble(), 123.0) << "the value follows the typing before the box is left";
    TypeIntoBox("-");
    ui_test::CommitText(box, QStringLiteral("４５"));
    EXPECT_EQ(box->Value().toDouble(), -45.0) << "full-width digits are taken as digits";
    TypeIntoBox("1.5");
    EXPECT_EQ(box->Text(), "15") << "no decimal point without decimals in the format";

    box->SetRange(0, 999999999);
    TypeIntoBox("-7");
    EXPECT_EQ(box->Text(), "7") << "no minus when the range has no negatives";
}

TEST_F(NumberBoxTest, NumberOutsideTheRangeIsCutWhenTheBoxIsLeft) {
    box->SetRange(1, 12);
    box->SetDisplayFormat("##");
    TypeIntoBox("13");
    LeaveBox();
    EXPECT_EQ(box->Value().toDouble(), 12.0);
    EXPECT_EQ(box->Text(), "12");
    box->SetValue(0);
    EXPECT_EQ(box->Value().toDouble(), 1.0);
}

}  // namespace
