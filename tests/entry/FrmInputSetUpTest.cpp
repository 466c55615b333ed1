// The entry screen as it opens and after a reset: work rows, lists, layouts,
// date patterns, totals and the keys of its combos.
#include "tests/entry/EntryFixture.h"

namespace {

class FrmInputSetUpTest : public test::EntryTest {};

TEST_F(FrmInputSetUpTest, OpensFromTheMenuWith5000BlankRowsAndTheCursorOnTheMonthDay) {
    F& f = Open();
    EXPECT_EQ(f.Caption(), QStringLiteral("経費入力"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("MainMenu"));
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w取引明細")), QVariant(qint64(5000)));
    EXPECT_EQ(WorkValue(QStringLiteral("select min(lno) from w取引明細")), QVariant(qint64(1)));
    EXPECT_EQ(WorkValue(QStringLiteral("select max(lno) from w取引明細")), QVariant(qint64(5000)));
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w取引明細 where チェック = False and 非課税 = False "
                                       "and isnull(金額) and isnull(税額) and isnull(日) and isnull(行番号)")),
              QVariant(qint64(5000)));
    EXPECT_EQ(Grid(f).RowCount(), 5000);
    EXPECT_EQ(Grid(f).Row(), 0);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_FALSE(f.Cn入力マスク.Visible());
    EXPECT_FALSE(f.PBar.Visible());
}

TEST_F(FrmInputSetUpTest, TheSecondLayoutShowsMonthAndDayAndNarrowsThePartner) {
    F& f = Open();
    ui::DataGrid& g = Grid(f);
    const auto dateColumns = [&] {
        return QStringLiteral("%1%2%3 %4")
            .arg(g.Columns(F::kCol月).Visible())
            .arg(g.Columns(F::kCol日).Visible())
            .arg(g.Columns(F::kCol月日).Visible())
            .arg(g.Columns(F::kCol取引先名).Width());
    };
    EXPECT_EQ(dateColumns(), QStringLiteral("001 3850"));
    f.SetStyle入力明細(QStringLiteral("TYPE1"));
    EXPECT_EQ(dateColumns(), QStringLiteral("110 3650"));
    f.SetStyle入力明細(QStringLiteral("type0"));  // names are compared exactly
    EXPECT_EQ(dateColumns(), QStringLiteral("110 3650"));
    f.SetStyle入力明細(QStringLiteral("TYPE0"));
    EXPECT_EQ(dateColumns(), QStringLiteral("001 3850"));
}

TEST_F(FrmInputSetUpTest, ListsComeFromTheMastersInReadingOrder) {
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('佐藤電機', 'さとう')"));
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('青木商店', 'あおき')"));
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('加藤書店', 'かとう')"));
    ExecData(QStringLiteral("delete * from 科目マスタ"));
    ExecData(QStringLiteral("insert into 科目マスタ (科目, ふりがな) values ('通信費', 'つうしんひ')"));
    ExecData(QStringLiteral("insert into 科目マスタ (科目, ふりがな) values (null, 'あ')"));
    ExecData(QStringLiteral("insert into 科目マスタ (科目, ふりがな) values ('会議費', 'かいぎひ')"));
    F& f = Open();
    const auto items = [](const ui::ComboBox& c) {
        QStringList l;
        for (int i = 0; i < c.ListCount(); ++i) l << c.List(i);
        return l;
    };
    const QStringList partners = {QStringLiteral("青木商店"), QStringLiteral("加藤書店"), QStringLiteral("佐藤電機")};
    EXPECT_EQ(items(f.cmb取引先名), partners);
    EXPECT_EQ(items(f.cmb取引先名マスク), partners);
    ASSERT_EQ(f.DD取引先.RowCount(), 3);
    EXPECT_EQ(f.DD取引先.Value(0, 0), QVariant(partners[0]));
    EXPECT_EQ(f.DD取引先.Value(2, 0), QVariant(partners[2]));

    const QStringList itemNames = {QStringLiteral("会議費"), QStringLiteral("通信費")};
    EXPECT_EQ(items(f.cmb科目), itemNames);
    EXPECT_EQ(items(f.cmb科目マスク), itemNames);
    EXPECT_EQ(f.DD科目.RowCount(), 2);
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w科目参照 where isnull(科目)")), QVariant(qint64(0)));

    EXPECT_EQ(items(f.cmb表示順),
              (QStringList{"日付、登録順", "日付、取引先、科目", "日付、科目、取引先", "取引先、日付", "科目、日付"}));
    EXPECT_EQ(f.cmb表示順.Text(), QString());
    EXPECT_EQ(items(f.cmb日付入力), (QStringList{QString(), "１日加える", "１月加える"}));
    EXPECT_EQ(f.cmb日付入力.Text(), QString());
}

TEST_F(FrmInputSetUpTest, AnyEraSettingButWesternGivesEraDatesAndWiderPeriodFields) {
    EXPECT_EQ(Open().txt開始.Width(), 1530);
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
    for (const QString& era : {QStringLiteral("和暦"), QString()}) {
        SetCompany(QStringLiteral("年号 = '%1'").arg(era));
        F& e = Open();
        e.txt開始.SetDate(QDate(2019, 5, 1));
        EXPECT_EQ(e.txt開始.Text(), QStringLiteral("令和 01年05月01日"));
        EXPECT_EQ(e.txt開始.Width(), 2370);
        EXPECT_EQ(e.txt終了.x(), ui::TwipsToPixels(3430));
        EXPECT_EQ(e.Frame期間.Width(), 5880);
        ui::Forms::UnloadAll();
        ModMurv::ResetState();
    }
}

TEST_F(FrmInputSetUpTest, TotalsCountDatedRowsWithAnAmount) {
    F& f = Open();
    f.Calc入力明細();
    EXPECT_EQ(f.num入力件数.Value(), QVariant(0.0));
    EXPECT_EQ(f.num入力件数.Text(), QStringLiteral("0"));
    EXPECT_TRUE(f.num入力合計.IsNull());

    Put(f, 0, F::kCol日付, QDate(2026, 3, 1));
    Put(f, 0, F::kCol金額, 1000);
    Put(f, 1, F::kCol日付, QDate(2026, 3, 2));
    Put(f, 1, F::kCol金額, 2500);
    Put(f, 2, F::kCol金額, 700);                // no date
    Put(f, 3, F::kCol日付, QDate(2026, 3, 3));  // no amount
    f.Calc入力明細();
    EXPECT_EQ(f.num入力件数.Value(), QVariant(2.0));
    EXPECT_EQ(f.num入力合計.Value(), QVariant(3500.0));
    EXPECT_EQ(f.num入力合計.Text(), QStringLiteral("3,500"));
}

TEST_F(FrmInputSetUpTest, ResetEmptiesFiltersListsAndRowsWithoutAsking) {
    F& f = Open();
    f.cmb取引先名.SetText(QStringLiteral("青木商店"));
    f.cmb科目.SetText(QStringLiteral("通信費"));
    f.txt開始.SetDate(QDate(2026, 1, 1));
    f.txt終了.SetDate(QDate(2026, 1, 31));
    f.cmb表示順.SetListIndex(3);
    f.cmb日付入力.SetListIndex(1);
    f.day日付.SetDate(QDate(2026, 1, 5));
    f.num月.SetValue(3);
    f.num固定金額.SetValue(500);
    f.Chk非課税.SetValue(1);
    Put(f, 4, F::kCol金額, 1234);
    Grid(f).Columns(F::kCol取引先名).SetAllowFocus(false);
    Grid(f).Columns(F::kCol取引先名).SetForeColor(ui::Bgr(F::kFixedColour));
    f.SetStyle入力明細(QStringLiteral("TYPE1"));

    QTest::keyClick(KeyTarget(f), Qt::Key_F9, Qt::ShiftModifier);  // Shift does not matter
    EXPECT_TRUE(boxes_.Shown().isEmpty());
    EXPECT_EQ(f.cmb取引先名.Text(), QString());
    EXPECT_EQ(f.cmb科目.Text(), QString());
    EXPECT_TRUE(f.txt開始.IsNull());
    EXPECT_TRUE(f.txt終了.IsNull());
    EXPECT_EQ(f.cmb表示順.Text(), QString());
    EXPECT_EQ(f.cmb表示順.ListCount(), 5);
    EXPECT_EQ(f.cmb日付入力.Text(), QString());
    EXPECT_TRUE(f.day日付.IsNull());
    EXPECT_TRUE(f.num月.IsNull());
    // The fixed amount and the tick are not the reset's.
    EXPECT_EQ(f.num固定金額.Value(), QVariant(500.0));
    EXPECT_EQ(f.Chk非課税.Value(), 1);
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w取引明細 where not isnull(金額)")), QVariant(qint64(0)));
    EXPECT_TRUE(Grid(f).Columns(F::kCol取引先名).AllowFocus());
    EXPECT_EQ(Grid(f).Columns(F::kCol取引先名).ForeColor(), QColor(Qt::black));
    EXPECT_TRUE(Grid(f).Columns(F::kCol月日).Visible());
    EXPECT_FALSE(Grid(f).Columns(F::kCol日).Visible());
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
}

TEST_F(FrmInputSetUpTest, KeysOfTheCombos) {
    F& f = Open();
    f.cmb取引先名.SetFocus();
    QTest::keyClick(&f.cmb取引先名, Qt::Key_Return);
    EXPECT_TRUE(f.cmb科目.hasFocus());
    QTest::keyClick(&f.cmb科目, Qt::Key_Left);
    EXPECT_TRUE(f.cmb取引先名.hasFocus());
    QTest::keyClick(&f.cmb取引先名, Qt::Key_Right);
    EXPECT_TRUE(f.cmb科目.hasFocus());
    QTest::keyClick(&f.cmb科目, Qt::Key_Return);
    EXPECT_TRUE(Grid(f).View()->hasFocus());

    // The automatic-date mode is chosen, never typed or deleted.
    f.cmb日付入力.SetListIndex(2);
    QTest::keyClicks(&f.cmb日付入力, QStringLiteral("1"));
    QTest::keyClick(&f.cmb日付入力, Qt::Key_Delete);
    EXPECT_EQ(f.cmb日付入力.Text(), QStringLiteral("１月加える"));
}

TEST_F(FrmInputSetUpTest, TheMaskPanelOpensAndClosesAndListScreensNotBuiltAreDisabled) {
    F& f = Open();
    QTest::mouseClick(&f.cmd入力マスク, Qt::LeftButton);
    EXPECT_TRUE(f.Cn入力マスク.isVisible());
    QTest::mouseClick(&f.cmd閉じるマスク, Qt::LeftButton);
    EXPECT_FALSE(f.Cn入力マスク.isVisible());
    EXPECT_TRUE(Grid(f).View()->hasFocus());
    for (ui::CommandButton* b : {&f.cmd経費一覧, &f.cmd経費順位, &f.cmd月別一覧}) {
        EXPECT_FALSE(b->isEnabled());
        EXPECT_EQ(b->ToolTipText(), core::kScreenNotAvailable);
    }
    EXPECT_TRUE(f.cmdメニュー.isEnabled());
}

}  // namespace
