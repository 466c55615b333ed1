// The entry screen when its files fail it: a damaged data file, a read-only
// data folder, a work file that refuses rows or cells, and typed text that
// cannot be taken as it is.
#include "tests/entry/EntryFixture.h"
#include "tests/support/BookFiles.h"
#include "tests/support/ReadOnlyFolder.h"

namespace {

class FrmInputFailuresTest : public test::EntryTest {
protected:
    void Register(F& f) {
        boxes_.QueueAnswer(Answer::Yes);
        QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    }
    QStringList Warnings() const {
        QStringList out;
        for (const auto& box : boxes_.Shown())
            if (box.icon == ui::MessageIcon::Warning) out << box.text;
        return out;
    }
    // Makes every write of a kind to a work table fail as a full disk does.
    void FailWorkWrites(const QString& table, const QString& event) {
        ASSERT_TRUE(test::FullDisk::Refuse(WorkFile(), table, event));
    }
    void HealWorkWrites() { ASSERT_TRUE(test::FullDisk::Heal(WorkFile())); }
    test::FullDisk fullDisk_;
};

TEST_F(FrmInputFailuresTest, LoadingFromADamagedDataFileSaysSoInsteadOfShowingNoLines) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 3000));
    ASSERT_TRUE(test::DamagePages(DataFile(), 3));
    F& f = Open();
    ASSERT_FALSE(Warnings().isEmpty());
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れています")));
    boxes_.Clear();
    QTest::mouseClick(&f.cmd読込, Qt::LeftButton);
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().startsWith(QStringLiteral("経費を読み込めませんでした。")));
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れています")));
    EXPECT_FALSE(Warnings().first().contains(QStringLiteral("select"))) << "no statement text";
    // The screen stays usable.
    EXPECT_EQ(Grid(f).RowCount(), F::kWorkRows);
}

TEST_F(FrmInputFailuresTest, AReadOnlyDataFolderIsSaidAtStartUpAndTheRowsStillOpen) {
    test::ReadOnlyFolder readOnly;
    if (!readOnly.Make(DataFolder(), folder_.path())) GTEST_SKIP() << "no read-only folder can be made here";
    F& f = Open();
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("データは表示できますが、変更はできません")));
    EXPECT_EQ(Grid(f).RowCount(), F::kWorkRows);
    // Typing works; registering says why it cannot be done.
    TypeLine(f, 0, QStringLiteral("0305"), QStringLiteral("山田商店"), QStringLiteral("1000"), QString());
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名).toString(), QStringLiteral("山田商店"));
    boxes_.Clear();
    Register(f);
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().startsWith(QStringLiteral("経費を登録できませんでした。")));
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("読み取り専用")));
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名).toString(), QStringLiteral("山田商店"));
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
}

TEST_F(FrmInputFailuresTest, WorkRowsThatCannotBeMadeAreSaidAndTheScreenStaysUsable) {
    // After the start-up, which makes a work file with a trigger not its own afresh.
    ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    FailWorkWrites(QStringLiteral("w取引明細"), QStringLiteral("insert"));
    F& f = Open();
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("入力明細の行を作れませんでした")));
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("ディスクの空き容量が足りません")));
    EXPECT_FALSE(Warnings().first().contains(QStringLiteral("database or disk is full")));
    // Nothing to register: said, no completion.
    boxes_.Clear();
    Register(f);
    EXPECT_FALSE(Texts().contains(QStringLiteral("経費 を登録しました。")));
    EXPECT_TRUE(Texts().last().contains(QStringLiteral("何も登録しませんでした"))) << Texts().join(u'|').toStdString();
    // Once the disk has room, a reset makes the rows.
    HealWorkWrites();
    boxes_.Clear();
    QTest::mouseClick(&f.cmdクリア, Qt::LeftButton);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
    EXPECT_EQ(Grid(f).RowCount(), F::kWorkRows);
}

TEST_F(FrmInputFailuresTest, ACellTheFullDiskRefusesKeepsItsTextAndSaysWhy) {
    F& f = Open();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0305"));
    FailWorkWrites(QStringLiteral("w取引明細"), QStringLiteral("update"));
    Type(f, QStringLiteral("Yamada"));
    Key(f, Qt::Key_Return);
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("ディスクの空き容量が足りません")));
    // The text is still in the cell, which the cursor has not left.
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
    EXPECT_TRUE(Grid(f).HasPendingEdit());
    EXPECT_EQ(Grid(f).Columns(F::kCol取引先名).Text(), QStringLiteral("Yamada"));
    HealWorkWrites();
    Key(f, Qt::Key_Return);
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名).toString(), QStringLiteral("Yamada"));
    EXPECT_EQ(WorkValue(QStringLiteral("select 取引先名 from w取引明細 where lno = 1")).toString(),
              QStringLiteral("Yamada"));
}

TEST_F(FrmInputFailuresTest, TotalsThatCannotBeReadAreSaidOnceAndNotShownAsEmpty) {
    F& f = Open();
    TypeLine(f, 0, QStringLiteral("0305"), QStringLiteral("山田商店"), QStringLiteral("1000"), QStringLiteral("雑費"));
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("1000"));
    EXPECT_EQ(f.num入力件数.Value(), QVariant(1.0));
    EXPECT_EQ(f.num入力合計.Value(), QVariant(1000.0));
    ASSERT_TRUE(Warnings().isEmpty()) << Texts().join(u'|').toStdString();

    // The last rows of the work file go bad: the typed amount is stored, the
    // totals cannot be counted.
    ASSERT_TRUE(test::DamageLastRows(WorkFile(), QStringLiteral("w取引明細")));
    GoTo(f, 0, F::kCol金額);
    Enter(f, QStringLiteral("2000"));
    EXPECT_EQ(CellAt(f, 0, F::kCol金額), QVariant(2000.0));
    ASSERT_EQ(Warnings().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings().first().startsWith(QStringLiteral("入力明細の件数と合計金額を計算できませんでした。")));
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れています")));
    EXPECT_TRUE(f.num入力件数.Value().isNull()) << "no count of the rows before";
    EXPECT_TRUE(f.num入力合計.Value().isNull());
}

TEST_F(FrmInputFailuresTest, TotalsAfterLoadingThatCannotBeReadAreSaidOnceAndTheLinesStayShown) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/03/11"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 300);
    F& f = Open();
    // The work file goes bad once the lines are in its rows, before they are totalled.
    bool damaged = false;
    QObject::connect(&f.PBar, &QProgressBar::valueChanged, &f, [&](int percent) {
        if (percent == 80 && !damaged) damaged = test::DamageLastRows(WorkFile(), QStringLiteral("w取引明細"));
    });
    boxes_.Clear();
    QTest::mouseClick(&f.cmd読込, Qt::LeftButton);
    ASSERT_TRUE(damaged);
    // Each read that failed is said once: the totals, and the grid's rows,
    // which are not shown as a shorter table without a word.
    ASSERT_EQ(Warnings().size(), 2) << Texts().join(u'|').toStdString();
    EXPECT_TRUE(Warnings()[0].startsWith(QStringLiteral("一覧の行を読み込めませんでした。")));
    EXPECT_TRUE(Warnings()[1].startsWith(QStringLiteral("入力明細の件数と合計金額を計算できませんでした。")));
    EXPECT_TRUE(Warnings()[1].contains(QStringLiteral("壊れています")));
    EXPECT_TRUE(f.num入力件数.Value().isNull());
    EXPECT_TRUE(f.num入力合計.Value().isNull());
    EXPECT_EQ(CellAt(f, 0, F::kCol金額), QVariant(100.0));
    EXPECT_EQ(CellAt(f, 1, F::kCol金額), QVariant(300.0));
}

TEST_F(FrmInputFailuresTest, RegisteringNoCompleteRowSaysNothingWasRegistered) {
    F& f = Open();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0305"));  // a date, but no partner or amount
    Register(f);
    EXPECT_EQ(Texts().size(), 1) << "named before anything is asked";
    EXPECT_TRUE(Texts().last().contains(QStringLiteral("何も登録しませんでした")));
    EXPECT_FALSE(Texts().contains(QStringLiteral("経費 を登録しました。")));
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(CellAt(f, 0, F::kCol日付).isNull()) << "the rows stay as typed";
}

TEST_F(FrmInputFailuresTest, NamesWithControlCharactersAndMalformedAmountsAreRefused) {
    F& f = Open();
    GoTo(f, 0, F::kCol月日);
    Enter(f, QStringLiteral("0305"));
    // A NUL in a partner's name.
    Type(f, QStringLiteral("AB"));
    QInputMethodEvent commit;
    commit.setCommitString(QString(QChar(0)) + QStringLiteral("C"));
    QApplication::sendEvent(KeyTarget(f), &commit);
    Key(f, Qt::Key_Return);
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_TRUE(boxes_.Shown().first().text.contains(QStringLiteral("制御文字")));
    EXPECT_TRUE(CellAt(f, 0, F::kCol取引先名).isNull());
    EXPECT_EQ(Grid(f).Col(), F::kCol取引先名);
    // Mended, it goes in.
    Key(f, Qt::Key_Escape);
    Enter(f, QStringLiteral("ABC"));
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名).toString(), QStringLiteral("ABC"));

    // Amounts: whole yen, grouped by threes or not at all.
    ASSERT_EQ(Grid(f).Col(), F::kCol金額);
    for (const char16_t* bad : {u"1,2,3", u"1000.5", u"12,34", u"1234,567"}) {
        Type(f, QString::fromUtf16(bad));
        Key(f, Qt::Key_Return);
        EXPECT_TRUE(CellAt(f, 0, F::kCol金額).isNull()) << QString::fromUtf16(bad).toStdString();
        EXPECT_EQ(Grid(f).Col(), F::kCol金額);
        Key(f, Qt::Key_Escape);
    }
    Type(f, QStringLiteral("1,234,567"));
    Key(f, Qt::Key_Return);
    EXPECT_EQ(CellAt(f, 0, F::kCol金額).toDouble(), 1234567.0);

    // A name longer than its field is said, and not taken even in part.
    boxes_.Clear();
    GoTo(f, 1, F::kCol取引先名);
    commit.setCommitString(QString(256, QChar(u'長')));
    QApplication::sendEvent(KeyTarget(f), &commit);
    Key(f, Qt::Key_Return);
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].contains(QStringLiteral("255文字以内"))) << Texts()[0].toStdString();
    EXPECT_TRUE(CellAt(f, 1, F::kCol取引先名).isNull());
    Key(f, Qt::Key_Escape);
    Enter(f, QString(255, QChar(u'長')));
    EXPECT_EQ(CellAt(f, 1, F::kCol取引先名).toString(), QString(255, QChar(u'長')));
}

TEST_F(FrmInputFailuresTest, AnAmountThatIsNoNumberIsSaidAndKeptAndTheDataFileRefusesIt) {
    F& f = Open();
    GoTo(f, 0, F::kCol金額);
    Type(f, QStringLiteral("1O00"));
    Key(f, Qt::Key_Return);
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_EQ(Grid(f).Columns(F::kCol金額).Value().toString(), QStringLiteral("1O00")) << "kept for correction";
    db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select * from 取引明細"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_FALSE(rs.SetValue(QStringLiteral("金額"), QStringLiteral("1,2,3")));
    EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), QStringLiteral("1,234")));
}

}  // namespace
