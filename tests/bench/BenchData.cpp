#include "tests/bench/BenchData.h"

#include <QDate>
#include <cstdio>

#include "core/Schema.h"
#include "platform/db/Database.h"

namespace bench {

QString BenchPartner(int i) { return QStringLiteral("取引先%1").arg(i, 3, 10, QLatin1Char('0')); }
QString BenchItem(int j) { return QStringLiteral("科目%1").arg(j, 2, 10, QLatin1Char('0')); }

namespace {

QString Reading(const char16_t* kana, int i) {
    // Readings that sort in an order of their own, unlike the names.
    static const char16_t* const syllables[] = {u"あ", u"か", u"さ", u"た", u"な", u"は", u"ま", u"や", u"ら", u"わ"};
    return QString::fromUtf16(kana) + QString::fromUtf16(syllables[(i * 7) % 10]) +
           QString::fromUtf16(syllables[(i / 10) % 10]) + QString::number(i);
}

bool Fail(db::Database& d, const char* step) {
    std::fprintf(stderr, "bench data: %s: %s\n", step, d.LastError().toLocal8Bit().constData());
    return false;
}

}  // namespace

bool MakeBenchDataFile(const QString& path, int lines, int partners, int items, int pairs) {
    QString error;
    if (!core::CreateDatabaseFile(path, core::DataFileKind::Data, &error)) {
        std::fprintf(stderr, "bench data: %s\n", error.toLocal8Bit().constData());
        return false;
    }
    db::Database d;
    if (!d.Open(path) || !d.BeginTrans()) return Fail(d, "open");
    {
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引先マスタ where rowid = 0"));
        for (int i = 0; i < partners; ++i) {
            if (!rs.AddNew()) return Fail(d, "partners");
            bool set = true;  // a value refused fails the row with its Update
            set &= rs.SetValue(QStringLiteral("取引先名"), BenchPartner(i));
            set &= rs.SetValue(QStringLiteral("ふりがな"), Reading(u"と", i));
            set &= rs.SetValue(QStringLiteral("クイック読込"), QStringLiteral("する"));
            if (!set || !rs.Update()) return Fail(d, "partners");
        }
    }
    {
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 科目マスタ where rowid = 0"));
        for (int j = 0; j < items; ++j) {
            if (!rs.AddNew()) return Fail(d, "items");
            bool set = true;  // a value refused fails the row with its Update
            set &= rs.SetValue(QStringLiteral("科目"), BenchItem(j));
            set &= rs.SetValue(QStringLiteral("ふりがな"), Reading(u"か", j));
            set &= rs.SetValue(QStringLiteral("非課税"), j % 10 == 9);
            if (!set || !rs.Update()) return Fail(d, "items");
        }
    }
    // Pair k: partner k % partners with item (k / partners + k) % items.
    auto pairItem = [&](int k) { return (k / partners + k) % items; };
    {
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引先科目 where rowid = 0"));
        for (int k = 0; k < pairs; ++k) {
            if (!rs.AddNew()) return Fail(d, "pairs");
            bool set = true;  // a value refused fails the row with its Update
            set &= rs.SetValue(QStringLiteral("取引先名"), BenchPartner(k % partners));
            set &= rs.SetValue(QStringLiteral("科目"), BenchItem(pairItem(k)));
            set &= rs.SetValue(QStringLiteral("非課税"), pairItem(k) % 10 == 9);
            set &= rs.SetValue(QStringLiteral("回数"), 1 + k % 17);
            set &= rs.SetValue(QStringLiteral("ふりがな"), Reading(u"か", pairItem(k)));
            if (!set || !rs.Update()) return Fail(d, "pairs");
        }
    }
    {
        static const char16_t* const weekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
        const QDate first(kBenchFirstYear, 1, 1);
        const qint64 days = first.daysTo(QDate(kBenchLastYear, 12, 31)) + 1;
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引明細 where rowid = 0"));
        QDate previous;
        int lineNo = 0;
        for (int i = 0; i < lines; ++i) {
            const QDate date = first.addDays(static_cast<qint64>(i) * days / lines);
            lineNo = date == previous ? lineNo + 1 : 1;
            previous = date;
            // A recordset keeps the rows it adds: a fresh one now and then.
            if (i % 10000 == 9999) rs = d.OpenRecordset(QStringLiteral("select * from 取引明細 where rowid = 0"));
            const int k = (i * 37) % pairs;
            const int amount = 100 + (i * 7919) % 50000;
            const bool exempt = pairItem(k) % 10 == 9;
            if (!rs.AddNew()) return Fail(d, "lines");
            bool set = true;  // a value refused fails the row with its Update
            set &= rs.SetValue(QStringLiteral("行番号"), lineNo);
            set &= rs.SetValue(QStringLiteral("日付"), date);
            set &= rs.SetValue(QStringLiteral("曜日"), QString::fromUtf16(weekdays[date.dayOfWeek() - 1]));
            set &= rs.SetValue(QStringLiteral("取引先名"), BenchPartner(k % partners));
            set &= rs.SetValue(QStringLiteral("科目"), BenchItem(pairItem(k)));
            set &= rs.SetValue(QStringLiteral("金額"), amount);
            set &= rs.SetValue(QStringLiteral("税額"), exempt ? QVariant() : QVariant(amount * 10 / 110));
            set &= rs.SetValue(QStringLiteral("非課税"), exempt);
            if (!set || !rs.Update()) return Fail(d, "lines");
        }
    }
    if (!d.CommitTrans()) return Fail(d, "commit");
    return true;
}

}  // namespace bench
