// The expense list's frame: its controls and their places, the set-up, the
// clear, the name lists, the month buttons and month steps, the lookups,
// the function keys, the print panel and the navigation.
#include "lists/FrmKeihiList.h"

#include "core/Clock.h"
#include "core/Failure.h"
#include "core/Lookup.h"
#include "core/ModMurv.h"
#include "core/Schema.h"
#include "core/ScreenKit.h"
#include "lists/ListKit.h"
#include "platform/ui/Pictures.h"
#include "reports/PrintHandOffs.h"

namespace lists {

using core::S;

FrmKeihiList::FrmKeihiList() {
    SetCaption(QStringLiteral("経費一覧"));
    SetClientSize(11880, 8460);
    SetKeyPreview(true);
    LayOut();
    ConnectHandlers();
}

void FrmKeihiList::LayOut() {
    // The period and its month steps, the order.
    Frame期間.Move(120, 120, 4290, 450);
    Lbl期間.Move(90, 75, 540, 300);
    txt開始.Move(700, 60, 1530, 330);
    LblKara.Move(2310, 75, 300, 300);
    txt終了.Move(2640, 60, 1530, 330);
    cmdMonBef.Move(6030, 150, 420, 390);
    cmdMonNext.Move(6480, 150, 420, 390);
    cmdMonBef.SetPicture(ui::StepPicture(false));
    cmdMonNext.SetPicture(ui::StepPicture(true));
    cmdMonBef.SetToolTipText(S(u"前の月"));
    cmdMonNext.SetToolTipText(S(u"次の月"));
    Lbl表示順.Move(7140, 195, 720, 300);
    cmb表示順.Move(7860, 150, 2700, 345);
    cmd読込.Move(10680, 120, 1080, 420);

    // The filters.
    Lbl取引先名.Move(120, 735, 870, 300);
    cmb取引先名.Move(1020, 690, 3600, 345);
    Lbl科目.Move(4860, 735, 540, 300);
    cmb科目.Move(5460, 690, 3300, 345);

    // The month buttons.
    Lbl月別.Move(120, 1215, 600, 300);
    for (int i = 0; i < kMonths; ++i) {
        const QString design = i < 9 ? QString(QChar(u'１' + i)) : QString::number(i + 1);
        cmd月別.Add(i, this, design).Move(780 + i * 690, 1170, 660, 360);
    }

    // The list.
    Grid明細.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(1650), ui::TwipsToPixels(11640),
                         ui::TwipsToPixels(5220));
    Grid明細.SetDataSource(&dat明細);
    core::SayCellFailures(Grid明細);  // a list that cannot be read is said, not shown empty
    Grid明細.SetColumns({S(u"チェック"), S(u"行番号"), S(u"日付"), S(u"取引先名"), S(u"金額"), S(u"科目"), S(u"摘要")});
    core::SetUpTickColumn(Grid明細, kColチェック);
    // The columns fit inside the grid with room for its vertical scroll bar.
    const std::pair<int, int> widths[] = {{kCol行番号, 720}, {kCol日付, 1100}, {kCol取引先名, 3000},
                                          {kCol金額, 1500},  {kCol科目, 2600}, {kCol摘要, 1800}};
    for (const auto& [col, width] : widths) Grid明細.Columns(col).SetWidth(width);
    Grid明細.Columns(kCol行番号).SetAlignment(ui::ColumnAlignment::Right);
    Grid明細.Columns(kCol金額).SetAlignment(ui::ColumnAlignment::Right);
    Grid明細.Columns(kCol金額).SetNumberFormat(QStringLiteral("#,###"));
    // Only the tick and the note are the user's: the rest names the stored line.
    for (int col : {kCol行番号, kCol日付, kCol取引先名, kCol金額, kCol科目}) Grid明細.Columns(col).SetAllowFocus(false);
    // A note longer than its field is said and stays whole in the cell for
    // mending, as in the entry grid: never cut, never split inside a character.
    Grid明細.onBeforeColUpdate = [this](int col, const QVariant&, int& cancel) {
        if (col == kCol摘要 && !core::AcceptTextLengths({Grid明細.Columns(col).Value().toString()})) cancel = 1;
    };

    // Under the list.
    PBar.Move(120, 7005, 3000, 270);
    PBar.SetVisible(false);
    Lbl件数.Move(5700, 7020, 540, 300);
    num件数.Move(6300, 6975, 1200, 330);
    Lbl合計.Move(7740, 7020, 900, 300);
    num合計.Move(8700, 6975, 1800, 330);
    for (ui::Label* label : {&Lbl件数, &Lbl合計}) label->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetUpTotalBox(num件数);
    SetUpTotalBox(num合計);

    // The buttons over their keys, hint and close at the right.
    PlaceButtonRow(*this,
                   {{&cmdメニュー, u"F1"},
                    {&cmd取引先, u"F2"},
                    {&cmd科目, u"F3"},
                    {&cmd印刷, u"F7"},
                    {&cmdクリア, u"F9"},
                    {&cmd行削除, u"F10"},
                    {&cmdHint, nullptr},
                    {&cmd閉じる, u"ESC"}},
                   120, 7500);

    // The print panel: printing comes with the reports.
    core::SetUpPrintPanel(Cn印刷, cmd印刷サブ, 4020, 3300, true);
}

void FrmKeihiList::ConnectHandlers() {
    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read経費一覧(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] {
        Clear経費一覧();
        cmb取引先名.SetFocus();
    });
    connect(&cmd行削除, &ui::CommandButton::Click, this, [this] { LineDelete経費一覧(); });
    connect(&cmd月別, &ui::ButtonArray::Click, this, [this](int index) { cmd月別_Click(index); });
    connect(&cmdMonBef, &ui::CommandButton::Click, this, [this] { StepMonth(-1); });
    connect(&cmdMonNext, &ui::CommandButton::Click, this, [this] { StepMonth(+1); });
    connect(&cmd科目, &ui::CommandButton::Click, this,
            [this] { core::LookupItem([this](const QString& name, const QString&) { cmb科目.SetText(name); }); });
    connect(&cmd取引先, &ui::CommandButton::Click, this, [this] {
        core::LookupPartner([this](const QString& name, const QString&) { cmb取引先名.SetText(name); });
    });
    connect(&cmd印刷, &ui::CommandButton::Click, this, [this] { Cn印刷.SetVisible(true); });
    connect(&cmd印刷サブ, &ui::ButtonArray::Click, this, [this](int index) { cmd印刷サブ_Click(index); });
    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { core::BackToMenu(*this); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { CloseScreen(*this); });
    connect(&cmdHint, &ui::CommandButton::Click, this, [this] { core::ShowHintFor(*this); });
}

void FrmKeihiList::OnLoad() {
    Show();
    FormInit();
    Clear経費一覧();
    cmb取引先名.SetFocus();
}

void FrmKeihiList::FormInit() {
    // A work file made before the list rows carried their stored line.
    for (const char16_t* table : {u"w経費一覧", u"w経費一覧印刷"})
        core::AddMissingWorkFields(ModMurv::DbWork, S(table));
    dat明細.SetDatabaseName(ModMurv::WorkFilePath);
    dat明細.SetRecordSource(QStringLiteral("w経費一覧"));
    const bool era = ModMurv::EraSetting == S(u"和暦");
    Grid明細.Columns(kCol日付).SetNumberFormat(era ? QStringLiteral("gee/mm/dd") : QStringLiteral("yy/mm/dd"));
    SetUpPeriodFields(txt開始, txt終了, LblKara, Frame期間);
    cmb表示順.Clear();
    for (const QString& order : SortOrders()) cmb表示順.AddItem(order);
}

void FrmKeihiList::Clear経費一覧() {
    if (!core::Exec(ModMurv::DbWork, QStringLiteral("delete * from w経費一覧")))
        core::ShowFailure(S(u"経費一覧を消去できませんでした。"), ModMurv::DbWork.LastFailure());
    (void)dat明細.Refresh();  // said through refreshFailed
    cmb科目.SetText(QString());
    cmb取引先名.SetText(QString());
    cmb表示順.SetText(QString());
    txt開始.Clear();
    txt終了.Clear();
    num件数.Clear();
    num合計.Clear();
    readMonths_.clear();
    SetCmb取引先();
    SetCmb科目();
    // The buttons count from the same month as the reading and printing.
    monthBase_ = lists::MonthBase(ModMurv::PeriodStart, core::Today());
    for (int i = 0; i < kMonths; ++i) {
        cmd月別[i].SetCaption(MonthButtonCaption(monthBase_, i));
        cmd月別[i].SetBackColorBgr(kMonthOff);
    }
}

void FrmKeihiList::SetCmb取引先() {
    if (!core::FillNameList(QStringLiteral("w取引先参照"), QStringLiteral("取引先名"),
                            QStringLiteral("select 取引先名 from 取引先マスタ  order by ふりがな,取引先名;"),
                            {&cmb取引先名}))
        core::ShowFailure(S(u"取引先の一覧を読み込めませんでした。"),
                          db::FirstOf(ModMurv::DbData.LastFailure(), ModMurv::DbWork.LastFailure()));
}

void FrmKeihiList::SetCmb科目() {
    if (!core::FillNameList(QStringLiteral("w科目参照"), QStringLiteral("科目"),
                            QStringLiteral("select 科目 from 科目マスタ order by ふりがな;"), {&cmb科目}))
        core::ShowFailure(S(u"科目の一覧を読み込めませんでした。"),
                          db::FirstOf(ModMurv::DbData.LastFailure(), ModMurv::DbWork.LastFailure()));
}

// ---------------------------------------------------------------- months

bool FrmKeihiList::IsMonthSelected(int index) const {
    const ui::CommandButton* button = cmd月別.Item(index);
    return button && button->BackColorBgr() == kMonthOn;
}

bool FrmKeihiList::AnyMonthSelected() const {
    for (int i = 0; i < kMonths; ++i)
        if (IsMonthSelected(i)) return true;
    return false;
}

void FrmKeihiList::cmd月別_Click(int index) {
    ui::CommandButton& button = cmd月別[index];
    button.SetBackColorBgr(button.BackColorBgr() == kMonthOff ? kMonthOn : kMonthOff);
}

void FrmKeihiList::StepMonth(int step) {
    if (StepPeriod(txt開始, txt終了, step)) Read経費一覧();
}

// ---------------------------------------------------------------- keys, printing

void FrmKeihiList::OnKeyDown(ui::KeyArgs& key) {
    ClickKeyButton(key, {{Qt::Key_F1, &cmdメニュー},
                         {Qt::Key_F2, &cmd取引先},
                         {Qt::Key_F3, &cmd科目},
                         {Qt::Key_F7, &cmd印刷},
                         {Qt::Key_F9, &cmdクリア},
                         {Qt::Key_F10, &cmd行削除},
                         {Qt::Key_Escape, &cmd閉じる}});
}

void FrmKeihiList::cmd印刷サブ_Click(int index) {
    if (!PrintPeriodReadable(index, {&txt開始, &txt終了})) return;
    const reports::ExpenseListPrint screen{txt開始.Value(), txt終了.Value(), num合計.Value(), num件数.Value(),
                                           readMonths_};
    reports::ExecPrn経費一覧(index, screen);
    Cn印刷.SetVisible(false);
}

}  // namespace lists
