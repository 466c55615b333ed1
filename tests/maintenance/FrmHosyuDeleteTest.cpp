// The five bulk deletes: their questions and completions, what each removes
// and what it leaves, a partner with a quote in the name, a delete that
// fails as a whole, and the partner lookup.
#include <QProcess>

#include "tests/lookup/LookupFixture.h"
#include "tests/maintenance/HosyuFixture.h"

namespace {

class FrmHosyuDeleteTest : public test::HosyuTest {
protected:
    void SetUp() override {
        HosyuTest::SetUp();
        SetCompany(QStringLiteral("タイトル = '2026年度', 開始日 = #2026/01/01#, 終了日 = #2026/12/31#"));
        for (const char* row : {"取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')",
                                "取引先マスタ (取引先名, ふりがな) values ('O''Hara商会', 'おはらしょうかい')",
                                "取引先科目 (取引先名, 科目, 回数) values ('青葉商店', '通信費', 2)",
                                "取引先科目 (取引先名, 科目, 回数) values ('O''Hara商会', '修繕費', 1)",
                                "科目マスタ (科目, ふりがな) values ('通信費', 'つうしんひ')",
                                "コードマスタ (コード, 名称) values ('01', '本店')",
                                "MvHint (FormName, CtlName, Contents) values ('FrmHosyu', 'cmdHint', 'メモ')"})
            ExecData(QStringLiteral("insert into ") + QString::fromUtf8(row));
        for (const char* date : {"2025/06/01", "2026/06/01", "2027/06/01"}) {
            AddLine(QString::fromUtf8(date), QStringLiteral("青葉商店"), QStringLiteral("通信費"), 1050);
            AddLine(QString::fromUtf8(date), QStringLiteral("O'Hara商会"), QStringLiteral("修繕費"), 2100);
        }
        db::Database work;
        EXPECT_TRUE(work.Open(WorkFile()));
        EXPECT_TRUE(work.Execute(QStringLiteral("update 管理 set DataPath = '/srv/x.mdb'")));
        titles_ = Count(QStringLiteral("勘定科目"));
    }

    qint64 Count(const QString& table) {
        return Rows(QStringLiteral("select count(*) from ") + table).value(0).toLongLong();
    }
    // Rows left in partners, pairs, items, lines.
    QString Left() {
        return QStringLiteral("%1/%2/%3/%4")
            .arg(Count(QStringLiteral("取引先マスタ")))
            .arg(Count(QStringLiteral("取引先科目")))
            .arg(Count(QStringLiteral("科目マスタ")))
            .arg(Count(QStringLiteral("取引明細")));
    }
    // What no delete touches.
    void ExpectUntouched() {
        EXPECT_EQ(Count(QStringLiteral("勘定科目")), titles_);
        EXPECT_EQ(Rows(QStringLiteral("select Contents from MvHint")), QStringList{"メモ"});
        EXPECT_EQ(Rows(QStringLiteral("select 名称 from コードマスタ")), QStringList{"本店"});
        EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"/srv/x.mdb"});
    }
    F& DeletePage() {
        F& f = Open();
        f.SSTab1.SetTab(F::kPageデータ削除);
        return f;
    }
    qint64 titles_ = 0;
};

TEST_F(FrmHosyuDeleteTest, TheFirstThreeAskFirstAndRemoveOnlyTheirOwnTables) {
    F& f = DeletePage();
    Press(f.cmd一括削除1, {Answer::No});
    Press(f.cmd一括削除2);  // No is preselected
    EXPECT_EQ(Left(), QStringLiteral("2/2/1/6"));
    ASSERT_EQ(boxes_.Shown().size(), 2);
    EXPECT_EQ(boxes_.Shown()[0].title, QStringLiteral("削除の確認"));
    EXPECT_EQ(boxes_.Shown()[0].defaultButton, Answer::No);

    boxes_.Clear();
    Press(f.cmd一括削除1, {Answer::Yes});
    EXPECT_EQ(Left(), QStringLiteral("0/0/1/6"));
    Press(f.cmd一括削除2, {Answer::Yes});
    EXPECT_EQ(Left(), QStringLiteral("0/0/0/6"));
    Press(f.cmd一括削除3, {Answer::Yes});
    EXPECT_EQ(Left(), QStringLiteral("0/0/0/0"));
    EXPECT_EQ(Texts(),
              (QStringList{"すべての取引先情報 を削除します。よろしいですか", "すべての取引先情報 を削除しました。",
                           "すべての科目情報 を削除します。よろしいですか", "すべての科目情報 を削除しました。",
                           "すべての取引データ を削除します。よろしいですか", "すべての取引データ を削除しました。"}));
    EXPECT_EQ(boxes_.Shown()[1].title, QStringLiteral("削除の完了"));
    ExpectUntouched();
    EXPECT_EQ(Rows(QStringLiteral("select タイトル from 自社情報")), QStringList{"2026年度"});
}

TEST_F(FrmHosyuDeleteTest, TheDeleteOfEverythingAsksOnceAndPutsBackTheCompanyRowOfANewFile) {
    F& f = DeletePage();
    Press(f.cmd一括削除4, {Answer::Yes});
    EXPECT_EQ(Texts(), (QStringList{"すべてのデータ を削除します。よろしいですか", "すべてのデータ を削除しました。"}));
    EXPECT_EQ(Left(), QStringLiteral("0/0/0/0"));
    EXPECT_EQ(
        Rows(QStringLiteral("select 年号, 明細リスト読込数, 開始日, 終了日, タイトル, 税率, 税端数 from 自社情報")),
        QStringList{"西暦/20/-/-/-/-/-"});
    ExpectUntouched();
}

TEST_F(FrmHosyuDeleteTest, OnePartnersDeleteTakesItsLinesOfEveryPeriodAndItsRowButKeepsItsItemPairs) {
    F& f = DeletePage();
    Press(f.cmd一括削除5, {Answer::Yes});
    EXPECT_EQ(Texts(), QStringList{"取引先名を指定してください"});

    boxes_.Clear();
    TypeInto(&f.txt取引先名, QStringLiteral("O'Hara商会"));
    Press(f.cmd一括削除5, {Answer::No});
    EXPECT_EQ(Left(), QStringLiteral("2/2/1/6"));
    EXPECT_EQ(f.txt取引先名.Text(), QStringLiteral("O'Hara商会"));
    Press(f.cmd一括削除5, {Answer::Yes});
    EXPECT_EQ(Texts(), (QStringList{"O'Hara商会のすべての情報 を削除します。よろしいですか",
                                    "O'Hara商会のすべての情報 を削除します。よろしいですか",
                                    "O'Hara商会すべての情報 を削除しました。"}));
    EXPECT_EQ(Rows(QStringLiteral("select 取引先名 from 取引先マスタ")), QStringList{"青葉商店"});
    EXPECT_EQ(Rows(QStringLiteral("select distinct 取引先名 from 取引明細")), QStringList{"青葉商店"});
    EXPECT_EQ(Count(QStringLiteral("取引明細")), 3);
    EXPECT_EQ(Rows(QStringLiteral("select 取引先名 from 取引先科目 order by 回数")),
              (QStringList{"O'Hara商会", "青葉商店"}));
    EXPECT_EQ(f.txt取引先名.Text(), QString());
    ExpectUntouched();
}

TEST_F(FrmHosyuDeleteTest, APartnerNameThatMatchesNoPartnerIsSaidAndDeletesNothing) {
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('青葉', 'あおば')"));
    F& f = DeletePage();
    QStringList said;
    for (const QString& name : {QStringLiteral("青葉商"), QStringLiteral(" "), QStringLiteral("青葉商店 ")}) {
        Retype(&f.txt取引先名, name);
        Press(f.cmd一括削除5, {Answer::Yes});
        said << QStringLiteral("「%1」という取引先はありません。何も削除していません。").arg(name);
    }
    EXPECT_EQ(Texts(), said);
    EXPECT_EQ(Left(), QStringLiteral("3/2/1/6"));
}

TEST_F(FrmHosyuDeleteTest, ADeleteThatFailsPartWayKeepsEverythingAndShowsNoCompletion) {
    F& f = DeletePage();
    {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(d.ExecuteNative(QStringLiteral("DROP TABLE 取引先科目")));
    }
    Press(f.cmd一括削除1, {Answer::Yes});
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_TRUE(Texts()[1].startsWith(QStringLiteral("すべての取引先情報を削除できませんでした。")));
    EXPECT_EQ(Count(QStringLiteral("取引先マスタ")), 2) << "the partners stay with the pairs";
    boxes_.Clear();
    Press(f.cmd一括削除4, {Answer::Yes});
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_TRUE(Texts()[1].startsWith(QStringLiteral("すべてのデータを削除できませんでした。")));
    EXPECT_EQ(Count(QStringLiteral("科目マスタ")) + Count(QStringLiteral("取引明細")), 7);
    EXPECT_EQ(Rows(QStringLiteral("select タイトル from 自社情報")), QStringList{"2026年度"});
}

#if defined(MURV_DUNVASEL) && defined(MURV_REGSVR)
TEST_F(FrmHosyuDeleteTest, ThePartnerLookupFillsTheNameAndAWindowClosedWithoutAPickLeavesIt) {
    ASSERT_EQ(QProcess::execute(QStringLiteral(MURV_REGSVR), {QStringLiteral(MURV_DUNVASEL)}), 0);
    F& f = DeletePage();
    test::WhenModal([](QWidget* w) { test::DoubleClickRow(w, QStringLiteral("青葉商店/あおばしょうてん")); });
    QTest::mouseClick(&f.cmd取引先, Qt::LeftButton);
    EXPECT_EQ(f.txt取引先名.Text(), QStringLiteral("青葉商店"));
    test::WhenModal([](QWidget* w) { test::Click(w, QStringLiteral("cmd閉じる")); });
    QTest::mouseClick(&f.cmd取引先, Qt::LeftButton);
    EXPECT_EQ(f.txt取引先名.Text(), QStringLiteral("青葉商店"));
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}
#endif

}  // namespace
