// The ranking's reading: one row per name of the window, one sum per name,
// the total, then the ranks and the cut into "その他".
#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "lists/FrmKeihiJuni.h"
#include "lists/ListKit.h"
#include "platform/db/Transaction.h"

namespace lists {

using core::Exec;
using core::Open;
using core::S;
using ModMurv::DbData;
using ModMurv::DbWork;

bool FrmKeihiJuni::Read経費順位() {
    if (!core::DatesReadable({&txt開始, &txt終了})) return false;
    PBar.SetVisible(true);
    PBar.SetValue(10);
    // An empty field takes its end of the default window.
    window_ = FillPeriod(txt開始, txt終了);

    const bool perItem = Opt科目別.Value();
    const QString field = perItem ? S(u"科目") : S(u"取引先名");
    const QString failure = S(u"経費順位を読み込めませんでした。");
    const auto fail = [&](const db::Failure& reason) {
        PBar.SetVisible(false);
        (void)dat経費順位.Refresh();  // said through refreshFailed
        core::ShowFailure(failure, reason);
        return false;
    };

    bool ok = Exec(DbWork, QStringLiteral("delete * from w経費順位"));
    PBar.SetValue(20);
    ok = ok && Exec(DbWork, QStringLiteral("delete * from w経費順位ソート"));
    PBar.SetValue(30);
    if (!ok) return fail(DbWork.LastFailure());
    readPerItem_ = perItem;

    db::Database& work = ListWork();
    if (!Exec(work, QStringLiteral("insert into w経費順位 select distinct ") + field +
                        QStringLiteral(" from 取引明細 ") + core::InFile(ModMurv::DataFilePath) +
                        QStringLiteral(" where 日付 >= ") + DateLiteral(window_.start) +
                        QStringLiteral(" and 日付 <= ") + DateLiteral(window_.end)))
        return fail(work.LastFailure());
    Grid経費順位.Columns(kCol科目).SetVisible(perItem);
    Grid経費順位.Columns(kCol取引先名).SetVisible(!perItem);
    PBar.SetValue(50);

    if (!SumNames(field)) return fail(db::FirstOf(DbWork.LastFailure(), DbData.LastFailure()));
    PBar.SetValue(80);

    ok = true;
    const QVariant total = SingleValue(DbWork, QStringLiteral("select sum([金額]) as tkin from w経費順位 "), ok);
    if (!ok) return fail(DbWork.LastFailure());
    num合計.SetValue(total.isNull() ? QVariant(0) : total);

    if (const auto limit = RankLimit(cmb表示順位.Text())) {
        if (!RankAndCut(S(u"w経費順位"), S(u"w経費順位ソート"), S(u"金額"), {}, *limit))
            return fail(DbWork.LastFailure());
    }
    PBar.SetValue(100);
    PBar.SetVisible(false);
    (void)dat経費順位.Refresh();  // said through refreshFailed
    return true;
}

// Each name's total over the window; a row without a name sums the lines
// without one.
bool FrmKeihiJuni::SumNames(const QString& field) {
    db::Transaction transaction(DbWork);
    if (!transaction.Began()) return false;
    db::Recordset rows = Open(DbWork, QStringLiteral("select * from w経費順位"));
    bool ok = rows.IsOpen();
    const QString period = QStringLiteral(" and  日付 >= ") + DateLiteral(window_.start) +
                           QStringLiteral(" and 日付 <= ") + DateLiteral(window_.end);
    for (; ok && !rows.IsEOF(); rows.MoveNext()) {
        const QVariant sum = SingleValue(DbData,
                                         QStringLiteral("select sum([金額]) as gkin from 取引明細 ") +
                                             NameCondition(field, rows.Value(field)) + period,
                                         ok);
        ok = ok && rows.Edit() && rows.SetValue(S(u"金額"), sum) && rows.Update();
    }
    rows.Close();
    return ok && transaction.Commit();
}

}  // namespace lists
