// The item list and the partner list: their pages as laid out, the marks of
// tax-exempt rows, the partner feed, and the print panel's two outputs.
#include <QPainter>
#include <QtEndian>

#include "platform/report/Paint.h"
#include "tests/reports/ReportsFixture.h"

namespace {

using namespace reports;

class MasterReportsTest : public test::ReportsTest {};

TEST_F(MasterReportsTest, TheItemListPrintsItsRowsUnderTheTitleAndColumnsOverSeveralPages) {
    for (int i = 1; i <= 100; ++i)
        Work(QStringLiteral("insert into w科目マスタ印刷 (科目, ふりがな, 非課税) values ('品目%1', 'ひんもく', %2)")
                 .arg(i)
                 .arg(i % 3 == 0 ? QStringLiteral("True") : QStringLiteral("False")));
    Prn科目一覧(kPreview);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].preview);
    const report::Pages& pages = JobPages(0);
    EXPECT_EQ(pages.orientation, report::Orientation::Portrait);
    EXPECT_EQ(pages.paperWidth, 11906) << "A4";
    EXPECT_EQ(pages.marginLeft + 9990 + pages.marginRight, 11090);
    // 16838 less 1500 of margins, less the header's 1060: 48 rows of 296.
    ASSERT_EQ(pages.pages.size(), 3u);
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt科目")).size(), 48);
    EXPECT_EQ(Texts(0, 2, QStringLiteral("txt科目")).size(), 4);

    EXPECT_EQ(Text(0, 0, QStringLiteral("Label1")), QStringLiteral("科目一覧"));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Label1")).rect, QRect(425, 142, 1630, 354));
    EXPECT_TRUE(Item(0, 0, QStringLiteral("Label1")).font.bold);
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label21")), QStringLiteral("科　　目"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label23")), QStringLiteral("非課税"));
    EXPECT_EQ(Text(0, 1, QStringLiteral("cday")), QStringLiteral("2026/12/09"));
    for (size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(Text(0, p, QStringLiteral("Label19")), QStringLiteral("Page  "));
        EXPECT_EQ(Text(0, p, QStringLiteral("Cp")), QString::number(p + 1));
        EXPECT_EQ(Text(0, p, QStringLiteral("Field1")), QStringLiteral("3"));
    }
    // Row 49 opens page 2 under its header; its rules join the next row's.
    const report::DrawnItem& row49 = Item(0, 1, QStringLiteral("txt科目"));
    EXPECT_EQ(row49.text, QStringLiteral("品目49"));
    EXPECT_EQ(row49.rect, QRect(495, 1060, 4050, 285));
    const report::DrawnItem& rule = Item(0, 1, QStringLiteral("Line3"));
    EXPECT_EQ(rule.rect.topLeft(), QPoint(4535, 1060));
    EXPECT_EQ(rule.rect.bottomRight(), QPoint(4535, 1360));
    // The mark follows the value's truth: every third item is exempt.
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt非課税")).mid(0, 6), (QStringList{"", "", "○", "", "", "○"}));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt非課税"), 2).align, report::Align::Center);
}

TEST_F(MasterReportsTest, ThePartnerListPrintsEveryPartnerWithItsItemsAndItsOwnExemptMarks) {
    Data(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')"));
    Data(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('O''Hara事務所', 'おはら')"));
    Data(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('空き商会', 'あきしょうかい')"));
    for (const char* item : {"消耗品費", "通信費", "租税公課"})
        Data(QStringLiteral(
                 "insert into 取引先科目 (取引先名, 科目, ふりがな, 非課税) values ('青葉商店', '%1', 'よみ', %2)")
                 .arg(QString::fromUtf8(item))
                 .arg(QString::fromUtf8(item) == u"租税公課" ? QStringLiteral("True") : QStringLiteral("False")));
    Data(
        QStringLiteral("insert into 取引先科目 (取引先名, 科目, ふりがな, 非課税) values ('O''Hara事務所', "
                       "'支払手数料', 'しはらい', False)"));
    Data(
        QStringLiteral("insert into 取引先科目 (取引先名, 科目, ふりがな, 非課税) values ('O''Hara事務所', '租税公課', "
                       "'そぜい', False)"));

    printer_.QueueDialogAnswer(false);  // cancelled: the feed stays filled
    ASSERT_TRUE(Prn取引先マスタ(kPrint));
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].dialogShown);
    EXPECT_EQ(printer_.Jobs()[0].outcome, report::PrintOutcome::Cancelled);
    EXPECT_TRUE(boxes_.Shown().isEmpty()) << "a cancelled dialog says nothing";

    const report::Pages& pages = JobPages(0);
    EXPECT_EQ(pages.orientation, report::Orientation::Landscape);
    EXPECT_EQ(pages.paperWidth, 16838);
    EXPECT_LE(pages.marginLeft + 15660 + pages.marginRight, pages.paperWidth);
    // By reading: the partner without items keeps its name and reading; a
    // name with an apostrophe keeps its items; a partner's name prints once.
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt取引先名")),
              (QStringList{"青葉商店", "", "", "空き商会", "O'Hara事務所", ""}));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txtふりがな")),
              (QStringList{"あおばしょうてん", "", "", "あきしょうかい", "おはら", ""}));
    const QStringList items = Texts(0, 0, QStringLiteral("txt科目"));
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[3], QString()) << "the partner without items has no item";
    EXPECT_EQ(QStringList(items.mid(0, 3)).join(u','), QStringLiteral("消耗品費,租税公課,通信費"));
    EXPECT_EQ(QStringList(items.mid(4)).join(u','), QStringLiteral("支払手数料,租税公課"));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt科目ふりがな")).last(), QStringLiteral("そぜい"));
    // Each pairing's own mark: 租税公課 is exempt with 青葉商店 only.
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt非課税")), (QStringList{"", "○", "", "", "", ""}));
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label23")), QStringLiteral("科　　目"));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Label23")).font.name, QStringLiteral("ＭＳ Ｐゴシック"));
    // The title frame and its rules are moved onto the rows' columns.
    EXPECT_EQ(Item(0, 0, QStringLiteral("Shape1")).rect, QRect(100, 620, 15023, 300));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line3")).rect.topLeft(), QPoint(8150, 620));
    const report::DrawnItem& rightEdge = Item(0, 0, QStringLiteral("Line11"), 1);
    EXPECT_EQ(rightEdge.rect.topLeft(), QPoint(15100, 930 + 296));
    EXPECT_EQ(rightEdge.rect.bottomRight(), QPoint(15100, 930 + 296 + 300));

    // The era setting switches the print date.
    ModMurv::EraSetting = QStringLiteral("和暦");
    ASSERT_TRUE(Prn取引先マスタ(kPreview));
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_TRUE(printer_.Jobs()[1].preview);
    EXPECT_EQ(Text(1, 0, QStringLiteral("cday")), QStringLiteral("R08/12/09"));
}

TEST_F(MasterReportsTest, AFeedOrReportThatCannotBeMadeIsToldToTheUser) {
    ASSERT_TRUE(ModMurv::DbWork.ExecuteNative(QStringLiteral("DROP TABLE w科目マスタ印刷;")));
    Prn科目一覧(kPrint);
    EXPECT_TRUE(printer_.Jobs().empty());
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("科目一覧 の印刷データを読み込めませんでした。")});
    boxes_.Clear();

    ASSERT_TRUE(ModMurv::DbWork.ExecuteNative(QStringLiteral("DROP TABLE w取引先マスタ印刷;")));
    EXPECT_FALSE(Prn取引先マスタ(kPreview));
    EXPECT_TRUE(printer_.Jobs().empty());
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("印刷データを作成できませんでした。")});
    boxes_.Clear();

    // A printer that fails says so once.
    printer_.FailWith(QStringLiteral("no printer"));
    Prn科目一覧(kPrint);  // the table is gone: told as before
    ASSERT_TRUE(ModMurv::DbWork.ExecuteNative(
        QStringLiteral("CREATE TABLE w科目マスタ印刷 (科目 TEXT(255), ふりがな TEXT(255), 非課税 YESNO);")));
    boxes_.Clear();
    Prn科目一覧(kPrint);
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("科目一覧 を印刷できませんでした。")});
}

TEST_F(MasterReportsTest, TextSitsBetweenTheRulesOfItsRowAndInsideItsColumn) {
    // The item list's first row: below the title frame's edge (1063), above its rule (1060 + 286).
    Work(QStringLiteral("insert into w科目マスタ印刷 (科目, ふりがな, 非課税) values ('品目', 'ひんもく', False)"));
    Prn科目一覧(kPreview);
    const QRect row = Item(0, 0, QStringLiteral("txt科目")).cell;
    EXPECT_TRUE(row.top() >= 1063 + 7 && row.bottom() <= 1060 + 286 - 7 && row.height() >= 240);

    // A name of 30 characters ends, in whole characters, before its column's rule (4394).
    const QString name = QStringLiteral("株式会社東日本総合企画サービス北関東支店営業部第二課担当窓口");
    Data(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('%1', 'かぶしき')").arg(name));
    ASSERT_TRUE(Prn取引先マスタ(kPreview));
    const report::DrawnItem& cut = Item(1, 0, QStringLiteral("txt取引先名"));
    EXPECT_LE(cut.cell.right(), 4394 - 7);
    EXPECT_TRUE(name.startsWith(cut.text) && cut.text.size() >= 15 && cut.text.size() < 30) << cut.text.toStdString();

    // A caption wider than its box ("Page  ") prints whole: a wider box changes no pixel.
    report::Pages pages = JobPages(1);
    QImage laidOut(1700, 1200, QImage::Format_RGB32), widened = laidOut;
    for (QImage* image : {&laidOut, &widened}) {
        image->fill(Qt::white);
        QPainter painter(image);
        report::PaintPage(painter, pages, 0, 144);
        for (report::DrawnItem& item : pages.pages[0].items)
            if (item.control == u"Label19") item.rect.setWidth(3000), item.cell.setWidth(3000);
    }
    EXPECT_TRUE(laidOut == widened);
}

TEST_F(MasterReportsTest, ThePartnerFeedIsWrittenInOneTransaction) {
    ASSERT_TRUE(ModMurv::DbData.BeginTrans());
    for (int i = 0; i < 60; ++i)
        Data(
            QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('取引先%1', 'とりひきさき')").arg(i));
    Data(QStringLiteral("insert into 取引先科目 (取引先名, 科目) select 取引先名, '通信費' from 取引先マスタ"));
    ASSERT_TRUE(ModMurv::DbData.CommitTrans());
    // The work file's change counter (bytes 24-27) counts the transactions that wrote it.
    QFile file(WorkFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto changes = [&file] {
        return file.seek(0) ? qFromBigEndian<quint32>(file.read(28).constData() + 24) : 0u;
    };
    const quint32 before = changes();
    ASSERT_TRUE(Prn取引先マスタ(kPreview));
    EXPECT_EQ(changes() - before, 1u);
    EXPECT_EQ(WorkRows(QStringLiteral("select count(*) from w取引先マスタ印刷")), QStringList{QStringLiteral("60")});
}

}  // namespace
