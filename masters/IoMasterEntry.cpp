// The partner master's writes: registering the partner of the detail panel
// with its items, deleting ticked partners and deleting ticked items. Each
// runs in one transaction on the data database; nothing of the expense
// lines (取引明細) is touched.
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "masters/IoMaster.h"
#include "masters/MasterSupport.h"

namespace masters {

using namespace core;

using core::MsgShow;
using ModMurv::DbWork;

namespace {

// The panel's rows that name an item, ticked or not, in the table's order.
db::Recordset ItemRows() { return Open(DbWork, QStringLiteral("select * from w取引先科目 where not isnull([科目])")); }

}  // namespace

void IoMaster::Entry取引先マスタ() {
    if (!panel_.MayRegister(S(u"取引先の科目の行を作れなかったため、登録しませんでした。取引先は変更されていません。"
                              u"詳細を開き直してください。")))
        return;
    if (!AcceptTypedNames({txt取引先名.Text(), txtふりがな.Text()})) return;
    if (!MsgShow(S(u"登録"), S(u"確認"), S(u"取引先の科目"))) return;
    const QString name = txt取引先名.Text();
    if (name.isEmpty()) return;
    const QString reading = txtふりがな.Text();
    const QString partner = QStringLiteral(" where 取引先名 = ") + Quoted(name);
    const QString count = S(u"回数");

    QList<SheetRow> panel;
    const bool written = WriteAll(S(u"取引先科目を登録できませんでした"), [&](db::Database& data) {
        const bool ok =
            StoreSheetRow(data, S(u"取引先マスタ"), partner, {{S(u"取引先名"), name}},
                          {{S(u"ふりがな"), reading.isEmpty() ? QVariant() : QVariant(reading)}}, {S(u"ふりがな")});
        db::Recordset items = ItemRows();
        if (!ok || !items.IsOpen()) return false;
        for (; !items.IsEOF(); items.MoveNext()) panel << SheetRowOf(items, S(u"科目"), PanelItemFields());

        // What the panel read is what it may remove; a panel read for
        // another name (or none) removes nothing.
        const SheetChanges changes = (name == panelPartner_ ? panelItems_ : SheetBaseline()).Compare(panel);
        for (const QString& item : changes.removed)
            if (!Exec(data, QStringLiteral("delete * from 取引先科目") + partner + QStringLiteral(" and 科目 = ") +
                                Quoted(item)))
                return false;
        for (SheetWrite w : changes.writes) {
            const QString pair = partner + QStringLiteral(" and 科目 = ") + Quoted(w.row.name);
            // An empty count: a new pair starts at 1, a stored one keeps its own.
            if (w.row.fields.value(count).isNull()) {
                w.row.fields.insert(count, 1);
                if (w.isNew) w.changed.removeAll(count);
            }
            if (!StoreSheetRow(data, S(u"取引先科目"), pair, {{S(u"取引先名"), name}, {S(u"科目"), w.row.name}},
                               w.row.fields, w.changed))
                return false;
            // Every listed item is in the item master afterwards; an item
            // that is there already takes the reading and the tax-exempt
            // mark only where the user changed them here.
            QMap<QString, QVariant> item = w.row.fields;
            item.remove(count);
            if (!StoreSheetRow(data, S(u"科目マスタ"), QStringLiteral(" where 科目 = ") + Quoted(w.row.name),
                               {{S(u"科目"), w.row.name}}, item, w.changed))
                return false;
        }
        return true;
    });
    if (written) {
        panelPartner_ = name;
        panelItems_.Adopt(panel);
        MsgShow(S(u"登録"), S(u"標準完了"), S(u"取引先科目"));
    }
    Read取引先();
}

void IoMaster::LineDelete取引先() {
    db::Recordset ticked;
    if (!AskForTickedRows(QStringLiteral("w取引先マスタ"), ticked)) return;
    if (!ticked.IsEOF()) {
        const bool deleted = DeleteNamed(
            ticked, S(u"取引先名"), S(u"取引先を削除できませんでした"), [](db::Database& data, const QString& name) {
                const QString partner = QStringLiteral(" where 取引先名 = ") + Quoted(name);
                return Exec(data, QStringLiteral("delete * from 取引先マスタ") + partner) &&
                       Exec(data, QStringLiteral("delete * from 取引先科目") + partner);
            });
        if (deleted) Exec(DbWork, QStringLiteral("delete * from w取引先マスタ where チェック = True"));
    }
    ticked.Close();
    (void)dat明細.Refresh();  // said through refreshFailed
}

void IoMaster::LineDelete取引科目() {
    const QString name = txt取引先名.Text();
    db::Recordset ticked;
    if (!AskForTickedRows(QStringLiteral("w取引先科目"), ticked)) return;
    if (!ticked.IsEOF()) {
        const bool deleted =
            DeleteNamed(ticked, S(u"科目"), S(u"取引先の科目を削除できませんでした"),
                        [&name](db::Database& data, const QString& item) {
                            return Exec(data, QStringLiteral("delete * from 取引先科目 where 取引先名 = ") +
                                                  Quoted(name) + QStringLiteral(" and 科目 = ") + Quoted(item));
                        });
        if (!deleted) return;  // the panel keeps what the user sees
    }
    ticked.Close();
    // The panel shows what is stored now.
    if (!name.isEmpty()) {
        MakeItemRows();
        Read取引先科目(name);
    }
    (void)dat科目.Refresh();  // said through refreshFailed
}

}  // namespace masters
