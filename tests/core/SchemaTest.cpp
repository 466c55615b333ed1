// The data folder's three files, made from the one table definition.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/Quote.h"
#include "tests/QtPrint.h"

namespace {

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.filePath(QStringLiteral("data"));
        QString error;
        ASSERT_TRUE(core::MakeDataFolder(folder_, &created_, &error)) << error.toStdString();
    }
    QString File(const QString& name) const { return QDir(folder_).filePath(name); }

    QTemporaryDir dir_;
    QString folder_;
    QStringList created_;
};

TEST_F(SchemaTest, MakesTheThreeFilesWithTheirStartingRows) {
    EXPECT_EQ(created_.size(), 3);
    db::Database data;
    ASSERT_TRUE(data.Open(File(core::kDataFileName)));
    db::Recordset rs = data.OpenRecordset(QStringLiteral("select * from 自社情報"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(QStringLiteral("年号")).toString(), QStringLiteral("西暦"));
    EXPECT_EQ(rs.Value(QStringLiteral("明細リスト読込数")).toLongLong(), 20);
    EXPECT_TRUE(rs.Value(QStringLiteral("開始日")).isNull());
    EXPECT_TRUE(rs.Value(QStringLiteral("タイトル")).isNull());
    rs = data.OpenRecordset(QStringLiteral("select * from 勘定科目 where 科目名 = '消耗品費'"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Value(QStringLiteral("ふりがな")).toString(), QStringLiteral("しょうもうひんひ"));
    EXPECT_FALSE(rs.Value(QStringLiteral("説明")).toString().isEmpty());
    EXPECT_GE(data.OpenRecordset(QStringLiteral("select * from 勘定科目")).RecordCount(), 20);

    db::Database work;
    ASSERT_TRUE(work.Open(File(core::kWorkFileName)));
    EXPECT_EQ(work.OpenRecordset(QStringLiteral("select * from 管理")).RecordCount(), 1);
    // The entry grid's table, fields in order.
    QStringList names;
    for (const auto& [name, type] : work.TableFields(QStringLiteral("w取引明細"))) names << name;
    EXPECT_EQ(names.join(u','),
              QStringLiteral("lno,チェック,行番号,日付,月,日,月日,曜日,DD日付,取引先名,科目,金額,税額,"
                             "非課税,摘要"));

    db::Database tmpl;
    ASSERT_TRUE(tmpl.Open(File(core::kTemplateFileName)));
    for (const auto& t : core::DataTables()) {
        EXPECT_EQ(tmpl.TableFields(t.name).size(), t.fields.size()) << t.name.toStdString();
        EXPECT_EQ(tmpl.OpenRecordset(QStringLiteral("select * from ") + t.name).RecordCount(), 0);
    }
}

TEST_F(SchemaTest, AnExistingFileIsNeverTouched) {
    {
        db::Database data;
        ASSERT_TRUE(data.Open(File(core::kDataFileName)));
        ASSERT_TRUE(data.Execute(QStringLiteral("insert into 取引先マスタ (取引先名) values ('残る')")));
    }
    ASSERT_TRUE(QFile::remove(File(core::kWorkFileName)));
    QStringList created;
    QString error;
    ASSERT_TRUE(core::MakeDataFolder(folder_, &created, &error));
    EXPECT_EQ(created, QStringList{File(core::kWorkFileName)});
    db::Database data;
    ASSERT_TRUE(data.Open(File(core::kDataFileName)));
    EXPECT_EQ(data.OpenRecordset(QStringLiteral("select * from 取引先マスタ")).RecordCount(), 1);
}

TEST_F(SchemaTest, YesNoFieldsHoldOnlyTrueOrFalseWhateverTheStatementWrites) {
    db::Database work;
    ASSERT_TRUE(work.Open(File(core::kWorkFileName)));
    ASSERT_TRUE(work.Execute(QStringLiteral("insert into w取引明細 (lno, 非課税) values (1, 5)")));
    ASSERT_TRUE(work.Execute(QStringLiteral("insert into w取引明細 (lno, 非課税) values (2, null)")));
    ASSERT_TRUE(work.Execute(QStringLiteral("update w取引明細 set チェック = 3 where lno = 2")));
    db::Recordset rs =
        work.OpenRecordset(QStringLiteral("select lno from w取引明細 where 非課税 = True and チェック = False"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 1);
    rs = work.OpenRecordset(QStringLiteral("select lno from w取引明細 where 非課税 = False and チェック = True"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 2);
}

// Every statement shape that the lists, the reports and the maintenance
// screen run, on the connection it runs on, against the real files.
class StatementShapes : public SchemaTest {
protected:
    void SetUp() override {
        SchemaTest::SetUp();
        ASSERT_TRUE(data_.Open(File(core::kDataFileName)));
        ASSERT_TRUE(work_.Open(File(core::kWorkFileName)));
        in_ = QStringLiteral(" in '") + db::SqlEscape(File(core::kDataFileName)) + u'\'';
        for (const char* row :
             {"insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 税額) values (1, #2005/04/10#, 'O''Hara商会', "
              "'通信費', 1050, 50)",
              "insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 税額) values (2, #2005/04/10#, 'O''Hara商会', "
              "'雑費', 300, 14)",
              "insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 税額) values (1, #2005/05/01#, '乙', "
              "'通信費', 2100, 100)",
              "insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 非課税) values (1, #2006/04/01#, '乙', "
              "'雑費', 999, True)",
              "insert into 取引先マスタ (取引先名, ふりがな) values ('O''Hara商会', 'おはらしょうかい')",
              "insert into 取引先マスタ (取引先名, ふりがな) values ('乙', 'おつ')",
              "insert into 取引先科目 (取引先名, 科目, 回数) values ('乙', '通信費', 1)",
              "insert into 科目マスタ (科目, ふりがな) values ('通信費', 'つうしんひ')"})
            ASSERT_TRUE(data_.Execute(QString::fromUtf8(row))) << row << data_.LastError().toStdString();
    }

    // Runs a statement and gives the rows it changed (-1 when it failed).
    qint64 Run(db::Database& d, const QString& sql) {
        if (!d.Execute(sql)) {
            ADD_FAILURE() << sql.toStdString() << "\n" << d.LastError().toStdString();
            return -1;
        }
        return d.RecordsAffected();
    }
    // The one value of an aggregate, read through its alias in another case.
    QVariant Alias(db::Database& d, const QString& sql, const QString& alias) {
        db::Recordset rs = d.OpenRecordset(sql);
        EXPECT_TRUE(rs.IsOpen()) << sql.toStdString() << "\n" << d.LastError().toStdString();
        EXPECT_FALSE(rs.IsEOF()) << sql.toStdString();
        EXPECT_GE(rs.FieldIndex(alias), 0) << sql.toStdString();
        return rs.Value(alias);
    }

    db::Database data_;
    db::Database work_;
    QString in_;
};

TEST_F(StatementShapes, ExpenseListReadsCountsAndDeletesTickedLines) {
    const QString period = QStringLiteral(" where 日付 >= #2005/04/01# and 日付 <= #2006/03/31#");
    EXPECT_EQ(Run(work_, QStringLiteral("delete * from w経費一覧")), 0);
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費一覧 select 行番号,日付,取引先名,科目,金額") +
                             QStringLiteral(" from 取引明細") + in_ + period +
                             QStringLiteral(" and 取引先名 = 'O''Hara商会' order by 金額 DESC;")),
              2);
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費一覧 select 行番号,日付,取引先名,科目,金額") +
                             QStringLiteral(" from 取引明細") + in_ + period +
                             QStringLiteral(" and 科目 = '通信費' and 取引先名 = '乙' order by 取引先名,日付;")),
              1);
    EXPECT_EQ(Alias(work_, QStringLiteral("select count([取引先名]) as tcnt from w経費一覧 "), QStringLiteral("TCNT")),
              QVariant(qint64(3)));
    EXPECT_EQ(
        Alias(work_, QStringLiteral("select sum([金額]) as tkin from w経費一覧 "), QStringLiteral("TKin")).toDouble(),
        3450.0);

    // The print table, whole and per month.
    EXPECT_EQ(Run(work_, QStringLiteral("delete * from w経費一覧印刷")), 0);
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費一覧印刷 select * from w経費一覧")), 3);
    Run(work_, QStringLiteral("delete * from w経費一覧印刷"));
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費一覧印刷 select * from w経費一覧") +
                             QStringLiteral(" where 日付 >= #2005/05/01# and 日付 <= #2005/05/31#")),
              1);
    EXPECT_EQ(
        Alias(work_, QStringLiteral("select count([取引先名]) as tcnt from w経費一覧印刷 "), QStringLiteral("tcnt")),
        QVariant(qint64(1)));

    // Ticked lines go from the data file by their triple, then from the list.
    db::Recordset list = work_.OpenRecordset(QStringLiteral("select * from w経費一覧 where 科目 = '雑費'"));
    ASSERT_TRUE(list.Edit());
    EXPECT_TRUE(list.SetValue(QStringLiteral("チェック"), true));
    ASSERT_TRUE(list.Update());
    db::Recordset ticked =
        work_.OpenRecordset(QStringLiteral("select 日付,取引先名,行番号 from w経費一覧 where チェック = True"));
    ASSERT_EQ(ticked.RecordCount(), 1);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引明細 where 日付 = #") +
                             ticked.Value(QStringLiteral("日付")).toDate().toString(QStringLiteral("yyyy/MM/dd")) +
                             QStringLiteral("# and 取引先名 = '") + db::SqlEscape(ticked.Value(1).toString()) +
                             QStringLiteral("' and 行番号 = ") + ticked.Value(2).toString()),
              1);
    EXPECT_EQ(Run(work_, QStringLiteral("delete * from w経費一覧 where チェック = True")), 1);
}

TEST_F(StatementShapes, RankingAndMonthlyTableCollectSumAndRank) {
    const QString period = QStringLiteral(" where 日付 >= #2005/04/01# and 日付 <= #2006/03/31#");
    Run(work_, QStringLiteral("Delete * from w経費順位"));
    Run(work_, QStringLiteral("Delete * from w経費順位ソート"));
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費順位 select distinct 科目 from 取引明細 ") + in_ + period),
              2);
    {
        db::Recordset rows = work_.OpenRecordset(QStringLiteral("select * from w経費順位"));
        for (; !rows.IsEOF(); rows.MoveNext()) {
            const QVariant sum = Alias(data_,
                                       QStringLiteral("select sum([金額]) as gkin from 取引明細  where 科目 = '") +
                                           db::SqlEscape(rows.Value(QStringLiteral("科目")).toString()) +
                                           QStringLiteral("' and  日付 >= #2005/04/01# and 日付 <= #2006/03/31#"),
                                       QStringLiteral("gkin"));
            ASSERT_TRUE(rows.Edit());
            EXPECT_TRUE(rows.SetValue(QStringLiteral("金額"), sum));
            ASSERT_TRUE(rows.Update());
        }
    }
    EXPECT_EQ(
        Alias(work_, QStringLiteral("select sum([金額]) as tkin from w経費順位 "), QStringLiteral("TKin")).toDouble(),
        3450.0);
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w経費順位ソート select * from w経費順位 ") +
                             QStringLiteral(" order by 金額 DESC;")),
              2);
    {
        db::Recordset sorted = work_.OpenRecordset(QStringLiteral("select * from w経費順位ソート order by 金額 DESC;"));
        int counter = 1;
        for (; !sorted.IsEOF(); sorted.MoveNext(), ++counter) {
            ASSERT_TRUE(sorted.Edit());
            EXPECT_TRUE(sorted.SetValue(QStringLiteral("順位"), counter <= 1 ? counter : 10000));
            ASSERT_TRUE(sorted.Update());
        }
    }
    Run(work_, QStringLiteral("delete * from w経費順位"));
    EXPECT_EQ(
        Run(work_, QStringLiteral("insert into w経費順位 select * from w経費順位ソート ") +
                       QStringLiteral("where 順位 <> ") + QString::number(10000) + QStringLiteral(" order by 順位;")),
        1);
    EXPECT_EQ(work_.OpenRecordset(QStringLiteral("select * from w経費順位ソート where 順位 = 10000")).RecordCount(), 1);
    EXPECT_EQ(Alias(work_, QStringLiteral("select sum([金額]) as gkin from w経費順位ソート where 順位 = 10000 "),
                    QStringLiteral("GKIN"))
                  .toDouble(),
              300.0);

    // The monthly table: names per partner, sums of months, maxima, the rest row.
    Run(work_, QStringLiteral("delete * from w月別経費"));
    EXPECT_EQ(
        Run(work_, QStringLiteral("insert into w月別経費 select distinct 取引先名 from 取引明細 ") + in_ + period), 2);
    const QString month = QStringLiteral(" where 日付 >= #2005/04/01# and 日付 <= #2005/04/30#");
    EXPECT_EQ(Alias(data_, QStringLiteral("select sum([金額]) as tkin from 取引明細") + month, QStringLiteral("tkin"))
                  .toDouble(),
              1350.0);
    EXPECT_EQ(Alias(data_, QStringLiteral("select sum([税額]) as tkin from 取引明細") + month, QStringLiteral("tkin"))
                  .toDouble(),
              64.0);
    EXPECT_EQ(Alias(data_, QStringLiteral("select max([金額]) as tkin from 取引明細") + month, QStringLiteral("tkin"))
                  .toDouble(),
              1050.0);
    EXPECT_TRUE(
        Alias(data_,
              QStringLiteral(
                  "select sum([金額]) as tkin from 取引明細 where 日付 >= #2005/06/01# and 日付 <= #2005/06/30#"),
              QStringLiteral("tkin"))
            .isNull());
    {
        db::Recordset rows = work_.OpenRecordset(QStringLiteral("select * from w月別経費"));
        for (; !rows.IsEOF(); rows.MoveNext()) {
            ASSERT_TRUE(rows.Edit());
            EXPECT_TRUE(rows.SetValue(QStringLiteral("合計"), 100));
            EXPECT_TRUE(rows.SetValue(2 + 12, 7));  // 金額12, by ordinal
            ASSERT_TRUE(rows.Update());
        }
    }
    EXPECT_EQ(
        Alias(work_, QStringLiteral("select sum([合計]) as tkin from w月別経費 "), QStringLiteral("tkin")).toDouble(),
        200.0);
    EXPECT_EQ(
        Alias(work_, QStringLiteral("select max([合計]) as tkin from w月別経費 "), QStringLiteral("tkin")).toDouble(),
        100.0);
    Run(work_, QStringLiteral("delete * from w月別経費ソート"));
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w月別経費ソート select * from w月別経費 ") +
                             QStringLiteral(" order by 合計 DESC;")),
              2);
    Run(work_, QStringLiteral("update w月別経費ソート set 順位 = 10000"));
    Run(work_, QStringLiteral("delete * from w月別経費"));
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w月別経費 select * from w月別経費ソート ") +
                             QStringLiteral("where 順位 <> 10000 order by 順位;")),
              0);
    EXPECT_EQ(Alias(work_,
                    QStringLiteral("select sum([") + QStringLiteral("金額") + QString::number(12) +
                        QStringLiteral("]) as gkin from w月別経費ソート where 順位 = 10000 "),
                    QStringLiteral("gkin"))
                  .toDouble(),
              14.0);
}

TEST_F(StatementShapes, MasterPrintTablesAndMaintenanceStatements) {
    // Print tables of the two master reports.
    Run(work_, QStringLiteral("delete * from w科目マスタ"));
    Run(work_,
        QStringLiteral("insert into w科目マスタ (科目, ふりがな, 非課税) values ('通信費', 'つうしんひ', True)"));
    Run(work_, QStringLiteral("insert into w科目マスタ (ふりがな) values ('なし')"));
    EXPECT_EQ(Run(work_, QStringLiteral("delete * from w科目マスタ印刷")), 0);
    EXPECT_EQ(Run(work_, QStringLiteral("insert into w科目マスタ印刷 select 科目,ふりがな,非課税 from w科目マスタ") +
                             QStringLiteral(" where not isnull([科目])")),
              1);
    EXPECT_EQ(Alias(work_, QStringLiteral("select 非課税 from w科目マスタ印刷"), QStringLiteral("非課税")),
              QVariant(true));
    Run(work_, QStringLiteral("delete * from w取引先マスタ印刷"));
    db::Recordset print = work_.OpenRecordset(QStringLiteral("select * from w取引先マスタ印刷"));
    db::Recordset partners = data_.OpenRecordset(QStringLiteral("select * from 取引先マスタ order by ふりがな;"));
    ASSERT_EQ(partners.Value(QStringLiteral("取引先名")).toString(), QStringLiteral("乙"));
    db::Recordset items = data_.OpenRecordset(QStringLiteral("select * from 取引先科目 where 取引先名 = '") +
                                              db::SqlEscape(partners.Value(0).toString()) + u'\'');
    ASSERT_TRUE(print.AddNew());
    EXPECT_TRUE(print.SetValue(QStringLiteral("取引先名"), partners.Value(QStringLiteral("取引先名"))));
    EXPECT_TRUE(print.SetValue(QStringLiteral("科目"), items.Value(QStringLiteral("科目"))));
    EXPECT_TRUE(print.SetValue(QStringLiteral("科目ふりがな"), items.Value(QStringLiteral("ふりがな"))));
    EXPECT_TRUE(print.SetValue(QStringLiteral("非課税"), items.Value(QStringLiteral("非課税"))));
    EXPECT_TRUE(print.Update()) << print.LastError().toStdString();

    // Combos of the list screens.
    EXPECT_EQ(data_
                  .OpenRecordset(QStringLiteral("select 取引先名 from 取引先マスタ ") +
                                 QStringLiteral(" order by ふりがな,取引先名;"))
                  .RecordCount(),
              2);
    EXPECT_EQ(data_.OpenRecordset(QStringLiteral("select 科目 from 科目マスタ order by ふりがな;")).RecordCount(), 1);

    // Settings and data path.
    EXPECT_EQ(Run(work_, QStringLiteral("delete * from 管理")), 1);
    db::Recordset env = work_.OpenRecordset(QStringLiteral("select * from 管理"));
    ASSERT_TRUE(env.AddNew());
    EXPECT_TRUE(env.SetValue(QStringLiteral("DataPath"), QVariant()));
    EXPECT_TRUE(env.Update());
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 自社情報")), 1);
    db::Recordset company = data_.OpenRecordset(QStringLiteral("select * from 自社情報"));
    ASSERT_TRUE(company.AddNew());
    EXPECT_TRUE(company.SetValue(QStringLiteral("年号"), QStringLiteral("和暦")));
    EXPECT_TRUE(company.SetValue(QStringLiteral("開始日"), QStringLiteral("2005/04/01")));
    EXPECT_TRUE(company.SetValue(QStringLiteral("税率"), 0.05));
    EXPECT_TRUE(company.SetValue(QStringLiteral("税実施"), QStringLiteral("2006/04/01")));
    EXPECT_TRUE(company.Update());

    // Bulk deletes.
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引明細 where 取引先名 = '") +
                             db::SqlEscape(QStringLiteral("O'Hara商会")) + u'\''),
              2);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引先マスタ where 取引先名 = '") +
                             db::SqlEscape(QStringLiteral("O'Hara商会")) + u'\''),
              1);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引先マスタ")), 1);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引先科目")), 1);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 科目マスタ")), 1);
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引明細")), 2);
}

TEST_F(StatementShapes, YearEndCopiesIntoTheArchiveAndBack) {
    // The archive: a copy of the template, filled through the in-clause.
    const QString archivePath = File(QStringLiteral("第1期.mdb"));
    ASSERT_TRUE(QFile::copy(File(core::kTemplateFileName), archivePath));
    {
        db::Database archive;
        ASSERT_TRUE(archive.Open(archivePath));
        for (const char* table : {"コードマスタ", "科目マスタ", "自社情報", "取引先マスタ", "取引先科目"})
            Run(archive, QStringLiteral("insert into %1 select * from %1").arg(QString::fromUtf8(table)) + in_);
        EXPECT_EQ(Run(archive, QStringLiteral("insert into 取引明細 select * from 取引明細") + in_ +
                                   QStringLiteral(" where 日付 >= #2005/04/01# and 日付 <= #2006/03/31#")),
                  3);
        EXPECT_EQ(archive.OpenRecordset(QStringLiteral("select * from 自社情報")).RecordCount(), 1);
    }
    EXPECT_EQ(Run(data_, QStringLiteral("delete * from 取引明細 where 日付 >= #2005/04/01# and 日付 <= #2006/03/31#")),
              3);

    // The other direction: the data connection writes into the archive's table.
    const QString archiveIn = QStringLiteral(" in '") + db::SqlEscape(archivePath) + u'\'';
    EXPECT_EQ(
        Run(data_, QStringLiteral("insert into 取引明細") + archiveIn + QStringLiteral(" select * from 取引明細")), 1);
    EXPECT_EQ(Run(data_, QStringLiteral("insert into 取引明細 select * from 取引明細") + archiveIn +
                             QStringLiteral(" where 日付 >= #2005/04/01# and 日付 <= #2006/03/31#")),
              3);
    db::Recordset rs = data_.OpenRecordset(QStringLiteral("select * from 取引明細 where 非課税 = False order by 日付"));
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.Value(QStringLiteral("日付")), QVariant(QDate(2005, 4, 10)));
    EXPECT_EQ(rs.Value(QStringLiteral("税額")).toDouble(), 50.0);
}

}  // namespace
