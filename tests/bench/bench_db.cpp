// The database layer where it is called per row, each beside a raw-SQLite
// twin doing the same work on the same schema; at the end the program prints
// each layer/raw ratio in the table of actions.
//  - the entry screen's 5000 blank work rows (the six fields it sets), in one transaction on
//    the work file, which is written without disk syncs;
//  - 50,000 expense lines added in one transaction;
//  - a year's lines read in the load's order, 5000 of them used, the rest walked;
//  - a year's per-item sums;
//  - copying 50,000 lines into a work table through the external-database clause;
//  - what the yes/no rule's triggers cost on 50,000 raw inserts.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "core/Schema.h"
#include "platform/db/Collation.h"
#include "platform/db/Database.h"
#include "platform/db/Quote.h"
#include "platform/db/Scratch.h"
#include "tests/bench/BenchData.h"
#include "tests/bench/BenchReport.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

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

// One file of 50,000 lines for every benchmark that reads.
const int kFileLines = bench::BookLines(50000);
const QString& LinesFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = QDir(dir.path()).filePath(QStringLiteral("lines.mdb"));
        bench::MakeBenchDataFile(p, kFileLines, 300, 40, 600);
        return p;
    }();
    return path;
}

// A raw connection, as a program without the layer would hold it.
struct Raw {
    sqlite3* db = nullptr;
    explicit Raw(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);  // as the layer has it
    }
    ~Raw() { sqlite3_close_v2(db); }
    void Exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    sqlite3_stmt* Prepare(const QString& sql) {
        sqlite3_stmt* s = nullptr;
        const QByteArray u = sql.toUtf8();
        sqlite3_prepare_v2(db, u.constData(), static_cast<int>(u.size()), &s, nullptr);
        return s;
    }
};

void BindText(sqlite3_stmt* s, int i, const QString& text) {
    const QByteArray u = text.toUtf8();
    sqlite3_bind_text(s, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

// ---------------------------------------------------------------- blank rows

void BM_BlankEntryRows(benchmark::State& state) {
    Folder f;
    db::Database work;
    db::OpenScratch(work, f.work);  // as the program opens the work file
    for (auto _ : state) {
        // Setup: a step that fails shows in what the run then measures.
        (void)work.Execute(QStringLiteral("delete * from w取引明細"));
        bool ok = work.BeginTrans();
        db::Recordset rs = work.OpenRecordset(QStringLiteral("select * from w取引明細"));
        const int check = rs.FieldIndex(QStringLiteral("チェック")), lno = rs.FieldIndex(QStringLiteral("lno"));
        const int amount = rs.FieldIndex(QStringLiteral("金額")), tax = rs.FieldIndex(QStringLiteral("税額"));
        const int exempt = rs.FieldIndex(QStringLiteral("非課税")), day = rs.FieldIndex(QStringLiteral("日"));
        for (int i = 1; ok && i <= 5000; ++i) {
            ok = rs.AddNew();
            ok &= rs.SetValue(check, false);
            ok &= rs.SetValue(lno, i);
            ok &= rs.SetValue(amount, QVariant());
            ok &= rs.SetValue(tax, QVariant());
            ok &= rs.SetValue(exempt, false);
            ok &= rs.SetValue(day, QVariant());
            ok = ok && rs.Update();
        }
        rs.Close();
        if (!ok || !work.CommitTrans()) {
            state.SkipWithError("the blank rows could not be written");
            break;
        }
    }
}
BENCHMARK(BM_BlankEntryRows)->Unit(benchmark::kMillisecond);

void BM_BlankEntryRows_Raw(benchmark::State& state) {
    Folder f;
    Raw raw(f.work);
    raw.Exec("PRAGMA synchronous = OFF");
    sqlite3_stmt* insert = raw.Prepare(QStringLiteral(
        "INSERT INTO \"w取引明細\" (\"チェック\",\"lno\",\"金額\",\"税額\",\"非課税\",\"日\") VALUES (?,?,?,?,?,?)"));
    for (auto _ : state) {
        raw.Exec("DELETE FROM w取引明細");
        raw.Exec("BEGIN IMMEDIATE");
        for (int i = 1; i <= 5000; ++i) {
            sqlite3_bind_int64(insert, 1, 0);
            sqlite3_bind_int64(insert, 2, i);
            sqlite3_bind_null(insert, 3);
            sqlite3_bind_null(insert, 4);
            sqlite3_bind_int64(insert, 5, 0);
            sqlite3_bind_null(insert, 6);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        raw.Exec("COMMIT");
    }
    sqlite3_finalize(insert);
}
BENCHMARK(BM_BlankEntryRows_Raw)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- 50,000 inserts

void BM_Insert50000Lines(benchmark::State& state) {
    Folder f;
    db::Database data;
    // Setup: a step that fails shows in what the run then measures.
    (void)data.Open(f.data);
    const QDate start(2026, 1, 1);
    for (auto _ : state) {
        // Setup: a step that fails shows in what the run then measures.
        (void)data.Execute(QStringLiteral("delete * from 取引明細"));
        bool ok = data.BeginTrans();
        db::Recordset rs = data.OpenRecordset(QStringLiteral("select * from 取引明細 where rowid = 0"));
        for (int i = 0; ok && i < 50000; ++i) {
            if (i % 10000 == 9999) rs = data.OpenRecordset(QStringLiteral("select * from 取引明細 where rowid = 0"));
            ok = rs.AddNew();
            ok &= rs.SetValue(QStringLiteral("行番号"), i % 200 + 1);
            ok &= rs.SetValue(QStringLiteral("日付"), start.addDays(i % 365));
            ok &= rs.SetValue(QStringLiteral("取引先名"), bench::BenchPartner(i % 300));
            ok &= rs.SetValue(QStringLiteral("科目"), bench::BenchItem(i % 40));
            ok &= rs.SetValue(QStringLiteral("金額"), 100 + i);
            ok &= rs.SetValue(QStringLiteral("非課税"), false);
            ok = ok && rs.Update();
        }
        rs.Close();
        if (!ok || !data.CommitTrans()) {
            state.SkipWithError("the lines could not be written");
            break;
        }
    }
}
BENCHMARK(BM_Insert50000Lines)->Unit(benchmark::kMillisecond);

// The raw inserts; without the yes/no triggers, to show what they add.
void RawInsert50000(benchmark::State& state, bool withTriggers) {
    Folder f;
    Raw raw(f.data);
    if (!withTriggers) raw.Exec("DROP TRIGGER \"yesno_取引明細_非課税_i\"; DROP TRIGGER \"yesno_取引明細_非課税_u\";");
    sqlite3_stmt* insert = raw.Prepare(
        QStringLiteral("INSERT INTO \"取引明細\" (\"行番号\",\"日付\",\"取引先名\",\"科目\",\"金額\",\"非課税\") "
                       "VALUES (?,?,?,?,?,?)"));
    const QDate start(2026, 1, 1);
    for (auto _ : state) {
        raw.Exec("DELETE FROM 取引明細");
        raw.Exec("BEGIN IMMEDIATE");
        for (int i = 0; i < 50000; ++i) {
            sqlite3_bind_int64(insert, 1, i % 200 + 1);
            BindText(insert, 2, start.addDays(i % 365).toString(QStringLiteral("yyyy-MM-dd")));
            BindText(insert, 3, bench::BenchPartner(i % 300));
            BindText(insert, 4, bench::BenchItem(i % 40));
            sqlite3_bind_double(insert, 5, 100 + i);
            sqlite3_bind_int64(insert, 6, 0);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        raw.Exec("COMMIT");
    }
    sqlite3_finalize(insert);
}

void BM_Insert50000Lines_Raw(benchmark::State& state) { RawInsert50000(state, true); }
BENCHMARK(BM_Insert50000Lines_Raw)->Unit(benchmark::kMillisecond);

void BM_Insert50000Lines_RawWithoutYesNoTriggers(benchmark::State& state) { RawInsert50000(state, false); }
BENCHMARK(BM_Insert50000Lines_RawWithoutYesNoTriggers)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- a year's lines

const char* const kYearSelect =
    "select * from 取引明細  where  日付 >= #2026/01/01# and  日付 <= #2026/12/31# "
    "order by 日付,行番号;";

void BM_ReadYearLines(benchmark::State& state) {
    db::Database data;
    // Setup: a step that fails shows in what the run then measures.
    (void)data.Open(LinesFile());
    qint64 walked = 0;
    for (auto _ : state) {
        db::Recordset rs = data.OpenRecordset(QString::fromUtf8(kYearSelect));
        const int fDate = rs.FieldIndex(QStringLiteral("日付")), fPartner = rs.FieldIndex(QStringLiteral("取引先名"));
        const int fAmount = rs.FieldIndex(QStringLiteral("金額"));
        double sum = 0;
        walked = 0;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (++walked <= 5000) {
                sum += rs.Value(fAmount).toDouble() + rs.Value(fDate).toDate().day();
                benchmark::DoNotOptimize(rs.Value(fPartner));
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["lines"] = static_cast<double>(walked);
}
BENCHMARK(BM_ReadYearLines)->Unit(benchmark::kMillisecond);

void BM_ReadYearLines_Raw(benchmark::State& state) {
    Raw raw(LinesFile());
    sqlite3_stmt* select = raw.Prepare(QStringLiteral(
        "select rowid, * from 取引明細 where 日付 >= '2026-01-01' and 日付 <= '2026-12-31' order by 日付,行番号"));
    for (auto _ : state) {
        double sum = 0;
        qint64 walked = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            if (++walked <= 5000) {
                const QString date = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 2)));
                sum += sqlite3_column_double(select, 6) + QDate::fromString(date, Qt::ISODate).day();
                benchmark::DoNotOptimize(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 4))));
            }
        }
        sqlite3_reset(select);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(select);
}
BENCHMARK(BM_ReadYearLines_Raw)->Unit(benchmark::kMillisecond);

void BM_YearItemSums(benchmark::State& state) {
    db::Database data;
    // Setup: a step that fails shows in what the run then measures.
    (void)data.Open(LinesFile());
    for (auto _ : state) {
        db::Recordset rs = data.OpenRecordset(QStringLiteral(
            "select 科目, sum(金額) as gkin from 取引明細 where 日付 >= #2026/01/01# and 日付 <= #2026/12/31# "
            "group by 科目 order by 科目"));
        int n = 0;
        for (; !rs.IsEOF(); rs.MoveNext()) n += rs.Value(1).toDouble() > 0;
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_YearItemSums)->Unit(benchmark::kMillisecond);

void BM_YearItemSums_Raw(benchmark::State& state) {
    Raw raw(LinesFile());
    db::RegisterJapaneseCollation(raw.db);  // the raw twin sorts in the same order
    sqlite3_stmt* select = raw.Prepare(QStringLiteral(
        "select 科目, sum(金額) as gkin from 取引明細 where 日付 >= '2026-01-01' and 日付 <= '2026-12-31' "
        "group by 科目 order by 科目 COLLATE JA"));
    for (auto _ : state) {
        int n = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(select, 0))));
            n += sqlite3_column_double(select, 1) > 0;
        }
        sqlite3_reset(select);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_finalize(select);
}
BENCHMARK(BM_YearItemSums_Raw)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- copy through the in-clause

void BM_CopyLinesIntoWorkTable(benchmark::State& state) {
    Folder f;
    db::Database work;
    // Setup: a step that fails shows in what the run then measures.
    (void)work.Open(f.work);
    const QString copy =
        QStringLiteral("insert into w経費一覧 select 行番号,日付,取引先名,科目,金額 from 取引明細 in '") +
        db::SqlEscape(LinesFile()) + QStringLiteral("' order by 日付,行番号;");
    for (auto _ : state) {
        // Setup: a step that fails shows in what the run then measures.
        (void)work.Execute(QStringLiteral("delete * from w経費一覧"));
        if (!work.Execute(copy) || work.RecordsAffected() != kFileLines) state.SkipWithError("copy failed");
    }
}
BENCHMARK(BM_CopyLinesIntoWorkTable)->Unit(benchmark::kMillisecond);

void BM_CopyLinesIntoWorkTable_Raw(benchmark::State& state) {
    Folder f;
    Raw raw(f.work);
    const QString attach =
        QStringLiteral("ATTACH DATABASE '") + db::SqlEscape(LinesFile()) + QStringLiteral("' AS ext1");
    raw.Exec(attach.toUtf8().constData());
    for (auto _ : state) {
        raw.Exec("DELETE FROM w経費一覧");
        raw.Exec(
            "INSERT INTO w経費一覧 (行番号,日付,取引先名,科目,金額) SELECT 行番号,日付,取引先名,科目,金額 "
            "FROM ext1.取引明細 ORDER BY 日付,行番号");
    }
}
BENCHMARK(BM_CopyLinesIntoWorkTable_Raw)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::InstallSqliteCounters();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
