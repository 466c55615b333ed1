// The monthly table's reading: the twelve months of the window (captions,
// month totals and taxes, fonts), one row per name with its total and its
// twelve month sums, the grand totals, then the ranks and the cut.
#include <map>
#include <vector>

#include "core/Clock.h"
#include "core/Failure.h"
#include "core/Helpers.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "lists/FrmMonthList.h"
#include "lists/ListKit.h"
#include "platform/db/Transaction.h"

namespace lists {

using core::Exec;
using core::Open;
using core::S;
using ModMurv::DbData;
using ModMurv::DbWork;

namespace {

QString Between(const Window& w) {
    return QStringLiteral(" 日付 >= ") + DateLiteral(w.start) + QStringLiteral(" and 日付 <= ") + DateLiteral(w.end);
}

// The sums of the lines of one window by name, from one grouped query; the
// lines without a name under a null key.
struct NameSums {
    std::map<QString, QVariant> named;
    QVariant unnamed;
    QVariant Of(const QVariant& name) const {
        if (name.isNull()) return unnamed;
        const auto it = named.find(name.toString());
        return it == named.end() ? QVariant() : it->second;
    }
};

bool ReadNameSums(const QString& field, const Window& w, NameSums* sums) {
    db::Recordset rs =
        Open(DbData, QStringLiteral("select ") + field + QStringLiteral(", sum([金額]) as gkin from 取引明細 where") +
                         Between(w) + QStringLiteral(" group by ") + field);
    if (!rs.IsOpen()) return false;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QVariant name = rs.Value(0);
        (name.isNull() ? sums->unnamed : sums->named[name.toString()]) = rs.Value(1);
    }
    return rs.LastErrorKind() == db::ErrorKind::None;
}

}  // namespace

bool FrmMonthList::Read月別経費() {
    if (!core::DatesReadable({&txt開始})) return false;
    PBar.SetVisible(true);
    PBar.SetValue(10);
    ModMurv::ProgressPercent = 10;
    window_ = DefaultWindow(txt開始.Date(), ModMurv::PeriodStart, core::Today());
    if (txt開始.IsNull()) txt開始.SetDate(window_.start);

    const bool perItem = Opt科目別.Value();
    const QString field = perItem ? S(u"科目") : S(u"取引先名");
    const auto fail = [&](const db::Failure& reason) {
        PBar.SetVisible(false);
        (void)dat明細.Refresh();  // said through refreshFailed
        core::ShowFailure(S(u"月別経費一覧を読み込めませんでした。"), reason);
        return false;
    };

    // Nothing of an earlier reading stays.
    ClearMonthBoxes();
    num合計.Clear();
    num税合計.Clear();
    if (!ReadMonths()) return fail(DbData.LastFailure());

    if (!Exec(DbWork, QStringLiteral("delete * from w月別経費"))) return fail(DbWork.LastFailure());
    db::Database& work = ListWork();
    if (!Exec(work, QStringLiteral("insert into w月別経費 select distinct ") + field +
                        QStringLiteral(" from 取引明細 ") + core::InFile(ModMurv::DataFilePath) +
                        QStringLiteral(" where") + Between(window_)))
        return fail(work.LastFailure());
    if (!SumRows(field)) return fail(db::FirstOf(DbWork.LastFailure(), DbData.LastFailure()));

    bool ok = true;
    const QVariant total = SingleValue(DbWork, QStringLiteral("select sum([合計]) as tkin from w月別経費 "), ok);
    const QVariant largest = SingleValue(DbWork, QStringLiteral("select max([合計]) as tkin from w月別経費 "), ok);
    if (!ok) return fail(DbWork.LastFailure());
    if (!total.isNull()) num合計.SetValue(total);
    Grid明細.Columns(kCol合計).SetFontSize(TotalColumnFontFor(largest));
    double tax = 0;
    for (int k = 0; k < kMonths; ++k)
        if (!num月税計[k].IsNull()) tax += num月税計[k].Value().toDouble();
    num税合計.SetValue(tax);

    if (const auto limit = RankLimit(cmb表示順位.Text())) {
        QStringList months;
        for (int m = 1; m <= kMonths; ++m) months << QStringLiteral("金額%1").arg(m);
        if (!RankAndCut(S(u"w月別経費"), S(u"w月別経費ソート"), S(u"合計"), months, *limit))
            return fail(DbWork.LastFailure());
    }
    PBar.SetValue(100);
    PBar.SetVisible(false);
    (void)dat明細.Refresh();  // said through refreshFailed
    return true;
}

bool FrmMonthList::ReadMonths() {
    const bool era = ModMurv::EraSetting == S(u"和暦");
    ModMurv::ProgressTotal = 11;
    for (int k = 0; k < kMonths; ++k) {
        const Window month = MonthOf(window_.start, k);
        Grid明細.Columns(kColMonth1 + k).SetCaption(MonthColumnCaption(month.start, era));
        db::Recordset sums =
            Open(DbData, QStringLiteral("select sum([金額]) as tkin, sum([税額]) as tzei, max([金額]) as tmax "
                                        "from 取引明細 where") +
                             Between(month));
        if (!sums.IsOpen()) return false;
        const QVariant total = sums.IsEOF() ? QVariant() : sums.Value(0);
        const QVariant tax = sums.IsEOF() ? QVariant() : sums.Value(1);
        const MonthFonts fonts = MonthFontsFor(sums.IsEOF() ? QVariant() : sums.Value(2));
        if (!total.isNull()) num月計[k].SetValue(total);
        if (!tax.isNull()) num月税計[k].SetValue(tax);
        num月計[k].SetFontSize(fonts.box);
        Grid明細.Columns(kColMonth1 + k).SetFontSize(fonts.column);
        core::ProgressStep(k + 1);
        PBar.SetValue(ModMurv::ProgressPercent.toInt());
    }
    return true;
}

// Each row's total over the window and over each month; a row without a
// name sums the lines without one. The sums are read by name, one grouped
// query per window, not one query per row and window.
bool FrmMonthList::SumRows(const QString& field) {
    std::vector<NameSums> sums(kMonths + 1);
    for (int k = 0; k <= kMonths; ++k)
        if (!ReadNameSums(field, k == 0 ? window_ : MonthOf(window_.start, k - 1), &sums[static_cast<size_t>(k)]))
            return false;
    db::Transaction transaction(DbWork);
    if (!transaction.Began()) return false;
    db::Recordset rows = Open(DbWork, QStringLiteral("select * from w月別経費"));
    bool ok = rows.IsOpen();
    for (; ok && !rows.IsEOF(); rows.MoveNext()) {
        const QVariant name = rows.Value(field);
        ok = rows.Edit();
        ok = ok && rows.SetValue(S(u"合計"), sums[0].Of(name));
        for (int k = 0; ok && k < kMonths; ++k)
            ok = rows.SetValue(kColMonth1 + k, sums[static_cast<size_t>(k) + 1].Of(name));
        ok = ok && rows.Update();
    }
    rows.Close();
    return ok && transaction.Commit();
}

}  // namespace lists
