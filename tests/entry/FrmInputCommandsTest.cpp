// The entry screen's commands by keys and clicks: deleting ticked rows,
// ticking and unticking all, the function keys, the menu, the hint and
// closing.
#include <QKeyEvent>
#include <algorithm>

#include "core/Hint.h"
#include "tests/entry/EntryFixture.h"

namespace {

class FrmInputCommandsTest : public test::EntryTest {
protected:
    void Load(F& f) { QTest::mouseClick(&f.cmd読込, Qt::LeftButton); }
    void Delete(F& f, Answer answer) {
        boxes_.QueueAnswer(answer);
        QTest::mouseClick(&f.cmd削除, Qt::LeftButton);
    }
    // The grid row whose amount is this one.
    int RowOf(F& f, double amount) {
        for (int r = 0; r < Grid(f).RowCount(); ++r)
            if (CellAt(f, r, F::kCol金額) == QVariant(amount)) return r;
        return -1;
    }
    QList<double> StoredAmounts() {
        QList<double> out;
        for (const Line& l : Lines()) out << l.amount;
        std::sort(out.begin(), out.end());
        return out;
    }
    // The lno of every ticked work row.
    QList<qint64> Ticked() {
        db::Database d;
        EXPECT_TRUE(d.Open(WorkFile()));
        QList<qint64> out;
        for (db::Recordset rs =
                 d.OpenRecordset(QStringLiteral("select lno from w取引明細 where チェック = True order by lno"));
             !rs.IsEOF(); rs.MoveNext())
            out << rs.Value(0).toLongLong();
        return out;
    }
    qint64 WorkRows() { return WorkValue(QStringLiteral("select count(*) from w取引明細")).toLongLong(); }
};

TEST_F(FrmInputCommandsTest, DeleteAsksFirstEvenWithNothingTickedAndNoChangesNothing) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 300);
    F& f = Open();
    Load(f);
    Delete(f, Answer::Yes);
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("指定されたデータ を削除します。よろしいですか"),
                                    QStringLiteral("行が指定されていません。行指定してください。")}));
    EXPECT_EQ(WorkRows(), F::kWorkRows);

    boxes_.Clear();
    ClickCell(f, 0, F::kColチェック);
    boxes_.QueueAnswer(Answer::No);
    QTest::keyClick(KeyTarget(f), Qt::Key_F6);
    EXPECT_EQ(Texts().size(), 1);
    EXPECT_EQ(StoredAmounts(), QList<double>{300});
    EXPECT_EQ(WorkRows(), F::kWorkRows);
    EXPECT_EQ(Ticked(), QList<qint64>{1});
}

TEST_F(FrmInputCommandsTest, DeleteTakesTheLinesTickedRowsWereLoadedFromAndRemovesTheTickedRows) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"),
            200);  // the same date, partner and number
    AddLine(2, QStringLiteral("2026/03/11"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 300);
    AddLine(3, QStringLiteral("2026/03/12"), QStringLiteral("佐藤電機"), QStringLiteral("消耗品費"), 400);
    F& f = Open();
    Load(f);
    TypeLine(f, 6, QStringLiteral("0315"), QStringLiteral("新規商店"), QStringLiteral("500"), QStringLiteral("雑費"));
    // A loaded row whose partner the user changed is still its line's row.
    GoTo(f, RowOf(f, 100), F::kCol取引先名);
    Enter(f, QStringLiteral("別の店"));
    for (double amount : {100.0, 300.0, 500.0}) ClickCell(f, RowOf(f, amount), F::kColチェック);

    Delete(f, Answer::Yes);
    EXPECT_EQ(Texts().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_EQ(StoredAmounts(), (QList<double>{200, 400}));
    EXPECT_EQ(WorkRows(), F::kWorkRows - 3);
    EXPECT_EQ(Grid(f).RowCount(), F::kWorkRows - 3);
    EXPECT_EQ(CellAt(f, 0, F::kCol金額), QVariant(200.0));
    EXPECT_EQ(CellAt(f, 1, F::kCol金額), QVariant(400.0)) << "the rows below move up";
    EXPECT_TRUE(Ticked().isEmpty());
    // The count and the total are those of the rows that remain.
    EXPECT_EQ(f.num入力件数.Value().toInt(), 2);
    EXPECT_EQ(f.num入力合計.Value().toDouble(), 600);

    // The rows left still edit their own lines.
    boxes_.QueueAnswer(Answer::Yes);
    QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    EXPECT_EQ(StoredAmounts(), (QList<double>{200, 400}));
}

TEST_F(FrmInputCommandsTest, AFailedDeleteChangesNeitherFileSaysSoAndKeepsTheTicks) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/03/11"), QStringLiteral("鈴木商会"), QStringLiteral("雑費"), 300);
    F& f = Open();
    // Made after start-up, which takes no book with a trigger of its own.
    {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(
            d.ExecuteNative(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON 取引明細 WHEN OLD.金額 = 300 BEGIN "
                                           "SELECT RAISE(ABORT, 'kept'); END")));
    }
    Load(f);
    ClickCell(f, 0, F::kColチェック);
    ClickCell(f, 1, F::kColチェック);
    Delete(f, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts()[1],
              QStringLiteral(
                  "明細を削除できませんでした。データは変更されていません。チェックした明細は画面に残っています。"));
    EXPECT_EQ(boxes_.Shown()[1].icon, ui::MessageIcon::Warning);
    EXPECT_EQ(StoredAmounts(), (QList<double>{100, 300}));
    EXPECT_EQ(WorkRows(), F::kWorkRows);
    EXPECT_EQ(Ticked(), (QList<qint64>{1, 2}));
}

TEST_F(FrmInputCommandsTest, RowsThatCannotBeRemovedAfterTheirLinesWentAreSaidAndNeverRegisteredAgain) {
    AddLine(1, QStringLiteral("2026/03/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/03/11"), QStringLiteral("鈴木商会"), QStringLiteral("雑費"), 300);
    F& f = Open();
    Load(f);
    // The work file refuses to let ticked rows go.
    const auto workFile = [this](const QString& sql) {
        db::Database d;
        ASSERT_TRUE(d.Open(WorkFile()));
        ASSERT_TRUE(d.ExecuteNative(sql)) << d.LastError().toStdString();
    };
    workFile(
        QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON w取引明細 WHEN OLD.チェック <> 0 BEGIN SELECT "
                       "RAISE(ABORT, 'kept'); END"));
    ClickCell(f, RowOf(f, 100), F::kColチェック);
    Delete(f, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts()[1], QStringLiteral("明細を削除しましたが、チェックした行を画面から消せませんでした。"
                                         "この行は登録されません。クリアしてから入力し直してください。"));
    EXPECT_EQ(StoredAmounts(), QList<double>{300}) << "the line is deleted for good";
    EXPECT_EQ(WorkRows(), F::kWorkRows);
    ASSERT_GE(RowOf(f, 100), 0) << "the row is still on the screen";

    // Registering the screen as it stands does not bring the deleted line back.
    workFile(QStringLiteral("DROP TRIGGER keep"));
    boxes_.Clear();
    boxes_.QueueAnswer(Answer::Yes);
    QTest::keyClick(KeyTarget(f), Qt::Key_F5);
    EXPECT_EQ(StoredAmounts(), QList<double>{300}) << Texts().join(u'|').toStdString();
}

TEST_F(FrmInputCommandsTest, SelectAllTicksRowsWithPartnerAndAmountAndClearAllLeavesOtherTicks) {
    F& f = Open();
    Put(f, 0, F::kCol取引先名, QStringLiteral("山田商店"));
    Put(f, 0, F::kCol金額, 100);
    Put(f, 1, F::kCol金額, 200);                             // no partner
    Put(f, 2, F::kCol取引先名, QStringLiteral("鈴木商会"));  // no amount
    ClickCell(f, 3, F::kColチェック);                        // the user's own tick
    QTest::mouseClick(&f.cmd全選択, Qt::LeftButton);
    EXPECT_EQ(Ticked(), (QList<qint64>{1, 4}));
    EXPECT_EQ(CellAt(f, 0, F::kColチェック), QVariant(true));
    EXPECT_TRUE(Grid(f).View()->hasFocus());

    ClickCell(f, 1, F::kColチェック);
    QTest::mouseClick(&f.cmd全解除, Qt::LeftButton);
    EXPECT_EQ(Ticked(), (QList<qint64>{2, 4}));
}

TEST_F(FrmInputCommandsTest, EachFunctionKeyRunsItsCommandOnceWithOrWithoutShiftAndGoesOn) {
    // Stand-ins for the list screens, which are not part of this program yet.
    struct StandIns {
        const QStringList names{QStringLiteral("FrmKeihiList"), QStringLiteral("FrmMonthList")};
        StandIns() {
            for (const QString& name : names)
                core::RegisterScreen(name, [name]() -> ui::Form& { return ui::Forms::Get<ui::Form>(name); });
        }
        ~StandIns() {
            for (const QString& name : names) core::UnregisterScreen(name);
        }
    } standIns;
    F& f = Open();
    EXPECT_TRUE(f.cmd経費一覧.isEnabled());
    EXPECT_EQ(f.cmd経費一覧.ToolTipText(), QStringLiteral("F7"));

    // Keys that reach the grid after the screen's handler.
    struct Counter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() != Qt::Key_Shift) ++keys;
            return false;
        }
    } counter;
    Grid(f).View()->installEventFilter(&counter);
    int pressed = 0;
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods) {
        boxes_.Clear();
        ModMurv::FormNameStack = {};
        QTest::keyClick(Grid(f).View(), key, mods);
        ++pressed;
    };
    const auto pushedOnce = [&] {
        return ModMurv::FormNameStack[0] == u"FrmInput" && ModMurv::FormNameStack[1].isEmpty();
    };

    for (const Qt::KeyboardModifiers mods :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        SCOPED_TRACE(mods == Qt::NoModifier ? "plain" : "shift");
        press(Qt::Key_F2, mods);
        EXPECT_TRUE(pushedOnce());
        for (const auto& [key, screen] :
             {std::pair{Qt::Key_F7, "FrmKeihiList"}, std::pair{Qt::Key_F8, "FrmMonthList"}}) {
            press(key, mods);
            EXPECT_TRUE(pushedOnce()) << screen;
            ASSERT_NE(ui::Forms::Find(QString::fromLatin1(screen)), nullptr);
            EXPECT_TRUE(ui::Forms::Find(QString::fromLatin1(screen))->isVisible());
        }
        // Without the lookup libraries each lookup says once what is missing.
        press(Qt::Key_F3, mods);
        ASSERT_EQ(Texts().size(), 1);
        EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("取引先参照")));
        press(Qt::Key_F4, mods);
        ASSERT_EQ(Texts().size(), 1);
        EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("科目参照")));
        for (const auto& [key, question] : {std::pair{Qt::Key_F5, u"経費 を登録します。よろしいですか"},
                                            std::pair{Qt::Key_F6, u"指定されたデータ を削除します。よろしいですか"}}) {
            boxes_.Clear();
            boxes_.QueueAnswer(Answer::No);
            QTest::keyClick(Grid(f).View(), key, mods);
            ++pressed;
            EXPECT_EQ(Texts(), QStringList{QString::fromUtf16(question)});
        }
        Put(f, 0, F::kCol取引先名, QStringLiteral("山田商店"));
        Put(f, 0, F::kCol金額, 100);
        press(Qt::Key_F11, mods);
        EXPECT_EQ(Ticked(), QList<qint64>{1});
        press(Qt::Key_F12, mods);
        EXPECT_TRUE(Ticked().isEmpty());
        press(Qt::Key_F9, mods);
        EXPECT_TRUE(CellAt(f, 0, F::kCol取引先名).isNull());

        // Keys that are not the screen's.
        ClickCell(f, 2, F::kColチェック);
        for (const Qt::Key key : {Qt::Key_F1, Qt::Key_F10, Qt::Key_Escape}) {
            press(key, mods);
            EXPECT_TRUE(boxes_.Shown().isEmpty()) << key;
            EXPECT_TRUE(ModMurv::FormNameStack[0].isEmpty()) << key;
        }
        EXPECT_EQ(Ticked(), QList<qint64>{3});
        EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmInput")), &f);
        ClickCell(f, 2, F::kColチェック);
    }
    EXPECT_EQ(counter.keys, pressed) << "every key goes on to the focused control";
}

TEST_F(FrmInputCommandsTest, TheMenuKeepsTheScreenWithItsRowsTheHintIsItsOwnAndClosingTakesBoth) {
    F& f = Open();
    Put(f, 0, F::kCol取引先名, QStringLiteral("山田商店"));
    QTest::mouseClick(&f.cmdメニュー, Qt::LeftButton);
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("FrmInput"));
    auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
    QTest::mouseClick(&menu.cmd経費入力, Qt::LeftButton);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmInput")), &f);
    EXPECT_EQ(CellAt(f, 0, F::kCol取引先名), QVariant(QStringLiteral("山田商店")));

    QTest::mouseClick(&f.cmdHint, Qt::LeftButton);
    auto* hint = qobject_cast<core::Hint*>(ui::Forms::Find(QStringLiteral("Hint")));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->lblFormName.Caption() + u'/' + hint->lblCtlName.Caption() + u'/' + hint->lblFormTitle.Caption(),
              QStringLiteral("FrmInput/cmdHint/経費入力"));

    QTest::mouseClick(&f.cmd閉じる, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmInput")), nullptr);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("Hint")), nullptr);
    EXPECT_NE(ui::Forms::Find(QStringLiteral("MainMenu")), nullptr);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

}  // namespace
