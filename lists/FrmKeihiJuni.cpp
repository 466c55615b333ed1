// The ranking's frame: its controls and their places, the set-up, the
// clear, the month steps, the function keys, the print panel and the
// navigation.
#include "lists/FrmKeihiJuni.h"

#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "lists/ListKit.h"
#include "platform/ui/Pictures.h"
#include "reports/PrintHandOffs.h"

namespace lists {

using core::S;

FrmKeihiJuni::FrmKeihiJuni() {
    SetCaption(QStringLiteral("経費順位"));
    SetClientSize(10200, 8280);
    SetKeyPreview(true);
    LayOut();

    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read経費順位(); });
    connect(&cmdMonBef, &ui::CommandButton::Click, this, [this] { StepMonth(-1); });
    connect(&cmdMonNext, &ui::CommandButton::Click, this, [this] { StepMonth(+1); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { Clear経費順位(); });
    connect(&cmd印刷, &ui::CommandButton::Click, this, [this] { Cn印刷.SetVisible(true); });
    connect(&cmd印刷サブ, &ui::ButtonArray::Click, this, [this](int index) { cmd印刷サブ_Click(index); });
    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { core::BackToMenu(*this); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
    connect(&cmdHint, &ui::CommandButton::Click, this, [this] { core::ShowHintFor(*this); });
}

void FrmKeihiJuni::LayOut() {
    Frame期間.Move(120, 120, 4290, 450);
    Label9.Move(90, 75, 540, 300);
    txt開始.Move(700, 60, 1530, 330);
    LblKara.Move(2310, 75, 300, 300);
    txt終了.Move(2640, 60, 1530, 330);
    cmdMonBef.Move(6540, 150, 420, 390);
    cmdMonNext.Move(6990, 150, 420, 390);
    cmdMonBef.SetPicture(ui::StepPicture(false));
    cmdMonNext.SetPicture(ui::StepPicture(true));

    SetUpGrouping(Frame集計, Opt科目別, Opt取引先別, Label2, cmb表示順位, 120, 690);
    cmd読込.Move(8880, 660, 1200, 420);

    ui::DataGrid& g = Grid経費順位;
    g.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(1230), ui::TwipsToPixels(9960), ui::TwipsToPixels(5280));
    g.SetDataSource(&dat経費順位);
    core::SayCellFailures(g);  // a list that cannot be read is said, not shown empty
    g.SetColumns({S(u"順位"), S(u"科目"), S(u"取引先名"), S(u"金額")});
    g.SetReadOnly(true);

    PBar.Move(120, 6630, 3000, 270);
    PBar.SetVisible(false);
    Label5.Move(6000, 6645, 900, 300);
    Label5.SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    num合計.Move(7020, 6600, 2100, 345);
    SetUpTotalBox(num合計);

    PlaceButtonRow(*this,
                   {{&cmdメニュー, u"F1"},
                    {&cmd印刷, u"F7"},
                    {&cmdクリア, u"F9"},
                    {nullptr, nullptr},
                    {nullptr, nullptr},
                    {&cmdHint, nullptr},
                    {&cmd閉じる, nullptr}},
                   120, 7170);

    core::SetUpPrintPanel(Cn印刷, cmd印刷サブ, 3180, 3000, true);
}

void FrmKeihiJuni::OnLoad() {
    FormInit();
    Clear経費順位();
}

void FrmKeihiJuni::FormInit() {
    dat経費順位.SetDatabaseName(ModMurv::WorkFilePath);
    dat経費順位.SetRecordSource(QStringLiteral("w経費順位"));
    ui::DataGrid& g = Grid経費順位;
    g.Columns(kCol金額).SetAlignment(ui::ColumnAlignment::Right);
    g.Columns(kCol金額).SetNumberFormat(QStringLiteral("#,###"));
    const int widths[] = {720, 5800, 5800, 1784};
    for (int col = 0; col < 4; ++col) g.Columns(col).SetWidth(widths[col]);
    g.Columns(kCol科目).SetVisible(true);
    g.Columns(kCol取引先名).SetVisible(false);
    g.Columns(kCol順位).SetFontSize(14);
    g.Columns(kCol金額).SetFontSize(14);
    SetUpPeriodFields(txt開始, txt終了, LblKara, Frame期間);
}

void FrmKeihiJuni::Clear経費順位() {
    Opt科目別.SetValue(true);
    num合計.Clear();
    txt開始.Clear();
    txt終了.Clear();
    cmb表示順位.SetText(S(u"すべて"));
    if (!core::Exec(ModMurv::DbWork, QStringLiteral("Delete * from w経費順位")) ||
        !core::Exec(ModMurv::DbWork, QStringLiteral("Delete * from w経費順位ソート")))
        core::ShowFailure(S(u"経費順位を消去できませんでした。"), ModMurv::DbWork.LastFailure());
    window_ = {};
    readPerItem_ = true;
    (void)dat経費順位.Refresh();  // said through refreshFailed
}

void FrmKeihiJuni::StepMonth(int step) {
    if (StepPeriod(txt開始, txt終了, step)) Read経費順位();
}

void FrmKeihiJuni::OnKeyDown(ui::KeyArgs& key) {
    ClickKeyButton(key, {{Qt::Key_F1, &cmdメニュー}, {Qt::Key_F7, &cmd印刷}, {Qt::Key_F9, &cmdクリア}});
}

void FrmKeihiJuni::cmd印刷サブ_Click(int index) {
    if (!PrintPeriodReadable(index, {&txt開始, &txt終了})) return;
    // The rows printed are those of the last reading: so are their period and grouping.
    reports::ExecPrn経費順位(index, window_.start, window_.end, readPerItem_, num合計.Value());
    Cn印刷.SetVisible(false);
    Grid経費順位.SetFocus();
}

}  // namespace lists
