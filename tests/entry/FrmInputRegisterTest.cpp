// Loading stored lines and registering work rows: numbering, the masters'
// additions and counts, the identity of loaded lines, names with quotes,
// the last typed value, one transaction, the filters and sort orders.
#include "tests/entry/EntryFixture.h"

namespace {

class FrmInputRegisterTest : public test::EntryTest {
protected:
    // F5 with the confirmation answered.
    void Register(F& f, Answer answer = Answer::Yes) {
        boxes_.QueueAnswer(answer);
        QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    }
    void Load(F& f, const QString& order = QString()) {
        if (!order.isEmpty()) f.cmb表示順.SetText(order);
        QTest::mouseClick(&f.cmd読込, Qt::LeftButton);
    }
    // "partner amount" of the loaded work rows, in grid order, up to the first blank one.
    QStringList Loaded(F& f) {
        QStringList out;
        for (int r = 0; r < Grid(f).RowCount() && !CellAt(f, r, F::kCol取引先名).isNull(); ++r)
            out << QStringLiteral("%1 %2")
                       .arg(CellAt(f, r, F::kCol取引先名).toString())
                       .arg(CellAt(f, r, F::kCol金額).toDouble());
        return out;
    }
    QStringList Describe(const std::vector<Line>& lines) {
        QStringList out;
        for (const Line& l : lines)
            out << QStringLiteral("%1 #%2 %3 %4 %5")
                       .arg(l.date.toString(QStringLiteral("MM/dd")))
                       .arg(l.no)
                       .arg(l.partner, l.item)
                       .arg(l.amount);
        return out;
    }
    qint64 Count(const QString& sql) { return DataValue(sql).toLongLong(); }
    // Many stored lines through one connection.
    void AddManyLines(int n) {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(d.BeginTrans());
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引明細"));
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(rs.AddNew());
            EXPECT_TRUE(rs.SetValue(QStringLiteral("行番号"), i + 1));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("日付"), QDate(2026, 1, 1).addDays(i % 300)));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("取引先名"), QStringLiteral("取引先%1").arg(i % 7)));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), 100 + i));
            ASSERT_TRUE(rs.Update());
        }
        ASSERT_TRUE(d.CommitTrans());
    }
};

TEST_F(FrmInputRegisterTest, CompleteRowsAreNumberedByDateThenRowAndFillTheMasters) {
    ExecData(QStringLiteral("insert into 科目マスタ (科目, 非課税) values ('既存科目', False)"));
    const qint64 items = Count(QStringLiteral("select count(*) from 科目マスタ"));
    F& f = Open();
    TypeLine(f, 0, QStringLiteral("0305"), QStringLiteral("山田商店"), QStringLiteral("1000"),
             QStringLiteral("新科目"));
    TypeLine(f, 1, QStringLiteral("0303"), QStringLiteral("山田商店"), QStringLiteral("2000"),
             QStringLiteral("新科目"));
    TypeLine(f, 2, QStringLiteral("0303"), QStringLiteral("鈴木商会"), QStringLiteral("3000"),
             QStringLiteral("既存科目"));
    Put(f, 2, F::kCol非課税, true);
    // An amount and a date, but no partner: not registered, no master touched.
    Put(f, 3, F::kCol日付, QDate(2026, 3, 1));
    Put(f, 3, F::kCol金額, 500);
    Put(f, 3, F::kCol科目, QStringLiteral("孤立科目"));

    Register(f);
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("経費 を登録します。よろしいですか"),
                                    QStringLiteral("経費 を登録しました。")}));
    EXPECT_EQ(Describe(Lines()), (QStringList{"03/03 #1 山田商店 新科目 2000", "03/03 #2 鈴木商会 既存科目 3000",
                                              "03/05 #3 山田商店 新科目 1000"}));
    EXPECT_EQ(Lines()[0].weekday, QStringLiteral("火"));
    EXPECT_EQ(Lines()[0].tax, QVariant(95.0));
    EXPECT_TRUE(Lines()[1].exempt);

    EXPECT_EQ(DataValue(QStringLiteral("select クイック読込 from 取引先マスタ where 取引先名 = '山田商店'")),
              QVariant(QStringLiteral("する")));
    EXPECT_EQ(DataValue(QStringLiteral("select 回数 from 取引先科目 where 取引先名 = '山田商店' and 科目 = '新科目'")),
              QVariant(qint64(2)));
    EXPECT_EQ(DataValue(QStringLiteral("select 非課税 from 取引先科目 where 取引先名 = '鈴木商会'")), QVariant(true));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 科目マスタ")), items + 1);
    EXPECT_EQ(DataValue(QStringLiteral("select 非課税 from 科目マスタ where 科目 = '新科目'")), QVariant(false));
    EXPECT_EQ(DataValue(QStringLiteral("select 非課税 from 科目マスタ where 科目 = '既存科目'")), QVariant(false))
        << "an existing item keeps its mark";
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 科目マスタ where 科目 = '孤立科目'")), 0);

    // The screen is reset, and the new names are in its lists.
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w取引明細 where not isnull(取引先名)")),
              QVariant(qint64(0)));
    EXPECT_EQ(f.cmb取引先名.findText(QStringLiteral("鈴木商会")) >= 0, true);
    EXPECT_EQ(f.cmb科目マスク.findText(QStringLiteral("新科目")) >= 0, true);
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_FALSE(f.PBar.isVisible());
}

TEST_F(FrmInputRegisterTest, DecliningChangesNothing) {
    F& f = Open();
    TypeLine(f, 0, QStringLiteral("0305"), QStringLiteral("山田商店"), QStringLiteral("1000"), QStringLiteral("雑費"));
    GoTo(f, 5, F::kCol金額);
    Register(f, Answer::No);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("経費 を登録します。よろしいですか")});
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先マスタ")), 0);
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名), QVariant(QStringLiteral("山田商店")));
    EXPECT_EQ(Grid(f).Col(), F::kCol月日);
    EXPECT_TRUE(Grid(f).View()->hasFocus());
}

TEST_F(FrmInputRegisterTest, WithoutACompleteRowNothingIsRegisteredSaidSoAndTheRowsStay) {
    F& f = Open();
    Put(f, 0, F::kCol取引先名, QStringLiteral("山田商店"));
    Put(f, 0, F::kCol金額, 100);  // no date
    f.cmb表示順.SetListIndex(1);
    boxes_.QueueAnswer(Answer::Yes);
    QTest::mouseClick(&f.cmd登録, Qt::LeftButton);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_TRUE(Texts()[1].startsWith(QStringLiteral("登録できる明細がないため、何も登録しませんでした。")));
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先マスタ")), 0);
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名).toString(), QStringLiteral("山田商店"));
    EXPECT_FALSE(f.PBar.isVisible());
}

TEST_F(FrmInputRegisterTest, ALoadedMonthRegisteredUnchangedKeepsExactlyItsLines) {
    AddLine(2, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 300, 14);
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100, 4);
    AddLine(7, QStringLiteral("2026/03/01"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 500, 0);
    AddLine(3, QStringLiteral("2026/03/20"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 800, QVariant(),
            true);
    F& f = Open();
    Load(f, QStringLiteral("日付、登録順"));
    EXPECT_EQ(Loaded(f), (QStringList{"鈴木商会 500", "山田商店 100", "山田商店 300", "鈴木商会 800"}));
    EXPECT_TRUE(CellAt(f, 0, F::kCol税額).isNull()) << "a stored tax of 0 shows empty";
    EXPECT_EQ(CellAt(f, 0, F::kCol月日), QVariant(QStringLiteral("0301")));
    EXPECT_EQ(CellAt(f, 0, F::kCol行番号), QVariant(qint64(7)));

    Register(f);
    const QStringList expected = {"03/01 #1 鈴木商会 通信費 500", "03/10 #2 山田商店 雑費 100",
                                  "03/10 #3 山田商店 雑費 300", "03/20 #4 鈴木商会 通信費 800"};
    EXPECT_EQ(Describe(Lines()), expected);
    EXPECT_TRUE(Lines()[0].tax.isNull());
    EXPECT_EQ(Lines()[1].tax, QVariant(4.0));
    EXPECT_TRUE(Lines()[3].exempt);
    // Each registered row counts as a use of its pair.
    EXPECT_EQ(DataValue(QStringLiteral("select 回数 from 取引先科目 where 取引先名 = '山田商店'")),
              QVariant(qint64(2)));

    // Again: the same lines, the same numbers.
    Load(f, QStringLiteral("日付、登録順"));
    Register(f);
    EXPECT_EQ(Describe(Lines()), expected);
    EXPECT_EQ(DataValue(QStringLiteral("select 回数 from 取引先科目 where 取引先名 = '山田商店'")),
              QVariant(qint64(4)));
}

TEST_F(FrmInputRegisterTest, ARowTypedAboveLoadedLinesNeitherLosesNorDoublesThem) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("A"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/03/10"), QStringLiteral("A"), QStringLiteral("雑費"), 200);
    F& f = Open();
    Load(f);
    ASSERT_EQ(Loaded(f), (QStringList{"A 100", "A 200"}));
    TypeLine(f, 2, QStringLiteral("0301"), QStringLiteral("B"), QStringLiteral("50"), QStringLiteral("雑費"));
    Register(f);
    EXPECT_EQ(Describe(Lines()), (QStringList{"03/01 #1 B 雑費 50", "03/10 #2 A 雑費 100", "03/10 #3 A 雑費 200"}));
}

TEST_F(FrmInputRegisterTest, ALoadedRowEditsItsOwnLineWhateverChangesInIt) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("A"), QStringLiteral("雑費"), 100);
    AddLine(1, QStringLiteral("2026/03/11"), QStringLiteral("A"), QStringLiteral("雑費"), 999);
    F& f = Open();
    f.txt終了.SetDate(QDate(2026, 3, 10));  // a load of part of the lines
    Load(f);
    ASSERT_EQ(Loaded(f), QStringList{"A 100"});
    // New partner, new date and new amount: the same line.
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0311"));
    Put(f, 0, F::kCol取引先名, QStringLiteral("C"));
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("150"));
    Register(f);
    EXPECT_EQ(Describe(Lines()), (QStringList{"03/11 #1 A 雑費 999", "03/11 #1 C 雑費 150"}));

    // A loaded line that was deleted elsewhere meanwhile comes back as a new line.
    Load(f);
    const qint64 before = Lines().size();
    ExecData(QStringLiteral("delete * from 取引明細 where 取引先名 = 'C'"));
    Register(f);
    EXPECT_EQ(static_cast<qint64>(Lines().size()), before);
}

TEST_F(FrmInputRegisterTest, NamesWithQuotesAreNamesAndTouchNothingElse) {
    AddLine(1, QStringLiteral("2026/03/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/03/01"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 200);
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名) values ('山田商店')"));
    ExecData(QStringLiteral("insert into 取引先科目 (取引先名, 科目, 回数) values ('山田商店', '雑費', 3)"));
    const QString ohara = QStringLiteral("O'Hara商会");
    const QString injection = QStringLiteral("x' or '1'='1");
    F& f = Open();
    TypeLine(f, 0, QStringLiteral("0305"), ohara, QStringLiteral("1000"), injection);
    TypeLine(f, 1, QStringLiteral("0306"), injection, QStringLiteral("2000"), ohara);
    Register(f);

    EXPECT_EQ(Describe(Lines()),
              (QStringList{"03/01 #1 山田商店 雑費 100", "03/01 #2 鈴木商会 通信費 200",
                           "03/05 #1 O'Hara商会 x' or '1'='1 1000", "03/06 #2 x' or '1'='1 O'Hara商会 2000"}));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先マスタ")), 3);
    EXPECT_EQ(DataValue(QStringLiteral("select 回数 from 取引先科目 where 取引先名 = '山田商店'")),
              QVariant(qint64(3)));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先科目")), 3);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 科目マスタ where 科目 = 'x'' or ''1''=''1'")), 1);

    // Loading by such a name finds its own lines only.
    f.cmb取引先名.SetText(ohara);
    Load(f);
    EXPECT_EQ(Loaded(f), QStringList{"O'Hara商会 1000"});
    f.cmb取引先名.SetText(QString());
    f.cmb科目.SetText(QStringLiteral("x' or '1'='1"));
    Load(f);
    EXPECT_EQ(Loaded(f), QStringList{"O'Hara商会 1000"});
    f.cmb科目.SetText(QStringLiteral("' or ''='"));
    Load(f);
    EXPECT_TRUE(Loaded(f).isEmpty());
    EXPECT_EQ(f.num入力件数.Value(), QVariant(0.0));

    // Registered again under its quoted name, the pair is counted up.
    f.cmb科目.SetText(QString());
    f.cmb取引先名.SetText(ohara);
    Load(f);
    Register(f);
    EXPECT_EQ(DataValue(QStringLiteral("select 回数 from 取引先科目 where 取引先名 = 'O''Hara商会'")),
              QVariant(qint64(2)));
    EXPECT_EQ(Lines().size(), 4u);
}

TEST_F(FrmInputRegisterTest, TheValueStillBeingTypedIsRegistered) {
    F& f = Open();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0305"));
    Enter(f, QStringLiteral("山田商店"));
    Type(f, QStringLiteral("4321"));  // not committed
    ASSERT_TRUE(Grid(f).HasPendingEdit());
    Register(f);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].amount, 4321.0);
    EXPECT_EQ(Lines()[0].tax, QVariant(205.0));

    // A value that the checks refuse stops the registration in its cell.
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0306"));
    Enter(f, QStringLiteral("山田商店"));
    Type(f, QStringLiteral("12a"));
    boxes_.Clear();
    QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    ASSERT_EQ(boxes_.Shown().size(), 1) << "said once, before anything is asked";
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_EQ(Grid(f).Col(), F::kCol金額);
    EXPECT_EQ(Lines().size(), 1u);
}

// A month-day that is no date is said where it is typed; registration names
// the typed rows that lack something; a picked item brings its exempt mark.
TEST_F(FrmInputRegisterTest, NoTypedLineIsLostAndAPickedItemBringsItsOwnExemptMark) {
    ExecData(
        QStringLiteral("insert into 科目マスタ (科目, ふりがな, 非課税) values ('租税公課', 'そぜいこうか', True)"));
    F& f = Open();  // the calendar year 2026
    for (const QString& typed : {QStringLiteral("0230"), QStringLiteral("1301"), QStringLiteral("0229")}) {
        boxes_.Clear();
        Enter(f, typed);  // said, and kept where it was typed
        EXPECT_EQ(
            Texts(),
            QStringList{QStringLiteral("「%1」は日付として読めません。正しい日付を入力してください。").arg(typed)});
        EXPECT_EQ(Grid(f).Columns(F::kCol月日).Value(), QVariant(typed));
        Key(f, Qt::Key_Escape);
    }
    Key(f, Qt::Key_Return);  // on without a date; the last month-day goes into the next row
    for (const char16_t* typed : {u"区役所", u"20000"}) Enter(f, QString::fromUtf16(typed));
    Driver(f).PickFromList(0);
    Key(f, Qt::Key_Return);
    Enter(f, QStringLiteral("0305"));
    Register(f);
    EXPECT_EQ(Texts().last(),
              QStringLiteral("日付・取引先名・金額のそろっていない行があるため、何も登録しませんでした。\n"
                             "1行目: 日付がありません。\n2行目: 取引先名・金額がありません。\n"
                             "足りない項目を入力するか、不要な行を削除してから登録してください。"));
    EXPECT_TRUE(Lines().empty());
    Enter(f, QStringLiteral("0228"));  // the cursor is on the first row named
    GoTo(f, 1, F::kCol月日);           // and a row emptied again holds nothing
    Key(f, Qt::Key_Delete);
    Key(f, Qt::Key_Return);
    Register(f);
    ASSERT_EQ(Describe(Lines()), QStringList{"02/28 #1 区役所 租税公課 20000"});
    EXPECT_TRUE(Lines()[0].exempt && Lines()[0].tax.isNull());
}

TEST_F(FrmInputRegisterTest, AFailedWriteStoresNothingSaysSoAndKeepsTheRows) {
    F& f = Open();
    // Made after start-up, which takes no book with a trigger of its own.
    {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(
            d.ExecuteNative(QStringLiteral("CREATE TRIGGER no_b BEFORE INSERT ON 取引明細 WHEN NEW.取引先名 = 'B' "
                                           "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    }
    TypeLine(f, 0, QStringLiteral("0301"), QStringLiteral("A"), QStringLiteral("100"), QStringLiteral("雑費"));
    TypeLine(f, 1, QStringLiteral("0302"), QStringLiteral("B"), QStringLiteral("200"), QStringLiteral("新科目"));
    Register(f);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(
        Texts()[1].section(u'\n', 0, 0),
        QStringLiteral("経費を登録できませんでした。データは変更されていません。入力した明細は画面に残っています。"));
    EXPECT_EQ(boxes_.Shown()[1].title, QStringLiteral("エラー"));
    EXPECT_EQ(boxes_.Shown()[1].icon, ui::MessageIcon::Warning);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先マスタ")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先科目")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 科目マスタ where 科目 = '新科目'")), 0);
    EXPECT_FALSE(f.PBar.isVisible());
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名), QVariant(QStringLiteral("A")));
    EXPECT_EQ(CellAt(f, 1, F::kCol取引先名), QVariant(QStringLiteral("B")));

    // Once the cause is gone the same rows register.
    {
        db::Database d;
        EXPECT_TRUE(d.Open(DataFile()));
        EXPECT_TRUE(d.ExecuteNative(QStringLiteral("DROP TRIGGER no_b")));
    }
    Register(f);
    EXPECT_EQ(Describe(Lines()), (QStringList{"03/01 #1 A 雑費 100", "03/02 #2 B 新科目 200"}));
}

TEST_F(FrmInputRegisterTest, ARowWithoutAnItemAddsNoEmptyItemOrPair) {
    const qint64 items = Count(QStringLiteral("select count(*) from 科目マスタ"));
    F& f = Open();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0305"));
    Enter(f, QStringLiteral("山田商店"));
    Type(f, QStringLiteral("1000"));
    Register(f);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0].item, QString());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 科目マスタ")), items);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先科目")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from 取引先マスタ")), 1);
}

TEST_F(FrmInputRegisterTest, LoadingWithEachFilterAndOrder) {
    AddLine(1, QStringLiteral("2026/03/02"), QStringLiteral("サトウ"), QStringLiteral("ツウシン"), 10);
    AddLine(2, QStringLiteral("2026/03/02"), QStringLiteral("アオキ"), QStringLiteral("ザッピ"), 20);
    AddLine(1, QStringLiteral("2026/03/01"), QStringLiteral("サトウ"), QStringLiteral("ザッピ"), 30);
    AddLine(3, QStringLiteral("2026/03/02"), QStringLiteral("アオキ"), QStringLiteral("カイギ"), 40);
    AddLine(1, QStringLiteral("2026/03/05"), QStringLiteral("アオキ"), QStringLiteral("ツウシン"), 50);
    F& f = Open();

    struct Case {
        const char16_t* order;
        QStringList expected;
    };
    const Case orders[] = {
        {u"日付、登録順", {"サトウ 30", "サトウ 10", "アオキ 20", "アオキ 40", "アオキ 50"}},
        {u"日付、取引先、科目", {"サトウ 30", "アオキ 40", "アオキ 20", "サトウ 10", "アオキ 50"}},
        {u"日付、科目、取引先", {"サトウ 30", "アオキ 40", "アオキ 20", "サトウ 10", "アオキ 50"}},
        {u"取引先、日付", {"アオキ 20", "アオキ 40", "アオキ 50", "サトウ 30", "サトウ 10"}},
        {u"科目、日付", {"アオキ 40", "サトウ 30", "アオキ 20", "サトウ 10", "アオキ 50"}},
    };
    for (const Case& c : orders) {
        Load(f, QString::fromUtf16(c.order));
        EXPECT_EQ(Loaded(f), c.expected) << QString::fromUtf16(c.order).toStdString();
    }
    f.cmb表示順.SetListIndex(-1);
    Load(f);
    EXPECT_EQ(Loaded(f), orders[0].expected) << "no order chosen: date, then number";
    EXPECT_EQ(f.num入力件数.Value(), QVariant(5.0));
    EXPECT_EQ(f.num入力合計.Value(), QVariant(150.0));
    EXPECT_FALSE(f.PBar.isVisible());

    f.cmb取引先名.SetText(QStringLiteral("アオキ"));
    Load(f);
    EXPECT_EQ(Loaded(f), (QStringList{"アオキ 20", "アオキ 40", "アオキ 50"}));
    f.cmb科目.SetText(QStringLiteral("ツウシン"));
    Load(f);
    EXPECT_EQ(Loaded(f), QStringList{"アオキ 50"});
    f.cmb取引先名.SetText(QString());
    f.cmb科目.SetText(QString());
    f.txt開始.SetDate(QDate(2026, 3, 2));
    Load(f);
    EXPECT_EQ(Loaded(f), (QStringList{"サトウ 10", "アオキ 20", "アオキ 40", "アオキ 50"}));
    f.txt終了.SetDate(QDate(2026, 3, 2));
    Load(f);
    EXPECT_EQ(Loaded(f), (QStringList{"サトウ 10", "アオキ 20", "アオキ 40"}));
    f.cmb取引先名.SetText(QStringLiteral("サトウ"));
    f.cmb科目.SetText(QStringLiteral("ツウシン"));
    Load(f);
    EXPECT_EQ(Loaded(f), QStringList{"サトウ 10"});
    EXPECT_EQ(CellAt(f, 0, F::kCol月), QVariant(qint64(3)));
    EXPECT_EQ(CellAt(f, 0, F::kCol日), QVariant(qint64(2)));
    EXPECT_EQ(CellAt(f, 0, F::kCol月日), QVariant(QStringLiteral("0302")));
    // The filters stay as they were.
    EXPECT_EQ(f.cmb取引先名.Text(), QStringLiteral("サトウ"));
}

TEST_F(FrmInputRegisterTest, MoreLinesThanRowsLoadTheFirst5000) {
    AddManyLines(5001);
    F& f = Open();
    Load(f);
    EXPECT_EQ(WorkValue(QStringLiteral("select count(*) from w取引明細 where not isnull(取引先名)")),
              QVariant(qint64(5000)));
    EXPECT_EQ(f.num入力件数.Value(), QVariant(5000.0));
    EXPECT_EQ(Grid(f).RowCount(), 5000);
}

}  // namespace
