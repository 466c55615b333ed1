// The data folder's three files, made from the one table definition.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/QtPrint.h"
#include "core/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/Quote.h"

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
    EXPECT_EQ(names.join(u','), QStringLiteral("lno,チェック,行番号,日付,月,日,月日,曜日,DD日付,取引先名,科目,金額,税額,"
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
    db::Recordset rs = work.OpenRecordset(
        QStringLiteral("select lno from w取引明細 where 非課税 = True and チェック = False"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 1);
    rs = work.OpenRecordset(QStringLiteral("select lno from w取引明細 where 非課税 = False and チェック = True"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0).toLongLong(), 2);
}

TEST_F(SchemaTest, DataTablesCopyWholeIntoTheTemplateShape) {
    // The year-end archive receives tables with "select *" from the data file.
    db::Database data;
    ASSERT_TRUE(data.Open(File(core::kDataFileName)));
    ASSERT_TRUE(data.Execute(QStringLiteral(
        "insert into 取引明細 (行番号, 日付, 取引先名, 金額, 税額) values (1, #2005/04/01#, 'A', 1050, 50)")));
    db::Database archive;
    ASSERT_TRUE(archive.Open(File(core::kTemplateFileName)));
    const QString in = QStringLiteral(" in '") + db::SqlEscape(File(core::kDataFileName)) + u'\'';
    for (const char* table : {"コードマスタ", "科目マスタ", "自社情報", "取引先マスタ", "取引先科目", "取引明細"}) {
        EXPECT_TRUE(archive.Execute(QStringLiteral("insert into %1 select * from %1").arg(QString::fromUtf8(table)) + in))
            << table << ": " << archive.LastError().toStdString();
    }
    db::Recordset rs = archive.OpenRecordset(QStringLiteral("select * from 取引明細"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(QStringLiteral("日付")), QVariant(QDate(2005, 4, 1)));
    EXPECT_EQ(rs.Value(QStringLiteral("税額")).toDouble(), 50.0);
}

}  // namespace
