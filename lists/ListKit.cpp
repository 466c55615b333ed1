#include "lists/ListKit.h"

#include <QDebug>

#include "core/Clock.h"
#include "core/Hint.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "platform/db/Scratch.h"
#include "platform/db/Transaction.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/KeyHooks.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/TextControls.h"

namespace lists {

using core::Exec;
using core::Open;
using core::S;

db::Database& ListWork() {
    static db::Database work;
    if (!work.IsOpen() || work.Path() != ModMurv::WorkFilePath) {
        work.Close();
        db::OpenScratch(work, ModMurv::WorkFilePath);
    }
    return work;
}

QVariant SingleValue(db::Database& database, const QString& sql, bool& ok) {
    db::Recordset rs = Open(database, sql);
    if (!rs.IsOpen()) {
        ok = false;
        return {};
    }
    return rs.IsEOF() ? QVariant() : rs.Value(0);
}

Window FillPeriod(ui::DateBox& start, ui::DateBox& end) {
    const Window standard = DefaultWindow(start.Date(), ModMurv::PeriodStart, core::Today());
    if (start.IsNull()) start.SetDate(standard.start);
    if (end.IsNull()) end.SetDate(standard.end);
    return {start.Date(), end.Date()};
}

bool StepPeriod(ui::DateBox& start, ui::DateBox& end, int step) {
    if (!core::DatesReadable({&start, &end})) return false;
    const Window moved = StepWindow(start.Date(), end.Date(), step, core::Today());
    start.SetDate(moved.start);
    end.SetDate(moved.end);
    return true;
}

bool PrintPeriodReadable(int index, std::initializer_list<ui::DateBox*> period) {
    return index == 2 || core::DatesReadable(period);
}

void PlaceButtonRow(QWidget& form, std::initializer_list<KeyedButton> buttons, int left, int top) {
    int x = left;
    for (const auto& [button, key] : buttons) {
        if (button) button->Move(x, top, 1200, 480);
        if (button && key) {
            auto* label = new ui::Label(QString::fromUtf16(key), &form);
            label->Move(x, top + 510, 1200, 270);
            label->SetAlignment(Qt::AlignCenter);
        }
        x += 1320;
    }
}

void SetUpTotalBox(ui::NumberBox& box) {
    box.SetDisplayFormat(QStringLiteral("#,##0"));
    box.SetLocked(true);
    box.setFocusPolicy(Qt::NoFocus);
    box.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void SetUpGrouping(ui::Panel& frame, ui::OptionButton& perItem, ui::OptionButton& perPartner, ui::Label& label,
                   ui::ComboBox& limits, int left, int top) {
    frame.Move(left, top, 3000, 420);
    perItem.SetCaption(S(u"科目別"));
    perItem.Move(90, 60, 1200, 300);
    perPartner.SetCaption(S(u"取引先別"));
    perPartner.Move(1440, 60, 1400, 300);
    label.Move(left + 3300, top + 60, 900, 300);
    limits.Move(left + 4200, top + 15, 1200, 345);
    limits.Clear();
    for (const QString& limit : RankLimits()) limits.AddItem(limit);
}

void SetUpPeriodFields(ui::DateBox& start, ui::DateBox& end, ui::Label& between, ui::Panel& frame) {
    const bool era = ModMurv::EraSetting == S(u"和暦");
    for (ui::DateBox* box : {&start, &end}) {
        const QString pattern = era ? S(u"ggg ee年mm月dd日") : S(u"yyyy/mm/dd");
        box->SetPatterns(pattern, pattern);
        box->SetYearMonthPattern(era ? S(u"g ee年mm月") : S(u"yyyy年mm月"));
        box->SetWidth(era ? 2370 : 1530);
    }
    between.SetLeft(era ? 3090 : 2310);
    end.SetLeft(era ? 3360 : 2640);
    frame.SetWidth(era ? 5790 : 4290);
}

bool RankAndCut(const QString& table, const QString& sortTable, const QString& amount, const QStringList& sums,
                int limit) {
    db::Database& work = ModMurv::DbWork;
    db::Transaction transaction(work);
    if (!transaction.Began()) return false;
    const QString beyond = QString::number(kBeyondLimit);
    const QString order = QStringLiteral(" order by ") + amount + QStringLiteral(" DESC,rowid;");
    bool ok =
        Exec(work, QStringLiteral("delete * from ") + sortTable) &&
        Exec(work, QStringLiteral("insert into ") + sortTable + QStringLiteral(" select * from ") + table + order);
    if (ok) {
        db::Recordset rows = Open(work, QStringLiteral("select * from ") + sortTable + order);
        ok = rows.IsOpen();
        const int rank = rows.FieldIndex(S(u"順位"));
        for (int counter = 1; ok && !rows.IsEOF(); rows.MoveNext(), ++counter)
            ok = rows.Edit() && rows.SetValue(rank, counter <= limit ? counter : kBeyondLimit) && rows.Update();
    }
    ok = ok && Exec(work, QStringLiteral("delete * from ") + table) &&
         Exec(work, QStringLiteral("insert into ") + table + QStringLiteral(" select * from ") + sortTable +
                        QStringLiteral(" where 順位 <> ") + beyond + QStringLiteral(" order by 順位;"));
    if (ok) {
        // The rest, summed into one row.
        QStringList fields = QStringList{amount} + sums;
        QStringList totals;
        for (const QString& f : fields) totals << QStringLiteral("sum([%1]) as [%1]").arg(f);
        db::Recordset rest =
            Open(work, QStringLiteral("select count(*) as 件数, ") + totals.join(u',') + QStringLiteral(" from ") +
                           sortTable + QStringLiteral(" where 順位 = ") + beyond);
        ok = rest.IsOpen() && !rest.IsEOF();
        if (ok && rest.Value(0).toLongLong() > 0) {
            db::Recordset other =
                Open(work, QStringLiteral("select * from ") + table + QStringLiteral(" where rowid = 0"));
            ok = other.IsOpen() && other.AddNew() && other.SetValue(S(u"順位"), QVariant()) &&
                 other.SetValue(S(u"科目"), S(u"その他")) && other.SetValue(S(u"取引先名"), S(u"その他"));
            for (const QString& f : fields) ok = ok && other.SetValue(f, rest.Value(f));
            ok = ok && other.Update();
        }
    }
    return ok && transaction.Commit();
}

void ClickKeyButton(ui::KeyArgs& key, std::initializer_list<KeyButton> buttons) {
    for (const auto& [code, button] : buttons) {
        if (key.key != code) continue;
        button->click();
        key.Consume();
        return;
    }
}

void CloseScreen(ui::Form& screen) {
    ui::Forms::Unload(QStringLiteral("Hint"));
    if (ui::Forms::Count() < 2) ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    screen.Unload();
}

}  // namespace lists
