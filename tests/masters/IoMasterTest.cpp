// The partner master over a fresh data folder, driven by keys and clicks.
#include <QDir>
#include <QHelpEvent>
#include <QTableView>
#include <QToolTip>

#include "lookup/LookupClasses.h"
#include "platform/com/Com.h"
#include "platform/report/PrintService.h"
#include "tests/masters/MastersFixture.h"

namespace {

using masters::IoMaster;
using ui::Answer;

constexpr int kName = IoMaster::kItemName, kExempt = IoMaster::kItemExempt, kReading = IoMaster::kItemReading,
              kCount = IoMaster::kItemCount, kTick = IoMaster::kItemCheck;

class IoMasterTest : public test::MastersTest {
protected:
    void SetUp() override {
        test::MastersTest::SetUp();
        for (const char* sql : {
                 "insert into 取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')",
                 "insert into 取引先マスタ (取引先名, ふりがな) values ('O''Hara商会', 'おはら')",
                 "insert into 取引先マスタ (取引先名) values ('読みなし')",
                 "insert into 取引先科目 values ('青葉商店', '消耗品費', 0, 3, 'しょうもうひんひ')",
                 "insert into 取引先科目 values ('青葉商店', '租税公課', -1, 1, 'そぜいこうか')",
                 "insert into 取引先科目 values ('O''Hara商会', 'Tom''s', 0, 2, 'とむず')",
                 "insert into 取引先科目 values ('O''Hara商会', '租税公課', 0, 5, 'そぜいこうか')",
                 "insert into 科目マスタ values ('消耗品費', 'しょうもうひんひ', 0, '事務用品')",
                 "insert into 科目マスタ values ('雑費', 'ざっぴ', -1, null)",
                 "insert into 取引明細 (行番号, 取引先名, 科目, 金額) values (1, 'O''Hara商会', 'Tom''s', 500)",
             })
            ExecData(QString::fromUtf8(sql));
    }
    IoMaster& Screen() { return Open<IoMaster>(QStringLiteral("IoMaster")); }
    // F8 on a row of the list.
    void OpenPanel(IoMaster& io, int listRow) {
        io.Grid明細.SetRow(listRow);
        QTest::keyClick(io.Grid明細.View(), Qt::Key_F8);
    }
    QStringList Pairs(const QString& partner) {
        return Rows(
            QStringLiteral("select 科目, ふりがな, 非課税, 回数 from 取引先科目 where 取引先名 = '%1' order by 科目")
                .arg(partner));
    }
};

TEST_F(IoMasterTest, TheListIsInReadingOrderAndThePanelHoldsEveryItemOfThePartner) {
    ExecData(QStringLiteral("insert into 取引先マスタ values ('多品目', 'たひんもく', null)"));
    for (int i = 1; i <= 12; ++i)
        ExecData(QStringLiteral("insert into 取引先科目 (取引先名, 科目, ふりがな) values ('多品目', '品%1', %2)")
                     .arg(i, 2, 10, QChar(u'0'))
                     .arg(i == 7 ? QStringLiteral("null") : QStringLiteral("'ひん%1'").arg(i, 2, 10, QChar(u'0'))));
    IoMaster& io = Screen();
    EXPECT_EQ(Cells(io.Grid明細, IoMaster::kListName), (QStringList{"読みなし", "青葉商店", "O'Hara商会", "多品目"}));

    OpenPanel(io, 3);
    ASSERT_TRUE(io.Cn取引先詳細.Visible());
    EXPECT_EQ(io.Grid科目.RowCount(), 12 + IoMaster::kSpareRows);
    EXPECT_EQ(Cells(io.Grid科目, kName, 13), (QStringList{"品07", "品01", "品02", "品03", "品04", "品05", "品06",
                                                          "品08", "品09", "品10", "品11", "品12", "-"}));
    GoTo(io.Grid科目, 12, kName);
    Type(io.Grid科目, QStringLiteral("品13"));
    Press(io.cmd登録, Answer::Yes);
    EXPECT_EQ(Pairs(QStringLiteral("多品目")).size(), 13) << "registering loses none of the twelve";

    OpenPanel(io, 1);  // fewer items: only its own, 10 rows
    EXPECT_EQ(io.txtふりがな.Text(), QStringLiteral("あおばしょうてん"));
    EXPECT_EQ(Cells(io.Grid科目, kName), (QStringList{"消耗品費", "租税公課"} << QStringList(8, QStringLiteral("-"))));
    EXPECT_EQ(Cells(io.Grid科目, kCount, 2), (QStringList{"3", "1"}));
    OpenPanel(io, 0);  // none
    EXPECT_EQ(Cells(io.Grid科目, kName), QStringList(IoMaster::kPanelRows, QStringLiteral("-")));

    QTest::keyClick(io.Grid科目.View(), Qt::Key_Escape);
    EXPECT_FALSE(io.Cn取引先詳細.Visible());
    QTest::keyClick(io.Grid明細.View(), Qt::Key_F7);
    // ﾌﾟﾚﾋﾞｭｰ opens the partner list of the stored partners and closes the panel.
    report::ScriptedPrintService printer;
    report::ScopedPrintService installed(printer);
    ASSERT_TRUE(io.Cn印刷.Visible());
    QTest::mouseClick(&io.cmd印刷サブ[1], Qt::LeftButton);
    EXPECT_FALSE(io.Cn印刷.Visible());
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_TRUE(printer.Jobs()[0].preview);
    const QStringList partners = report::TextsOf(printer.Jobs()[0].pages->pages.at(0), QStringLiteral("txt取引先名"));
    EXPECT_TRUE(partners.contains(QStringLiteral("青葉商店"))) << partners.join(u',').toStdString();
    QTest::mouseClick(&io.cmd閉じる, Qt::LeftButton);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("IoMaster")), nullptr);
}

TEST_F(IoMasterTest, RegistrationReplacesThePartnersItemsAndWritesThemIntoTheItemMaster) {
    IoMaster& io = Screen();
    OpenPanel(io, 2);  // O'Hara商会: 租税公課, Tom's
    io.txtふりがな.SetText(QStringLiteral("おはらしょうかい"));
    GoTo(io.Grid科目, 0, kName);
    Key(io.Grid科目, Qt::Key_Delete);
    Key(io.Grid科目, Qt::Key_Return);
    GoTo(io.Grid科目, 2, kName);
    PickFromList(io.Grid科目, 0);  // 雑費, first by reading
    GoTo(io.Grid科目, 3, kName);   // an item typed by its name brings its reading; its box is the user's
    Type(io.Grid科目, QStringLiteral("消耗品費"));
    Key(io.Grid科目, Qt::Key_Return);
    Key(io.Grid科目, Qt::Key_Space);
    EXPECT_EQ(Cells(io.Grid科目, kName, 3), (QStringList{"-", "Tom's", "雑費"}));
    EXPECT_EQ(Cells(io.Grid科目, kReading, 4), (QStringList{"そぜいこうか", "とむず", "ざっぴ", "しょうもうひんひ"}));

    Press(io.cmd登録, Answer::Yes);
    EXPECT_EQ(Texts(), (QStringList{"取引先の科目 を登録します。よろしいですか", "取引先科目 を登録しました。"}));
    EXPECT_EQ(Rows("select * from 取引先マスタ where 取引先名 = 'O''Hara商会'"),
              QStringList{"O'Hara商会/おはらしょうかい/-"});
    EXPECT_EQ(Pairs(QStringLiteral("O''Hara商会")),
              (QStringList{"Tom's/とむず/0/2", "雑費/ざっぴ/1/1", "消耗品費/しょうもうひんひ/1/1"}));
    EXPECT_EQ(Rows("select * from 科目マスタ order by 科目"),
              (QStringList{"Tom's/とむず/0/-", "雑費/ざっぴ/1/-", "消耗品費/しょうもうひんひ/1/事務用品"}));
    EXPECT_TRUE(io.Cn取引先詳細.Visible());

    // An empty name: nothing is written and nothing more said.
    boxes_.Clear();
    QTest::mouseClick(&io.cmdクリア詳細, Qt::LeftButton);
    GoTo(io.Grid科目, 0, kName);
    Type(io.Grid科目, QStringLiteral("名無し"));
    Press(io.cmd登録, Answer::Yes);
    EXPECT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(Rows("select * from 取引先マスタ").size(), 3);
    EXPECT_EQ(Rows("select * from 科目マスタ").size(), 3);

    // A name longer than its field (256 characters, as the entry screen of
    // an earlier version stored one) stays whole in its box and is said
    // before anything is stored: no partner, cut or whole.
    boxes_.Clear();
    io.txt取引先名.SetText(QString(256, QChar(u'長')));
    EXPECT_EQ(io.txt取引先名.Text().size(), 256);
    QTest::mouseClick(&io.cmd登録, Qt::LeftButton);
    ASSERT_EQ(boxes_.Shown().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_TRUE(Texts().first().contains(QStringLiteral("255文字以内")));
    EXPECT_EQ(Rows("select * from 取引先マスタ").size(), 3);
    EXPECT_TRUE(Rows("select 科目 from 取引先科目 where 科目 = '名無し'").isEmpty());
}

TEST_F(IoMasterTest, AFailedRegistrationKeepsTheStoredItemsAndSaysSo) {
    db::Database d;
    ASSERT_TRUE(d.Open(DataFile()));
    ASSERT_TRUE(
        d.ExecuteNative(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 取引先科目 WHEN new.科目 = '故障' "
                                       "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    IoMaster& io = Screen();
    OpenPanel(io, 1);
    io.txtふりがな.SetText(QStringLiteral("かわった"));
    GoTo(io.Grid科目, 2, kName);
    Type(io.Grid科目, QStringLiteral("故障"));
    Press(io.cmd登録, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts().first(), QStringLiteral("取引先の科目 を登録します。よろしいですか"));
    EXPECT_EQ(Texts().last().section(u'\n', 0, 0), QStringLiteral("取引先科目を登録できませんでした。"));
    EXPECT_EQ(boxes_.Shown().last().icon, ui::MessageIcon::Warning);
    EXPECT_EQ(Pairs(QStringLiteral("青葉商店")),
              (QStringList{"消耗品費/しょうもうひんひ/0/3", "租税公課/そぜいこうか/1/1"}));
    EXPECT_EQ(Rows("select ふりがな from 取引先マスタ where 取引先名 = '青葉商店'"), QStringList{"あおばしょうてん"});
}

TEST_F(IoMasterTest, AUseCountIsAWholeNumberAndEnterInItGoesToTheNextRowsItem) {
    IoMaster& io = Screen();
    OpenPanel(io, 1);
    ui::DataGrid& g = io.Grid科目;
    GoTo(g, 0, kCount);
    const auto retype = [&](const QString& text) {
        if (auto* editor = qobject_cast<QLineEdit*>(KeyTarget(g))) editor->selectAll();
        if (text.isEmpty()) Key(g, Qt::Key_Delete);
        Type(g, text);
        Key(g, Qt::Key_Return);
    };
    for (const char* refused : {"abc", "-1", "1.5", "2147483648", ""}) {
        retype(QString::fromUtf8(refused));
        EXPECT_EQ(At(g), kCount) << refused << ": the cursor stays";
        EXPECT_EQ(Cells(g, kCount, 1), QStringList{"3"}) << refused << ": nothing is stored";
    }
    retype(QStringLiteral("２１４７４８３６４７"));
    EXPECT_EQ(Cells(g, kCount, 1), QStringList{"2147483647"});
    EXPECT_EQ(At(g), 10 + kName);

    // Enter in the last row's count stays on that row.
    GoTo(g, 9, kCount);
    Type(g, QStringLiteral("7"));
    Key(g, Qt::Key_Return);
    EXPECT_EQ(At(g), 90 + kName);
    EXPECT_EQ(Cells(g, kCount).last(), QStringLiteral("7"));
}

TEST_F(IoMasterTest, BothDeletesAskFirstAndRemoveOnlyWhatIsTicked) {
    IoMaster& io = Screen();
    OpenPanel(io, 2);  // O'Hara商会's items
    Click(io.Grid科目, 0, kTick);
    Click(io.Grid科目, 1, kTick);
    Press(io.cmd行削除詳細, Answer::No);
    EXPECT_EQ(Pairs(QStringLiteral("O''Hara商会")).size(), 2);
    Press(io.cmd行削除詳細, Answer::Yes);
    EXPECT_TRUE(Pairs(QStringLiteral("O''Hara商会")).isEmpty());
    EXPECT_EQ(Pairs(QStringLiteral("青葉商店")).size(), 2) << "another partner keeps the same item";
    EXPECT_EQ(Cells(io.Grid科目, kName, 1), QStringList{"-"}) << "the panel shows what is stored";
    Press(io.cmd行削除詳細, Answer::Yes);
    EXPECT_EQ(Texts().last(), QStringLiteral("行が指定されていません。行指定してください。"));

    // The list takes ticks only: a typed name goes nowhere.
    boxes_.Clear();
    ui::DataGrid& list = io.Grid明細;
    Click(list, 2, IoMaster::kListName);
    Type(list, QStringLiteral("abc"));
    Key(list, Qt::Key_Return);
    EXPECT_EQ(Cells(list, IoMaster::kListName), (QStringList{"読みなし", "青葉商店", "O'Hara商会"}));
    Press(io.cmd行削除, Answer::No);
    Press(io.cmd行削除, Answer::Yes);
    Click(list, 2, IoMaster::kListCheck);
    Click(list, 0, IoMaster::kListCheck);
    PressKey(io.txt取引先名.Editor(), Qt::Key_F10, Answer::Yes);  // with the panel open: the partners
    EXPECT_EQ(Texts().size(), 4);
    EXPECT_EQ(Texts()[0], QStringLiteral("指定されたデータ を削除します。よろしいですか"));
    EXPECT_EQ(Cells(list, IoMaster::kListName), QStringList{"青葉商店"});
    EXPECT_EQ(Rows("select 取引先名 from 取引先マスタ"), QStringList{"青葉商店"});
    EXPECT_EQ(Rows("select 取引先名 from 取引明細"), QStringList{"O'Hara商会"}) << "expense lines stay";
}

TEST_F(IoMasterTest, TheItemDropDownShowsACutReadingWholeAsItsTooltip) {
    const QString reading = QStringLiteral("ながいながいかもくのよみがな").repeated(8);
    ExecData(QStringLiteral("insert into 科目マスタ values ('長い科目', '%1', 0, null)").arg(reading));
    IoMaster& io = Screen();
    OpenPanel(io, 1);
    GoTo(io.Grid科目, 2, kName);
    Key(io.Grid科目, Qt::Key_Down, Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    auto* list = popup ? popup->findChild<QTableView*>() : nullptr;
    ASSERT_TRUE(list);
    int row = 0;
    while (row < list->model()->rowCount() && list->model()->index(row, 0).data() != QStringLiteral("長い科目")) ++row;
    ASSERT_LT(row, list->model()->rowCount());
    // The mouse resting over a cell of the list.
    const auto hover = [&](int col) {
        const QPoint at = list->visualRect(list->model()->index(row, col)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
    };

    // The reading is wider than the list may grow (half the screen): cut, it tells itself whole.
    ASSERT_LT(list->columnWidth(1), list->fontMetrics().horizontalAdvance(reading));
    hover(1);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), reading);
    // A whole name needs no tooltip (the one shown fades for a moment).
    hover(0);
    for (int i = 0; i < 40 && QToolTip::isVisible(); ++i) QTest::qWait(25);
    EXPECT_FALSE(QToolTip::isVisible());
    popup->close();
}

TEST_F(IoMasterTest, TheItemLookupFillsTheRowAndThePartnerLookupFindsTheListRow) {
    const QDir bin(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    const QString items = bin.absoluteFilePath(QStringLiteral("libPrjPelmora.so"));
    const QString partners = bin.absoluteFilePath(QStringLiteral("libPrjDunvasel.so"));
    if (!QFile::exists(items) || !QFile::exists(partners)) GTEST_SKIP() << "the lookup libraries are not built";
    QTemporaryDir registry;
    qputenv("MURV_COM_REGISTRY", QFile::encodeName(registry.filePath(QStringLiteral("classes.reg"))));
    QString error;
    ASSERT_TRUE(com::Register(QString::fromLatin1(lookup::kClsidClsPelmora), items, &error)) << error.toStdString();
    ASSERT_TRUE(com::Register(QString::fromLatin1(lookup::kClsidClsDunvasel), partners, &error));
    ExecData(QStringLiteral("insert into 科目マスタ values ('交通費', 'こうつうひ', -1, null)"));

    IoMaster& io = Screen();
    OpenPanel(io, 1);
    GoTo(io.Grid科目, 2, kName);
    PickFromList(io.Grid科目, 1);                                        // 雑費: tax-exempt
    GoTo(io.Grid科目, 0, kName);                                         // 消耗品費: taxed, used 3 times
    WhenModal({QStringLiteral("cmd50(9)"), QStringLiteral("cmd選択")});  // こ: 交通費, tax-exempt
    QTest::mouseClick(&io.cmd科目, Qt::LeftButton);
    EXPECT_EQ(Cells(io.Grid科目, kReading, 3), (QStringList{"こうつうひ", "そぜいこうか", "ざっぴ"}));
    EXPECT_EQ(Cells(io.Grid科目, kExempt, 3) + Cells(io.Grid科目, kCount, 1), (QStringList{"1", "1", "1", "3"}));
    Press(io.cmd登録, Answer::Yes);  // the picked items keep their own marks
    EXPECT_EQ(Rows("select 科目, 非課税 from 科目マスタ where 科目 in ('交通費', '雑費') order by ふりがな"),
              (QStringList{"交通費/1", "雑費/1"}));

    io.Grid明細.SetRow(0);
    WhenModal({QStringLiteral("cmd50(4)"), QStringLiteral("cmd選択")});  // お: O'Hara商会
    QTest::keyClick(io.Grid明細.View(), Qt::Key_F2);
    EXPECT_EQ(io.Grid明細.Row(), 2);
    qunsetenv("MURV_COM_REGISTRY");
}

}  // namespace
