#include "reports/PrintHandOffs.h"

#include <QtDebug>

#include "core/Clock.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/Quote.h"
#include "platform/db/Transaction.h"
#include "reports/Reports.h"

namespace reports {

using ModMurv::DbData;
using ModMurv::DbWork;

namespace {

const QString kFeedFailure = QStringLiteral("印刷データを作成できませんでした。");

// Tells the user once that the print feed could not be made, with the detail in the log.
bool FeedFailed(const db::Failure& failure) {
    qWarning().noquote() << "print feed:" << ModMurv::SqlText << ":" << failure.text;
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), kFeedFailure);
    return false;
}

bool Feed(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.Execute(sql) || FeedFailed(database.LastFailure());
}

db::Recordset FeedSet(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.OpenRecordset(sql);
}

// The one value of an aggregate select on the work database; null when it
// gives none. *ok is false when the select fails.
QVariant Aggregate(const QString& sql, bool* ok) {
    db::Recordset rs = FeedSet(DbWork, sql);
    *ok = rs.IsOpen() || FeedFailed(DbWork.LastFailure());
    return rs.IsOpen() && !rs.IsEOF() ? rs.Value(0) : QVariant();
}

QString JetDate(const QDate& date) { return u'#' + date.toString(QStringLiteral("yyyy/MM/dd")) + u'#'; }

// Prints (print dialog first) or previews a report made for this call.
template <class R>
void PrintOrPreview(int index) {
    if (index != kPrint && index != kPreview) return;
    R report;
    if (index == kPrint) PrintReport(report, true);
    else PreviewReport(report);
}

QVariant Period(const QVariant& screenDate) {
    return ParameterDate(screenDate).isValid() ? QVariant(ParameterDate(screenDate)) : QVariant();
}

// Fills w取引先マスタ印刷 from 取引先マスタ and 取引先科目; false after telling the user.
bool FillPartnerFeed() {
    if (!Feed(DbWork, QStringLiteral("delete * from w取引先マスタ印刷"))) return false;
    db::Recordset feed = FeedSet(DbWork, QStringLiteral("select * from w取引先マスタ印刷"));
    if (!feed.IsOpen()) return FeedFailed(DbWork.LastFailure());
    db::Recordset partners = FeedSet(DbData, QStringLiteral("select * from 取引先マスタ order by ふりがな;"));
    if (!partners.IsOpen()) return FeedFailed(DbData.LastFailure());
    const auto write = [&](const QVariant& name, const QVariant& reading, db::Recordset* item) {
        if (!feed.AddNew()) return FeedFailed(feed.LastFailure());
        bool set = true;  // a value refused is said with the Update's failure
        if (!name.isNull()) {
            set &= feed.SetValue(QStringLiteral("取引先名"), name);
            set &= feed.SetValue(QStringLiteral("ふりがな"), reading);
        }
        if (item) {
            set &= feed.SetValue(QStringLiteral("科目"), item->Value(QStringLiteral("科目")));
            set &= feed.SetValue(QStringLiteral("科目ふりがな"), item->Value(QStringLiteral("ふりがな")));
            set &= feed.SetValue(QStringLiteral("非課税"), item->Value(QStringLiteral("非課税")));
        }
        return (set && feed.Update()) || FeedFailed(feed.LastFailure());
    };
    for (; !partners.IsEOF(); partners.MoveNext()) {
        const QVariant name = partners.Value(QStringLiteral("取引先名"));
        const QVariant reading = partners.Value(QStringLiteral("ふりがな"));
        db::Recordset items = FeedSet(DbData, QStringLiteral("select * from 取引先科目 where 取引先名 = '") +
                                                  db::SqlEscape(name.toString()) + u'\'');
        if (!items.IsOpen()) return FeedFailed(DbData.LastFailure());
        // Only the partner's first row carries its name and reading; a
        // partner without items still gets that row.
        if (items.IsEOF() && !write(name, reading, nullptr)) return false;
        for (bool first = true; !items.IsEOF(); items.MoveNext(), first = false)
            if (!write(first ? name : QVariant(), reading, &items)) return false;
    }
    feed.Close();
    return true;
}

}  // namespace

// ---------------------------------------------------------------- masters

void Prn科目一覧(int index) { PrintOrPreview<rpt科目一覧>(index); }

bool Prn取引先マスタ(int index) {
    // The feed is written in one transaction: the work file is synced once,
    // and a feed that fails leaves the table as it was.
    {
        db::Transaction transaction(DbWork);
        if (!transaction.Began()) return FeedFailed(DbWork.LastFailure());
        const bool fed = FillPartnerFeed();
        if (!fed) return false;
        if (!transaction.Commit()) return FeedFailed(DbWork.LastFailure());
    }
    PrintOrPreview<rpt取引先一覧>(index);
    return true;
}

// ---------------------------------------------------------------- expense list

void ExecPrn経費一覧(int index, const ExpenseListPrint& screen) {
    const QString refill = QStringLiteral("insert into w経費一覧印刷 select * from w経費一覧");
    ModMurv::PrnDateFrom = Period(screen.dateFrom);
    ModMurv::PrnDateTo = Period(screen.dateTo);
    ModMurv::PrnTotal = screen.total;
    ModMurv::PrnCount = screen.count;

    if (screen.months.empty()) {
        if (!Feed(DbWork, QStringLiteral("delete * from w経費一覧印刷")) || !Feed(DbWork, refill)) return;
        PrintOrPreview<rpt経費一覧>(index);
        return;
    }

    // One report for the call, run again for each month over the refilled table.
    rpt経費一覧 report;
    bool first = true;
    QStringList untold;  // the months without a page in the range chosen
    for (const auto& [m1, m2] : screen.months) {
        ModMurv::PrnDateFrom = m1;
        ModMurv::PrnDateTo = m2;
        if (!Feed(DbWork, QStringLiteral("delete * from w経費一覧印刷")) ||
            !Feed(DbWork, refill + QStringLiteral(" where 日付 >= ") + JetDate(m1) + QStringLiteral(" and 日付 <= ") +
                              JetDate(m2)))
            return;
        bool ok = false;
        ModMurv::PrnCount = Aggregate(QStringLiteral("select count([取引先名]) as tcnt from w経費一覧印刷 "), &ok);
        if (!ok) return;
        ModMurv::PrnTotal = Aggregate(QStringLiteral("select sum([金額]) as tkin from w経費一覧印刷 "), &ok);
        if (!ok) return;
        report.Restart();
        if (index == kPrint) {
            // The print dialog for the first month only; cancelling it (or a
            // failed print) ends the series. A month without a page in the
            // range chosen prints nothing, and the next month goes on.
            const report::PrintOutcome outcome = PrintReport(report, std::exchange(first, false), &untold);
            if (outcome != report::PrintOutcome::Printed && outcome != report::PrintOutcome::NoPage) return;
        } else if (index == kPreview) {
            if (!PreviewReport(report)) return;
        }
    }
    if (report.PrintsMade() == 0 && !untold.isEmpty()) TellNoPageInRange(report.Title(), untold);
}

// ---------------------------------------------------------------- ranking and monthly table

void ExecPrn経費順位(int index, const QVariant& dateFrom, const QVariant& dateTo, bool byItem, const QVariant& total) {
    if (index != kPrint && index != kPreview) return;  // ｷｬﾝｾﾙ leaves the parameters alone
    // Every value the report reads is written: an empty field prints
    // nothing rather than an earlier print's value.
    ModMurv::PrnDateFrom = Period(dateFrom);
    ModMurv::PrnDateTo = Period(dateTo);
    ModMurv::PrnRankKind = byItem ? QStringLiteral("科目別") : QStringLiteral("取引先別");
    ModMurv::PrnTotal = total;
    PrintOrPreview<rpt経費順位>(index);
}

void ExecPrn月別経費一覧(int index, const MonthListPrint& screen) {
    ModMurv::PrnDateFrom = Period(screen.dateFrom);
    ModMurv::PrnTotal = screen.total;
    ModMurv::PrnTaxTotal = screen.taxTotal;
    for (size_t k = 0; k < 12; ++k) {
        ModMurv::PrnMonthTotal[k] = screen.monthTotals[k];
        ModMurv::PrnMonthTax[k] = screen.monthTaxes[k];
    }
    ModMurv::PrnRankKind = screen.byItem ? QStringLiteral("科目別") : QStringLiteral("取引先別");
    PrintOrPreview<rpt月別経費一覧>(index);
}

}  // namespace reports
