#pragma once
// The expense list (経費一覧): the stored expense lines of a date window, or
// of the months chosen on the twelve month buttons, filtered by partner and
// item and sorted in one of thirteen orders, with their count and total.
// Ticked lines are deleted from the data file.
//
// Each listed row carries the stored line it was read from (明細ID, the
// line's rowid): deleting a ticked row deletes exactly that line, and only
// while it still has the date, partner and line number the row shows. The
// lines go in one transaction; the list loses only the rows whose lines
// were deleted, and its count and total are worked out again.
//
// The month buttons count from one base month, the period start's or, when
// no period is set, today's: their captions, the reading and the print
// hand-off all use the base that the last clear fixed (MonthBase); the print
// takes the very months of the reading it prints.

#include <utility>
#include <vector>

#include "lists/ListRules.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"

namespace lists {

class FrmKeihiList : public ui::Form {
    Q_OBJECT

public:
    FrmKeihiList();

    // Columns of Grid明細, in order.
    enum Column {
        kColチェック = 0,
        kCol行番号 = 1,
        kCol日付 = 2,
        kCol取引先名 = 3,
        kCol金額 = 4,
        kCol科目 = 5,
        kCol摘要 = 6,
    };
    static constexpr int kMonths = 12;
    // Back colours of the month buttons (0x00BBGGRR).
    static constexpr quint32 kMonthOff = 0xC0C0C0;
    static constexpr quint32 kMonthOn = 0x808080;

    void FormInit();
    void Clear経費一覧();
    void SetCmb取引先();
    void SetCmb科目();
    // Reads the list anew; false when a statement failed (the user was told).
    bool Read経費一覧();
    void LineDelete経費一覧();

    // ---- what the print hand-off reads
    QDate MonthBase() const { return monthBase_; }
    bool IsMonthSelected(int index) const;
    bool AnyMonthSelected() const;
    // The calendar month of button `index`.
    Window MonthWindow(int index) const { return MonthOf(monthBase_, index); }

    // ---- controls: the period, the filters and the order
    ui::Frame Frame期間{this, ui::Panel::Style::Sunken};
    ui::Label Lbl期間{QStringLiteral("期間"), &Frame期間};
    ui::DateBox txt開始{&Frame期間};
    ui::Label LblKara{QStringLiteral("～"), &Frame期間};
    ui::DateBox txt終了{&Frame期間};
    ui::CommandButton cmdMonBef{this};
    ui::CommandButton cmdMonNext{this};
    ui::Label Lbl表示順{QStringLiteral("表示順"), this};
    ui::ComboBox cmb表示順{this, ui::ComboBox::Style::ListOnly};
    ui::Label Lbl取引先名{QStringLiteral("取引先名"), this};
    ui::ComboBox cmb取引先名{this, ui::ComboBox::Style::Editable};
    ui::Label Lbl科目{QStringLiteral("科目"), this};
    ui::ComboBox cmb科目{this, ui::ComboBox::Style::Editable};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};
    ui::Label Lbl月別{QStringLiteral("月別"), this};
    ui::ButtonArray cmd月別{this};

    // ---- the list
    ui::DataControl dat明細{this};
    ui::DataGrid Grid明細{this};
    ui::ProgressBar PBar{this};
    ui::Label Lbl件数{QStringLiteral("件数"), this};
    ui::NumberBox num件数{this};
    ui::Label Lbl合計{QStringLiteral("合計金額"), this};
    ui::NumberBox num合計{this};

    // ---- command buttons and their keys
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd取引先{QStringLiteral("取引先"), this};
    ui::CommandButton cmd科目{QStringLiteral("科目"), this};
    ui::CommandButton cmd印刷{QStringLiteral("印刷"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmd行削除{QStringLiteral("削除"), this};
    ui::CommandButton cmdHint{QStringLiteral("ヒント"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    // ---- the print panel (made last: it pops up over the grid)
    ui::Panel Cn印刷{this, ui::Panel::Style::Raised};
    ui::ButtonArray cmd印刷サブ{this};

protected:
    void OnLoad() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    void ConnectHandlers();
    void cmd月別_Click(int index);
    void StepMonth(int step);
    void cmd印刷サブ_Click(int index);
    // The count and total of the list as it stands; false when they could
    // not be read (both fields are then empty).
    bool Calc経費一覧();
    // The ticked rows: their work rowids and the stored lines behind them.
    struct Ticked {
        qint64 workRow;
        QString condition;  // selects the stored line while it is still the one listed
    };
    // Deletes the stored lines, then their rows of the list; `deleted` gets
    // the rows whose lines were deleted. False (nothing changed, the user
    // told) when the lines could not be deleted.
    bool DeleteTicked(const QList<Ticked>& ticked, QList<qint64>& deleted);

    QDate monthBase_;
    // The months of the list as last read (none: the whole window), the
    // months its print prints.
    std::vector<std::pair<QDate, QDate>> readMonths_;
};

}  // namespace lists
