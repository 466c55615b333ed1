// Saving the settings page: the company row and the data path, the rates in
// percent, the settings in force again and the main menu's labels.
#include "tests/maintenance/HosyuFixture.h"

namespace {

class FrmHosyuSettingsTest : public test::HosyuTest {
protected:
    QStringList CompanyRow() {
        return Rows(QStringLiteral(
            "select 年号, タイトル, 開始日, 終了日, 税区分, 税端数, 税率, 税率2, 税実施, 明細リスト読込数 "
            "from 自社情報"));
    }
};

TEST_F(FrmHosyuSettingsTest, SavedSettingsComeBackWithTheirEraAndRatesInPercentAndTakeEffectAtOnce) {
    F& f = Open();
    f.cmb年号.SetText(QStringLiteral("和暦"));
    TypeInto(&f.txtタイトル, QStringLiteral("第18期"));
    TypeInto(&f.txt開始, QStringLiteral("2006/04/01"));
    Leave(&f.txt開始);
    EXPECT_EQ(f.txt終了.Date(), QDate(2006 + 1, 3, 31)) << "the end proposed for an empty one";
    f.cmb税端数.SetText(QStringLiteral("四捨五入"));
    TypeInto(&f.txt税率, QStringLiteral("8"));
    TypeInto(&f.txt税実施, QStringLiteral("2019/10/01"));
    TypeInto(&f.txt税率2, QStringLiteral("10"));
    TypeInto(&f.txtDataPath, QStringLiteral("/srv/帳簿/mvkdata.mdb"));
    Press(f.cmd登録, {Answer::Yes});

    EXPECT_EQ(Texts(), (QStringList{"設定 を登録します。よろしいですか", "データ  設定 を登録しました。"}));
    EXPECT_EQ(CompanyRow(), QStringList{"和暦/第18期/2006/04/01/2007/03/31/-/四捨五入/0.08/0.1/2019/10/01/-"});
    EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"/srv/帳簿/mvkdata.mdb"});
    // In force now: the rate of today (2026/12/09) and the menu's labels.
    EXPECT_DOUBLE_EQ(ModMurv::TaxRate, 0.1);
    EXPECT_EQ(ModMurv::EraSetting, QStringLiteral("和暦"));
    EXPECT_EQ(Menu().LblTitle.Caption(), QStringLiteral("第18期"));
    EXPECT_EQ(Menu().Lbl期間.Caption(), QStringLiteral("平成18年04月01日 ～\r\n           平成19年03月31日"));

    QTest::mouseClick(&f.cmd閉じる, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    F& again = Open();
    EXPECT_EQ(again.cmb年号.Text() + u'/' + again.cmb税端数.Text(), QStringLiteral("和暦/四捨五入"));
    EXPECT_EQ(again.txt開始.Text(), QStringLiteral("平成 18年04月01日"));
    EXPECT_EQ(again.txt税率.Text() + u'/' + again.txt税率2.Text(), QStringLiteral("8/10"));
    EXPECT_EQ(again.txt税実施.Date(), QDate(2019, 10, 1));
    EXPECT_EQ(again.txtDataPath.Text(), QStringLiteral("/srv/帳簿/mvkdata.mdb"));
}

TEST_F(FrmHosyuSettingsTest, RatesBelowZeroOrFromAHundredAreRefusedBeforeAnythingIsSaved) {
    SetCompany(QStringLiteral("税率 = 0.05"));
    F& f = Open();
    TypeInto(&f.txtDataPath, QStringLiteral("/srv/x.mdb"));
    Retype(&f.txt税率, QStringLiteral("-5"));
    Press(f.cmd登録);
    Retype(&f.txt税率, QStringLiteral("5"));
    TypeInto(&f.txt税率2, QStringLiteral("100"));
    Press(f.cmd登録);
    EXPECT_EQ(Texts(), (QStringList(2, QStringLiteral("税率は 0 以上 100 未満の数（%）で入力してください。"))));
    EXPECT_EQ(QApplication::focusWidget(), &f.txt税率2);
    EXPECT_EQ(Rows(QStringLiteral("select 税率, 税率2 from 自社情報")), QStringList{"0.05/-"});
    EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"-"});

    Retype(&f.txt税率2, QStringLiteral("99.5"));
    Press(f.cmd登録, {Answer::Yes});
    EXPECT_EQ(Rows(QStringLiteral("select 税率, 税率2 from 自社情報")), QStringList{"0.05/0.995"});
}

TEST_F(FrmHosyuSettingsTest, AnsweringNoStillSavesTheDataPathAndShowsTheStoredRowOnTheMenu) {
    SetCompany(QStringLiteral("タイトル = '本店', 開始日 = #2026/01/01#, 終了日 = #2026/12/31#"));
    F& f = Open();
    Menu().LblTitle.SetCaption(QStringLiteral("古い"));
    Menu().Lbl期間.SetCaption(QStringLiteral("古い期間"));
    Retype(&f.txtタイトル, QStringLiteral("支店"));
    TypeInto(&f.txtDataPath, QStringLiteral("/srv/x.mdb"));
    Press(f.cmd登録, {Answer::No});
    EXPECT_EQ(Texts(), QStringList{"設定 を登録します。よろしいですか"});
    EXPECT_EQ(Rows(QStringLiteral("select タイトル from 自社情報")), QStringList{"本店"});
    EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"/srv/x.mdb"});
    EXPECT_EQ(Menu().LblTitle.Caption(), QStringLiteral("本店"));
    EXPECT_EQ(Menu().Lbl期間.Caption(), QStringLiteral("2026年01月01日 ～\r\n           2026年12月31日"));
}

TEST_F(FrmHosyuSettingsTest, EmptyFieldsAreStoredAsNullTheRoundingAsCutAndTheMenuKeepsAnUnsetPeriod) {
    SetCompany(QStringLiteral(
        "税端数 = '端数', 税区分 = '外税', タイトル = '本店', 開始日 = #2026/01/01#, 終了日 = #2026/12/31#"));
    F& f = Open();
    EXPECT_EQ(f.cmb税端数.Text(), QString()) << "not one of its items";
    Menu().Lbl期間.SetCaption(QStringLiteral("前の期間"));
    QTest::mouseClick(&f.cmdクリア, Qt::LeftButton);
    f.cmb税端数.SetText(QString());
    Press(f.cmd登録, {Answer::Yes});
    EXPECT_EQ(CompanyRow(), QStringList{"西暦/-/-/-/-/切り捨て/-/-/-/-"});
    EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"-"});
    EXPECT_EQ(Menu().Lbl期間.Caption(), QStringLiteral("前の期間"));
    EXPECT_EQ(Menu().LblTitle.Caption(), QStringLiteral("本店")) << "an empty title leaves the menu's";
    EXPECT_DOUBLE_EQ(ModMurv::TaxRate, 0.05);
}

TEST_F(FrmHosyuSettingsTest, ADateFieldShowingNoDateStopsTheSaveByKeyOrMouseWithTheCursorInIt) {
    SetCompany(QStringLiteral("開始日 = #2026/01/01#"));
    F& f = Open();
    const QString said = QStringLiteral("「2025/02/29」は日付として読めません。正しい日付を入力してください。");
    Retype(&f.txt開始, QStringLiteral("2025/02/29"));
    QTest::keyClick(&f.txt開始, Qt::Key_F5);
    Press(f.cmd登録, {Answer::Yes});  // said once, as the field loses the focus
    EXPECT_EQ(Texts(), (QStringList{said, said}));
    EXPECT_EQ(QApplication::focusWidget(), &f.txt開始);
    EXPECT_EQ(f.txt開始.Text(), QStringLiteral("2025/02/29"));
    EXPECT_EQ(Rows(QStringLiteral("select 開始日 from 自社情報")), QStringList{"2026/01/01"});
}

}  // namespace
