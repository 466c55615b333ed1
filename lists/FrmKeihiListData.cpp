// Reading the expense list (one insert-select per window, the rows never
// pass through the screen), its count and total, and deleting ticked lines.
#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "lists/FrmKeihiList.h"
#include "lists/ListKit.h"
#include "platform/db/Transaction.h"

namespace lists {

using core::Exec;
using core::Open;
using core::S;
using ModMurv::DbData;
using ModMurv::DbWork;

// ---------------------------------------------------------------- reading

bool FrmKeihiList::Read経費一覧() {
    if (!core::DatesReadable({&txt開始, &txt終了})) return false;
    const Window window = FillPeriod(txt開始, txt終了);
    PBar.SetVisible(true);
    PBar.SetValue(10);

    const QString source =
        QStringLiteral("insert into w経費一覧 select rowid as 明細ID,行番号,日付,取引先名,科目,金額") +
        QStringLiteral(" from 取引明細") + core::InFile(ModMurv::DataFilePath);
    const QString tail = ListFilter(cmb科目.Text(), cmb取引先名.Text()) + ListOrder(cmb表示順.Text());
    const auto statement = [&](const Window& w) {
        return source + QStringLiteral(" where 日付 >= ") + DateLiteral(w.start) + QStringLiteral(" and 日付 <= ") +
               DateLiteral(w.end) + tail;
    };
    QList<Window> windows;
    readMonths_.clear();
    for (int i = 0; i < kMonths; ++i) {
        if (!IsMonthSelected(i)) continue;
        windows << MonthWindow(i);
        readMonths_.emplace_back(windows.last().start, windows.last().end);
    }
    if (windows.isEmpty()) windows << window;

    // The data file is attached before the transaction (no file can be
    // attached inside one); the list is then made anew as a whole or not at
    // all.
    db::Database& work = ListWork();
    bool ok = false;
    {
        db::Transaction transaction(work, {ModMurv::DataFilePath});
        ok = transaction.Began() && Exec(work, QStringLiteral("delete * from w経費一覧"));
        PBar.SetValue(30);
        for (const Window& w : windows) ok = ok && Exec(work, statement(w));
        ok = ok && transaction.Commit();
    }
    if (!ok) {
        const db::Failure reason = work.LastFailure();
        // No half list: the screen shows none, and says why.
        Exec(DbWork, QStringLiteral("delete * from w経費一覧"));
        readMonths_.clear();
        num件数.Clear();
        num合計.Clear();
        PBar.SetVisible(false);
        (void)dat明細.Refresh();  // said through refreshFailed
        core::ShowFailure(S(u"経費一覧を読み込めませんでした。"), reason);
        return false;
    }
    PBar.SetValue(80);
    ok = Calc経費一覧();
    PBar.SetValue(100);
    PBar.SetVisible(false);
    (void)dat明細.Refresh();  // said through refreshFailed
    return ok;
}

bool FrmKeihiList::Calc経費一覧() {
    bool ok = true;
    const QVariant count = SingleValue(DbWork, QStringLiteral("select count([取引先名]) as tcnt from w経費一覧 "), ok);
    const QVariant total = SingleValue(DbWork, QStringLiteral("select sum([金額]) as tkin from w経費一覧 "), ok);
    if (!ok) {
        num件数.Clear();
        num合計.Clear();
        core::ShowFailure(S(u"経費一覧の件数と合計を求められませんでした。"), DbWork.LastFailure());
        return false;
    }
    num件数.SetValue(count.isNull() ? QVariant(0) : count);
    num合計.SetValue(total.isNull() ? QVariant(0) : total);
    return true;
}

// ---------------------------------------------------------------- deleting

void FrmKeihiList::LineDelete経費一覧() {
    if (!core::MsgShow(S(u"削除"), S(u"伝票確認2"), S(u"指定されたデータ"))) return;
    Grid明細.CommitPendingEdit();
    QList<Ticked> ticked;
    {
        db::Recordset rows = Open(DbWork, QStringLiteral("select * from w経費一覧 where チェック = True"));
        if (!rows.IsOpen()) {
            core::ShowFailure(S(u"チェックした明細を読み込めませんでした。"), DbWork.LastFailure());
            return;
        }
        for (; !rows.IsEOF(); rows.MoveNext()) {
            // The stored line behind the row, while it still is the line listed.
            QString condition = QStringLiteral(" where rowid = ") + rows.Value(S(u"明細ID")).toString();
            for (const char16_t* field : {u"日付", u"取引先名", u"行番号"})
                condition += QStringLiteral(" and ") + FieldEquals(S(field), rows.Value(S(field)));
            ticked.append({rows.RowId(), condition});
        }
    }
    if (ticked.isEmpty()) {
        core::MsgShow(S(u"行指定"), S(u"指定なし"), S(u"指定されたデータ"));
        (void)dat明細.Refresh();  // said through refreshFailed
        return;
    }
    QList<qint64> deleted;
    if (!DeleteTicked(ticked, deleted)) {
        (void)dat明細.Refresh();  // said through refreshFailed
        return;
    }
    if (deleted.size() < ticked.size()) {
        core::MsgShow(
            S(u"その他"), S(u"メッセージ"),
            S(u"読込みの後に変更または削除された明細は削除していません。チェックしたまま一覧に残っています。"));
    }
    Calc経費一覧();
    (void)dat明細.Refresh();  // said through refreshFailed
}

bool FrmKeihiList::DeleteTicked(const QList<Ticked>& ticked, QList<qint64>& deleted) {
    // The stored lines in one transaction: all of them go, or none does.
    const QString failure =
        S(u"明細を削除できませんでした。データは変更されていません。チェックした明細は画面に残っています");
    const bool written = core::WriteAll(failure, [&](db::Database& data) {
        for (const Ticked& row : ticked) {
            // The kit notes why; WriteAll says it and logs it.
            if (!Exec(data, QStringLiteral("delete * from 取引明細") + row.condition)) return false;
            if (data.RecordsAffected() > 0) deleted << row.workRow;
        }
        return true;
    });
    if (!written) {
        deleted.clear();
        return false;
    }
    // Then their rows of the list.
    if (deleted.isEmpty()) return true;
    QStringList rows;
    for (const qint64 row : deleted) rows << QString::number(row);
    if (!Exec(DbWork, QStringLiteral("delete * from w経費一覧 where rowid in (") + rows.join(u',') + u')')) {
        core::ShowFailure(S(u"明細は削除しましたが、一覧から外せませんでした。読込み直してください。"),
                          DbWork.LastFailure());
    }
    return true;
}

}  // namespace lists
