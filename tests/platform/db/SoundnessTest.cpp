// What the database layer refuses and reports: writes to rows that are gone,
// statements with a second statement behind them, damaged files; and how it
// reads: rows as they are used, the same rows as a full read would give.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/Quote.h"
#include "tests/QtPrint.h"

namespace {

class SoundnessTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.filePath(QStringLiteral("s.db"));
        ASSERT_TRUE(db_.Create(path_));
        ASSERT_TRUE(db_.ExecuteNative(QStringLiteral(
            "CREATE TABLE 明細 (行番号 LONG, 日付 DATE, 取引先名 TEXT(255), ふりがな TEXT(255), 金額 DOUBLE);"
            "CREATE TABLE 他 (a LONG);")));
    }

    void AddLines(int n) {
        ASSERT_TRUE(db_.BeginTrans());
        db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細 where rowid = 0"));
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(rs.AddNew());
            EXPECT_TRUE(rs.SetValue(QStringLiteral("行番号"), i));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("日付"), QDate(2026, 1, 1).addDays(i % 365)));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("取引先名"), QStringLiteral("取引先%1").arg(i % 7)));
            EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), i * 10));
            ASSERT_TRUE(rs.Update());
        }
        ASSERT_TRUE(db_.CommitTrans());
    }

    qint64 Count(db::Database& d, const QString& sql) {
        db::Recordset rs = d.OpenRecordset(sql);
        return rs.IsEOF() ? -1 : rs.Value(0).toLongLong();
    }

    QTemporaryDir dir_;
    QString path_;
    db::Database db_;
};

TEST_F(SoundnessTest, AnUpdateOfARowDeletedUnderneathFails) {
    AddLines(2);
    db::Database other;
    ASSERT_TRUE(other.Open(path_));
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細 order by 行番号"));
    ASSERT_FALSE(rs.IsEOF());
    ASSERT_TRUE(other.Execute(QStringLiteral("delete * from 明細 where 行番号 = 1")));
    ASSERT_TRUE(rs.Edit());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), 5));
    EXPECT_FALSE(rs.Update());
    EXPECT_TRUE(rs.LastError().contains(QStringLiteral("no longer exists")));
    // The row that is still there is written.
    rs.MoveNext();
    ASSERT_TRUE(rs.Edit());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), 5));
    EXPECT_TRUE(rs.Update());
    EXPECT_EQ(Count(other, QStringLiteral("select sum(金額) from 明細")), 5);
}

TEST_F(SoundnessTest, ASecondStatementIsRefusedAndMinusSignsStayMinusSigns) {
    AddLines(3);
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 他 (a) values (1)")));
    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 明細; delete * from 他")));
    EXPECT_TRUE(db_.LastError().contains(QStringLiteral("delete * from 明細; delete * from 他")));
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 明細")), 3);
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 他")), 1);
    // Blanks and further ";" at the end are no second statement.
    EXPECT_TRUE(db_.Execute(QStringLiteral("update 他 set a = 2 ; ;  ")));
    // A ";" inside a literal is text.
    EXPECT_TRUE(db_.Execute(QStringLiteral("update 明細 set 取引先名 = 'a; b' where 行番号 = 1")));

    EXPECT_EQ(Count(db_, QStringLiteral("select 5--3")), 8);
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 明細 where 行番号 = 4--1")), 0);
    EXPECT_EQ(Count(db_, QStringLiteral("select 2-True")), 3);
    EXPECT_EQ(Count(db_, QStringLiteral("select 8/ 2")), 4);
}

TEST_F(SoundnessTest, TheKindOfAFailureTellsADamagedFileFromARefusal) {
    AddLines(3000);
    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 無い")));
    EXPECT_EQ(db_.LastErrorKind(), db::ErrorKind::Other);
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from 他")));
    EXPECT_EQ(db_.LastErrorKind(), db::ErrorKind::None);
    db_.Close();

    db::Database d;
    EXPECT_FALSE(d.Open(dir_.filePath(QStringLiteral("missing.db"))));
    EXPECT_EQ(d.LastErrorKind(), db::ErrorKind::IoError);
    const QString junk = dir_.filePath(QStringLiteral("junk.db"));
    QFile j(junk);
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.write(QByteArray(8192, 'x'));
    j.close();
    EXPECT_FALSE(d.Open(junk));
    EXPECT_EQ(d.LastErrorKind(), db::ErrorKind::NotADatabase);

    // Pages of the table overwritten: the walk ends with the damage said.
    QFile f(path_);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 pages = f.size() / 4096;
    ASSERT_GT(pages, 8);
    for (qint64 p = 3; p < pages; p += 3) {
        f.seek(p * 4096);
        f.write(QByteArray(4096, '\x5a'));
    }
    f.close();
    ASSERT_TRUE(d.Open(path_));
    db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 明細"));
    qint64 read = 0;
    for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext()) ++read;
    const db::ErrorKind kind = rs.IsOpen() ? rs.LastErrorKind() : d.LastErrorKind();
    EXPECT_EQ(kind, db::ErrorKind::Corrupt) << read;
    EXPECT_LT(read, 3000);
}

TEST_F(SoundnessTest, LongWalksReadTheSameRowsAsAFullRead) {
    AddLines(10000);
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細 order by 行番号"));
    const int fNo = rs.FieldIndex(QStringLiteral("行番号"));
    EXPECT_EQ(fNo, rs.FieldIndex(QStringLiteral("行番号")));
    qint64 walked = 0, sum = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ++walked;
        if (walked % 1000 == 0) sum += rs.Value(fNo).toLongLong();
    }
    EXPECT_EQ(walked, 10000);
    EXPECT_EQ(sum, 55000);
    // Back to rows passed over and rows read long ago.
    rs.MovePrevious();
    EXPECT_EQ(rs.Value(fNo).toLongLong(), 10000);
    rs.MoveFirst();
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.RowId(), 1);
    EXPECT_EQ(rs.Value(fNo).toLongLong(), 1);
    rs.SetAbsolutePosition(4321);
    EXPECT_EQ(rs.Value(fNo).toLongLong(), 4322);
    EXPECT_EQ(rs.RecordCount(), 10000);
    EXPECT_EQ(rs.ValueAt(9999, fNo).toLongLong(), 10000);
    rs.MoveLast();
    EXPECT_EQ(rs.Value(QStringLiteral("金額")).toDouble(), 100000.0);
    // A row far behind a long walk can still be changed.
    db::Recordset again = db_.OpenRecordset(QStringLiteral("select * from 明細 order by 行番号"));
    while (!again.IsEOF()) again.MoveNext();
    again.MoveFirst();
    ASSERT_TRUE(again.Edit());
    EXPECT_TRUE(again.SetValue(QStringLiteral("金額"), 1));
    ASSERT_TRUE(again.Update());
    EXPECT_EQ(Count(db_, QStringLiteral("select 金額 from 明細 where 行番号 = 1")), 1);

    // A walk left pending holds up no other connection's write, and keeps the
    // rows it had.
    db::Recordset pending = db_.OpenRecordset(QStringLiteral("select * from 明細 where 行番号 <= 3 order by 行番号"));
    ASSERT_FALSE(pending.IsEOF());
    db::Database other;
    ASSERT_TRUE(other.Open(path_));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(other.Execute(QStringLiteral("delete * from 明細 where 行番号 = 2")));
    EXPECT_LT(timer.elapsed(), 2000);
    pending.MoveNext();
    EXPECT_EQ(pending.Value(QStringLiteral("行番号")).toLongLong(), 2);
}

TEST_F(SoundnessTest, LookupsThatDifferInTheirValuesFindTheirOwnRows) {
    AddLines(50);
    ASSERT_TRUE(db_.Execute(QStringLiteral("update 明細 set 取引先名 = 'O''Hara' where 行番号 = 7")));
    for (int id : {5, 17, 5, 42}) {
        db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細 where rowid = %1").arg(id));
        ASSERT_FALSE(rs.IsEOF());
        EXPECT_EQ(rs.RowId(), id);
        EXPECT_EQ(rs.Value(QStringLiteral("行番号")).toLongLong(), id);
    }
    db::Recordset named = db_.OpenRecordset(QStringLiteral("select * from 明細 where 取引先名 = '") +
                                            db::SqlEscape(QStringLiteral("O'Hara")) + u'\'');
    ASSERT_FALSE(named.IsEOF());
    EXPECT_EQ(named.Value(QStringLiteral("行番号")).toLongLong(), 7);
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 明細 where 日付 = #2026/01/11#")), 1);
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 明細 where 日付 = #2026/01/12#")), 1);
    EXPECT_FALSE(db_.OpenRecordset(QStringLiteral("select * from 明細 where 日付 = #2026/02/30#")).IsOpen());
    // A table changed since is read as it is now.
    ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("ALTER TABLE 明細 ADD COLUMN 摘要 TEXT(255)")));
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細 where rowid = 5"));
    EXPECT_GE(rs.FieldIndex(QStringLiteral("摘要")), 0);
}

TEST_F(SoundnessTest, TextSortsInJapaneseOrderWhileStoredWithSqlitesOwn) {
    for (const char* r : {"あさ", "アカ", "かき", "あい"}) {
        ASSERT_TRUE(db_.Execute(
            QStringLiteral("insert into 明細 (ふりがな, 金額) values ('%1', 1)").arg(QString::fromUtf8(r))));
    }
    auto order = [&](const QString& sql) {
        QStringList out;
        for (db::Recordset rs = db_.OpenRecordset(sql); !rs.IsEOF(); rs.MoveNext())
            out << rs.Value(QStringLiteral("ふりがな")).toString();
        return out.join(u',');
    };
    EXPECT_EQ(order(QStringLiteral("select * from 明細 order by ふりがな")), QStringLiteral("あい,アカ,あさ,かき"));
    EXPECT_EQ(order(QStringLiteral("select * from 明細 order by 金額, [ふりがな] DESC;")),
              QStringLiteral("かき,あさ,アカ,あい"));
    // Binary order, for a statement that does not sort: katakana after hiragana.
    EXPECT_EQ(Count(db_, QStringLiteral("select count(*) from 明細 where ふりがな > 'かき'")), 1);
}

}  // namespace
