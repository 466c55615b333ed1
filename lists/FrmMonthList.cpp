// The monthly table's frame: its controls and their places, the set-up,
// the clear, the grouping switches, the month-column font, the function
// keys, the print panel and the navigation.
#include "lists/FrmMonthList.h"

#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "lists/ListKit.h"
#include "reports/PrintHandOffs.h"

namespace lists {

using core::S;

namespace {
constexpr int kGridLeft = 120;
constexpr int kGridTop = 690;
constexpr int kGridHeight = 5400;
constexpr int kMonthWidth = 960;
}  // namespace

FrmMonthList::FrmMonthList() {
    SetCaption(QStringLiteral("月別経費一覧"));
    SetClientSize(14760, 8460);
    SetKeyPreview(true);
    for (int k = 0; k < kMonths; ++k) {
        num月計.Add(k, new ui::NumberBox(this));
        num月税計.Add(k, new ui::NumberBox(this));
    }
    LayOut();

    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read月別経費(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { Clear月別経費(); });
    connect(&cmd印刷, &ui::CommandButton::Click, this, [this] { Cn印刷.SetVisible(true); });
    connect(&cmd印刷サブ, &ui::ButtonArray::Click, this, [this](int index) {
        if (!PrintPeriodReadable(index, {&txt開始})) return;
        reports::MonthListPrint screen;
        screen.dateFrom = txt開始.Value();
        screen.total = num合計.Value();
        screen.taxTotal = num税合計.Value();
        for (int i = 0; i < 12; ++i) {
            screen.monthTotals[size_t(i)] = num月計[i].Value();
            screen.monthTaxes[size_t(i)] = num月税計[i].Value();
        }
        screen.byItem = PerItem();
        reports::ExecPrn月別経費一覧(index, screen);
        Cn印刷.SetVisible(false);
    });
    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { core::BackToMenu(*this); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { CloseScreen(*this); });
    connect(&cmdHint, &ui::CommandButton::Click, this, [this] { core::ShowHintFor(*this); });
    connect(&Opt科目別, &ui::OptionButton::Click, this, [this] { SwitchGrouping(true); });
    connect(&Opt取引先別, &ui::OptionButton::Click, this, [this] { SwitchGrouping(false); });
    Grid明細.onRowColChange = [this](const QVariant&, int) { Grid明細_SetMonthCellFont(); };
}

FrmMonthList::~FrmMonthList() = default;

void FrmMonthList::LayOut() {
    Frame期間.Move(120, 120, 2310, 450);
    Label9.Move(90, 75, 780, 300);
    txt開始.Move(960, 60, 1290, 330);
    SetUpGrouping(Frame集計, Opt科目別, Opt取引先別, Label2, cmb表示順位, 3300, 135);
    cmd読込.Move(13440, 120, 1200, 420);

    Grid明細.setGeometry(ui::TwipsToPixels(kGridLeft), ui::TwipsToPixels(kGridTop), ui::TwipsToPixels(14520),
                         ui::TwipsToPixels(kGridHeight));
    Grid明細.SetDataSource(&dat明細);
    core::SayCellFailures(Grid明細);  // a list that cannot be read is said, not shown empty
    QStringList fields = {S(u"取引先名"), S(u"科目"), S(u"合計")};
    for (int m = 1; m <= kMonths; ++m) fields << QStringLiteral("金額%1").arg(m);
    Grid明細.SetColumns(fields);
    Grid明細.SetReadOnly(true);
    for (int col = kCol合計; col < kColMonth1 + kMonths; ++col) {
        Grid明細.Columns(col).SetNumberFormat(QStringLiteral("#,###"));
        Grid明細.Columns(col).SetAlignment(ui::ColumnAlignment::Right);
    }

    // The two rows of month boxes under the grid.
    const int under = kGridTop + kGridHeight;
    Label1.Move(kGridLeft, under + 90, 900, 300);
    Label3.Move(kGridLeft, under + 390, 900, 300);
    for (int k = 0; k < kMonths; ++k) {
        SetUpTotalBox(num月計[k]);
        SetUpTotalBox(num月税計[k]);
    }
    Label5.Move(8580, under + 780, 900, 300);
    num合計.Move(9600, under + 735, 1800, 345);
    Label7.Move(11460, under + 780, 720, 300);
    num税合計.Move(12300, under + 735, 1500, 345);
    for (ui::Label* label : {&Label5, &Label7}) label->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetUpTotalBox(num合計);
    SetUpTotalBox(num税合計);
    PBar.Move(120, under + 780, 3000, 270);
    PBar.SetVisible(false);

    PlaceButtonRow(*this,
                   {{&cmdメニュー, u"F1"},
                    {&cmd印刷, u"F7"},
                    {&cmdクリア, u"F9"},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {&cmdHint, nullptr},
                    {&cmd閉じる, u"ESC"}},
                   120, 7440);

    core::SetUpPrintPanel(Cn印刷, cmd印刷サブ, 5460, 3000, true);
}

void FrmMonthList::OnLoad() {
    Show();
    FormInit();
    Clear月別経費();
}

void FrmMonthList::FormInit() {
    dat明細.SetDatabaseName(ModMurv::WorkFilePath);
    dat明細.SetRecordSource(QStringLiteral("w月別経費"));
    const bool era = ModMurv::EraSetting == S(u"和暦");
    txt開始.SetPatterns(era ? S(u"ggg ee年mm月") : S(u"yyyy年mm月"), era ? S(u"ggg ee年mm月") : S(u"yy年mm月"));
    txt開始.SetYearMonthPattern(era ? S(u"g ee年mm月") : S(u"yyyy年mm月"));
    // Wide enough for the month as typed, beside the calendar button.
    txt開始.SetWidth(era ? 1890 : 1590);
    Frame期間.SetWidth(era ? 2910 : 2610);

    ui::DataGrid& g = Grid明細;
    g.Columns(kCol取引先名).SetWidth(1600);
    g.Columns(kCol科目).SetWidth(1600);
    g.Columns(kCol合計).SetWidth(1000);
    g.Columns(kCol合計).SetFontSize(10);
    for (int k = 0; k < kMonths; ++k) {
        g.Columns(kColMonth1 + k).SetWidth(kMonthWidth);
        g.Columns(kColMonth1 + k).SetCaption(QString::number(k + 1));
        g.Columns(kColMonth1 + k).SetFontSize(9);
    }
    // The boxes under the month columns.
    const int x = kGridLeft + g.Columns(kCol科目).Width() + g.Columns(kCol合計).Width() + 300;
    const int under = kGridTop + kGridHeight;
    for (int k = 0; k < kMonths; ++k) {
        num月計[k].Move(x + kMonthWidth * k, under + 60, kMonthWidth, 300);
        num月計[k].SetFontSize(10);
        num月税計[k].Move(x + kMonthWidth * k, under + 360, kMonthWidth, 300);
        num月税計[k].SetFontSize(11);
    }
}

void FrmMonthList::Clear月別経費() {
    ClearGrid月別経費();
    (void)dat明細.Refresh();  // said through refreshFailed
    num合計.Clear();
    num税合計.Clear();
    txt開始.Clear();
    Opt科目別.SetValue(true);
    cmb表示順位.SetText(QString());
    Grid明細.Columns(kCol科目).SetVisible(true);
    Grid明細.Columns(kCol取引先名).SetVisible(false);
    ClearMonthBoxes();
    window_ = {};
}

void FrmMonthList::ClearGrid月別経費() {
    if (!core::Exec(ModMurv::DbWork, QStringLiteral("delete * from w月別経費")))
        core::ShowFailure(S(u"月別経費一覧を消去できませんでした。"), ModMurv::DbWork.LastFailure());
}

void FrmMonthList::ClearMonthBoxes() {
    for (int k = 0; k < kMonths; ++k) {
        num月計[k].Clear();
        num月税計[k].Clear();
    }
}

// Either grouping empties the table and everything computed from it, the
// month taxes and their total included: nothing of the old reading stays
// to be printed under the new grouping word.
void FrmMonthList::SwitchGrouping(bool perItem) {
    ClearGrid月別経費();
    Grid明細.Columns(kCol科目).SetVisible(perItem);
    Grid明細.Columns(kCol取引先名).SetVisible(!perItem);
    (void)dat明細.Refresh();  // said through refreshFailed
    num合計.Clear();
    num税合計.Clear();
    ClearMonthBoxes();
}

void FrmMonthList::Grid明細_SetMonthCellFont() {
    const int col = Grid明細.Col();
    if (col < kColMonth1 || col >= kColMonth1 + kMonths) return;
    if (const auto size = MonthCellFontFor(Grid明細.Columns(col).Value())) Grid明細.Columns(col).SetFontSize(*size);
}

void FrmMonthList::OnKeyDown(ui::KeyArgs& key) {
    ClickKeyButton(
        key,
        {{Qt::Key_F1, &cmdメニュー}, {Qt::Key_F7, &cmd印刷}, {Qt::Key_F9, &cmdクリア}, {Qt::Key_Escape, &cmd閉じる}});
}

}  // namespace lists
