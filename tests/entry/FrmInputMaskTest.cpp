// The input mask by keys and clicks: what it writes into every work row,
// which columns it closes and greys, the layout it picks, clearing it and an
// empty mask.
#include "tests/entry/EntryFixture.h"

namespace {

class FrmInputMaskTest : public test::EntryTest {
protected:
    void OpenMask(F& f) { QTest::mouseClick(&f.cmd入力マスク, Qt::LeftButton); }
    void Apply(F& f) { QTest::mouseClick(&f.cmd実行, Qt::LeftButton); }
    qint64 Rows(const QString& where) {
        return WorkValue(QStringLiteral("select count(*) from w取引明細 where ") + where).toLongLong();
    }
    // "fixed" (closed and grey), "free" (open and black), or what it is.
    QString State(F& f, int col) {
        const ui::GridColumn& c = Grid(f).Columns(col);
        const QString colour = c.ForeColor() == QColor(0x80, 0x80, 0x80) ? QStringLiteral("grey")
                               : c.ForeColor() == QColor(Qt::black)      ? QStringLiteral("black")
                                                                         : c.ForeColor().name();
        if (!c.AllowFocus() && colour == u"grey") return QStringLiteral("fixed");
        if (c.AllowFocus() && colour == u"black") return QStringLiteral("free");
        return (c.AllowFocus() ? QStringLiteral("open ") : QStringLiteral("closed ")) + colour;
    }
    QStringList States(F& f) {
        QStringList out;
        for (int col : {F::kCol取引先名, F::kCol科目, F::kCol月, F::kCol金額, F::kCol税額, F::kCol非課税, F::kCol月日})
            out << State(f, col);
        return out;
    }
    // Which date columns show: month, day, month-day.
    QString Layout(F& f) {
        return QStringLiteral("%1%2%3")
            .arg(Grid(f).Columns(F::kCol月).Visible())
            .arg(Grid(f).Columns(F::kCol日).Visible())
            .arg(Grid(f).Columns(F::kCol月日).Visible());
    }
};

TEST_F(FrmInputMaskTest, PartnerItemMonthAndAFixedAmountWithItsTaxGoIntoEveryRow) {
    SetCompany(QStringLiteral("税端数 = '四捨五入'"));
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 300, 14);
    F& f = Open();
    QTest::mouseClick(&f.cmd読込, Qt::LeftButton);
    ASSERT_EQ(CellAt(f, 0, F::kCol取引先名), QVariant(QStringLiteral("山田商店")));

    OpenMask(f);
    TypeInto(&f.cmb取引先名マスク, QStringLiteral("O'Hara商会"));  // a quote stays inside the name
    TypeInto(&f.cmb科目マスク, QStringLiteral("会議費"));
    TypeInto(&f.num月, QStringLiteral("6"));
    TypeInto(&f.num固定金額, QStringLiteral("1000"));
    Apply(f);

    // The loaded row too; its date stays, only the month changes.
    EXPECT_EQ(Rows(QStringLiteral("取引先名 = 'O''Hara商会' and 科目 = '会議費' and 月 = 6 and 金額 = 1000 "
                                  "and 税額 = 48 and 非課税 = False")),
              F::kWorkRows);
    EXPECT_EQ(WorkValue(QStringLiteral("select 日付 from w取引明細 where lno = 1")), QVariant(QDate(2026, 3, 10)));
    EXPECT_EQ(Rows(QStringLiteral("not isnull(日付)")), 1);
    EXPECT_EQ(CellAt(f, F::kWorkRows - 1, F::kCol取引先名), QVariant(QStringLiteral("O'Hara商会")));
    EXPECT_EQ(CellAt(f, F::kWorkRows - 1, F::kCol税額), QVariant(48.0));

    EXPECT_EQ(States(f), (QStringList{"fixed", "fixed", "fixed", "fixed", "free", "fixed", "free"}));
    EXPECT_EQ(Layout(f), QStringLiteral("110")) << "a fixed month: the day is typed alone";
    EXPECT_TRUE(f.Cn入力マスク.isVisible());
}

TEST_F(FrmInputMaskTest, ADateAfterTheMonthAndTheExemptTickThenClearingAndAnEmptyMask) {
    F& f = Open();
    OpenMask(f);
    TypeInto(&f.num月, QStringLiteral("3"));
    f.day日付.SetDate(QDate(2024, 5, 1));
    TypeInto(&f.num固定金額, QStringLiteral("1000"));
    QTest::mouseClick(&f.Chk非課税, Qt::LeftButton);
    f.cmb日付入力.SetListIndex(1);
    Apply(f);

    EXPECT_EQ(ModMurv::SqlText, QStringLiteral("update w取引明細 set 日付 = #2024/05/01# , 月日 = '0501', 日 = 1, "
                                               "月 = 5, 曜日 = '水'"));
    EXPECT_EQ(Rows(QStringLiteral("日付 = #2024/05/01# and 月日 = '0501' and 日 = 1 and 月 = 5 and 曜日 = '水' "
                                  "and 非課税 = True and isnull(税額) and 金額 = 1000")),
              F::kWorkRows);
    EXPECT_EQ(States(f), (QStringList{"free", "free", "fixed", "fixed", "fixed", "fixed", "closed black"}));
    EXPECT_FALSE(Grid(f).Columns(F::kCol曜日).AllowFocus());
    EXPECT_EQ(Layout(f), QStringLiteral("001")) << "the date comes after the month";

    // Clearing empties the fields only.
    QTest::mouseClick(&f.cmdクリアマスク, Qt::LeftButton);
    EXPECT_TRUE(f.num月.IsNull());
    EXPECT_TRUE(f.day日付.IsNull());
    EXPECT_TRUE(f.num固定金額.IsNull());
    EXPECT_EQ(f.Chk非課税.Value(), 0);
    EXPECT_EQ(f.cmb日付入力.Text(), QString());
    EXPECT_TRUE(f.cmb取引先名マスク.hasFocus());
    EXPECT_EQ(Rows(QStringLiteral("日付 = #2024/05/01# and 非課税 = True and 金額 = 1000")), F::kWorkRows);
    EXPECT_EQ(States(f), (QStringList{"free", "free", "fixed", "fixed", "fixed", "fixed", "closed black"}));

    // An empty mask empties every field it owns but the dates, and frees
    // every column but the exempt mark's.
    Apply(f);
    EXPECT_EQ(Rows(QStringLiteral("isnull(取引先名) and isnull(科目) and isnull(月) and isnull(金額) and isnull(税額) "
                                  "and 非課税 = False and 日付 = #2024/05/01# and 月日 = '0501'")),
              F::kWorkRows);
    EXPECT_EQ(States(f), (QStringList{"free", "free", "free", "free", "free", "fixed", "free"}));
    EXPECT_EQ(Layout(f), QStringLiteral("001"));

    QTest::mouseClick(&f.cmd閉じるマスク, Qt::LeftButton);
    EXPECT_FALSE(f.Cn入力マスク.isVisible());
    EXPECT_EQ(Rows(QStringLiteral("日付 = #2024/05/01#")), F::kWorkRows);
}

TEST_F(FrmInputMaskTest, AFullMaskWithoutTheTickRegistersEveryRowWithItsTax) {
    F& f = Open();  // 5 %, truncated
    OpenMask(f);
    TypeInto(&f.cmb取引先名マスク, QStringLiteral("山田商店"));
    f.day日付.SetDate(QDate(2026, 6, 6));
    TypeInto(&f.num固定金額, QStringLiteral("1000"));
    Apply(f);
    boxes_.QueueAnswer(Answer::Yes);
    QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    EXPECT_EQ(
        CountData(QStringLiteral("select * from 取引明細 where 金額 = 1000 and 税額 = 47 and 日付 = #2026/06/06#")),
        F::kWorkRows);
}

}  // namespace
