// The year-end update: the archive of the ending period, the lines leaving
// the data file, the next period made current, and every way the archive
// can fail leaving every line where it was.
#include <unistd.h>

#include "core/DataFile.h"
#include "maintenance/Backup.h"
#include "tests/maintenance/HosyuFixture.h"
#include "tests/support/BookFiles.h"

namespace {

class FrmHosyuYearEndTest : public test::HosyuTest {
protected:
    void SetUp() override {
        HosyuTest::SetUp();
        SetCompany(
            QStringLiteral("タイトル = '2005年度', 開始日 = #2005/04/01#, 終了日 = #2006/03/31#, 税率 = 0.05, "
                           "税率2 = 0.1, 税実施 = #2026/10/01#"));
        for (const char* row : {"取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')",
                                "取引先マスタ (取引先名, ふりがな) values ('角田工務店', 'かくたこうむてん')",
                                "取引先科目 (取引先名, 科目, 回数) values ('青葉商店', '通信費', 2)",
                                "取引先科目 (取引先名, 科目, 回数) values ('角田工務店', '修繕費', 1)",
                                "科目マスタ (科目, ふりがな) values ('通信費', 'つうしんひ')",
                                "科目マスタ (科目, ふりがな) values ('修繕費', 'しゅうぜんひ')",
                                "コードマスタ (コード, 名称) values ('01', '本店')",
                                "MvHint (FormName, CtlName, Contents) values ('FrmHosyu', 'cmdHint', 'メモ')"})
            ExecData(QStringLiteral("insert into ") + QString::fromUtf8(row));
        for (const char* date : {"2005/03/31", "2005/04/01", "2005/10/10", "2006/03/31", "2006/04/01", "2007/05/05"})
            AddLine(QString::fromUtf8(date), QStringLiteral("青葉商店"), QStringLiteral("通信費"), 1050);
    }

    QStringList LineDates(const QString& file = QString()) {
        return Rows(QStringLiteral("select 日付 from 取引明細 order by 日付"), file);
    }
    QStringList AllLines() {
        return {QStringLiteral("2005/03/31"), QStringLiteral("2005/04/01"), QStringLiteral("2005/10/10"),
                QStringLiteral("2006/03/31"), QStringLiteral("2006/04/01"), QStringLiteral("2007/05/05")};
    }
    QStringList CompanyPeriod() { return Rows(QStringLiteral("select タイトル, 開始日, 終了日 from 自社情報")); }
    static QStringList ProgramFiles() {
        return {QStringLiteral("MurvData2K.mdb"), QStringLiteral("MurvWork2K.mdb"),
                QStringLiteral("OrgMurvData2K.mdb")};
    }
    void Update(F& f, std::initializer_list<Answer> answers = {}) {
        f.SSTab1.SetTab(F::kPage年次更新);
        Press(f.cmd更新, answers);
    }
    // A failed update changed nothing: lines, company row and page.
    void ExpectNothingChanged(F& f) {
        EXPECT_EQ(LineDates(), AllLines());
        EXPECT_EQ(CompanyPeriod(), QStringList{"2005年度/2005/04/01/2006/03/31"});
        EXPECT_EQ(f.dt今期開始.Date(), QDate(2005, 4, 1));
        EXPECT_EQ(f.txt次期タイトル.Text(), QStringLiteral("2006年度"));
    }
};

TEST_F(FrmHosyuYearEndTest, TheUpdateArchivesThePeriodRemovesItsLinesAndMakesTheNextPeriodCurrent) {
    F& f = Open();
    EXPECT_EQ(f.dt次期開始.Date(), QDate(2006, 4, 1));
    EXPECT_EQ(f.dt次期終了.Date(), QDate(2007, 3, 31));
    Retype(&f.txt今期タイトル, QStringLiteral(" 2005年度　"));
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    ModMurv::TaxRate = 0.5;  // stale
    Update(f);
    EXPECT_EQ(Texts(), (QStringList{"年次更新をします。よろしいですか。", "更新を終了しました。"}));

    // The archive: the masters, the old company row, only the period's lines.
    const QString archive = ArchivePath(QStringLiteral("2005年度.mdb"));
    EXPECT_EQ(LineDates(archive), (QStringList{"2005/04/01", "2005/10/10", "2006/03/31"}));
    EXPECT_EQ(Rows(QStringLiteral("select 取引先名, ふりがな from 取引先マスタ order by ふりがな"), archive),
              (QStringList{"青葉商店/あおばしょうてん", "角田工務店/かくたこうむてん"}));
    EXPECT_EQ(Rows(QStringLiteral("select 科目, 回数 from 取引先科目 order by 回数"), archive),
              (QStringList{"修繕費/1", "通信費/2"}));
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from 科目マスタ"), archive), QStringList{"2"});
    EXPECT_EQ(Rows(QStringLiteral("select * from コードマスタ"), archive), QStringList{"01/本店"});
    EXPECT_EQ(CompanyPeriod().size(), 1);
    EXPECT_EQ(Rows(QStringLiteral("select タイトル, 開始日, 終了日, 税率 from 自社情報"), archive),
              QStringList{"2005年度/2005/04/01/2006/03/31/0.05"});
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from 勘定科目"), archive), QStringList{"0"});
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from MvHint"), archive), QStringList{"0"});

    // The data file: the other lines, its masters, the new period.
    EXPECT_EQ(LineDates(), (QStringList{"2005/03/31", "2006/04/01", "2007/05/05"}));
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from 取引先科目")), QStringList{"2"});
    EXPECT_EQ(Rows(QStringLiteral("select タイトル, 開始日, 終了日, 税率, 税実施 from 自社情報")),
              QStringList{"2006年度/2006/04/01/2007/03/31/0.05/2026/10/01"});
    EXPECT_EQ(DataFolderFiles(), QStringList{"2005年度.mdb"} + ProgramFiles()) << "no work file left";

    // Both pages, the settings in force and the menu.
    EXPECT_EQ(f.dt今期開始.Date(), QDate(2006, 4, 1));
    EXPECT_EQ(f.dt今期終了.Date(), QDate(2007, 3, 31));
    EXPECT_EQ(f.txt今期タイトル.Text(), QStringLiteral("2006年度"));
    EXPECT_EQ(f.dt次期開始.Date(), QDate(2007, 4, 1));
    EXPECT_EQ(f.dt次期終了.Date(), QDate(2008, 3, 31));
    EXPECT_EQ(f.txt次期タイトル.Text(), QString());
    EXPECT_EQ(f.txt開始.Date(), QDate(2006, 4, 1));
    EXPECT_EQ(f.txt終了.Date(), QDate(2007, 3, 31));
    EXPECT_EQ(f.txtタイトル.Text(), QStringLiteral("2006年度"));
    EXPECT_FALSE(f.CnMsg.Visible());
    EXPECT_EQ(ModMurv::PeriodStart, QDate(2006, 4, 1));
    EXPECT_DOUBLE_EQ(ModMurv::TaxRate, 0.1);
    EXPECT_EQ(Menu().LblTitle.Caption(), QStringLiteral("2006年度"));
    EXPECT_EQ(Menu().Lbl期間.Caption(), QStringLiteral("2006年04月01日 ～\r\n           2007年03月31日"));

    // A second update stops at the empty next title.
    boxes_.Clear();
    Update(f);
    EXPECT_EQ(Texts(), QStringList{"入力必須項目が空白です。"});
    EXPECT_EQ(QApplication::focusWidget(), f.txt次期タイトル.Editor());
}

TEST_F(FrmHosyuYearEndTest, TheCheckStopsAtTheFirstEmptyInputAndATitleThatCannotNameTheArchive) {
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    f.dt次期開始.Clear();
    f.txt今期タイトル.SetText(QString());
    Update(f);
    EXPECT_EQ(Texts(), QStringList{"入力必須項目が空白です。"});
    EXPECT_EQ(QApplication::focusWidget(), &f.dt次期開始);
    f.dt次期開始.SetDate(QDate(2006, 4, 1));

    for (const char* title : {"MurvData2K", "murvwork2k", "OrgMurvData2K.mdb", "..", "2005/2006", " "}) {
        boxes_.Clear();
        f.txt今期タイトル.SetText(QString::fromUtf8(title));
        Update(f, {Answer::Yes, Answer::Yes});
        ASSERT_EQ(boxes_.Shown().size(), 1) << title;
        EXPECT_TRUE(Texts()[0].contains(QStringLiteral("はデータの名称に使えません"))) << title;
    }
    ExpectNothingChanged(f);
    EXPECT_EQ(DataFolderFiles(), ProgramFiles());
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from 取引先マスタ")), QStringList{"2"}) << "the data file itself";
}

// No name the user gives a file of the data folder, as an archive's title or
// as a saved copy, is one that start-up takes for a work file and removes.
TEST_F(FrmHosyuYearEndTest, NoFileTheUserNamesInTheDataFolderIsRemovedAtTheNextStartUp) {
    F& f = Open();
    const auto keptAtStartUp = [this](const QString& what) {
        const QStringList named = DataFolderFiles();
        core::RecoverDataFolder();
        EXPECT_EQ(DataFolderFiles(), named) << what.toStdString();
    };
    for (const QString& pattern : core::WorkFilePatterns()) {
        const QString name = QString(pattern).replace("[A-Za-z0-9]", "a").replace("[0-9]", "1");
        boxes_.Clear();
        for (const QString& copy : {name, name.toUpper()}) {
            dialogs_.QueuePath(ArchivePath(copy));
            maintenance::SaveDataFileToHdd(nullptr);
            keptAtStartUp(copy);
        }
        // The title whose archive (the title and ".mdb") has that name, or starts with it.
        f.txt今期タイトル.SetText(name.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive) ? name.chopped(4) : name);
        f.txt次期タイトル.SetText(QStringLiteral("次期"));
        Update(f, {Answer::Yes, Answer::Yes});
        keptAtStartUp(name);
    }
}

// A work file and a template with another's trigger are made afresh before use: what is typed is stored and archived.
TEST_F(FrmHosyuYearEndTest, AWorkFileOrTemplateWithAnothersTriggerIsMadeAfreshBeforeItIsUsed) {
    const QString trigger =
        QStringLiteral("create trigger t after %1 on %2 begin update %2 set 金額 = %3 where rowid = new.rowid; end");
    ASSERT_TRUE(test::WriteAsAnotherTool(WorkFile(), trigger.arg("update", "w取引明細", "new.金額 * 10")));
    ASSERT_TRUE(test::WriteAsAnotherTool(ArchivePath(core::kTemplateFileName), trigger.arg("insert", "取引明細", "0")));
    F& f = Open();
    auto& input = ui::Forms::Get<entry::FrmInput>(QStringLiteral("FrmInput"));
    input.Show();
    ASSERT_TRUE(ModMurv::DbWork.Execute(
        QStringLiteral("update w取引明細 set 日付 = #2005/05/05#, 取引先名 = '甲', 金額 = 1000 where lno = 1")));
    boxes_.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(input.Entry経費明細());
    f.txt次期タイトル.SetText(QStringLiteral("2006年度"));
    Update(f);
    EXPECT_EQ(
        Rows(QStringLiteral("select 金額 from 取引明細 order by 日付"), ArchivePath(QStringLiteral("2005年度.mdb"))),
        (QStringList{"1050", "1000", "1050", "1050"}));
}

TEST_F(FrmHosyuYearEndTest, AnArchiveThatCannotBeMadeOrFilledLeavesEveryLineInPlace) {
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));

    // A folder where the archive should go.
    ASSERT_TRUE(QDir(DataFolder()).mkdir(QStringLiteral("2005年度.mdb")));
    Update(f, {Answer::Yes, Answer::Yes});
    ASSERT_EQ(Texts().size(), 3);
    EXPECT_EQ(Texts()[1], QStringLiteral("その名称のデータは既に存在します。上書きしてよろしいですか。"));
    EXPECT_TRUE(Texts()[2].startsWith(QStringLiteral("年次更新のデータ "))) << Texts()[2].toStdString();
    EXPECT_TRUE(Texts()[2].contains(QStringLiteral("を作成できませんでした。取引データは削除していません。")));
    ExpectNothingChanged(f);
    EXPECT_FALSE(f.CnMsg.Visible());
    QDir(DataFolder()).rmdir(QStringLiteral("2005年度.mdb"));

    // A folder that cannot be written (the superuser writes anyway).
    if (geteuid() != 0) {
        boxes_.Clear();
        QFile::setPermissions(DataFolder(), QFile::ReadOwner | QFile::ExeOwner);
        Update(f);
        QFile::setPermissions(DataFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(Texts().size(), 2);
        ExpectNothingChanged(f);
    }

    // No template at all.
    ASSERT_TRUE(QFile::remove(QDir(DataFolder()).filePath(core::kTemplateFileName)));
    boxes_.Clear();
    Update(f);
    EXPECT_EQ(Texts(), (QStringList{"年次更新をします。よろしいですか。", "オリジナルファイルが見つかりません。"}));
    ExpectNothingChanged(f);
}

// The archive is made, then the lines cannot leave the data file: the message says that it stays, and what to do.
TEST_F(FrmHosyuYearEndTest, AFailureAfterTheArchiveWasMadeSaysTheArchiveIsLeft) {
    test::FullDisk full;
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    ASSERT_TRUE(full.Refuse(DataFile(), QStringLiteral("取引明細"), QStringLiteral("delete")));
    Update(f);
    const QString archive = ArchivePath(QStringLiteral("2005年度.mdb"));
    EXPECT_TRUE(
        Texts().last().contains(archive + QStringLiteral(" は作成済みで、そのまま残っています。原因を取り除いてから")))
        << Texts().last().toStdString();
    EXPECT_EQ(LineDates(archive).size(), 3);
    ExpectNothingChanged(f);
}

TEST_F(FrmHosyuYearEndTest, AnExistingArchiveIsReplacedOnlyWhenTheUserAgrees) {
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    const QString archive = ArchivePath(QStringLiteral("2005年度.mdb"));
    {
        QFile old(archive);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older archive");
    }
    Update(f, {Answer::Yes, Answer::No});
    EXPECT_EQ(Texts().size(), 2);
    ExpectNothingChanged(f);
    QFile old(archive);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("an older archive"));
    old.close();

    Update(f, {Answer::Yes, Answer::Yes});
    EXPECT_EQ(Texts().last(), QStringLiteral("更新を終了しました。"));
    EXPECT_EQ(LineDates(archive), (QStringList{"2005/04/01", "2005/10/10", "2006/03/31"}));
}

TEST_F(FrmHosyuYearEndTest, APeriodTypedBackwardsIsRefusedBeforeAnythingChanges) {
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    f.dt今期終了.SetDate(QDate(2005, 3, 1));
    Update(f, {Answer::Yes});
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].contains(QStringLiteral("終了日が開始日より前"))) << Texts()[0].toStdString();
    EXPECT_EQ(QApplication::focusWidget(), &f.dt今期終了);
    f.dt今期終了.SetDate(QDate(2006, 3, 31));
    f.dt次期終了.SetDate(QDate(2006, 1, 1));
    boxes_.Clear();
    Update(f, {Answer::Yes});
    EXPECT_TRUE(Texts().value(0).contains(QStringLiteral("終了日が開始日より前")));
    f.dt次期終了.SetDate(QDate(2007, 3, 31));
    ExpectNothingChanged(f);
    EXPECT_EQ(DataFolderFiles(), ProgramFiles());
}

TEST_F(FrmHosyuYearEndTest, TheArchiveIsReadableAsTheDataFileIs) {
    QFile::setPermissions(DataFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    F& f = Open();
    TypeInto(&f.txt次期タイトル, QStringLiteral("2006年度"));
    Update(f);
    EXPECT_EQ(QFile::permissions(ArchivePath(QStringLiteral("2005年度.mdb"))), QFile::permissions(DataFile()));
}

}  // namespace
