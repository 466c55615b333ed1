// The lookup window in this process: its kana conversion and statements, the
// search panel, and the partner window's clear.
#include "lookup/Kana.h"
#include "lookup/LookupWindow.h"
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

TEST_F(LookupWindowTest, ThePartnerClearEmptiesTheListOnTheWorkConnectionItHolds) {
    LookupWindow& w = Open(PartnerLookup());
    // A temporary table lives only on the connection that made it.
    ASSERT_TRUE(state_.DbLookupWork.ExecuteNative(QStringLiteral("create temp table marker (x)")));
    QTest::mouseClick(&w.cmdクリア, Qt::LeftButton);
    EXPECT_TRUE(test::ShownRows(&w).isEmpty());
    EXPECT_TRUE(state_.DbLookupWork.ExecuteNative(QStringLiteral("select * from temp.marker")))
        << "the clear opened another work connection";
}

}  // namespace
