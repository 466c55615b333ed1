#include <gtest/gtest.h>

#include "core/MsgShow.h"
#include "platform/ui/MessagePresenter.h"

using ui::Answer;
using ui::MessageBoxContent;
using ui::MessageButtons;
using ui::MessageIcon;

namespace {

struct CatalogueCase {
    const char* operation;
    const char* kind;
    const char* subject;
    MessageBoxContent expected;
};

constexpr auto kYesNo = MessageButtons::YesNo;
constexpr auto kOk = MessageButtons::Ok;
constexpr auto kQuestion = MessageIcon::Question;
constexpr auto kInformation = MessageIcon::Information;
constexpr auto kWarning = MessageIcon::Warning;

MessageBoxContent Box(const char* title, const char* text, MessageButtons buttons, MessageIcon icon,
                      Answer defaultButton) {
    return {QString::fromUtf8(title), QString::fromUtf8(text), buttons, icon, defaultButton};
}

const CatalogueCase kCatalogue[] = {
    // 登録
    {"登録", "確認", "経費", Box("登録の確認", "経費 を登録します。よろしいですか", kYesNo, kQuestion, Answer::Yes)},
    {"登録", "確認", "", Box("登録の確認", " を登録します。よろしいですか", kYesNo, kQuestion, Answer::Yes)},
    {"登録", "標準完了", "経費", Box("登録メッセージ", "経費 を登録しました。", kOk, kInformation, Answer::Ok)},
    {"登録", "標準完了", "", Box("登録メッセージ", " を登録しました。", kOk, kInformation, Answer::Ok)},
    {"登録", "完了", "ヒント", Box("登録完了", "データ  ヒント を登録しました。", kOk, kInformation, Answer::Ok)},
    {"登録", "完了", "", Box("登録完了", "データ   を登録しました。", kOk, kInformation, Answer::Ok)},
    {"登録", "チェック", "", Box("入力項目のチェック", "入力必須項目が空白です。", kOk, kInformation, Answer::Ok)},
    {"登録", "チェック", "経費", Box("入力項目のチェック", "入力必須項目が空白です。", kOk, kInformation, Answer::Ok)},
    // 削除
    {"削除", "確認", "ヒント",
     Box("削除の確認", "すべてのデータを削除します。よろしいですか", kYesNo, kQuestion, Answer::No)},
    {"削除", "確認", "",
     Box("削除の確認", "すべてのデータを削除します。よろしいですか", kYesNo, kQuestion, Answer::No)},
    {"削除", "伝票確認2", "指定されたデータ",
     Box("削除の確認", "指定されたデータ を削除します。よろしいですか", kYesNo, kQuestion, Answer::No)},
    {"削除", "伝票確認2", "", Box("削除の確認", " を削除します。よろしいですか", kYesNo, kQuestion, Answer::No)},
    {"削除", "完了", "ヒント", Box("削除の完了", "データ ヒント を削除しました。", kOk, kInformation, Answer::Ok)},
    {"削除", "完了", "", Box("削除の完了", "データ  を削除しました。", kOk, kInformation, Answer::Ok)},
    {"削除", "伝票完了2", "すべての取引先情報",
     Box("削除の完了", "すべての取引先情報 を削除しました。", kOk, kInformation, Answer::Ok)},
    {"削除", "伝票完了2", "", Box("削除の完了", " を削除しました。", kOk, kInformation, Answer::Ok)},
    // 行指定
    {"行指定", "指定なし", "",
     Box("入力注意", "行が指定されていません。行指定してください。", kOk, kWarning, Answer::Ok)},
    {"行指定", "指定なし", "経費",
     Box("入力注意", "行が指定されていません。行指定してください。", kOk, kWarning, Answer::Ok)},
    // その他: the subject is the message, spliced in as given (blanks kept)
    {"その他", "確認", "勘定科目を転記しますか。",
     Box("確認", "勘定科目を転記しますか。", kYesNo, kQuestion, Answer::Yes)},
    {"その他", "確認", "", Box("確認", "", kYesNo, kQuestion, Answer::Yes)},
    {"その他", "メッセージ", " 更新を終了しました。 ",
     Box("情報", " 更新を終了しました。 ", kOk, kInformation, Answer::Ok)},
    {"その他", "メッセージ", "", Box("情報", "", kOk, kInformation, Answer::Ok)},
    {"その他", "読込み完了", "C:\\murv\\data\\MurvData2K.mdb に",
     Box("読込完了", "C:\\murv\\data\\MurvData2K.mdb に読込みしました。", kOk, kInformation, Answer::Ok)},
    {"その他", "読込み完了", "", Box("読込完了", "読込みしました。", kOk, kInformation, Answer::Ok)},
    {"その他", "コピー完了", "D:\\backup.mdb に",
     Box("コピー完了", "D:\\backup.mdb にコピーしました。", kOk, kInformation, Answer::Ok)},
    {"その他", "コピー完了", "", Box("コピー完了", "コピーしました。", kOk, kInformation, Answer::Ok)},
};

std::string Describe(const CatalogueCase& c) {
    return std::string(c.operation) + "/" + c.kind + "/\"" + c.subject + "\"";
}

}  // namespace

TEST(MsgShow, EveryCatalogueBoxShowsItsTextTitleAndStyleAndYieldsTrueOnlyForYesToAQuestion) {
    for (const CatalogueCase& c : kCatalogue) {
        SCOPED_TRACE(Describe(c));
        const bool question = c.expected.buttons == MessageButtons::YesNo;
        for (const Answer answer : {Answer::Yes, Answer::No}) {
            ui::ScriptedPresenter presenter{answer};
            ui::ScopedPresenter installed(presenter);

            const bool result =
                core::MsgShow(QString::fromUtf8(c.operation), QString::fromUtf8(c.kind), QString::fromUtf8(c.subject));

            ASSERT_EQ(presenter.Shown().size(), 1);
            const MessageBoxContent& shown = presenter.Shown().front();
            EXPECT_EQ(shown.title.toStdString(), c.expected.title.toStdString());
            EXPECT_EQ(shown.text.toStdString(), c.expected.text.toStdString());
            EXPECT_EQ(shown.buttons, c.expected.buttons);
            EXPECT_EQ(shown.icon, c.expected.icon);
            EXPECT_EQ(shown.defaultButton, c.expected.defaultButton);
            EXPECT_EQ(result, question && answer == Answer::Yes);
        }
    }
}

TEST(MsgShow, TriplesOutsideTheCatalogueShowNothingAndYieldFalse) {
    struct Case {
        const char* operation;
        const char* kind;
    };
    const Case cases[] = {
        {"登録", "確認 "},       // trailing blank on the kind
        {"削除", "伝票確認２"},  // full-width digit
        {"削除", "標準完了"},    // a kind of another operation
        {"その他", "読込完了"},  // the title, not the kind
        {"登録 ", "確認"},       // trailing blank on the operation
        {"変更", "確認"},       {"登録", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + "/" + c.kind);
        ui::ScriptedPresenter presenter{Answer::Yes};
        ui::ScopedPresenter installed(presenter);
        EXPECT_FALSE(core::MsgShow(QString::fromUtf8(c.operation), QString::fromUtf8(c.kind), QStringLiteral("経費")));
        EXPECT_TRUE(presenter.Shown().isEmpty());
    }
}

TEST(MsgShow, HandlersCalledDirectlyBehaveAsThroughMsgShow) {
    ui::ScriptedPresenter presenter{Answer::Yes, Answer::Yes};
    ui::ScopedPresenter installed(presenter);

    EXPECT_FALSE(core::MsgEntry(QStringLiteral("チェック"), QString()));
    EXPECT_TRUE(core::MsgOther(QStringLiteral("確認"), QStringLiteral("年次更新をします。よろしいですか。")));
    EXPECT_FALSE(core::MsgEntry(QStringLiteral("伝票確認2"), QStringLiteral("経費")));  // a 削除 kind

    ASSERT_EQ(presenter.Shown().size(), 2);
    EXPECT_EQ(presenter.Shown()[0].title, QStringLiteral("入力項目のチェック"));
    EXPECT_EQ(presenter.Shown()[1].text, QStringLiteral("年次更新をします。よろしいですか。"));
    EXPECT_EQ(presenter.PendingAnswers(), 1);  // the OK box took no answer
}
