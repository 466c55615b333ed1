// The database layer's log: each failed statement once, with its text and
// SQLite's message; nothing for statements that succeed.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/Log.h"
#include "tests/QtPrint.h"

namespace {

QStringList* g_lines = nullptr;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (g_lines && context.category && QByteArray(context.category) == "murv.db") g_lines->append(message);
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db_.Create(dir_.filePath(QStringLiteral("log.db"))));
        ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("CREATE TABLE 明細 (金額 DOUBLE NOT NULL, 取引先名 TEXT)")));
        g_lines = &lines_;
        previous_ = qInstallMessageHandler(&Capture);
    }
    void TearDown() override {
        qInstallMessageHandler(previous_);
        g_lines = nullptr;
    }

    QTemporaryDir dir_;
    db::Database db_;
    QStringList lines_;
    QtMessageHandler previous_ = nullptr;
};

TEST_F(LogTest, EveryFailedStatementIsLoggedOnceWithItsTextAndSqlitesMessage) {
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 (金額) values (1)")));
    ASSERT_TRUE(db_.OpenRecordset(QStringLiteral("select * from 明細")).IsOpen());
    EXPECT_TRUE(lines_.isEmpty()) << lines_.join(u'\n').toStdString();

    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 無い表")));
    ASSERT_EQ(lines_.size(), 1);
    EXPECT_TRUE(lines_[0].contains(QStringLiteral("delete * from 無い表")));
    EXPECT_TRUE(lines_[0].contains(QStringLiteral("no such table")));
    // The caller gets SQLite's message, not the statement.
    EXPECT_TRUE(db_.LastError().contains(QStringLiteral("no such table")));
    EXPECT_FALSE(db_.LastError().contains(QStringLiteral("delete")));

    EXPECT_FALSE(db_.OpenRecordset(QStringLiteral("select 無い列 from 明細")).IsOpen());
    ASSERT_EQ(lines_.size(), 2);
    EXPECT_TRUE(lines_[1].contains(QStringLiteral("select 無い列 from 明細")));

    // A write through a recordset that SQLite refuses.
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("取引先名"), QStringLiteral("A")));
    EXPECT_FALSE(rs.Update());
    ASSERT_EQ(lines_.size(), 3);
    EXPECT_TRUE(lines_[2].contains(QStringLiteral("NOT NULL")));
    EXPECT_TRUE(lines_[2].contains(QStringLiteral("INSERT")));

    // A statement the translation refuses, and one on a closed database.
    EXPECT_FALSE(db_.Execute(QStringLiteral("select * from 明細 where 取引先名 = 'open")));
    db_.Close();
    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 明細")));
    ASSERT_EQ(lines_.size(), 5);
    EXPECT_TRUE(lines_[4].contains(QStringLiteral("not open")));
}

}  // namespace
