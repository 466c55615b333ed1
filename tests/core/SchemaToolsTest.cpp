// The data files as the stock sqlite3 command sees them, with no extension
// loaded: a file the program made, and a file of the earlier form (its text
// columns declared with the program's own collation) once the program has
// opened it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/Schema.h"
#include "platform/db/Database.h"
#include "tests/QtPrint.h"

namespace {

class SchemaToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty()) GTEST_SKIP() << "no sqlite3 command";
    }

    // Runs the sqlite3 command on a file; its output, or a failure.
    static QString Sqlite(const QString& file, const QString& script, bool* ok = nullptr) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), file});
        p.write(script.toUtf8());
        p.closeWriteChannel();
        p.waitForFinished(30000);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (ok) *ok = p.exitCode() == 0 && err.isEmpty();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed() + err;
    }

    // Every check of a file a user might run; `file` gets one partner and is
    // dumped into a new file that the program opens.
    void CheckWithTheStockTool(const QString& file) {
        bool ok = false;
        EXPECT_EQ(Sqlite(file, QStringLiteral("PRAGMA integrity_check;"), &ok), QStringLiteral("ok"));
        EXPECT_TRUE(ok);
        EXPECT_EQ(Sqlite(file, QStringLiteral("select 取引先名 from 取引先マスタ order by ふりがな;"), &ok),
                  QStringLiteral("乙商店\n甲商店"));
        EXPECT_TRUE(ok);
        EXPECT_EQ(Sqlite(file, QStringLiteral("select ふりがな from 取引先マスタ where 取引先名 = '甲商店';"), &ok),
                  QStringLiteral("こう"));
        Sqlite(file, QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('丙', 'へい');"), &ok);
        EXPECT_TRUE(ok);
        const QString dump = Sqlite(file, QStringLiteral(".dump"), &ok);
        ASSERT_TRUE(ok) << dump.toStdString();
        const QString copy = file + QStringLiteral(".reloaded");
        QFile::remove(copy);
        Sqlite(copy, dump, &ok);
        ASSERT_TRUE(ok);

        db::Database d;
        ASSERT_TRUE(d.Open(copy)) << d.LastError().toStdString();
        QStringList names;
        for (db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引先マスタ order by ふりがな"));
             !rs.IsEOF(); rs.MoveNext())
            names << rs.Value(QStringLiteral("取引先名")).toString();
        EXPECT_EQ(names, (QStringList{QStringLiteral("乙商店"), QStringLiteral("甲商店"), QStringLiteral("丙")}));
        db::Recordset lines = d.OpenRecordset(QStringLiteral("select count(*) as total from 取引明細"));
        EXPECT_EQ(lines.Value(QStringLiteral("total")).toLongLong(), 2);
        // The yes/no rule holds in the reloaded file too.
        ASSERT_TRUE(d.Execute(QStringLiteral("update 取引明細 set 非課税 = 5")));
        db::Recordset exempt = d.OpenRecordset(QStringLiteral("select min(非課税), max(非課税) from 取引明細"));
        EXPECT_EQ(exempt.Value(0).toLongLong(), -1);
        EXPECT_EQ(exempt.Value(1).toLongLong(), -1);
    }

    static void AddRows(db::Database& d) {
        ASSERT_TRUE(
            d.Execute(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('甲商店', 'こう')")));
        ASSERT_TRUE(
            d.Execute(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('乙商店', 'おつ')")));
        for (int i = 1; i <= 2; ++i)
            ASSERT_TRUE(d.Execute(QStringLiteral("insert into 取引明細 (行番号, 日付, 取引先名, 金額) "
                                                 "values (%1, #2026/4/%1#, '甲商店', 100)")
                                      .arg(i)));
    }

    QTemporaryDir dir_;
};

TEST_F(SchemaToolsTest, AFileTheProgramMadePassesTheStockToolsChecks) {
    QString error;
    ASSERT_TRUE(core::MakeDataFolder(dir_.path(), nullptr, &error)) << error.toStdString();
    const QString data = QDir(dir_.path()).filePath(core::kDataFileName);
    {
        db::Database d;
        ASSERT_TRUE(d.Open(data));
        AddRows(d);
    }
    CheckWithTheStockTool(data);
}

TEST_F(SchemaToolsTest, AFileOfTheEarlierFormIsConvertedWhenOpenedAndKeepsEveryRow) {
    // The earlier form: every text column with the program's own collation.
    const QString data = QDir(dir_.path()).filePath(core::kDataFileName);
    {
        db::Database d;
        ASSERT_TRUE(d.Create(data));
        static const QRegularExpression text(QStringLiteral("(TEXT\\(255\\)|LONGTEXT)"));
        for (const auto& t : core::DataTables())
            ASSERT_TRUE(d.ExecuteNative(core::TableStatements(t).replace(text, QStringLiteral("\\1 COLLATE JA"))));
        AddRows(d);
    }
    bool ok = false;
    EXPECT_NE(Sqlite(data, QStringLiteral("select 取引先名 from 取引先マスタ order by ふりがな;"), &ok), QString());
    EXPECT_FALSE(ok);  // the stock tool cannot read it as it is

    {
        db::Database d;
        ASSERT_TRUE(d.Open(data)) << d.LastError().toStdString();
    }
    EXPECT_FALSE(QFile::exists(data + QStringLiteral(".before-conversion")));  // checked, so not kept
    EXPECT_FALSE(Sqlite(data, QStringLiteral(".schema"), &ok).contains(QStringLiteral("COLLATE")));
    EXPECT_EQ(Sqlite(data, QStringLiteral("select count(*) from sqlite_master where type = 'trigger';"), &ok),
              QStringLiteral("6"));
    CheckWithTheStockTool(data);
}

}  // namespace
