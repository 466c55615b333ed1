// The entry screen's lookup buttons over the real lookup libraries: a pick
// goes into exactly one cell, a window closed without a pick changes nothing.
#include <QProcess>

#include "tests/entry/EntryFixture.h"
#include "tests/lookup/LookupFixture.h"

// Only where the build has the two libraries and the registration tool.
#if defined(MURV_PELMORA) && defined(MURV_DUNVASEL) && defined(MURV_REGSVR)

namespace {

using test::Click;
using test::ClickIndex;
using test::WhenModal;

class FrmInputLookupTest : public test::EntryTest {
protected:
    void SetUp() override {
        test::EntryTest::SetUp();
        for (const char* library : {MURV_PELMORA, MURV_DUNVASEL})
            ASSERT_EQ(QProcess::execute(QStringLiteral(MURV_REGSVR), {QString::fromUtf8(library)}), 0);
        ExecData(
            QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')"));
        ExecData(QStringLiteral(
            "insert into 取引先科目 (取引先名, 科目, 非課税, 回数) values ('青葉商店', '通信費', True, 3)"));
    }
    // The cells of one row, joined.
    QString RowText(F& f, int row) {
        QStringList cells;
        for (int col = 0; col < F::kColumnCount; ++col) cells << Grid(f).CellText(row, col);
        return cells.join(u'|');
    }
};

TEST_F(FrmInputLookupTest, APartnerPickWritesOnlyThePartnerCellAndGoesToTheAmount) {
    F& f = Open();
    GoTo(f, 2, F::kCol金額);
    Enter(f, QStringLiteral("1000"));
    Enter(f, QStringLiteral("雑費"));
    GoTo(f, 2, F::kCol月日);
    const QString above = RowText(f, 1), below = RowText(f, 3);
    f.cmb科目.SetFocus();

    WhenModal([](QWidget* w) {
        ClickIndex(w, 0);  // あ
        test::DoubleClickRow(w, QStringLiteral("青葉商店/あおばしょうてん"));
    });
    QTest::keyClick(&f.cmb科目, Qt::Key_F3);
    QCoreApplication::processEvents();
    EXPECT_EQ(CellAt(f, 2, F::kCol取引先名), QVariant(QStringLiteral("青葉商店")));
    EXPECT_EQ(CellAt(f, 2, F::kCol科目), QVariant(QStringLiteral("雑費"))) << "no usual item by this path";
    EXPECT_EQ(CellAt(f, 2, F::kCol非課税), QVariant(false));
    EXPECT_EQ(CellAt(f, 2, F::kCol金額), QVariant(1000.0));
    EXPECT_EQ(CellAt(f, 2, F::kCol税額), QVariant(47.0));
    EXPECT_EQ(RowText(f, 1), above);
    EXPECT_EQ(RowText(f, 3), below);
    EXPECT_EQ(Grid(f).Row(), 2);
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
    EXPECT_EQ(f.focusWidget(), Grid(f).View());
}

TEST_F(FrmInputLookupTest, AWindowClosedWithoutAPickChangesNothing) {
    F& f = Open();
    Put(f, 0, F::kCol取引先名, QStringLiteral("山田商店"));
    Put(f, 0, F::kCol科目, QStringLiteral("雑費"));
    GoTo(f, 0, F::kCol月日);
    f.cmb取引先名.SetText(QStringLiteral("前の取引先"));
    const QString row = RowText(f, 0);

    WhenModal([](QWidget* w) { Click(w, QStringLiteral("cmd閉じる")); });
    QTest::mouseClick(&f.cmd取引先, Qt::LeftButton);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QTest::mouseClick(&f.cmd科目, Qt::LeftButton);
    WhenModal([](QWidget* w) { Click(w, QStringLiteral("cmd閉じる")); });
    QTest::mouseClick(&f.cmd取引先参照, Qt::LeftButton);
    EXPECT_EQ(RowText(f, 0), row);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_EQ(f.cmb取引先名.Text(), QStringLiteral("前の取引先"));
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

}  // namespace

#endif
