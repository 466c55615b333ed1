// Loading stored expense lines into the work rows, registering complete
// work rows into 取引明細 with the masters' additions, and ticking and
// deleting rows.
#include <QCoreApplication>
#include <deque>
#include <vector>

#include "core/Failure.h"
#include "core/Helpers.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "entry/EntryRules.h"
#include "entry/FrmInput.h"
#include "platform/db/Transaction.h"

namespace entry {

using core::Quoted;

// What one registration keeps while it walks the rows: the recordset that
// adds new lines, the stored lines written so far, and what it has learnt of
// the masters (everything runs in one transaction, so nothing else writes
// them meanwhile).
struct FrmInput::Registration {
    db::Recordset adder;
    QSet<qint64> written;
    // A pair of partner and item met in this run, open on its row, with the
    // place of its count.
    struct Pair {
        db::Recordset rs;
        int count = -1;
    };
    std::deque<Pair> pairs;  // every pair met, where the lookups below point
    // The partners known to be in the master, each with its pairs met so far by item.
    QHash<QString, QHash<QString, Pair*>> partners;
    QSet<QString> items;
    // The fields a row gives its line, by their place in the work row and in
    // the line (every line is read with the same select), found once.
    int lineNo = -1;
    std::vector<std::pair<int, int>> copied;
    LineFields stored;  // what tells a stored line that is still the loaded one
};

// The bar is painted at once (the walk holds the event loop), and only when
// its value moves.
void FrmInput::ShowProgress(int percent) {
    if (PBar.Value() == percent) return;
    PBar.SetValue(percent);
    if (PBar.isVisible()) PBar.repaint();
}

// ---------------------------------------------------------------- loading

void FrmInput::Read経費() {
    using namespace ModMurv;
    if (!core::DatesReadable({&txt開始, &txt終了}) || !core::AcceptTypedNames({cmb取引先名.Text(), cmb科目.Text()}))
        return;
    PBar.SetVisible(true);
    ShowProgress(10);
    // A read that fails is said, never shown as an empty list.
    const auto fail = [this](const QString& what, const db::Failure& detail) {
        PBar.SetVisible(false);
        (void)dat入力明細.Refresh();  // said through refreshFailed
        core::ShowFailure(what, detail);
    };
    // The grid shows the rows once, when they are loaded.
    if (db::Failure why; !Clear入力明細(false, &why)) {
        fail(QStringLiteral("入力明細の行を作れませんでした。"), why);
        return;
    }

    SqlText = QStringLiteral("select * from w取引明細 order by lno;");
    db::Recordset work = DbWork.OpenRecordset(SqlText);
    if (!work.IsOpen()) {
        fail(QStringLiteral("入力明細の行を読めませんでした。"), work.LastFailure());
        return;
    }

    const QString filter = LoadFilter(cmb取引先名.Text(), cmb科目.Text(), txt開始.Date(), txt終了.Date());
    SqlText = QStringLiteral("select count(*) as total from 取引明細 ") + filter;
    {
        db::Recordset count = DbData.OpenRecordset(SqlText);
        if (!count.IsOpen()) {
            fail(QStringLiteral("経費を読み込めませんでした。"), count.LastFailure());
            return;
        }
        const QVariant total = count.IsEOF() ? QVariant() : count.Value(QStringLiteral("total"));
        ProgressTotal = total.isNull() ? QVariant(0) : total;
    }
    ProgressPercent = 10;

    SqlText = QStringLiteral("select * from 取引明細 ") + filter + LoadOrder(cmb表示順.Text());
    db::Recordset lines = DbData.OpenRecordset(SqlText);
    if (!lines.IsOpen()) {
        fail(QStringLiteral("経費を読み込めませんでした。"), lines.LastFailure());
        return;
    }

    db::Transaction batch(DbWork);
    // The fields by their place, found once for the walk.
    const auto in = [&lines](const char16_t* name) { return lines.FieldIndex(QString::fromUtf16(name)); };
    const auto out = [&work](const char16_t* name) { return work.FieldIndex(QString::fromUtf16(name)); };
    const int fLno = out(u"lno");
    const int inDate = in(u"日付"), inLineNo = in(u"行番号"), inTax = in(u"税額"), inWeekday = in(u"曜日");
    const int inPartner = in(u"取引先名"), inExempt = in(u"非課税");
    const int outDate = out(u"日付"), outLineNo = out(u"行番号"), outMonth = out(u"月"), outDay = out(u"日");
    const int outMonthDay = out(u"月日"), outWeekday = out(u"曜日"), outTax = out(u"税額"), outExempt = out(u"非課税");
    std::vector<std::pair<int, int>> copied;  // the fields copied as they are
    for (const char16_t* field : {u"取引先名", u"科目", u"金額"}) copied.emplace_back(in(field), out(field));
    loadedLines_.reserve(kWorkRows);
    qint64 index = 1;
    bool written = true;
    if (!lines.IsBOF() && !lines.IsEOF()) {
        // Lines past the last work row are not shown: the walk stops there.
        for (; written && !lines.IsEOF() && !work.IsEOF(); lines.MoveNext()) {
            const QVariant dateValue = lines.Value(inDate);
            const QDate date = dateValue.toDate();
            const QVariant lineNo = lines.Value(inLineNo);
            const QVariant tax = lines.Value(inTax);
            // Every value of the row is checked, with the Update that follows.
            written = work.Edit();
            written &= work.SetValue(outDate, date.isValid() ? QVariant(date) : QVariant());
            written &= work.SetValue(outLineNo, lineNo);
            written &= work.SetValue(outMonth, date.isValid() ? QVariant(date.month()) : QVariant());
            written &= work.SetValue(outDay, date.isValid() ? QVariant(date.day()) : QVariant());
            written &= work.SetValue(outMonthDay, date.isValid() ? QVariant(MonthDayText(date)) : QVariant());
            written &= work.SetValue(outWeekday, lines.Value(inWeekday));
            for (const auto& [from, to] : copied) written &= work.SetValue(to, lines.Value(from));
            written &= work.SetValue(outTax, !tax.isNull() && tax.toDouble() == 0 ? QVariant() : tax);
            written &= work.SetValue(outExempt, lines.Value(inExempt));
            written = written && work.Update();
            if (written) {
                LoadedLine& loaded = loadedLines_[work.Value(fLno).toLongLong()];
                loaded.rowId = lines.RowId();
                loaded.partner = lines.Value(inPartner);
                loaded.date = dateValue;
                loaded.lineNo = lineNo;
            }
            core::ProgressStep(index);
            ShowProgress(ProgressPercent.toInt());
            ++index;
            work.MoveNext();
        }
    }
    lines.Close();
    const db::Failure workError = work.LastFailure();
    work.Close();
    if (written && batch.Began() && !batch.Commit()) written = false;
    if (!written) {
        loadedLines_.clear();
        fail(QStringLiteral("読み込んだ経費を入力明細の行に書けませんでした。"),
             db::FirstOf(workError, DbWork.LastFailure()));
        return;
    }

    ShowProgress(80);
    db::Failure why;
    const bool counted =
        core::ShowTotal(num入力件数, DbWork, QStringLiteral("select count([取引先名]) as tcnt from w取引明細"), &why);
    ShowProgress(90);
    const bool totalled = counted && core::ShowTotal(num入力合計, DbWork,
                                                     QStringLiteral("select sum([金額]) as tkin from w取引明細"), &why);
    ShowProgress(100);
    PBar.SetVisible(false);
    (void)dat入力明細.Refresh();  // said through refreshFailed
    if (!totalled) SayTotalsFailed(why);
}

// ---------------------------------------------------------------- registering

bool FrmInput::CheckTypedRows() {
    constexpr int kNamedAtMost = 10;
    const ui::DataGrid& g = Grid入力明細;
    QStringList named;
    int count = 0;
    int first = -1;
    for (int row = 0; !typedRows_.isEmpty() && row < g.RowCount(); ++row) {
        const qint64 lno = g.CellValue(row, kColLno).toLongLong();
        if (!typedRows_.contains(lno) || deletedRows_.contains(lno)) continue;
        const auto empty = [&](int col) { return g.CellValue(row, col).isNull(); };
        QStringList lacks;
        if (empty(kCol日付)) lacks << QStringLiteral("日付");
        if (empty(kCol取引先名)) lacks << QStringLiteral("取引先名");
        if (empty(kCol金額)) lacks << QStringLiteral("金額");
        const bool holds = lacks.size() < 3 || !empty(kCol月) || !empty(kCol日) || !empty(kCol月日) ||
                           !empty(kCol科目) || !empty(kCol摘要);
        if (lacks.isEmpty() || !holds) continue;
        if (first < 0) first = row;
        if (++count <= kNamedAtMost)
            named << QStringLiteral("%1行目: %2がありません。").arg(row + 1).arg(lacks.join(QStringLiteral("・")));
    }
    if (count == 0) return true;
    if (count > kNamedAtMost) named << QStringLiteral("ほかに %1 行あります。").arg(count - kNamedAtMost);
    core::SayRefusedInput(
        QStringLiteral("日付・取引先名・金額のそろっていない行があるため、何も登録しませんでした。\n") +
            named.join(u'\n') + QStringLiteral("\n足りない項目を入力するか、不要な行を削除してから登録してください。"),
        named.join(u' '));
    Grid入力明細.SetRow(first);
    return false;
}

bool FrmInput::Entry経費明細() {
    using namespace ModMurv;
    if (!CheckTypedRows()) return false;
    if (!core::MsgShow(QStringLiteral("登録"), QStringLiteral("確認"), QStringLiteral("経費"))) return false;
    PBar.SetVisible(true);
    ShowProgress(10);

    ProgressTotal = core::CountOf(DbWork, QStringLiteral("select count(*) as total from w取引明細"));
    ProgressPercent = 10;
    qint64 lineNumber = 1;
    qint64 index = 1;

    db::Recordset rows = core::Open(DbWork, QStringLiteral("select * from w取引明細 order by 日付,lno;"));

    // Everything below is one transaction on the data file: a write that
    // fails undoes the whole registration.
    Registration run;
    db::Transaction transaction(DbData);
    bool ok = rows.IsOpen() && transaction.Began();
    if (ok) {
        run.adder = core::Open(DbData, QStringLiteral("select * from 取引明細 where rowid = 0"));
        ok = run.adder.IsOpen();
    }
    if (ok) {
        run.lineNo = run.adder.FieldIndex(QStringLiteral("行番号"));
        run.stored = LineFields::Of(run.adder);
        for (const char16_t* field : {u"日付", u"曜日", u"取引先名", u"科目", u"金額", u"税額", u"非課税"}) {
            const QString name = QString::fromUtf16(field);
            run.copied.emplace_back(rows.FieldIndex(name), run.adder.FieldIndex(name));
        }
    }
    run_ = &run;
    const int fAmount = rows.FieldIndex(QStringLiteral("金額"));
    const int fPartner = rows.FieldIndex(QStringLiteral("取引先名"));
    const int fDate = rows.FieldIndex(QStringLiteral("日付"));
    const int fItem = rows.FieldIndex(QStringLiteral("科目"));
    const int fExempt = rows.FieldIndex(QStringLiteral("非課税"));
    const int fLno = rows.FieldIndex(QStringLiteral("lno"));
    for (; ok && !rows.IsEOF(); rows.MoveNext()) {
        // A row whose line was deleted while the row stayed is not a line.
        const QVariant partnerValue = rows.Value(fPartner);
        const qint64 lno = rows.Value(fLno).toLongLong();
        const bool complete = !rows.Value(fAmount).isNull() && !partnerValue.isNull() && !rows.Value(fDate).isNull() &&
                              !deletedRows_.contains(lno);
        if (complete) {
            const QString partner = partnerValue.toString();
            const QString item = rows.Value(fItem).toString();
            const bool exempt = rows.Value(fExempt).toBool();
            ok = AutoEntry取引先(partner, item, exempt) && AutoEntry科目(item, exempt) &&
                 WriteLine(run, rows, lno, lineNumber);
            ++lineNumber;
        }
        core::ProgressStep(index);
        ShowProgress(ProgressPercent.toInt());
        ++index;
    }
    run_ = nullptr;
    db::Failure detail;
    for (const db::Failure& e :
         {run.adder.LastFailure(), rows.LastFailure(), DbData.LastFailure(), DbWork.LastFailure()})
        detail = db::FirstOf(detail, e);
    rows.Close();
    run.adder.Close();
    run.partners.clear();
    run.pairs.clear();
    const qint64 registered = lineNumber - 1;
    if (ok && registered == 0) {
        // Nothing to store: no completion, and the rows stay as typed.
        transaction.RollBack();
        PBar.SetVisible(false);
        core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"),
                      QStringLiteral("登録できる明細がないため、何も登録しませんでした。") +
                          QStringLiteral("日付・取引先名・金額のそろった行が登録されます。"));
        return false;
    }
    if (ok && !transaction.Commit()) {
        ok = false;
        detail = DbData.LastFailure();
    }
    if (!ok) {
        transaction.RollBack();
        PBar.SetVisible(false);
        core::ShowFailure(
            QStringLiteral(
                "経費を登録できませんでした。データは変更されていません。入力した明細は画面に残っています。"),
            detail);
        return false;
    }
    ShowProgress(100);
    PBar.SetVisible(false);
    core::MsgShow(QStringLiteral("登録"), QStringLiteral("標準完了"), QStringLiteral("経費"));
    Clear経費帳();
    return true;
}

bool FrmInput::WriteLine(Registration& run, db::Recordset& row, qint64 lno, qint64 lineNumber) {
    using namespace ModMurv;
    // The stored line this row was loaded from, when it is still that line
    // and this run has not written it yet; otherwise a new line.
    db::Recordset stored;
    qint64 storedId = -1;
    const auto loaded = loadedLines_.constFind(lno);
    if (loaded != loadedLines_.constEnd() && !run.written.contains(loaded->rowId)) {
        stored = core::Open(DbData,
                            QStringLiteral("select * from 取引明細 where rowid = ") + QString::number(loaded->rowId));
        if (!stored.IsOpen()) return false;
        if (IsStillLoadedLine(*loaded, stored, run.stored)) storedId = loaded->rowId;
    }
    db::Recordset& target = storedId >= 0 ? stored : run.adder;
    if (!(storedId >= 0 ? target.Edit() : target.AddNew())) return false;
    bool ok = target.SetValue(run.lineNo, lineNumber);
    for (const auto& [from, to] : run.copied) ok = target.SetValue(to, row.Value(from)) && ok;
    if (!ok || !target.Update()) {
        target.CancelUpdate();
        return false;
    }
    if (storedId >= 0) run.written.insert(storedId);
    return true;
}

bool FrmInput::AutoEntry取引先(const QString& partner, const QString& item, bool exempt) {
    using namespace ModMurv;
    // The pairs of this partner met so far in the run (none outside a run).
    QHash<QString, Registration::Pair*>* known = nullptr;
    if (run_) {
        if (auto it = run_->partners.find(partner); it != run_->partners.end()) known = &*it;
    }
    if (!known) {
        db::Recordset rs =
            core::Open(DbData, QStringLiteral("select * from 取引先マスタ where 取引先名 = ") + Quoted(partner));
        if (!rs.IsOpen()) return false;
        if (rs.IsEOF()) {
            if (!rs.AddNew() || !rs.SetValue(QStringLiteral("取引先名"), partner) ||
                !rs.SetValue(QStringLiteral("クイック読込"), QStringLiteral("する")) || !rs.Update())
                return false;
        }
        if (run_) known = &run_->partners[partner];
    }

    // A line without an item makes no pair.
    if (item.isEmpty()) return true;
    Registration::Pair own;
    Registration::Pair* pair = known ? known->value(item) : nullptr;
    if (!pair) {
        pair = &own;
        own.rs = core::Open(DbData, QStringLiteral("select * from 取引先科目 where 取引先名 = ") + Quoted(partner) +
                                        QStringLiteral(" and 科目 = ") + Quoted(item));
        if (!own.rs.IsOpen()) return false;
        own.count = own.rs.FieldIndex(QStringLiteral("回数"));
    }
    db::Recordset& rs = pair->rs;
    if (rs.IsEOF()) {
        if (!rs.AddNew() || !rs.SetValue(QStringLiteral("取引先名"), partner) ||
            !rs.SetValue(QStringLiteral("科目"), item) || !rs.SetValue(QStringLiteral("非課税"), exempt) ||
            !rs.SetValue(pair->count, 1) || !rs.Update())
            return false;
        rs.MoveLast();  // onto the pair just added
    } else {
        const QVariant count = rs.Value(pair->count);
        if (!rs.Edit() || !rs.SetValue(pair->count, count.isNull() ? QVariant() : QVariant(count.toLongLong() + 1)) ||
            !rs.Update())
            return false;
    }
    if (known && pair == &own) {
        run_->pairs.push_back(std::move(own));
        known->insert(item, &run_->pairs.back());
    }
    return true;
}

bool FrmInput::AutoEntry科目(const QString& item, bool exempt) {
    using namespace ModMurv;
    // An empty item is no item: nothing is added for it.
    if (item.isEmpty()) return true;
    if (run_ && run_->items.contains(item)) return true;
    db::Recordset rs = core::Open(DbData, QStringLiteral("select * from 科目マスタ where 科目 = ") + Quoted(item));
    if (!rs.IsOpen()) return false;
    if (rs.IsEOF()) {
        if (!rs.AddNew() || !rs.SetValue(QStringLiteral("科目"), item) ||
            !rs.SetValue(QStringLiteral("非課税"), exempt) || !rs.Update())
            return false;
    }
    if (run_) run_->items.insert(item);
    return true;
}

// ---------------------------------------------------------------- the stored line behind a row

FrmInput::LineFields FrmInput::LineFields::Of(const db::Recordset& lines) {
    return {lines.FieldIndex(QStringLiteral("取引先名")), lines.FieldIndex(QStringLiteral("日付")),
            lines.FieldIndex(QStringLiteral("行番号"))};
}

bool FrmInput::IsStillLoadedLine(const LoadedLine& loaded, const db::Recordset& stored, const LineFields& at) {
    return stored.IsOpen() && !stored.IsEOF() && stored.Value(at.partner) == loaded.partner &&
           stored.Value(at.date) == loaded.date && stored.Value(at.lineNo) == loaded.lineNo;
}

// ---------------------------------------------------------------- ticking and deleting

void FrmInput::OnOff入力明細(bool flag) {
    using namespace ModMurv;
    core::Exec(DbWork, QStringLiteral("update w取引明細 set チェック = ") +
                           (flag ? QStringLiteral("True") : QStringLiteral("False")) +
                           QStringLiteral(" where not isnull([取引先名]) and  not isnull([金額])"));
    (void)dat入力明細.Refresh();  // said through refreshFailed
    Grid入力明細.SetFocus();
}

void FrmInput::LineDelete入力明細() {
    // A tick just set is in the table already; a cell still being edited
    // is committed like before any command.
    Grid入力明細.CommitPendingEdit();
    db::Recordset ticked;
    if (!core::AskForTickedRows(QStringLiteral("w取引明細"), ticked)) return;
    // The count and the total are those of the rows that remain.
    const bool deleted = !ticked.IsEOF() && DeleteTickedLines(ticked);
    ticked.Close();
    (void)dat入力明細.Refresh();  // said through refreshFailed
    if (deleted) Calc入力明細();
}

bool FrmInput::DeleteTickedLines(db::Recordset& ticked) {
    // The stored lines behind the ticked rows: only a row loaded from a line
    // that still is that line has one; typed rows have none.
    QList<qint64> lnos;
    QList<LoadedLine> behind;
    const int fCheck = ticked.FieldIndex(QStringLiteral("チェック"));
    const int fLno = ticked.FieldIndex(QStringLiteral("lno"));
    for (; !ticked.IsEOF(); ticked.MoveNext()) {
        if (!ticked.Value(fCheck).toBool()) continue;
        const qint64 lno = ticked.Value(fLno).toLongLong();
        lnos << lno;
        if (const auto loaded = loadedLines_.constFind(lno); loaded != loadedLines_.constEnd()) behind << *loaded;
    }
    ticked.Close();

    // The stored lines first, in one transaction: all of them go, or none.
    const bool deleted = core::WriteAll(
        QStringLiteral("明細を削除できませんでした。データは変更されていません。チェックした明細は画面に残っています"),
        [&](db::Database& data) {
            bool ok = true;
            for (qsizetype i = 0; ok && i < behind.size(); ++i) {
                const QString id = QString::number(behind[i].rowId);
                db::Recordset stored = core::Open(data, QStringLiteral("select * from 取引明細 where rowid = ") + id);
                ok = stored.IsOpen();
                if (!ok || !IsStillLoadedLine(behind[i], stored, LineFields::Of(stored))) continue;
                stored.Close();
                ok = core::Exec(data, QStringLiteral("delete * from 取引明細 where rowid = ") + id);
            }
            return ok;
        });
    if (!deleted) return false;
    // Then the ticked rows, only once the lines are gone for good. Rows that
    // stay on the screen are no longer the rows of a stored line, and they
    // are never registered again.
    for (const qint64 lno : lnos) loadedLines_.remove(lno);
    if (!core::Exec(ModMurv::DbWork, QStringLiteral("delete * from w取引明細 where チェック = True"))) {
        for (const qint64 lno : lnos) deletedRows_.insert(lno);
        core::ShowFailure(QStringLiteral("明細を削除しましたが、チェックした行を画面から消せませんでした。"
                                         "この行は登録されません。クリアしてから入力し直してください。"),
                          ModMurv::DbWork.LastFailure());
    }
    return true;
}

}  // namespace entry
