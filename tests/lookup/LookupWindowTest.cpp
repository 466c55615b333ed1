// The lookup window in this process: its kana conversion and statements, the
// search panel, and the partner window's clear.
#include <QHelpEvent>
#include <QRegularExpression>
#include <QToolTip>

#include "lookup/Kana.h"
#include "lookup/LookupWindow.h"
#include "platform/ui/GridFit.h"
#include "tests/lookup/LookupFixture.h"

namespace {

using lookup::ItemLookup;
using lookup::LookupWindow;
using lookup::PartnerLookup;

TEST(KanaTest, AKanaFindsItsFirstPlaceInTheTablesOthersStayNull) {
    const QStringList cases = {QStringLiteral("か:カ:ｶ"),      QStringLiteral("い:イ:ｲ"),
                               QStringLiteral("ゑ:ヱ:ｴ"),      QStringLiteral("ん:ン:ﾝ"),
                               QStringLiteral("ゐ:null:null"), QStringLiteral("　　:null:null")};
    for (const QString& c : cases) {
        QVariant k = 1, h = 1;
        lookup::KanaVariants(c.section(u':', 0, 0), k, h);
        const QString got = (k.isNull() ? QStringLiteral("null") : k.toString()) + u':' +
                            (h.isNull() ? QStringLiteral("null") : h.toString());
        EXPECT_EQ(got, c.section(u':', 1)) << c.toStdString();
    }
    EXPECT_EQ(lookup::IndexStatement(ItemLookup(), QStringLiteral("か")),
              QStringLiteral("select 科目,ふりがな from 科目マスタ where (ふりがな like 'か*')"
                             " or (ふりがな like 'カ*') or (ふりがな like 'ｶ*') order by ふりがな;"));
    EXPECT_EQ(lookup::IndexStatement(PartnerLookup(), QStringLiteral("　")),
              QStringLiteral("select 取引先名,ふりがな from 取引先マスタ  order by ふりがな;"));
    // Quotes and pattern characters stay inside their pattern.
    EXPECT_TRUE(
        lookup::IndexStatement(ItemLookup(), QStringLiteral("O'*")).contains(QStringLiteral("like 'O''[*]*')")));
}

class LookupWindowTest : public test::LookupTest {
protected:
    LookupWindow& Open(const lookup::LookupSettings& settings) {
        state_.DataFile = DataFile();
        state_.WorkFile = WorkFile();
        window_ = new LookupWindow(settings, state_);
        window_->Show();
        return *window_;
    }
    void TearDown() override {
        if (window_) window_->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        test::LookupTest::TearDown();
    }
    lookup::LookupState state_;
    QPointer<LookupWindow> window_;
};

TEST_F(LookupWindowTest, TheSearchPanelIsPaintedBeforeTheCopyAndHiddenAfter) {
    LookupWindow& w = Open(ItemLookup());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    struct PaintSpy : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
    } spy;
    w.Msg検索中.installEventFilter(&spy);
    QTest::mouseClick(&w.cmd50[5], Qt::LeftButton);
    EXPECT_GT(spy.paints, 0);
    EXPECT_FALSE(w.Msg検索中.Visible());
}

TEST_F(LookupWindowTest, AWiderWindowShowsLongNamesWholeAndACutNameShowsWholeAsItsTooltip) {
    const QString name = QStringLiteral("東京電力サービス株式会社千代田支店営業第二課ご担当窓口様御中");
    const QString reading = QStringLiteral("とうきょうでんりょく");
    ASSERT_EQ(name.size(), 30);
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('%1', '%2')").arg(name, reading));
    LookupWindow& w = Open(PartnerLookup());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QAbstractItemView* view = test::ListView(&w);
    const int row = int(test::ShownRows(&w).indexOf(name + u'/' + reading));
    ASSERT_GE(row, 0);
    const int nameWidth = view->fontMetrics().horizontalAdvance(name);
    const auto cell = [&](int col) { return view->visualRect(view->model()->index(row, col)); };
    // The mouse resting over the name.
    const auto hover = [&] {
        QHelpEvent help(QEvent::ToolTip, cell(0).center(), view->viewport()->mapToGlobal(cell(0).center()));
        QCoreApplication::sendEvent(view->viewport(), &help);
    };

    // At the size it opens with, the name is cut and tells itself whole.
    EXPECT_LT(cell(0).width(), nameWidth);
    hover();
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), name);
    const int gridWidth = w.Grid参照.width();

    w.resize(900, w.height() + 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.width(), 900);
    EXPECT_GT(w.Grid参照.width(), gridWidth + 300) << "the list grows with the window";
    EXPECT_GE(cell(0).width(), nameWidth);
    EXPECT_GE(cell(1).width(), view->fontMetrics().horizontalAdvance(reading));
    EXPECT_LE(cell(1).right(), view->viewport()->width()) << "both columns within the window";
    hover();  // the tooltip goes (it fades for a moment)
    for (int i = 0; i < 40 && QToolTip::isVisible(); ++i) QTest::qWait(25);
    EXPECT_FALSE(QToolTip::isVisible()) << "a whole name needs no tooltip";
    EXPECT_GE(w.cmd選択.mapTo(&w, QPoint(0, 0)).y() + w.cmd選択.height(),
              w.Grid参照.mapTo(&w, QPoint(0, 0)).y() + w.Grid参照.height())
        << "the commands stay under the list";
}

TEST(GridFitTest, NarrowColumnsKeepTheirWidthAndWideOnesShareTheRest) {
    using ui::GridFit;
    EXPECT_EQ(GridFit::ShareOut({100, 50}, 400), (std::vector<int>{100, 300})) << "the last takes what is spare";
    EXPECT_EQ(GridFit::ShareOut({60, 500, 400}, 400), (std::vector<int>{60, 170, 170}));
    EXPECT_EQ(GridFit::ShareOut({300, 300}, 400), (std::vector<int>{200, 200}));
    EXPECT_TRUE(GridFit::ShareOut({}, 400).empty());
}

TEST_F(LookupWindowTest, ThePartnerClearEmptiesTheListOnTheWorkConnectionItHolds) {
    LookupWindow& w = Open(PartnerLookup());
    // A temporary table lives only on the connection that made it.
    ASSERT_TRUE(state_.DbLookupWork.ExecuteNative(QStringLiteral("create temp table marker (x)")));
    QTest::mouseClick(&w.cmdクリア, Qt::LeftButton);
    EXPECT_TRUE(test::ShownRows(&w).isEmpty());
    EXPECT_TRUE(state_.DbLookupWork.ExecuteNative(QStringLiteral("select * from temp.marker")))
        << "the clear opened another work connection";
}

TEST_F(LookupWindowTest, AListThatCannotBeReadIsSaidInsteadOfShownEmpty) {
    ExecData(QStringLiteral("insert into 科目マスタ (科目, ふりがな) values ('交通費', 'こうつうひ')"));
    LookupWindow& w = Open(ItemLookup());
    ASSERT_TRUE(boxes_.Shown().isEmpty());
    // The master goes missing under the window, as a damaged page would lose it.
    ExecData(QStringLiteral("drop table 科目マスタ"));
    QTest::mouseClick(&w.cmd50[5], Qt::LeftButton);
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(boxes_.Shown().first().icon, ui::MessageIcon::Warning);
    EXPECT_TRUE(boxes_.Shown().first().text.startsWith(QStringLiteral("一覧を読み込めませんでした。")));
    EXPECT_FALSE(boxes_.Shown().first().text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
        << "no statement and no engine's words";
}

}  // namespace
