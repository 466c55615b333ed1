// The hint editor: read, save (one row per key), delete, clear and the edit lock.
#include "core/Hint.h"
#include "core/MainMenu.h"
#include "tests/support/ScreenFixture.h"

namespace {

using core::Hint;
using ui::Answer;

class HintTest : public test::ScreenTest {
protected:
    void SetUp() override {
        test::ScreenTest::SetUp();
        ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
        ModMurv::HintFormName = QStringLiteral("FrmInput");
        ModMurv::HintControlKey = QStringLiteral("cmdHint");
        ModMurv::HintCaption = QStringLiteral("経費入力");
    }
    Hint& Open() {
        core::ShowHint();
        return *qobject_cast<Hint*>(ui::Forms::Find(QStringLiteral("Hint")));
    }
    qint64 Rows() { return CountData(QStringLiteral("select * from MvHint where FormName = 'FrmInput'")); }
    QString StoredText() {
        db::Database d;
        EXPECT_TRUE(d.Open(DataFile()));
        return d.OpenRecordset(QStringLiteral("select * from MvHint")).Value(QStringLiteral("Contents")).toString();
    }
    QStringList Texts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }
};

TEST_F(HintTest, SavingTwiceKeepsOneRowWithTheLatestTextAndCaption) {
    Hint& hint = Open();
    EXPECT_EQ(hint.Caption(), QStringLiteral("ヒント        "));
    EXPECT_TRUE(hint.txtContents.Locked());
    hint.txtContents.SetText(QStringLiteral("月末に登録する"));  // saving works while locked too
    boxes_.QueueAnswer(Answer::Yes);
    QTest::mouseClick(&hint.cmd登録, Qt::LeftButton);
    EXPECT_EQ(Rows(), 1);

    hint.txtContents.SetText(QStringLiteral("毎週登録する"));
    boxes_.QueueAnswer(Answer::Yes);
    QTest::mouseClick(&hint.cmd登録, Qt::LeftButton);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(StoredText(), QStringLiteral("毎週登録する"));
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("ヒント を登録します。よろしいですか"),
                                    QStringLiteral("データ  ヒント を登録しました。"),
                                    QStringLiteral("ヒント を登録します。よろしいですか"),
                                    QStringLiteral("データ  ヒント を登録しました。")}));
}

TEST_F(HintTest, TheStoredTextIsShownWhenTheWindowOpens) {
    ExecData(QStringLiteral("insert into MvHint values ('FrmInput', 'cmdHint', '経費入力', 'O''Hara商会は月末')"));
    EXPECT_EQ(Open().txtContents.Text(), QStringLiteral("O'Hara商会は月末"));
}

TEST_F(HintTest, AnsweringNoChangesNothing) {
    ExecData(QStringLiteral("insert into MvHint values ('FrmInput', 'cmdHint', '経費入力', '残す')"));
    Hint& hint = Open();
    hint.txtContents.SetText(QStringLiteral("変更"));
    boxes_.QueueAnswer(Answer::No);
    QTest::mouseClick(&hint.cmd登録, Qt::LeftButton);
    boxes_.QueueAnswer(Answer::No);
    QTest::mouseClick(&hint.cmd削除, Qt::LeftButton);
    EXPECT_EQ(StoredText(), QStringLiteral("残す"));
    EXPECT_EQ(hint.txtContents.Text(), QStringLiteral("変更"));
    EXPECT_EQ(boxes_.Shown().size(), 2);
    EXPECT_EQ(boxes_.Shown()[1].defaultButton, Answer::No);
}

TEST_F(HintTest, DeleteEmptiesTheBoxEvenWithoutAStoredRow) {
    Hint& hint = Open();
    hint.txtContents.SetText(QStringLiteral("未保存"));
    boxes_.QueueAnswer(Answer::Yes);
    QTest::mouseClick(&hint.cmd削除, Qt::LeftButton);
    EXPECT_TRUE(hint.txtContents.Text().isEmpty());
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("すべてのデータを削除します。よろしいですか"),
                                    QStringLiteral("データ ヒント を削除しました。")}));
}

TEST_F(HintTest, ClearThenCloseLeavesTheStoredTextAndTheLockToggles) {
    ExecData(QStringLiteral("insert into MvHint values ('FrmInput', 'cmdHint', '経費入力', '残す')"));
    Hint& hint = Open();
    QTest::mouseClick(&hint.cmd編集, Qt::LeftButton);
    EXPECT_FALSE(hint.txtContents.Locked());
    EXPECT_EQ(hint.cmd編集.BackColorBgr(), Hint::kEditingColour);
    QTest::mouseClick(&hint.cmd編集, Qt::LeftButton);
    EXPECT_TRUE(hint.txtContents.Locked());
    EXPECT_EQ(hint.cmd編集.BackColorBgr(), Hint::kLockedColour);
    QTest::mouseClick(&hint.cmdクリア, Qt::LeftButton);
    QTest::mouseClick(&hint.cmd閉じる, Qt::LeftButton);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("Hint")), nullptr);
    EXPECT_EQ(StoredText(), QStringLiteral("残す"));
}

TEST_F(HintTest, AFailedSaveSaysSoInsteadOfReportingSuccess) {
    Hint& hint = Open();
    ModMurv::DbData.Close();
    hint.txtContents.SetText(QStringLiteral("保存できない"));
    boxes_.QueueAnswer(Answer::Yes);
    QTest::mouseClick(&hint.cmd登録, Qt::LeftButton);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts().first(), QStringLiteral("ヒント を登録します。よろしいですか"));
    // A failure: the warning icon, the user's part first, the engine's text last.
    EXPECT_EQ(Texts().last().section(u'\n', 0, 0), QStringLiteral("ヒントを登録できませんでした。"));
    EXPECT_EQ(boxes_.Shown().last().icon, ui::MessageIcon::Warning);
    EXPECT_EQ(boxes_.Shown().last().title, QStringLiteral("エラー"));
}

TEST_F(HintTest, ALaterHintButtonOnlyBringsTheWindowForward) {
    Hint& hint = Open();
    ModMurv::HintFormName = QStringLiteral("IoMaster");
    core::ShowHint();
    EXPECT_EQ(&Open(), &hint);
    EXPECT_EQ(hint.lblFormName.Caption(), QStringLiteral("FrmInput"));
}

}  // namespace
