// How a failure is said: the warning icon, a title that says something went
// wrong, the user's part in Japanese, the cause when its kind is known, the
// engine's text on a last line of its own (never the statement), and one
// line in the log.
#include <gtest/gtest.h>

#include <QStringList>

#include "core/Failure.h"
#include "platform/ui/MessagePresenter.h"

namespace {

QStringList g_logged;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QString::fromLatin1(context.category) == QStringLiteral("murv")) g_logged << message;
}

TEST(FailureTest, AFailureIsSaidOnceWithItsCauseAndTheEnginesTextButNoStatement) {
    ui::ScriptedPresenter boxes;
    ui::ScopedPresenter presenter(boxes);
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Capture);
    core::ShowFailure(QStringLiteral("経費を登録できませんでした。"),
                      QStringLiteral("database or disk is full [INSERT INTO 取引明細 (金額) VALUES (?)]"));
    qInstallMessageHandler(previous);

    ASSERT_EQ(boxes.Shown().size(), 1);
    const ui::MessageBoxContent& box = boxes.Shown().first();
    EXPECT_EQ(box.title, QStringLiteral("エラー"));
    EXPECT_EQ(box.icon, ui::MessageIcon::Warning);
    EXPECT_EQ(box.buttons, ui::MessageButtons::Ok);
    EXPECT_EQ(box.text, QStringLiteral("経費を登録できませんでした。\nディスクの空き容量が足りません。\n\ndatabase or disk is full"));
    ASSERT_EQ(g_logged.size(), 1);
    EXPECT_TRUE(g_logged.first().contains(QStringLiteral("INSERT INTO"))) << "the log keeps the whole detail";

    // No detail: the user's part alone.
    boxes.Clear();
    core::ShowFailure(QStringLiteral("ヒントを登録できませんでした。"));
    EXPECT_EQ(boxes.Shown().first().text, QStringLiteral("ヒントを登録できませんでした。"));
}

TEST(FailureTest, TheKindIsReadFromTheLayersTexts) {
    using core::FailureKind;
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("database disk image is malformed [select * from 取引明細]")),
              FailureKind::Corrupt);
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("/data/x.mdb: file is not a database")), FailureKind::NotADatabase);
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("attempt to write a readonly database")), FailureKind::ReadOnly);
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("database or disk is full")), FailureKind::Full);
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("disk I/O error")), FailureKind::Io);
    EXPECT_EQ(core::KindOfFailure(QStringLiteral("no such table: w取引明細")), FailureKind::Other);
    EXPECT_EQ(core::EngineText(QStringLiteral("no such table: x [select * from x]")), QStringLiteral("no such table: x"));
}

}  // namespace
