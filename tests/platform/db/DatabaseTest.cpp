// The database layer over real files: opening, statements, recordsets,
// stored forms, other files, transactions and text order.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/Quote.h"
#include "platform/db/Transaction.h"
#include "tests/QtPrint.h"
#include "tests/support/BookFiles.h"

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("data.db"));
        ASSERT_TRUE(db_.Create(path_)) << db_.LastError().toStdString();
        ASSERT_TRUE(db_.ExecuteNative(QStringLiteral(
            "CREATE TABLE 明細 (行番号 LONG, 日付 DATE, 取引先名 TEXT(255) COLLATE JA, 金額 DOUBLE, "
            "税額 CURRENCY, 非課税 YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0);"
            "CREATE TABLE w明細 (チェック YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0, 取引先名 TEXT(255), "
            "金額 DOUBLE, 行番号 LONG);"
            "CREATE TABLE 読み (ふりがな TEXT(255) COLLATE JA);")));
    }

    QString NewFile(const QString& relative, const QString& ddl) {
        const QString p = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(p).path());
        db::Database d;
        EXPECT_TRUE(d.Create(p));
        EXPECT_TRUE(d.ExecuteNative(ddl));
        return p;
    }

    QVariant Scalar(const QString& sql) {
        db::Recordset rs = db_.OpenRecordset(sql);
        EXPECT_TRUE(rs.IsOpen()) << db_.LastError().toStdString();
        return rs.IsEOF() ? QVariant() : rs.Value(0);
    }

    QTemporaryDir dir_;
    QString path_;
    db::Database db_;
};

TEST_F(DatabaseTest, OpeningAMissingFileFailsAndCreatesNothing) {
    const QString missing = dir_.filePath(QStringLiteral("nothere.mdb"));
    db::Database d;
    EXPECT_FALSE(d.Open(missing));
    EXPECT_TRUE(d.LastError().contains(missing));
    EXPECT_FALSE(QFile::exists(missing));

    // A file that is not a database fails at open, not later.
    const QString junk = dir_.filePath(QStringLiteral("junk.mdb"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_FALSE(d.Open(junk));
    EXPECT_FALSE(d.IsOpen());
}

TEST_F(DatabaseTest, EveryCallOnAClosedDatabaseFailsSoftly) {
    db::Database never;
    EXPECT_FALSE(never.Execute(QStringLiteral("delete * from 明細")));
    EXPECT_FALSE(never.BeginTrans());
    db::Recordset none = never.OpenRecordset(QStringLiteral("select * from 明細"));
    EXPECT_FALSE(none.IsOpen());
    EXPECT_TRUE(none.IsBOF());
    EXPECT_TRUE(none.IsEOF());
    EXPECT_FALSE(none.AddNew());
    EXPECT_FALSE(none.Update());
    EXPECT_TRUE(none.Value(QStringLiteral("金額")).isNull());

    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 (金額) values (100)")));
    db::Recordset open = db_.OpenRecordset(QStringLiteral("select * from 明細"));
    db_.Close();
    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 明細")));
    EXPECT_FALSE(db_.CommitTrans());
    // Rows read before the close stay readable; writing fails without a crash.
    EXPECT_EQ(open.Value(QStringLiteral("金額")).toDouble(), 100.0);
    EXPECT_FALSE(open.Edit() && open.SetValue(QStringLiteral("金額"), 5) && open.Update());
    EXPECT_FALSE(open.AddNew() && open.Update());
}

TEST_F(DatabaseTest, DatesAndYesNoRoundTripInTheirStoredForms) {
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("日付"), QDate(2005, 4, 1)));
    EXPECT_TRUE(rs.SetValue(QStringLiteral("非課税"), -1));  // as a grid writes it
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("日付"), QStringLiteral("2005/4/2")));
    EXPECT_TRUE(rs.SetValue(QStringLiteral("非課税"), 7));
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("非課税"), QVariant()));
    ASSERT_TRUE(rs.Update());
    rs.Close();

    // A literal True and a written -1 or 7 meet; Null became False.
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) as total from 明細 where 非課税 = True")).toLongLong(), 2);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) as total from 明細 where 非課税 = False")).toLongLong(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) as total from 明細 where 日付 >= #2005/04/02#")).toLongLong(), 1);
    rs = db_.OpenRecordset(QStringLiteral("select 日付, 非課税 from 明細 where 日付 = #2005/04/01#"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Value(0), QVariant(QDate(2005, 4, 1)));
    EXPECT_EQ(rs.Value(1), QVariant(true));
    // The stored forms themselves.
    EXPECT_EQ(Scalar(QStringLiteral("select min(非課税) from 明細")).toLongLong(), -1);
    EXPECT_EQ(Scalar(QStringLiteral("select max(日付) from 明細")).toString(), QStringLiteral("2005-04-02"));
}

TEST_F(DatabaseTest, WrittenValuesAreCoercedToTheFieldType) {
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 明細"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetValue(QStringLiteral("行番号"), QStringLiteral("03")));
    EXPECT_TRUE(rs.SetValue(QStringLiteral("金額"), 9999999999.0));
    EXPECT_TRUE(rs.SetValue(QStringLiteral("税額"), QStringLiteral("909090909")));
    EXPECT_FALSE(rs.SetValue(QStringLiteral("金額"), QStringLiteral("12a")));
    EXPECT_FALSE(rs.SetValue(QStringLiteral("日付"), QStringLiteral("2005/02/30")));
    EXPECT_FALSE(rs.SetValue(QStringLiteral("存在しない"), 1));
    // A text longer than its field is refused whole, never cut; a character
    // outside the Basic Multilingual Plane counts once, as SQLite counts it.
    EXPECT_FALSE(rs.SetValue(QStringLiteral("取引先名"), QString(256, QChar(u'長'))));
    EXPECT_TRUE(rs.LastError().contains(QStringLiteral("longer than the field 取引先名")))
        << rs.LastError().toStdString();
    EXPECT_TRUE(rs.SetValue(QStringLiteral("取引先名"), QStringLiteral("𠮷").repeated(255)));
    ASSERT_TRUE(rs.Update());
    rs = db_.OpenRecordset(QStringLiteral("select * from 明細"));
    EXPECT_EQ(rs.Value(QStringLiteral("取引先名")).toString(), QStringLiteral("𠮷").repeated(255));
    EXPECT_EQ(rs.Value(QStringLiteral("行番号")), QVariant(qint64(3)));
    EXPECT_EQ(rs.Value(QStringLiteral("金額")).toDouble(), 9999999999.0);
    EXPECT_EQ(rs.Value(QStringLiteral("税額")).toDouble(), 909090909.0);
    EXPECT_TRUE(rs.Value(QStringLiteral("日付")).isNull());
}

TEST_F(DatabaseTest, AggregatesOverNoRowsAndCaseInsensitiveAliases) {
    db::Recordset rs = db_.OpenRecordset(
        QStringLiteral("select count(*) as total, sum([金額]) as tkin, max([金額]) as gkin from 明細"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Value(QStringLiteral("TOTAL")), QVariant(qint64(0)));
    EXPECT_TRUE(rs.Value(QStringLiteral("TKin")).isNull());
    EXPECT_TRUE(rs.Fields(QStringLiteral("Gkin")).Value().isNull());
    EXPECT_TRUE(rs.Value(QStringLiteral("nothing")).isNull());
}

TEST_F(DatabaseTest, RowsComeInInsertionOrderAndEditsHitExactlyTheirRow) {
    // Work tables have no key: two equal rows stay two rows.
    for (int amount : {300, 100, 200, 100}) {
        ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (取引先名, 金額) values ('A', %1)").arg(amount)));
    }
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from w明細"));
    QList<int> seen;
    for (; !rs.IsEOF(); rs.MoveNext()) seen << rs.Value(QStringLiteral("金額")).toInt();
    EXPECT_EQ(seen, (QList<int>{300, 100, 200, 100}));

    rs.MoveFirst();
    rs.MoveNext();  // the first 100
    ASSERT_TRUE(rs.Edit());
    rs.Fields(QStringLiteral("チェック")) = true;
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from w明細 where チェック = True")).toLongLong(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select sum(金額) from w明細 where チェック = True")).toDouble(), 100.0);
}

TEST_F(DatabaseTest, AddNewThroughAFilteredSelect) {
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from w明細 where 取引先名 = 'nobody'"));
    ASSERT_TRUE(rs.IsEOF());
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("取引先名")) = QStringLiteral("B");
    ASSERT_TRUE(rs.Update());
    EXPECT_TRUE(rs.IsEOF());  // the current position is not moved onto the new row
    EXPECT_EQ(Scalar(QStringLiteral("select 取引先名 from w明細")).toString(), QStringLiteral("B"));
    EXPECT_EQ(Scalar(QStringLiteral("select チェック from w明細")), QVariant(qint64(0)));
}

TEST_F(DatabaseTest, QuotesAndInjectionTextsAreStoredAsPlainNames) {
    for (const QString& name : {QStringLiteral("O'Hara商会"), QStringLiteral("x' or '1'='1")}) {
        ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (取引先名) values ('") + db::SqlEscape(name) +
                                QStringLiteral("')")));
    }
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (取引先名) values ('other')")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from w明細 where 取引先名 = '") +
                            db::SqlEscape(QStringLiteral("x' or '1'='1")) + u'\''));
    EXPECT_EQ(db_.RecordsAffected(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from w明細")).toLongLong(), 2);
    EXPECT_EQ(Scalar(QStringLiteral("select 取引先名 from w明細 where 取引先名 like 'O''H*'")).toString(),
              QStringLiteral("O'Hara商会"));
}

TEST_F(DatabaseTest, InsertSelectMeetsFieldsByName) {
    // w明細's fields stand in another order than 明細's.
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 (行番号, 取引先名, 金額) values (7, 'A', 1500)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 select 行番号,取引先名,金額 from 明細")));
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from w明細"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Value(QStringLiteral("行番号")).toLongLong(), 7);
    EXPECT_EQ(rs.Value(QStringLiteral("取引先名")).toString(), QStringLiteral("A"));
    EXPECT_EQ(rs.Value(QStringLiteral("金額")).toDouble(), 1500.0);
    EXPECT_EQ(rs.Value(QStringLiteral("チェック")), QVariant(false));

    // select * between two tables of the same shape.
    ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("CREATE TABLE w明細2 AS SELECT * FROM w明細 WHERE 0")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細2 select * from w明細")));
    EXPECT_EQ(Scalar(QStringLiteral("select 金額 from w明細2")).toDouble(), 1500.0);
}

TEST_F(DatabaseTest, ExternalDatabaseClauseReadsAnotherFileWithAQuoteInItsPath) {
    const QString other = NewFile(QStringLiteral("O'Hara dir/他.mdb"),
                                  QStringLiteral("CREATE TABLE 取引先 (取引先名 TEXT(255), ふりがな TEXT(255));"
                                                 "INSERT INTO 取引先 VALUES ('甲', 'こう'), ('乙', 'おつ');"));
    const QString in = QStringLiteral(" in '") + db::SqlEscape(other) + u'\'';
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 select 取引先名 from 取引先") + in +
                            QStringLiteral(" order by ふりがな;")))
        << db_.LastError().toStdString();
    EXPECT_EQ(db_.RecordsAffected(), 2);
    EXPECT_EQ(Scalar(QStringLiteral("select 取引先名 from w明細")).toString(), QStringLiteral("乙"));
    // Read again through the same clause: the file is attached once.
    ASSERT_TRUE(db_.OpenRecordset(QStringLiteral("select * from 取引先") + in).IsOpen());
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from pragma_database_list")).toLongLong(), 2);

    // Another file copied over the path (a restored backup) is read from then
    // on, under the same name.
    const QString backup = NewFile(QStringLiteral("backup.mdb"),
                                   QStringLiteral("CREATE TABLE 取引先 (取引先名 TEXT(255), ふりがな TEXT(255));"
                                                  "INSERT INTO 取引先 VALUES ('丙', 'へい');"));
    ASSERT_TRUE(QFile::remove(other));
    ASSERT_TRUE(QFile::copy(backup, other));
    db::Recordset restored = db_.OpenRecordset(QStringLiteral("select * from 取引先") + in);
    ASSERT_EQ(restored.RecordCount(), 1) << db_.LastError().toStdString();
    EXPECT_EQ(restored.Value(QStringLiteral("取引先名")).toString(), QStringLiteral("丙"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from pragma_database_list")).toLongLong(), 2);

    // A missing file is an error and is not created.
    const QString missing = dir_.filePath(QStringLiteral("missing.mdb"));
    EXPECT_FALSE(db_.Execute(QStringLiteral("insert into w明細 select 取引先名 from 取引先 in '") + missing + u'\''));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(DatabaseTest, TransactionsRollBackAndAttachingInsideOneFailsSoftly) {
    const QString other = NewFile(QStringLiteral("other.mdb"), QStringLiteral("CREATE TABLE x (a LONG);"));
    ASSERT_TRUE(db_.BeginTrans());
    EXPECT_FALSE(db_.BeginTrans());
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (金額) values (1)")));
    EXPECT_FALSE(db_.Execute(QStringLiteral("insert into w明細 (行番号) select a from x in '") + other + u'\''));
    ASSERT_TRUE(db_.Rollback());
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from w明細")).toLongLong(), 0);

    // Attached before the transaction, the other file can be used inside it.
    ASSERT_TRUE(db_.OpenRecordset(QStringLiteral("select * from x in '") + other + u'\'').IsOpen());
    ASSERT_TRUE(db_.BeginTrans());
    EXPECT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (行番号) select a from x in '") + other + u'\''));
    ASSERT_TRUE(db_.CommitTrans());

    // A full disk makes SQLite end the transaction itself: the failure stays
    // a full disk, and the connection takes the next transaction.
    const test::FullDisk fullDisk;
    db::Database full;
    ASSERT_TRUE(full.Open(path_));
    {
        db::Transaction transaction(full);
        ASSERT_TRUE(transaction.Began());
        EXPECT_FALSE(full.ExecuteNative(QStringLiteral("insert into w明細 (金額) values (full_disk())")));
    }
    EXPECT_EQ(full.LastFailure().kind, db::ErrorKind::Full) << full.LastError().toStdString();
    EXPECT_FALSE(full.InTransaction());
    db::Transaction next(full);
    EXPECT_TRUE(next.Began()) << full.LastError().toStdString();
}

TEST_F(DatabaseTest, TwoConnectionsOnOneFile) {
    db::Database second;
    ASSERT_TRUE(second.Open(path_));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into w明細 (取引先名) values ('A')")));
    db::Recordset rs = second.OpenRecordset(QStringLiteral("select * from w明細"));
    ASSERT_FALSE(rs.IsEOF());
    ASSERT_TRUE(rs.Edit());
    rs.Fields(QStringLiteral("取引先名")) = QStringLiteral("B");
    ASSERT_TRUE(rs.Update());  // no statement of the first connection holds a lock
    EXPECT_EQ(Scalar(QStringLiteral("select 取引先名 from w明細")).toString(), QStringLiteral("B"));
}

TEST_F(DatabaseTest, ReadingsSortInJapaneseOrderWhileEqualityStaysExact) {
    for (const char* r : {"あさ", "アカ", "ｱｲ", "あい", "かき", "カキ"}) {
        ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 読み values ('%1')").arg(QString::fromUtf8(r))));
    }
    QStringList order;
    db::Recordset rs = db_.OpenRecordset(QStringLiteral("select * from 読み order by ふりがな"));
    for (; !rs.IsEOF(); rs.MoveNext()) order << rs.Value(0).toString();
    ASSERT_EQ(order.size(), 6);
    // Same sound together, whatever the script or width.
    EXPECT_EQ(QSet<QString>(order.begin(), order.begin() + 2),
              (QSet<QString>{QStringLiteral("あい"), QStringLiteral("ｱｲ")}));
    EXPECT_EQ(order[2], QStringLiteral("アカ"));
    EXPECT_EQ(order[3], QStringLiteral("あさ"));
    EXPECT_EQ(QSet<QString>(order.begin() + 4, order.end()),
              (QSet<QString>{QStringLiteral("かき"), QStringLiteral("カキ")}));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from 読み where ふりがな = 'かき'")).toLongLong(), 1);
}

}  // namespace

namespace {

class AttachTest : public DatabaseTest {};

TEST_F(AttachTest, AnAttachedFileIsWrittenInOneTransactionWithTheConnectionsOwn) {
    const QString work = NewFile(QStringLiteral("work.mdb"),
                                 QStringLiteral("CREATE TABLE w行 (lno LONG, チェック YESNO NOT NULL DEFAULT 0);"
                                                "INSERT INTO w行 VALUES (1, -1), (2, 0), (3, -1);"));
    const QString in = QStringLiteral(" in '") + db::SqlEscape(work) + u'\'';
    for (int n : {1, 2, 3}) ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 (行番号) values (%1)").arg(n)));
    db::Database other;  // the work file's own connection, as the screens have it
    ASSERT_TRUE(other.Open(work));
    auto count = [](db::Database& d, const QString& sql) {
        db::Recordset rs = d.OpenRecordset(sql);
        return rs.IsEOF() ? qint64(-1) : rs.Value(0).toLongLong();
    };

    ASSERT_TRUE(db_.Attach(work)) << db_.LastError().toStdString();
    EXPECT_TRUE(db_.Attach(work));   // once is enough
    EXPECT_TRUE(db_.Attach(path_));  // its own file: nothing to do
    ASSERT_TRUE(db_.BeginTrans());
    EXPECT_FALSE(db_.Attach(dir_.filePath(QStringLiteral("work.mdb")) + QStringLiteral("x")));

    // A failure part-way undoes both files.
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from 明細 where 行番号 <> 2")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from w行") + in + QStringLiteral(" where チェック = True")));
    EXPECT_EQ(db_.RecordsAffected(), 2);
    EXPECT_FALSE(db_.Execute(QStringLiteral("delete * from 無い表")));
    ASSERT_TRUE(db_.Rollback());
    EXPECT_EQ(count(db_, QStringLiteral("select count(*) from 明細")), 3);
    EXPECT_EQ(count(other, QStringLiteral("select count(*) from w行")), 3);

    // Both or nothing: the commit takes both, and the other connection sees it.
    ASSERT_TRUE(db_.BeginTrans());
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from 明細 where 行番号 <> 2")));
    db::Recordset rows = db_.OpenRecordset(QStringLiteral("select * from w行") + in + QStringLiteral(" where lno = 2"));
    ASSERT_TRUE(rows.Edit());
    EXPECT_TRUE(rows.SetValue(QStringLiteral("チェック"), true));
    ASSERT_TRUE(rows.Update()) << rows.LastError().toStdString();
    rows.Close();
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete * from w行") + in + QStringLiteral(" where lno <> 2")));
    EXPECT_FALSE(db_.Detach(work));  // not inside the transaction
    ASSERT_TRUE(db_.CommitTrans()) << db_.LastError().toStdString();
    EXPECT_EQ(count(db_, QStringLiteral("select count(*) from 明細")), 1);
    EXPECT_EQ(count(other, QStringLiteral("select count(*) from w行 where チェック = True")), 1);
    EXPECT_EQ(count(other, QStringLiteral("select count(*) from w行")), 1);

    ASSERT_TRUE(db_.Detach(work));
    EXPECT_EQ(count(db_, QStringLiteral("select count(*) from pragma_database_list")), 1);
    EXPECT_TRUE(db_.Detach(work));  // no longer attached: nothing to do
}

}  // namespace
