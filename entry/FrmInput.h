#pragma once
// The expense-entry screen (経費入力): expense lines are typed into the grid
// over the work table w取引明細 (5000 pre-made rows), completed (dates inside
// the accounting period, tax from the amount, the partner's usual item),
// loaded back from 取引明細 with filters and a sort order, and registered
// into 取引明細 in one go, adding what the masters lack.
//
// Registration edits exactly the stored line a row was loaded from: the
// screen remembers, per work row (by lno), the stored line behind it. Rows
// typed in are always added as new lines. The whole registration is one
// transaction on the data database: either every line and master change is
// stored, or none is and the rows stay on the screen.
//
// The input mask presets partner, item, month, tax-exempt mark, a fixed
// amount and a date into every work row at once, and closes the grid columns
// whose value it fixes. Ticked rows are deleted by the same memory: only the
// stored line a row was loaded from is deleted; the ticked work rows are
// removed once that delete is committed.

#include <QHash>
#include <QRect>
#include <QSet>
#include <QString>
#include <QVariant>
#include <optional>

#include "platform/ui/Controls.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/GridDropDown.h"

namespace entry {

class FrmInput : public ui::Form {
    Q_OBJECT

public:
    FrmInput();
    ~FrmInput() override;

    // Columns of Grid入力明細, in order.
    enum Column {
        kColチェック = 0,
        kColLno = 1,
        kCol行番号 = 2,
        kCol日付 = 3,
        kCol月 = 4,
        kCol日 = 5,
        kCol月日 = 6,
        kCol曜日 = 7,
        kColDD日付 = 8,
        kCol取引先名 = 9,
        kCol金額 = 10,
        kCol税額 = 11,
        kCol科目 = 12,
        kCol非課税 = 13,
        kCol摘要 = 14,
        kColumnCount = 15,
    };
    static constexpr int kWorkRows = 5000;
    // Text colours of the grid's columns: free and fixed by the input mask.
    static constexpr quint32 kFreeColour = 0x000000;
    static constexpr quint32 kFixedColour = 0x808080;

    // ---- set-up and reset
    void FormInit();
    // The reset of the screen; a list or the rows that cannot be made are
    // said in one message (the screen stays usable for what it can do).
    void Clear経費帳();
    // These three return false (nothing said) when they could not be made.
    // Blank work rows; `show` false leaves the grid to be refreshed by the caller.
    bool Clear入力明細(bool show = true, db::Failure* why = nullptr);
    bool SetCmb取引先(db::Failure* why = nullptr);
    bool SetCmb科目(db::Failure* why = nullptr);
    void SetStyle入力明細(const QString& layout);
    void Calc入力明細();

    // ---- loading and registering
    void Read経費();
    // True when the lines were stored (false when declined, refused for a
    // typed row that lacks a date, a partner or an amount, or failed).
    bool Entry経費明細();
    // The master steps of one complete row; false when a write failed.
    bool AutoEntry取引先(const QString& partner, const QString& item, bool exempt);
    bool AutoEntry科目(const QString& item, bool exempt);

    // ---- grid editing
    // The date of the current row from the row above (with its partner and
    // item), moved on by the automatic-date mode; true when it moved the date.
    bool SetAutoDate();

    // ---- ticked rows
    // Asks first, then deletes the ticked rows: the stored lines they were
    // loaded from, and the work rows themselves.
    void LineDelete入力明細();
    // Ticks (or unticks) every row that has a partner and an amount.
    void OnOff入力明細(bool flag);

    // ---- controls: the load filters
    ui::Label Lbl取引先名{QStringLiteral("取引先名"), this};
    ui::ComboBox cmb取引先名{this, ui::ComboBox::Style::Editable};
    ui::CommandButton cmd取引先参照{this};
    ui::Label Lbl科目{QStringLiteral("科目"), this};
    ui::ComboBox cmb科目{this, ui::ComboBox::Style::Editable};
    ui::CommandButton cmd科目参照{this};
    ui::Frame Frame期間{this, ui::Panel::Style::Sunken};
    ui::Label Lbl期間{QStringLiteral("期間"), &Frame期間};
    ui::DateBox txt開始{&Frame期間};
    ui::Label LblKara{QStringLiteral("～"), &Frame期間};
    ui::DateBox txt終了{&Frame期間};
    ui::Label Lbl表示順{QStringLiteral("表示順"), this};
    ui::ComboBox cmb表示順{this, ui::ComboBox::Style::ListOnly};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};

    // ---- the grid and its sources
    ui::DataControl dat入力明細{this};
    ui::DataControl dat取引先{this};
    ui::DataControl dat科目{this};
    ui::GridDropDown DD取引先{this};
    ui::GridDropDown DD科目{this};
    ui::DataGrid Grid入力明細{this};
    ui::DateBox dayグリッド日付{this};

    // ---- under the grid
    ui::Label Lbl件数{QStringLiteral("件数"), this};
    ui::NumberBox num入力件数{this};
    ui::Label Lbl合計金額{QStringLiteral("合計金額"), this};
    ui::NumberBox num入力合計{this};
    ui::ProgressBar PBar{this};

    // ---- command buttons
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd取引先{QStringLiteral("取引先"), this};
    ui::CommandButton cmd科目{QStringLiteral("科目"), this};
    ui::CommandButton cmd登録{QStringLiteral("登録"), this};
    ui::CommandButton cmd削除{QStringLiteral("削除"), this};
    ui::CommandButton cmd経費一覧{QStringLiteral("経費一覧"), this};
    ui::CommandButton cmd月別一覧{QStringLiteral("月別一覧"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmd全選択{QStringLiteral("全選択"), this};
    ui::CommandButton cmd全解除{QStringLiteral("全解除"), this};
    ui::CommandButton cmd経費順位{QStringLiteral("経費順位"), this};
    ui::CommandButton cmd入力マスク{QStringLiteral("入力マスク"), this};
    ui::CommandButton cmdHint{QStringLiteral("ヒント"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    // ---- the input-mask panel (made last: it pops up over the grid)
    ui::Panel Cn入力マスク{this, ui::Panel::Style::Raised};
    ui::Label LblMaskTitle{QStringLiteral("入力項目マスク"), &Cn入力マスク};
    ui::Label LblMask日付{QStringLiteral("日付"), &Cn入力マスク};
    ui::DateBox day日付{&Cn入力マスク};
    ui::Label LblMask月{QStringLiteral("月"), &Cn入力マスク};
    ui::NumberBox num月{&Cn入力マスク};
    ui::Label LblMask取引先名{QStringLiteral("取引先名"), &Cn入力マスク};
    ui::ComboBox cmb取引先名マスク{&Cn入力マスク, ui::ComboBox::Style::Editable};
    ui::CommandButton cmd取引先参照マスク{&Cn入力マスク};
    ui::Label LblMask科目{QStringLiteral("科      目"), &Cn入力マスク};
    ui::ComboBox cmb科目マスク{&Cn入力マスク, ui::ComboBox::Style::Editable};
    ui::CommandButton cmd科目参照マスク{&Cn入力マスク};
    ui::Label LblMask金額{QStringLiteral("金額"), &Cn入力マスク};
    ui::NumberBox num固定金額{&Cn入力マスク};
    ui::Label LblMask非課税{QStringLiteral("非課税"), &Cn入力マスク};
    ui::CheckBox Chk非課税{&Cn入力マスク};
    ui::Label LblMask日付入力{QStringLiteral("自動日付入力"), &Cn入力マスク};
    ui::ComboBox cmb日付入力{&Cn入力マスク, ui::ComboBox::Style::ListOnly};
    ui::CommandButton cmd閉じるマスク{QStringLiteral("閉じる"), &Cn入力マスク};
    ui::CommandButton cmdクリアマスク{QStringLiteral("クリア"), &Cn入力マスク};
    ui::CommandButton cmd実行{QStringLiteral("実行"), &Cn入力マスク};

protected:
    void OnLoad() override;
    void OnActivate() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    void ConnectHandlers();
    void FocusGridDateColumn();
    // A count or total of the rows that cannot be read: both boxes are
    // emptied and the failure is said.
    void SayTotalsFailed(const db::Failure& why);
    // Navigation buttons of screens not built yet stay disabled.
    void EnableNavigation();

    // button handlers
    void cmd登録_Click();
    void cmdクリア_Click();
    void cmdメニュー_Click();
    void cmd閉じる_Click();
    void cmdHint_Click();
    void cmd取引先_Click();
    void cmd科目_Click();
    void ShowListScreen(const QString& formName);
    // The input mask: apply it to every work row, clear its fields.
    void cmd実行_Click();
    void cmdクリアマスク_Click();

    // grid handlers
    void Grid入力明細_CellCommitted(int col);
    void Grid入力明細_ValidateCell(int col, int& cancel);
    void ValidateGridDate(const QVariant& value, int& cancel);
    void Grid入力明細_FillItemFromPartner(int col);
    void Grid入力明細_KeyDown(int& keyCode);
    void Grid入力明細_SwitchIme();
    void BlankToNull();
    std::optional<QVariant> PickGridDate(const QRect& cellOnScreen);

    // pieces of the grid rules
    // The tax contained in the current row's amount, unless the row is
    // exempt or has no amount; the second one skips those two tests.
    void ApplyTaxRule();
    void ApplyTaxFromAmount();
    // After the tax-exempt mark changed: no tax when ticked, else the tax of
    // the amount.
    void ApplyExemptMark();
    // An item entered into the row brings its own tax-exempt mark from the
    // item master (a new item, or a mark the input mask fixes, stays as is).
    void TakeItemMark();
    // A typed month-day (MMDD) that completes to no date is said, with the
    // text as the user typed it; false then.
    bool AcceptMonthDay(const QString& monthDay, const QString& typed);
    // The current row has been typed into (or given a pick) by the user.
    void NoteTypedRow();
    // The tax contained in an amount at the rate and rounding in force.
    static qint64 TaxOfAmount(double amount);
    void ClearDateCells(bool keepMonth);
    void WriteResolvedDate();
    // Enter's moves to the next row; the second also gives a new row the
    // automatic date and tells whether it moved the date on.
    void NextRowStep();
    bool NewRowStep();
    // A column is open when the cursor may enter it (the input mask closes
    // the columns whose value it fixes).
    bool IsOpen(int col);
    bool IsOpenAndShown(int col);
    // Fixed: closed to the cursor and grey; free: open and black.
    void SetColumnFixed(int col, bool fixed);
    QVariant Cell(int col) const;
    void SetCell(int col, const QVariant& value);

    // registration pieces
    struct Registration;
    // Writes the work row `row` (its lno given) as the line numbered lineNumber.
    bool WriteLine(Registration& run, db::Recordset& row, qint64 lno, qint64 lineNumber);
    void ShowProgress(int percent);

    // The stored line behind a loaded work row: its rowid, and the partner,
    // date and line number it had when it was loaded (a line that no longer
    // carries them is not the one that was loaded).
    struct LoadedLine {
        qint64 rowId = -1;
        QVariant partner;
        QVariant date;
        QVariant lineNo;
    };
    // By lno; emptied whenever the work rows are made anew.
    QHash<qint64, LoadedLine> loadedLines_;
    // The places of the fields that tell a stored line, in a select of its table.
    struct LineFields {
        int partner = -1;
        int date = -1;
        int lineNo = -1;
        static LineFields Of(const db::Recordset& lines);
    };
    // True when the row of `stored` (opened by the remembered rowid, its
    // fields at `at`) still is the line that was loaded.
    static bool IsStillLoadedLine(const LoadedLine& loaded, const db::Recordset& stored, const LineFields& at);
    // Deletes the stored lines behind the ticked rows (one transaction), and
    // then the ticked rows. False, said to the user, when the lines could not
    // be deleted: nothing changed. Rows that cannot be removed after their
    // lines went are said too, and kept out of every later registration.
    bool DeleteTickedLines(db::Recordset& ticked);
    // Rows (by lno) whose stored lines were deleted while the rows stayed;
    // emptied whenever the work rows are made anew.
    QSet<qint64> deletedRows_;
    // Rows (by lno) the user typed into, as against rows the program filled
    // (loaded lines, the automatic date, the input mask); emptied whenever
    // the work rows are made anew.
    QSet<qint64> typedRows_;
    // Typed rows that hold something but lack a date, a partner or an
    // amount are named, and the cursor goes to the first; registration
    // would pass them over and its reset would lose them. True when there
    // is none.
    bool CheckTypedRows();
    // The registration running now (its caches of the masters), or nullptr.
    Registration* run_ = nullptr;
};

}  // namespace entry
