// Editing in the entry grid: month-day completion, the date picker, the tax
// contained in the amount, the partner's usual item, the Enter, Left and
// Right keys with the automatic date of a new row, and the input method per
// column.
#include <QPointer>
#include <cmath>

#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "core/TaxDate.h"
#include "entry/EntryRules.h"
#include "entry/FrmInput.h"
#include "platform/ui/Formats.h"
#include "platform/ui/Ime.h"

namespace entry {

namespace {

bool IsEmpty(const QVariant& v) {
    return v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

}  // namespace

QVariant FrmInput::Cell(int col) const { return Grid入力明細.Columns(col).Value(); }
void FrmInput::SetCell(int col, const QVariant& value) { Grid入力明細.Columns(col).SetValue(value); }
bool FrmInput::IsOpen(int col) { return Grid入力明細.Columns(col).AllowFocus(); }
bool FrmInput::IsOpenAndShown(int col) { return IsOpen(col) && Grid入力明細.Columns(col).Visible(); }

// ---------------------------------------------------------------- tax

void FrmInput::ApplyTaxRule() {
    const QVariant exempt = Cell(kCol非課税);
    if (exempt.isNull() || exempt.toBool()) return;
    if (IsEmpty(Cell(kCol金額))) return;
    ApplyTaxFromAmount();
}

void FrmInput::ApplyTaxFromAmount() {
    const QVariant value = Cell(kCol金額);
    std::optional<double> amount;
    if (value.typeId() == QMetaType::QString) amount = ParseAmount(value.toString());
    else if (value.canConvert<double>()) amount = value.toDouble();
    if (!amount) return;
    SetCell(kCol税額, TaxOfAmount(*amount));
}

qint64 FrmInput::TaxOfAmount(double amount) {
    const double currency = std::round(amount * 10000.0) / 10000.0;  // amounts are currency values
    return ContainedTax(currency, ModMurv::TaxRate, ModMurv::TaxRounding);
}

// ---------------------------------------------------------------- after and before a cell edit

void FrmInput::ClearDateCells(bool keepMonth) {
    SetCell(kCol月日, QVariant());
    SetCell(kCol日付, QVariant());
    if (!keepMonth) SetCell(kCol月, QVariant());
    SetCell(kCol日, QVariant());
    SetCell(kCol曜日, QVariant());
}

void FrmInput::WriteResolvedDate() {
    SetCell(kCol日付, ModMurv::ResolvedDate);
    SetCell(kCol月, ModMurv::ResolvedMonth);
    SetCell(kCol日, ModMurv::ResolvedDay);
    SetCell(kCol曜日, WeekdayChar(ModMurv::ResolvedDate));
}

void FrmInput::Grid入力明細_CellCommitted(int col) {
    switch (col) {
    case kCol日: {
        const QVariant month = Cell(kCol月);
        const QVariant day = Cell(kCol日);
        if (day.isNull()) {
            // A cleared day means no date; a month the input mask fixed stays.
            ClearDateCells(!IsOpen(kCol月));
        } else if (!month.isNull()) {
            ModMurv::InputMMDD = core::TwoDigits(month.toInt()) + core::TwoDigits(day.toInt());
            if (core::ResolveMonthDay()) WriteResolvedDate();
            else ClearDateCells(true);
        }
        break;
    }
    case kCol月日: {
        const QVariant typed = Cell(kCol月日);
        if (typed.isNull()) {
            ClearDateCells(false);  // a cleared month-day means no date
        } else {
            ModMurv::InputMMDD = typed.toString();
            if (core::ResolveMonthDay()) WriteResolvedDate();
            else ClearDateCells(false);
        }
        ApplyTaxRule();
        break;
    }
    case kColDD日付: {
        const QDate d = dayグリッド日付.Date();
        SetCell(kColDD日付, QVariant());
        if (d.isValid()) {
            SetCell(kCol日付, d);
            SetCell(kCol月, d.month());
            SetCell(kCol日, d.day());
            SetCell(kCol月日, MonthDayText(d));
            SetCell(kCol曜日, WeekdayChar(d));
        }
        break;
    }
    case kCol金額: ApplyTaxRule(); break;
    case kCol非課税: ApplyExemptMark(); break;
    case kCol科目: TakeItemMark(); break;
    default: break;
    }
    BlankToNull();
    if (col != kColチェック) NoteTypedRow();
}

void FrmInput::ApplyExemptMark() {
    if (Cell(kCol非課税).toBool()) SetCell(kCol税額, QVariant());
    else if (!IsEmpty(Cell(kCol金額))) ApplyTaxFromAmount();
}

void FrmInput::TakeItemMark() {
    const QVariant item = Cell(kCol科目);
    if (!IsOpen(kCol非課税) || IsEmpty(item)) return;  // the input mask fixes the mark
    const std::optional<core::StoredItem> stored = core::ReadStoredItem(item.toString());
    if (!stored) return;  // a new item: the mark stays as it is
    SetCell(kCol非課税, stored->exempt);
    ApplyExemptMark();
}

void FrmInput::NoteTypedRow() { typedRows_.insert(Cell(kColLno).toLongLong()); }

bool FrmInput::AcceptMonthDay(const QString& monthDay, const QString& typed) {
    ModMurv::InputMMDD = monthDay;
    if (core::ResolveMonthDay()) return true;
    core::SayUnreadableDate(typed);  // the text stays in the cell for correction
    return false;
}

void FrmInput::Grid入力明細_ValidateCell(int col, int& cancel) {
    const QVariant value = Cell(col);
    if (col == kColDD日付) {
        ValidateGridDate(value, cancel);
        return;
    }
    if (IsEmpty(value)) return;  // clearing a cell is always allowed
    const auto refuse = [&] {
        SetCell(col, QVariant());
        cancel = 1;
    };
    switch (col) {
    case kCol取引先名:
    case kCol科目:
    case kCol摘要:
        // The text stays in the cell for the user to mend.
        if (!core::AcceptTypedNames({value.toString()})) cancel = 1;
        break;
    case kCol月日: {
        const QString typed = Narrowed(value.toString());
        if (typed.size() != 4) {
            refuse();
            break;
        }
        if (typed != value.toString()) SetCell(col, typed);
        if (!AcceptMonthDay(typed, typed)) cancel = 1;
        break;
    }
    case kCol日: {
        const std::optional<int> day = ParseDay(value.toString());
        if (!day) {
            refuse();
            break;
        }
        SetCell(col, *day);
        const QVariant month = Cell(kCol月);
        if (!month.isNull() && !AcceptMonthDay(core::TwoDigits(month.toInt()) + core::TwoDigits(*day),
                                               QStringLiteral("%1月%2日").arg(month.toInt()).arg(*day)))
            cancel = 1;
        break;
    }
    case kCol金額: {
        const std::optional<double> amount =
            value.typeId() == QMetaType::QString ? ParseAmount(value.toString()) : AmountOf(value.toDouble());
        if (!amount) {
            // Said, and the text stays in the cell for the user to mend.
            core::SayRefusedInput(
                QStringLiteral("「%1」は金額として読めません。円単位の数字で入力してください（例: 1080、1,080）。")
                    .arg(value.toString()),
                value.toString());
            cancel = 1;
        } else {
            SetCell(col, *amount);
        }
        break;
    }
    default: break;
    }
}

// The date column is edited through the date control: a pick, or a text
// read as the control reads typed text, becomes the control's date, which the
// after-edit handler writes; a cleared cell empties the control, so no date
// of another row is written; a text that is no date is said and refused.
void FrmInput::ValidateGridDate(const QVariant& value, int& cancel) {
    QDate date;
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        date = value.toDate();
    } else if (!IsEmpty(value)) {
        const QString text = value.toString();
        date = ui::ParseDate(text, dayグリッド日付.EntryPattern());
        if (!date.isValid()) date = ui::ParseDate(text, dayグリッド日付.DisplayPattern());
        const QString digits = Narrowed(text);
        if (!date.isValid() && digits.size() == 8) date = ui::DateFromNumber(digits.toLongLong());
        if (!date.isValid()) {
            core::SayUnreadableDate(text);  // the text stays in the cell for correction
            cancel = 1;
            return;
        }
    }
    dayグリッド日付.SetDate(date);
    if (date.isValid()) SetCell(kColDD日付, date);
}

void FrmInput::BlankToNull() {
    for (int col = 0; col < kColumnCount; ++col) {
        const QVariant v = Cell(col);
        if (v.typeId() == QMetaType::QString && v.toString().isEmpty()) SetCell(col, QVariant());
    }
}

// ---------------------------------------------------------------- the partner's usual item

void FrmInput::Grid入力明細_FillItemFromPartner(int) {
    using namespace ModMurv;
    if (Grid入力明細.Col() != kCol取引先名) return;
    const QVariant partner = Cell(kCol取引先名);
    if (IsEmpty(partner)) return;
    db::Recordset rs =
        core::Open(DbData, QStringLiteral("select * from 取引先科目 where 取引先名 = ") +
                               core::Quoted(partner.toString()) + QStringLiteral(" order by 回数 DESC;"));
    if (!rs.IsEOF()) {
        SetCell(kCol科目, rs.Value(QStringLiteral("科目")));
        SetCell(kCol非課税, rs.Value(QStringLiteral("非課税")).toBool());
    }
    rs.Close();
    Grid入力明細.SetCol(kCol金額);
}

// ---------------------------------------------------------------- the automatic date

bool FrmInput::SetAutoDate() {
    ui::DataGrid& g = Grid入力明細;
    if (g.Row() <= 0 || g.IsEOF()) return false;
    if (!IsEmpty(Cell(kCol日付))) return false;
    const QVariant above = g.ValueAbove(kCol日付);
    if (IsEmpty(above)) return false;
    QDate d = above.toDate();
    const QVariant partner = g.ValueAbove(kCol取引先名);
    const QVariant item = g.ValueAbove(kCol科目);

    bool moved = false;
    const QString mode = cmb日付入力.Text();
    if (mode == QStringLiteral("１日加える")) {
        d = d.addDays(1);
        moved = true;
    } else if (mode == QStringLiteral("１月加える")) {
        d = d.addMonths(1);  // the 31st becomes the last day of a shorter month
        moved = true;
    }
    SetCell(kCol月日, MonthDayText(d));
    SetCell(kCol日付, d);
    SetCell(kCol日, d.day());
    SetCell(kCol月, d.month());
    SetCell(kCol曜日, WeekdayChar(d));
    SetCell(kCol取引先名, partner);
    SetCell(kCol科目, item);
    return moved;
}

// ---------------------------------------------------------------- keys

void FrmInput::NextRowStep() {
    ui::DataGrid& g = Grid入力明細;
    if (g.IsEOF()) return;
    g.MoveNext();
    if (g.IsEOF()) g.MovePrevious();  // there is no row after the last
}

bool FrmInput::NewRowStep() {
    NextRowStep();
    return !Grid入力明細.IsEOF() && SetAutoDate();
}

void FrmInput::Grid入力明細_KeyDown(int& keyCode) {
    using namespace ui::grid_keys;
    ui::DataGrid& g = Grid入力明細;
    const int col = g.Col();
    if (keyCode == kReturn) {
        if (col != kCol日 && col != kCol月日 && col != kCol金額 && col != kCol科目) return;
        keyCode = 0;
        // The cell being edited counts first; a value the checks refuse
        // keeps the cursor where it is.
        if (!g.CommitPendingEdit()) return;
        switch (col) {
        case kCol日:
            SetAutoDate();
            g.SetCol(IsOpen(kCol取引先名) ? kCol取引先名 : kCol金額);
            break;
        case kCol月日:
            ApplyTaxRule();
            if (IsOpen(kCol取引先名)) {
                g.SetCol(kCol取引先名);
            } else if (IsOpen(kCol金額)) {
                g.SetCol(kCol金額);
            } else if (!g.IsEOF()) {
                NewRowStep();
                Calc入力明細();
                g.SetCol(kCol月日);
            }
            break;
        case kCol金額: {
            if (IsEmpty(Cell(kCol科目))) {
                g.SetCol(kCol科目);
                break;
            }
            const bool advanced = NewRowStep();
            Calc入力明細();
            int next;
            if (IsOpenAndShown(kCol月日)) {
                next = !advanced                ? kCol月日
                       : IsOpenAndShown(kCol日) ? kCol日
                       : IsOpen(kCol取引先名)   ? kCol取引先名
                                                : kCol金額;
            } else if (IsOpenAndShown(kCol日)) {
                next = !advanced ? kCol日 : IsOpen(kCol取引先名) ? kCol取引先名 : kCol金額;
            } else {
                next = IsOpen(kCol取引先名) ? kCol取引先名 : kCol金額;
            }
            g.SetCol(next);
            break;
        }
        case kCol科目:
            NextRowStep();
            if (IsOpen(kCol月日) && !g.Columns(kCol日).Visible()) g.SetCol(kCol月日);
            else if (IsOpenAndShown(kCol日)) g.SetCol(kCol日);
            else if (IsOpen(kCol取引先名)) g.SetCol(kCol取引先名);
            else g.SetCol(kCol金額);
            break;
        default: break;
        }
        return;
    }
    if (keyCode == kLeft && col == kCol取引先名 && IsOpen(kCol月日)) {
        keyCode = 0;
        g.SetCol(kCol月日);
    } else if (keyCode == kRight && col == kCol月日 && IsOpen(kCol取引先名)) {
        keyCode = 0;
        g.SetCol(kCol取引先名);
    }
}

// Japanese input in the name columns only.
void FrmInput::Grid入力明細_SwitchIme() {
    const int col = Grid入力明細.Col();
    ui::SetImeOpen(&Grid入力明細, col == kCol取引先名 || col == kCol科目);
}

// ---------------------------------------------------------------- the date picker

std::optional<QVariant> FrmInput::PickGridDate(const QRect& cellOnScreen) {
    // The picker starts on the row's date, or on the date it showed last.
    const QVariant rowDate = Cell(kCol日付);
    if (!rowDate.isNull()) dayグリッド日付.SetValue(rowDate);

    const QPoint at = dayグリッド日付.parentWidget()->mapFromGlobal(cellOnScreen.topLeft());
    dayグリッド日付.setGeometry(at.x(), at.y(), dayグリッド日付.width(), cellOnScreen.height());
    dayグリッド日付.SetVisible(true);
    dayグリッド日付.raise();
    QPointer<ui::DateBox> box(&dayグリッド日付);
    const std::optional<QDate> picked = box->PickDate();
    if (!box) return std::nullopt;  // went with the screen
    dayグリッド日付.SetVisible(false);
    Grid入力明細.SetFocus();
    if (!picked) return std::nullopt;
    return QVariant(*picked);
}

}  // namespace entry
