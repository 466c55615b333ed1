// How a failure is said: the warning icon, a title that says something went
// wrong, the user's part in Japanese, the cause when its kind is known, and
// one line in the log with the engine's text (never in the box).
#include <gtest/gtest.h>

#include <QStringList>

#include "core/Failure.h"
#include "platform/ui/MessagePresenter.h"

namespace {

QStringList g_logged;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QString::fromLatin1(context.category) == QStringLiteral("murv")) g_logged << message;
}

TEST(FailureTest, AFailureIsSaidOnceWithItsCauseAndLogsTheEnginesText) {
    ui::ScriptedPresenter boxes;
    ui::ScopedPresenter presenter(boxes);
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Capture);
    core::ShowFailure(QStringLiteral("経費を登録できませんでした。"),
                      db::Failure{db::ErrorKind::Full, QStringLiteral("database or disk is full")});
    qInstallMessageHandler(previous);

    ASSERT_EQ(boxes.Shown().size(), 1);
    const ui::MessageBoxContent& box = boxes.Shown().first();
    EXPECT_EQ(box.title, QStringLiteral("エラー"));
    EXPECT_EQ(box.icon, ui::MessageIcon::Warning);
    EXPECT_EQ(box.buttons, ui::MessageButtons::Ok);
    EXPECT_EQ(box.text, QStringLiteral("経費を登録できませんでした。\nディスクの空き容量が足りません。"));
    ASSERT_EQ(g_logged.size(), 1);
    EXPECT_TRUE(g_logged.first().contains(QStringLiteral("database or disk is full"))) << "the log keeps the detail";

    // No detail: the user's part alone.
    boxes.Clear();
    core::ShowFailure(QStringLiteral("ヒントを登録できませんでした。"));
    EXPECT_EQ(boxes.Shown().first().text, QStringLiteral("ヒントを登録できませんでした。"));
}

TEST(FailureTest, TheWordsAreChosenByTheKindOfTheLayersFailure) {
    ui::ScriptedPresenter boxes;
    ui::ScopedPresenter presenter(boxes);
    const auto said = [&](db::ErrorKind kind) {
        boxes.Clear();
        core::ShowFailure(QStringLiteral("読めません。"), db::Failure{kind, QStringLiteral("engine")});
        return boxes.Shown().first().text;
    };
    EXPECT_EQ(said(db::ErrorKind::Corrupt), QStringLiteral("読めません。\nデータベースのファイルが壊れています。"));
    EXPECT_EQ(said(db::ErrorKind::NotADatabase),
              QStringLiteral("読めません。\nファイルがデータベースの形式ではありません。"));
    EXPECT_TRUE(said(db::ErrorKind::Busy).contains(QStringLiteral("使用中")));
    EXPECT_EQ(said(db::ErrorKind::Other), QStringLiteral("読めません。"));
}

}  // namespace
