// The two hottest paths of the database layer:
//  - making the entry screen's 5000 blank work rows through AddNew in one transaction;
//  - copying 50,000 expense lines from the data file into a work table with one
//    insert-select over the external-database clause.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/Schema.h"
#include "platform/db/Database.h"
#include "platform/db/Quote.h"

namespace {

struct Folder {
    QTemporaryDir dir;
    QString data, work;
    Folder() {
        QString error;
        core::MakeDataFolder(dir.path(), nullptr, &error);
        data = QDir(dir.path()).filePath(core::kDataFileName);
        work = QDir(dir.path()).filePath(core::kWorkFileName);
    }
};

void BM_MakeBlankEntryRows(benchmark::State& state) {
    Folder f;
    db::Database work;
    work.Open(f.work);
    for (auto _ : state) {
        work.Execute(QStringLiteral("delete * from w取引明細"));
        work.BeginTrans();
        db::Recordset rs = work.OpenRecordset(QStringLiteral("select * from w取引明細"));
        for (int lno = 1; lno <= 5000; ++lno) {
            rs.AddNew();
            rs.Fields(QStringLiteral("lno")) = lno;
            rs.Update();
        }
        rs.Close();
        work.CommitTrans();
    }
    state.counters["rows"] = 5000;
}
BENCHMARK(BM_MakeBlankEntryRows)->Unit(benchmark::kMillisecond);

void BM_CopyExpenseLinesIntoWorkTable(benchmark::State& state) {
    Folder f;
    {
        db::Database data;
        data.Open(f.data);
        data.BeginTrans();
        db::Recordset rs = data.OpenRecordset(QStringLiteral("select * from 取引明細"));
        const QDate start(2005, 4, 1);
        for (int i = 0; i < 50000; ++i) {
            rs.AddNew();
            rs.Fields(QStringLiteral("行番号")) = i % 200 + 1;
            rs.Fields(QStringLiteral("日付")) = start.addDays(i % 365);
            rs.Fields(QStringLiteral("取引先名")) = QStringLiteral("取引先%1").arg(i % 300);
            rs.Fields(QStringLiteral("科目")) = QStringLiteral("科目%1").arg(i % 40);
            rs.Fields(QStringLiteral("金額")) = 100 + i;
            rs.Update();
        }
        data.CommitTrans();
    }
    db::Database work;
    work.Open(f.work);
    const QString copy = QStringLiteral("insert into w経費一覧 select 行番号,日付,取引先名,科目,金額 from 取引明細 in '") +
                         db::SqlEscape(f.data) + QStringLiteral("' order by 日付,行番号;");
    for (auto _ : state) {
        work.Execute(QStringLiteral("delete * from w経費一覧"));
        if (!work.Execute(copy) || work.RecordsAffected() != 50000) state.SkipWithError("copy failed");
    }
    state.counters["rows"] = 50000;
}
BENCHMARK(BM_CopyExpenseLinesIntoWorkTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
