// The input mask: values preset into every work row at once, and the grid
// columns they fix closed to the cursor and shown in grey.
#include <cmath>

#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "entry/EntryRules.h"
#include "entry/FrmInput.h"

namespace entry {

namespace {

// Each statement runs on its own: one that fails changes nothing, and the
// mask goes on with the next.
void Run(const QString& sql) { core::Exec(ModMurv::DbWork, sql); }

QString NameOrNull(const QString& name) { return name.isEmpty() ? QStringLiteral("null") : core::Quoted(name); }

}  // namespace

void FrmInput::SetColumnFixed(int col, bool fixed) {
    Grid入力明細.Columns(col).SetAllowFocus(!fixed);
    Grid入力明細.Columns(col).SetForeColor(ui::Bgr(fixed ? kFixedColour : kFreeColour));
}

void FrmInput::cmd実行_Click() {
    if (!core::DatesReadable({&day日付}) || !core::AcceptTypedNames({cmb取引先名マスク.Text(), cmb科目マスク.Text()}))
        return;
    // Every statement changes every work row: blank and loaded alike.
    const QString partner = cmb取引先名マスク.Text();
    Run(QStringLiteral("update w取引明細 set 取引先名 = ") + NameOrNull(partner));
    SetColumnFixed(kCol取引先名, !partner.isEmpty());

    const QString item = cmb科目マスク.Text();
    Run(QStringLiteral("update w取引明細 set 科目 = ") + NameOrNull(item));
    SetColumnFixed(kCol科目, !item.isEmpty());

    const QVariant month = num月.Value();
    SetStyle入力明細(month.isNull() ? QStringLiteral("TYPE0") : QStringLiteral("TYPE1"));
    Run(QStringLiteral("update w取引明細 set 月 = ") +
        (month.isNull() ? QStringLiteral("null") : QString::number(std::lround(month.toDouble()))));
    SetColumnFixed(kCol月, !month.isNull());

    // A fixed amount on rows that are not exempt carries its tax, as the
    // grid gives it to an amount typed there.
    const QVariant amount = num固定金額.Value();
    const bool exempt = Chk非課税.Value() != 0;
    Run(QStringLiteral("update w取引明細 set 非課税 = ") + (exempt ? QStringLiteral("True") : QStringLiteral("False")));
    Run(QStringLiteral("update w取引明細 set 税額 = ") +
        (exempt || amount.isNull() ? QStringLiteral("null") : QString::number(TaxOfAmount(amount.toDouble()))));
    SetColumnFixed(kCol非課税, true);
    SetColumnFixed(kCol税額, exempt);

    Run(QStringLiteral("update w取引明細 set 金額 = ") +
        (amount.isNull() ? QStringLiteral("null") : QString::number(std::llround(amount.toDouble()))));
    SetColumnFixed(kCol金額, !amount.isNull());

    // A date fixes the whole date; without one the month-day is free again
    // (a date written by an earlier mask stays in the rows).
    const QDate date = day日付.Date();
    if (date.isValid()) {
        SetStyle入力明細(QStringLiteral("TYPE0"));
        Run(QStringLiteral("update w取引明細 set 日付 = #") + SqlDateText(date) + QStringLiteral("# ") +
            QStringLiteral(", 月日 = '") + MonthDayText(date) + QStringLiteral("'") + QStringLiteral(", 日 = ") +
            QString::number(date.day()) + QStringLiteral(", 月 = ") + QString::number(date.month()) +
            QStringLiteral(", 曜日 = '") + WeekdayChar(date) + QStringLiteral("'"));
        (void)dat入力明細.Refresh();  // said through refreshFailed
    }
    Grid入力明細.Columns(kCol月日).SetAllowFocus(!date.isValid());
    Grid入力明細.Columns(kCol曜日).SetAllowFocus(false);
    (void)dat入力明細.Refresh();  // said through refreshFailed
}

void FrmInput::cmdクリアマスク_Click() {
    // The fields only: what an earlier mask wrote and fixed stays.
    cmb科目マスク.SetText(QString());
    cmb取引先名マスク.SetText(QString());
    cmb日付入力.SetText(QString());
    num月.Clear();
    num固定金額.Clear();
    day日付.Clear();
    Chk非課税.SetValue(0);
    cmb取引先名マスク.SetFocus();
}

}  // namespace entry
