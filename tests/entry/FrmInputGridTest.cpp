// Editing in the entry grid, by keys and clicks: dates completed inside the
// period, the date picker, the tax rule, the partner's usual item, the Enter
// flows with the automatic date, and the checks of typed cells.
#include <QCalendarWidget>
#include <QTimer>

#include "platform/ui/Ime.h"
#include "tests/entry/EntryFixture.h"

namespace {

class FrmInputGridTest : public test::EntryTest {
protected:
    // An accounting period from April to March, so that months before April
    // fall in the next calendar year.
    F& OpenWithPeriod() {
        SetCompany(QStringLiteral("開始日 = #2026/04/01#, 終了日 = #2027/03/31#"));
        return Open();
    }
    QVariant C(F& f, int col) { return Grid(f).Columns(col).Value(); }
};

TEST_F(FrmInputGridTest, MonthDayIsCompletedInsideAPeriodThatCrossesTheYear) {
    F& f = OpenWithPeriod();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0115"));
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 1, 15)));
    EXPECT_EQ(CellAt(f, 0, F::kCol月), QVariant(qint64(1)));
    EXPECT_EQ(CellAt(f, 0, F::kCol日), QVariant(qint64(15)));
    EXPECT_EQ(CellAt(f, 0, F::kCol曜日), QVariant(QStringLiteral("金")));
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);

    GoTo(f, 1, F::kCol月日);
    Enter(f, QStringLiteral("０４１５"));  // full-width digits read as digits
    EXPECT_EQ(CellAt(f, 1, F::kCol日付), QVariant(QDate(2026, 4, 15)));
    EXPECT_EQ(CellAt(f, 1, F::kCol月日), QVariant(QStringLiteral("0415")));
    EXPECT_EQ(CellAt(f, 1, F::kCol曜日), QVariant(QStringLiteral("水")));
}

TEST_F(FrmInputGridTest, RefusedAndImpossibleAndClearedMonthDays) {
    F& f = OpenWithPeriod();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0315"));
    ASSERT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 3, 15)));

    // Three characters: refused, the cell emptied, the cursor stays.
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("315"));
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_TRUE(Grid(f).HasPendingEdit());
    EXPECT_TRUE(C(f, F::kCol月日).isNull());
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 3, 15))) << "nothing stored yet";
    Key(f, Qt::Key_Escape);
    EXPECT_EQ(CellAt(f, 0, F::kCol月日), QVariant(QStringLiteral("0315")));

    // A date that does not exist is said and kept in the cell; the row keeps its date.
    Enter(f, QStringLiteral("0230"));
    EXPECT_EQ(C(f, F::kCol月日), QVariant(QStringLiteral("0230")));
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 3, 15)));
    Key(f, Qt::Key_Escape);

    // Clearing the month-day means no date.
    GoTo(f, 1, F::kCol月日);
    Enter(f, QStringLiteral("0501"));
    ASSERT_FALSE(CellAt(f, 1, F::kCol日付).isNull());
    GoTo(f, 1, F::kCol月日);
    Key(f, Qt::Key_Delete);
    Key(f, Qt::Key_Return);
    for (int col : {F::kCol月日, F::kCol日付, F::kCol月, F::kCol日, F::kCol曜日})
        EXPECT_TRUE(CellAt(f, 1, col).isNull()) << col;
}

TEST_F(FrmInputGridTest, ARefusedMonthDayOrDayIsTypedOverAfterEnterOrAClick) {
    F& f = OpenWithPeriod();
    const auto retype = [&](int row, int col, const QString& refused, bool click, const QString& typed) {
        GoTo(f, row, col);
        Enter(f, refused);
        if (click) ClickCell(f, row, col);
        Enter(f, typed);
        return CellAt(f, row, F::kCol日付);
    };
    EXPECT_EQ(retype(0, F::kCol月日, "0230", false, "0301"), QVariant(QDate(2027, 3, 1)));
    EXPECT_EQ(retype(1, F::kCol月日, "0230", true, "0302"), QVariant(QDate(2027, 3, 2)));
    QTest::mouseClick(&f.cmd入力マスク, Qt::LeftButton);  // the mask fixes February: the day is typed alone
    TypeInto(&f.num月, QStringLiteral("2"));
    QTest::mouseClick(&f.cmd実行, Qt::LeftButton);
    EXPECT_EQ(retype(2, F::kCol日, "30", false, "1"), QVariant(QDate(2027, 2, 1)));
    EXPECT_EQ(retype(3, F::kCol日, "30", true, "28"), QVariant(QDate(2027, 2, 28)));
    EXPECT_EQ(Texts().size(), 4) << "each refusal is said once";
}

TEST_F(FrmInputGridTest, DaysTypedUnderAFixedMonth) {
    F& f = OpenWithPeriod();
    f.SetStyle入力明細(QStringLiteral("TYPE1"));
    Put(f, 0, F::kCol月, 2);
    Grid(f).Columns(F::kCol月).SetAllowFocus(false);  // as the input mask fixes it
    GoTo(f, 0, F::kCol日);
    for (const char* bad : {"0", "32", "a"}) {
        Enter(f, QString::fromLatin1(bad));
        EXPECT_EQ(Grid(f).Col(), F::kCol日) << bad;
        EXPECT_TRUE(C(f, F::kCol日).isNull()) << bad;
        Key(f, Qt::Key_Escape);
    }
    Enter(f, QStringLiteral("14"));
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 2, 14)));
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);

    // February has no 30th: said, and kept in the cell.
    GoTo(f, 0, F::kCol日);
    Enter(f, QStringLiteral("30"));
    EXPECT_EQ(Texts(),
              QStringList{QStringLiteral("「2月30日」は日付として読めません。正しい日付を入力してください。")});
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 2, 14)));
    Key(f, Qt::Key_Escape);

    // Clearing the day leaves no date; the fixed month stays.
    GoTo(f, 0, F::kCol日);
    Enter(f, QStringLiteral("3"));
    ASSERT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2027, 2, 3)));
    GoTo(f, 0, F::kCol日);
    Key(f, Qt::Key_Delete);
    Key(f, Qt::Key_Return);
    EXPECT_TRUE(CellAt(f, 0, F::kCol日付).isNull());
    EXPECT_EQ(CellAt(f, 0, F::kCol月), QVariant(qint64(2)));
}

TEST_F(FrmInputGridTest, PickedDateFillsTheDateCellsOutsideThePeriodToo) {
    F& f = OpenWithPeriod();
    GoTo(f, 2, F::kColDD日付);
    const auto pick = [&](const QDate& date) {
        QTimer::singleShot(0, [&f, date] {
            auto* calendar = f.dayグリッド日付.findChild<QCalendarWidget*>();
            ASSERT_NE(calendar, nullptr);
            ASSERT_TRUE(calendar->isVisible());
            calendar->setSelectedDate(date);
            QTest::keyClick(calendar->findChild<QAbstractItemView*>(), Qt::Key_Return);
        });
        Key(f, Qt::Key_Down, Qt::AltModifier);
    };
    pick(QDate(2030, 2, 3));
    EXPECT_EQ(CellAt(f, 2, F::kCol日付), QVariant(QDate(2030, 2, 3)));
    EXPECT_EQ(CellAt(f, 2, F::kCol月), QVariant(qint64(2)));
    EXPECT_EQ(CellAt(f, 2, F::kCol日), QVariant(qint64(3)));
    EXPECT_EQ(CellAt(f, 2, F::kCol月日), QVariant(QStringLiteral("0203")));
    EXPECT_EQ(CellAt(f, 2, F::kCol曜日), QVariant(QStringLiteral("日")));
    EXPECT_TRUE(CellAt(f, 2, F::kColDD日付).isNull());
    EXPECT_FALSE(f.dayグリッド日付.isVisible());

    // The picker opens on the row's date; closing it without a pick changes nothing.
    QTimer::singleShot(0, [&f] {
        auto* calendar = f.dayグリッド日付.findChild<QCalendarWidget*>();
        EXPECT_EQ(calendar->selectedDate(), QDate(2030, 2, 3));
        calendar->window()->hide();
    });
    Key(f, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(CellAt(f, 2, F::kCol日付), QVariant(QDate(2030, 2, 3)));
    EXPECT_FALSE(Grid(f).HasPendingEdit());

    // Typed into the column, a date counts like a pick; clearing the cell
    // writes no date (not the one last picked on another row); a text that
    // is no date is refused.
    GoTo(f, 5, F::kColDD日付);
    Key(f, Qt::Key_Delete);
    Key(f, Qt::Key_Return);
    EXPECT_TRUE(CellAt(f, 5, F::kCol日付).isNull());
    EXPECT_TRUE(CellAt(f, 5, F::kCol月日).isNull());
    GoTo(f, 6, F::kColDD日付);
    Enter(f, QStringLiteral("2030/05/01"));
    EXPECT_EQ(CellAt(f, 6, F::kCol日付), QVariant(QDate(2030, 5, 1)));
    EXPECT_EQ(CellAt(f, 6, F::kCol月日), QVariant(QStringLiteral("0501")));
    EXPECT_EQ(CellAt(f, 6, F::kCol曜日), QVariant(QStringLiteral("水")));
    EXPECT_TRUE(CellAt(f, 6, F::kColDD日付).isNull());
    GoTo(f, 7, F::kColDD日付);
    Enter(f, QStringLiteral("x"));
    EXPECT_EQ(Grid(f).Col(), F::kColDD日付);
    EXPECT_TRUE(CellAt(f, 7, F::kCol日付).isNull());
    Key(f, Qt::Key_Escape);
}

TEST_F(FrmInputGridTest, TaxFromTheAmountInEachRoundingMode) {
    struct Case {
        const char16_t* mode;
        double rate;
        int amount;
        qint64 tax;
    };
    const Case cases[] = {{u"切り捨て", 0.05, 1000, 47}, {u"四捨五入", 0.05, 1000, 48},  {u"切り上げ", 0.05, 1000, 48},
                          {u"切り捨て", 0.05, 1050, 50}, {u"切り上げ", 0.10, 1100, 100}, {u"四捨五入", 0.05, 0, 0}};
    for (const Case& c : cases) {
        SetCompany(QStringLiteral("税端数 = '%1', 税率 = %2").arg(QString::fromUtf16(c.mode)).arg(c.rate));
        F& f = Open();
        GoTo(f, 0, F::kCol金額);
        Enter(f, QString::number(c.amount));
        EXPECT_EQ(CellAt(f, 0, F::kCol税額), QVariant(double(c.tax)))
            << QString::fromUtf16(c.mode).toStdString() << ' ' << c.amount;
        ui::Forms::UnloadAll();
        ModMurv::ResetState();
    }
}

TEST_F(FrmInputGridTest, ExemptTicksAndClearedAmounts) {
    F& f = Open();  // 5 %, truncated
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("1000"));
    ASSERT_EQ(CellAt(f, 0, F::kCol税額), QVariant(47.0));

    ClickCell(f, 0, F::kCol非課税);  // tick: no tax
    EXPECT_EQ(CellAt(f, 0, F::kCol非課税), QVariant(true));
    EXPECT_TRUE(CellAt(f, 0, F::kCol税額).isNull());

    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("2000"));  // a ticked row gets no tax
    EXPECT_TRUE(CellAt(f, 0, F::kCol税額).isNull());

    GoTo(f, 0, F::kCol非課税);
    Key(f, Qt::Key_Space);  // untick: the tax again
    EXPECT_EQ(CellAt(f, 0, F::kCol税額), QVariant(95.0));

    // Clearing the amount leaves the tax as it was.
    GoTo(f, 0, F::kCol金額);
    Key(f, Qt::Key_Delete);
    Key(f, Qt::Key_Tab);
    EXPECT_TRUE(CellAt(f, 0, F::kCol金額).isNull());
    EXPECT_EQ(CellAt(f, 0, F::kCol税額), QVariant(95.0));
}

TEST_F(FrmInputGridTest, AmountsThatAreNoNumberOrTooLargeAreRefused) {
    F& f = Open();
    GoTo(f, 0, F::kCol金額);
    for (const char16_t* bad : {u"12a", u"千円", u"10000000000"}) {
        Enter(f, QString::fromUtf16(bad));
        EXPECT_EQ(Grid(f).Col(), F::kCol金額);
        EXPECT_EQ(C(f, F::kCol金額).toString(), QString::fromUtf16(bad)) << "kept for correction";
        EXPECT_TRUE(CellAt(f, 0, F::kCol金額).isNull());
        EXPECT_TRUE(CellAt(f, 0, F::kCol税額).isNull());
        Key(f, Qt::Key_Escape);
    }
    Enter(f, QStringLiteral("１，０５０"));
    EXPECT_EQ(CellAt(f, 0, F::kCol金額), QVariant(1050.0));
    EXPECT_EQ(CellAt(f, 0, F::kCol税額), QVariant(50.0));
}

TEST_F(FrmInputGridTest, ChoosingAPartnerProposesItsMostUsedItem) {
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('O''Hara商会', 'おはら')"));
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('新規商店', 'しんき')"));
    ExecData(QStringLiteral(
        "insert into 取引先科目 (取引先名, 科目, 非課税, 回数) values ('O''Hara商会', '通信費', False, 2)"));
    ExecData(QStringLiteral(
        "insert into 取引先科目 (取引先名, 科目, 非課税, 回数) values ('O''Hara商会', '租税公課', True, 5)"));
    ExecData(QStringLiteral(
        "insert into 取引先科目 (取引先名, 科目, 非課税, 回数) values ('O''Hara商会', '雑費', False, 1)"));
    F& f = Open();
    // Opens the partner list of the current cell and picks its row by Enter.
    const auto pick = [&](int listRow) {
        Key(f, Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(f.DD取引先.IsOpen());
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        auto* list = popup->findChild<QTableView*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(list->model()->index(listRow, 0));
        QTest::keyClick(list, Qt::Key_Return);
    };
    GoTo(f, 0, F::kCol取引先名);
    pick(0);
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名), QVariant(QStringLiteral("O'Hara商会")));
    EXPECT_EQ(CellAt(f, 0, F::kCol科目), QVariant(QStringLiteral("租税公課")));
    EXPECT_EQ(CellAt(f, 0, F::kCol非課税), QVariant(true));
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
    EXPECT_EQ(Grid(f).Row(), 0);

    // A partner without items changes neither the item nor the mark.
    GoTo(f, 1, F::kCol科目);
    Enter(f, QStringLiteral("雑費"));
    GoTo(f, 1, F::kCol取引先名);
    pick(1);
    EXPECT_EQ(CellAt(f, 1, F::kCol取引先名), QVariant(QStringLiteral("新規商店")));
    EXPECT_EQ(CellAt(f, 1, F::kCol科目), QVariant(QStringLiteral("雑費")));
    EXPECT_EQ(CellAt(f, 1, F::kCol非課税), QVariant(false));
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
}

TEST_F(FrmInputGridTest, EnterFlowWithTheSameDateForTheNextRow) {
    F& f = OpenWithPeriod();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0501"));
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
    Enter(f, QStringLiteral("山田商店"));
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
    Enter(f, QStringLiteral("1000"));
    EXPECT_EQ(Grid(f).Col(), F::kCol科目) << "an amount without an item goes to the item";
    EXPECT_EQ(Grid(f).Row(), 0);
    Enter(f, QStringLiteral("消耗品費"));
    // Enter in the item: the next row, on the month-day, nothing filled.
    EXPECT_EQ(Grid(f).Row(), 1);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_TRUE(CellAt(f, 1, F::kCol日付).isNull());

    // Enter in the amount of a row with an item: the next row takes the
    // date, partner and item of the row above; the cursor on the month-day.
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("1080"));
    EXPECT_EQ(Grid(f).Row(), 1);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_EQ(CellAt(f, 1, F::kCol日付), QVariant(QDate(2026, 5, 1)));
    EXPECT_EQ(CellAt(f, 1, F::kCol月日), QVariant(QStringLiteral("0501")));
    EXPECT_EQ(CellAt(f, 1, F::kCol曜日), QVariant(QStringLiteral("金")));
    EXPECT_EQ(CellAt(f, 1, F::kCol取引先名), QVariant(QStringLiteral("山田商店")));
    EXPECT_EQ(CellAt(f, 1, F::kCol科目), QVariant(QStringLiteral("消耗品費")));
    EXPECT_TRUE(CellAt(f, 1, F::kCol金額).isNull());
    EXPECT_EQ(f.num入力件数.Value(), QVariant(1.0));
    EXPECT_EQ(f.num入力合計.Value(), QVariant(1080.0));

    // A row that has a date keeps it.
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("1100"));
    EXPECT_EQ(CellAt(f, 1, F::kCol日付), QVariant(QDate(2026, 5, 1)));
}

TEST_F(FrmInputGridTest, EnterFlowWithTheDateMovedOnSkipsTheDateColumns) {
    F& f = OpenWithPeriod();
    f.cmb日付入力.SetListIndex(1);  // one day later
    TypeLine(f, 0, QStringLiteral("0131"), QStringLiteral("山田商店"), QStringLiteral("500"), QStringLiteral("会議費"));
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("600"));
    EXPECT_EQ(Grid(f).Row(), 1);
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
    EXPECT_EQ(CellAt(f, 1, F::kCol日付), QVariant(QDate(2027, 2, 1)));

    // One month later: the 31st of January becomes the last day of February.
    f.cmb日付入力.SetListIndex(2);
    GoTo(f, 2, F::kCol月日);
    Enter(f, QStringLiteral("0131"));
    Enter(f, QStringLiteral("山田商店"));
    Enter(f, QStringLiteral("700"));
    Enter(f, QStringLiteral("会議費"));
    GoTo(f, 2, F::kCol金額);
    Enter(f, QStringLiteral("700"));
    EXPECT_EQ(CellAt(f, 3, F::kCol日付), QVariant(QDate(2027, 2, 28)));
    EXPECT_EQ(CellAt(f, 3, F::kCol月日), QVariant(QStringLiteral("0228")));

    // With the partner fixed, the cursor goes to the amount.
    Grid(f).Columns(F::kCol取引先名).SetAllowFocus(false);
    GoTo(f, 3, F::kCol金額);
    Enter(f, QStringLiteral("800"));
    EXPECT_EQ(Grid(f).Row(), 4);
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
    EXPECT_EQ(CellAt(f, 4, F::kCol日付), QVariant(QDate(2027, 3, 28)));
}

TEST_F(FrmInputGridTest, AutomaticDateNeedsAnEmptyRowBelowADatedOne) {
    F& f = OpenWithPeriod();
    f.cmb日付入力.SetListIndex(1);
    GoTo(f, 0, F::kCol月日);
    EXPECT_FALSE(f.SetAutoDate()) << "the first row has none above";
    Put(f, 1, F::kCol日付, QDate(2026, 6, 1));
    GoTo(f, 2, F::kCol月日);
    Put(f, 2, F::kCol日付, QDate(2026, 7, 7));
    EXPECT_FALSE(f.SetAutoDate()) << "a dated row keeps its date";
    EXPECT_EQ(CellAt(f, 2, F::kCol日付), QVariant(QDate(2026, 7, 7)));
    GoTo(f, 4, F::kCol月日);
    EXPECT_FALSE(f.SetAutoDate()) << "the row above has no date";
    EXPECT_TRUE(CellAt(f, 4, F::kCol日付).isNull());
}

TEST_F(FrmInputGridTest, EnterInADayUnderAFixedMonthTakesTheRowAboveWhenEmpty) {
    F& f = OpenWithPeriod();
    f.SetStyle入力明細(QStringLiteral("TYPE1"));
    Put(f, 0, F::kCol月, 6);
    Put(f, 1, F::kCol月, 6);
    GoTo(f, 0, F::kCol日);
    Enter(f, QStringLiteral("12"));
    EXPECT_EQ(CellAt(f, 0, F::kCol日付), QVariant(QDate(2026, 6, 12)));
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);

    // A typed day is the row's own, even below a dated row.
    GoTo(f, 1, F::kCol日);
    Enter(f, QStringLiteral("20"));
    EXPECT_EQ(CellAt(f, 1, F::kCol日付), QVariant(QDate(2026, 6, 20)));

    // Enter on an empty day takes the date of the row above.
    GoTo(f, 2, F::kCol日);
    Key(f, Qt::Key_Return);
    EXPECT_EQ(CellAt(f, 2, F::kCol日付), QVariant(QDate(2026, 6, 20)));
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
}

TEST_F(FrmInputGridTest, EnterAtTheLastRowStaysOnIt) {
    F& f = Open();
    const int last = F::kWorkRows - 1;
    Put(f, last, F::kCol科目, QStringLiteral("雑費"));
    GoTo(f, last, F::kCol金額);
    Enter(f, QStringLiteral("100"));
    EXPECT_EQ(Grid(f).Row(), last);
    EXPECT_FALSE(Grid(f).IsEOF());
    GoTo(f, last, F::kCol科目);
    Key(f, Qt::Key_Return);
    EXPECT_EQ(Grid(f).Row(), last);
}

TEST_F(FrmInputGridTest, LeftAndRightBetweenTheMonthDayAndThePartner) {
    F& f = Open();
    GoTo(f, 0, F::kCol取引先名);
    Key(f, Qt::Key_Left);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    Key(f, Qt::Key_Right);
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
    Grid(f).Columns(F::kCol月日).SetAllowFocus(false);
    Key(f, Qt::Key_Left);
    EXPECT_EQ(Grid(f).Col(), F::kColDD日付) << "the grid's own move";
}

TEST_F(FrmInputGridTest, JapaneseInputOnlyInTheNameColumns) {
    F& f = Open();
    GoTo(f, 0, F::kCol取引先名);
    EXPECT_TRUE(ui::ImeOpenFor(&Grid(f)));
    GoTo(f, 0, F::kCol金額);
    EXPECT_FALSE(ui::ImeOpenFor(&Grid(f)));
    GoTo(f, 0, F::kCol科目);
    EXPECT_TRUE(ui::ImeOpenFor(&Grid(f)));
    GoTo(f, 0, F::kCol月日);
    EXPECT_FALSE(ui::ImeOpenFor(&Grid(f)));
}

}  // namespace
