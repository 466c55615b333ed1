// The controls the screens are built from: button arrays, combo boxes,
// option buttons, pop-up panels, labels, text boxes, clickable images, the
// default font and colours written as 0x00BBGGRR.

#include <QFontDatabase>
#include <QFontInfo>
#include <QSignalSpy>

#include "UiTestSupport.h"
#include "platform/ui/AppLook.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Shell.h"

namespace {

class ControlsTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window.resize(600, 400);
        window.show();
        ASSERT_TRUE(ui_test::Activate(&window));
    }

    QWidget window;
};

TEST_F(ControlsTest, ButtonArrayReportsTheIndexOfTheClickedButton) {
    ui::ButtonArray sub;
    const QStringList captions{QStringLiteral("印刷"), QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), QStringLiteral("ｷｬﾝｾﾙ")};
    for (int i = 0; i < 3; ++i) sub.Add(i, &window, captions[i]).Move(i * 1500, 0, 1200, 450);
    QList<int> clicked;
    QObject::connect(&sub, &ui::ButtonArray::Click, [&clicked](int index) { clicked << index; });

    QTest::mouseClick(&sub[2], Qt::LeftButton);
    QTest::mouseClick(&sub[0], Qt::LeftButton);
    sub[1].SetEnabled(false);
    QTest::mouseClick(&sub[1], Qt::LeftButton);
    EXPECT_EQ(clicked, (QList<int>{2, 0})) << "a disabled button does not click";
}

TEST_F(ControlsTest, BackColoursAreWrittenAsBgr) {
    ui::CommandButton edit(QStringLiteral("編集"), &window);
    edit.SetBackColorBgr(0xCDD1D1);
    EXPECT_EQ(edit.BackColor(), QColor(0xD1, 0xD1, 0xCD));
    EXPECT_EQ(edit.BackColorBgr(), 0xCDD1D1u);
}

TEST_F(ControlsTest, EditableComboNeitherAddsTypedTextNorTakesTheFirstItem) {
    ui::ComboBox combo(&window);
    combo.setGeometry(10, 10, 200, 24);
    combo.show();
    combo.AddItem(QStringLiteral("あさひ商店"));
    combo.AddItem(QStringLiteral("かもめ運輸"));
    EXPECT_EQ(combo.Text(), "") << "adding items chooses none";
    EXPECT_EQ(combo.ListIndex(), -1);

    combo.setFocus();
    QTest::keyClicks(&combo, "abc");
    QTest::keyClick(&combo, Qt::Key_Return);
    EXPECT_EQ(combo.Text(), "abc");
    EXPECT_EQ(combo.ListCount(), 2) << "typed text is never added to the list";

    combo.SetText(QStringLiteral("かもめ運輸"));
    EXPECT_EQ(combo.ListIndex(), 1) << "a text that equals an item chooses it";

    combo.Clear();
    EXPECT_EQ(combo.ListCount(), 0);
    EXPECT_EQ(combo.Text(), "") << "clearing the list empties the text too";
}

TEST_F(ControlsTest, ListOnlyComboTakesOnlyItsItems) {
    ui::ComboBox era(&window, ui::ComboBox::Style::ListOnly);
    era.AddItem(QStringLiteral("西暦"));
    era.AddItem(QStringLiteral("和暦"));
    EXPECT_EQ(era.ListIndex(), -1);
    era.SetText(QStringLiteral("和暦"));
    EXPECT_EQ(era.ListIndex(), 1);
    era.SetText(QStringLiteral("明治"));
    EXPECT_EQ(era.ListIndex(), -1);
    EXPECT_EQ(era.Text(), "");
}

TEST_F(ControlsTest, ComboReportsLostFocusOnlyWhenTheFocusMovesOn) {
    ui::ComboBox era(&window, ui::ComboBox::Style::ListOnly);
    QLineEdit next(&window);
    era.show();
    next.show();
    QSignalSpy lost(&era, &ui::ComboBox::LostFocus);
    era.setFocus();
    era.showPopup();
    EXPECT_EQ(lost.count(), 0) << "opening its own list is no loss of focus";
    era.hidePopup();
    next.setFocus();
    EXPECT_EQ(lost.count(), 1);
}

TEST_F(ControlsTest, OptionButtonsAreGroupedByTheirContainer) {
    ui::Frame grouping(&window);
    ui::Frame other(&window);
    ui::OptionButton byItem(&grouping), byPartner(&grouping), elsewhere(&other);
    QSignalSpy itemClick(&byItem, &ui::OptionButton::Click);

    byItem.SetValue(true);
    elsewhere.SetValue(true);
    EXPECT_TRUE(byItem.Value()) << "a button of another container does not clear it";
    EXPECT_EQ(itemClick.count(), 1) << "selecting by code clicks, as the screens expect";

    byPartner.SetValue(true);
    EXPECT_FALSE(byItem.Value());
    byPartner.SetValue(false);
    EXPECT_FALSE(byPartner.Value());
    EXPECT_FALSE(byItem.Value()) << "clearing leaves the group without a selection";

    QTest::mouseClick(&byItem, Qt::LeftButton, {}, QPoint(4, byItem.height() / 2));
    EXPECT_TRUE(byItem.Value());
    EXPECT_EQ(itemClick.count(), 2);
}

TEST_F(ControlsTest, PopUpPanelComesUpAboveTheOtherControls) {
    ui::Panel mask(&window);
    mask.SetPopUp(true);
    mask.Move(0, 0, 3000, 3000);
    mask.SetVisible(false);
    ui::CommandButton later(QStringLiteral("登録"), &window);  // made after the panel, so above it
    later.Move(750, 750, 1500, 450);
    later.show();
    const QPoint inside(60, 60);
    EXPECT_EQ(window.childAt(inside), &later);

    mask.SetVisible(true);
    EXPECT_EQ(window.childAt(inside), &mask);
    mask.SetVisible(false);
    EXPECT_FALSE(mask.Visible());
    EXPECT_EQ(window.childAt(inside), &later);
}

TEST_F(ControlsTest, LabelKeepsItsCaptionAndShowsCrLfAsOneBreak) {
    const QString period = QStringLiteral("2006年04月01日 ～\r\n           2007年03月31日");
    ui::Label label(period, &window);
    EXPECT_EQ(label.Caption(), period);
    EXPECT_EQ(label.text(), QStringLiteral("2006年04月01日 ～\n           2007年03月31日"));
}

TEST_F(ControlsTest, TextBoxLimitsLengthAndLocks) {
    ui::TextBox title(&window);
    title.show();
    title.SetMaxLength(5);
    title.SetFocus();
    QTest::keyClicks(title.Editor(), "abcdefg");
    EXPECT_EQ(title.Text(), "abcde");

    ui::TextBox contents(&window, ui::TextBox::Lines::Multi);
    contents.show();
    contents.SetLocked(true);
    contents.SetFocus();
    QTest::keyClicks(contents.Editor(), "typed");
    EXPECT_EQ(contents.Text(), "") << "a locked box takes no typing";
    contents.SetText(QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(contents.Text(), QStringLiteral("一行目\n二行目")) << "code still writes it";
    contents.SetMaxLength(3);
    EXPECT_EQ(contents.Text(), QStringLiteral("一行目"));
}

TEST_F(ControlsTest, ImageOpensItsAddressThroughTheShellSeam) {
    QList<QUrl> opened;
    const ui::UrlOpener previous = ui::SetUrlOpener([&opened](const QUrl& url) {
        opened << url;
        return true;
    });

    ui::ImageButton image(&window);
    QPixmap picture(200, 40);
    picture.fill(Qt::darkBlue);
    image.SetPicture(picture);
    image.Move(0, 0, 3000, 600);
    image.show();
    QObject::connect(&image, &ui::ImageButton::Click, [] { ui::ShellOpen(QUrl("https://www.example.com/murv/")); });
    QTest::mouseClick(&image, Qt::LeftButton);
    QTest::mouseClick(&image, Qt::RightButton);
    ui::SetUrlOpener(previous);

    EXPECT_EQ(opened, QList<QUrl>{QUrl("https://www.example.com/murv/")}) << "only a left click opens";
}

TEST(AppLook, DefaultFontIsTheJapaneseUiFontAtNinePoints) {
    ui_test::App();
    const QFont font = ui::DefaultFont();
    EXPECT_EQ(font.pointSizeF(), 9.0);
    if (!QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP")))
        GTEST_SKIP() << "fonts-noto-cjk is not installed here";
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK JP"));
}

}  // namespace
