// The partner master's writes: registering the partner of the detail panel
// with its items, deleting ticked partners and deleting ticked items. Each
// runs in one transaction on the data database; nothing of the expense
// lines (取引明細) is touched.
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "masters/IoMaster.h"
#include "core/ScreenKit.h"
#include "masters/MasterSupport.h"

namespace masters {

using namespace core;

using core::MsgShow;
using ModMurv::DbWork;

namespace {


// The panel's rows that name an item, ticked or not, in the table's order.
db::Recordset ItemRows() { return Open(DbWork, QStringLiteral("select * from w取引先科目 where not isnull([科目])")); }

bool AskDelete() { return MsgShow(S(u"削除"), S(u"伝票確認2"), S(u"指定されたデータ")); }
void NothingTicked() { MsgShow(S(u"行指定"), S(u"指定なし"), QString()); }

}  // namespace

void IoMaster::Entry取引先マスタ() {
    if (!MsgShow(S(u"登録"), S(u"確認"), S(u"取引先の科目"))) return;
    const QString name = txt取引先名.Text();
    if (name.isEmpty()) return;
    const QString reading = txtふりがな.Text();
    const QString partner = QStringLiteral(" where 取引先名 = ") + Quoted(name);

    const bool written = WriteAll(S(u"取引先科目を登録できませんでした"), [&](db::Database& data) {
        db::Recordset row = Open(data, QStringLiteral("select * from 取引先マスタ") + partner);
        bool ok = row.IsOpen() && ((row.IsBOF() || row.IsEOF()) ? row.AddNew() : row.Edit());
        ok = ok && row.SetValue(S(u"取引先名"), name);
        ok = ok && row.SetValue(S(u"ふりがな"), reading.isEmpty() ? QVariant() : QVariant(reading));
        ok = ok && row.Update();
        row.Close();

        // The panel's rows become the partner's whole item list.
        ok = ok && Exec(data, QStringLiteral("delete * from 取引先科目") + partner);
        db::Recordset items = ItemRows();
        ok = ok && items.IsOpen();
        if (ok && !items.IsEOF()) {
            db::Recordset pairs = Open(data, QStringLiteral("select * from 取引先科目") + partner);
            for (; ok && !items.IsEOF(); items.MoveNext()) {
                const QVariant count = items.Value(S(u"回数"));
                ok = pairs.AddNew() && pairs.SetValue(S(u"取引先名"), name) &&
                     pairs.SetValue(S(u"科目"), items.Value(S(u"科目"))) &&
                     pairs.SetValue(S(u"非課税"), items.Value(S(u"非課税"))) &&
                     pairs.SetValue(S(u"ふりがな"), items.Value(S(u"ふりがな"))) &&
                     pairs.SetValue(S(u"回数"), count.isNull() ? QVariant(1) : count) && pairs.Update();
            }
        }

        // Each listed item takes this row's reading and tax-exempt mark in
        // the item master too.
        if (ok) items.MoveFirst();
        for (; ok && !items.IsEOF(); items.MoveNext()) {
            const QVariant item = items.Value(S(u"科目"));
            db::Recordset master =
                Open(data, QStringLiteral("select * from 科目マスタ where 科目 = ") + Quoted(item.toString()));
            ok = master.IsOpen() && ((master.IsBOF() || master.IsEOF()) ? master.AddNew() : master.Edit()) &&
                 master.SetValue(S(u"科目"), item) && master.SetValue(S(u"ふりがな"), items.Value(S(u"ふりがな"))) &&
                 master.SetValue(S(u"非課税"), items.Value(S(u"非課税"))) && master.Update();
        }
        return ok;
    });
    if (written) MsgShow(S(u"登録"), S(u"標準完了"), S(u"取引先科目"));
    Read取引先();
}

void IoMaster::LineDelete取引先() {
    if (!AskDelete()) return;
    db::Recordset ticked = Open(DbWork, QStringLiteral("select * from w取引先マスタ where チェック = True"));
    if (ticked.IsBOF() || ticked.IsEOF()) {
        NothingTicked();
    } else {
        const bool deleted = WriteAll(S(u"取引先を削除できませんでした"), [&](db::Database& data) {
            bool ok = true;
            for (; ok && !ticked.IsEOF(); ticked.MoveNext()) {
                const QString name = ticked.Value(S(u"取引先名")).toString();
                if (name.isEmpty()) continue;
                const QString partner = QStringLiteral(" where 取引先名 = ") + Quoted(name);
                ok = Exec(data, QStringLiteral("delete * from 取引先マスタ") + partner) &&
                     Exec(data, QStringLiteral("delete * from 取引先科目") + partner);
            }
            return ok;
        });
        if (deleted) Exec(DbWork, QStringLiteral("delete * from w取引先マスタ where チェック = True"));
    }
    ticked.Close();
    dat明細.Refresh();
}

void IoMaster::LineDelete取引科目() {
    if (!AskDelete()) return;
    const QString name = txt取引先名.Text();
    db::Recordset ticked = Open(DbWork, QStringLiteral("select * from w取引先科目 where チェック = True"));
    if (ticked.IsBOF() || ticked.IsEOF()) {
        NothingTicked();
    } else {
        const bool deleted = WriteAll(S(u"取引先の科目を削除できませんでした"), [&](db::Database& data) {
            bool ok = true;
            for (; ok && !ticked.IsEOF(); ticked.MoveNext()) {
                const QString item = ticked.Value(S(u"科目")).toString();
                if (item.isEmpty()) continue;
                ok = Exec(data, QStringLiteral("delete * from 取引先科目 where 取引先名 = ") + Quoted(name) +
                                    QStringLiteral(" and 科目 = ") + Quoted(item));
            }
            return ok;
        });
        if (!deleted) return;  // the panel keeps what the user sees
    }
    ticked.Close();
    // The panel shows what is stored now.
    if (!name.isEmpty()) {
        MakeItemRows();
        Read取引先科目(name);
    }
    dat科目.Refresh();
}

}  // namespace masters
