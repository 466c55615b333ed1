// The entry screen's frame: its controls and their places, the binding of
// the grid and its lists, the date patterns, the 5000 work rows, the name
// lists, the column layouts, the totals, the reset, the combo keys, the
// function keys, navigation, the hint and the lookups.
#include "entry/FrmInput.h"

#include "core/Failure.h"
#include "core/Helpers.h"
#include "core/Hint.h"
#include "core/Lookup.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "core/Screens.h"
#include "platform/ui/KeyHooks.h"
#include "platform/ui/Pictures.h"

namespace entry {

using core::S;

FrmInput::FrmInput() {
    SetCaption(QStringLiteral("経費入力"));
    SetClientSize(11880, 8790);
    SetKeyPreview(true);
    LayOut();
    ConnectHandlers();
}

FrmInput::~FrmInput() = default;

void FrmInput::LayOut() {
    // The load filters, two lines.
    Lbl取引先名.Move(120, 150, 870, 300);
    cmb取引先名.Move(1020, 120, 3300, 345);
    cmd取引先参照.Move(4350, 120, 360, 345);
    Lbl科目.Move(4920, 150, 540, 300);
    cmb科目.Move(5460, 120, 2900, 345);
    cmd科目参照.Move(8390, 120, 360, 345);
    for (ui::CommandButton* b : {&cmd取引先参照, &cmd科目参照, &cmd取引先参照マスク, &cmd科目参照マスク}) {
        b->SetPicture(ui::LookupPicture());
        b->setFocusPolicy(Qt::NoFocus);
    }

    Frame期間.Move(120, 540, 4290, 450);
    Lbl期間.Move(90, 75, 540, 300);
    txt開始.Move(700, 60, 1530, 330);
    LblKara.Move(2310, 75, 300, 300);
    txt終了.Move(2640, 60, 1530, 330);
    Lbl表示順.Move(6180, 600, 720, 300);
    cmb表示順.Move(6900, 570, 2460, 345);
    cmd読込.Move(9600, 540, 1200, 420);

    // The grid: 11140 twips of columns, the row selectors and a scroll bar.
    Grid入力明細.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(1110), ui::TwipsToPixels(11640),
                             ui::TwipsToPixels(5910));
    dayグリッド日付.Move(120, 1110, 1500, 330);
    dayグリッド日付.SetVisible(false);

    // Under the grid: progress on the left, the count and the total under
    // the amount column.
    PBar.Move(120, 7110, 3000, 270);
    PBar.SetVisible(false);
    Lbl件数.Move(3300, 7125, 540, 300);
    num入力件数.Move(3840, 7080, 1000, 330);
    Lbl合計金額.Move(4860, 7125, 840, 300);
    num入力合計.Move(5820, 7080, 1480, 330);
    for (ui::NumberBox* box : {&num入力件数, &num入力合計}) {
        box->SetDisplayFormat(QStringLiteral("#,##0"));
        box->SetLocked(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Lbl件数.SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lbl合計金額.SetAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Command buttons in the order of their function keys.
    ui::CommandButton* first[] = {&cmdメニュー, &cmd取引先, &cmd科目, &cmd登録, &cmd削除, &cmd経費一覧, &cmd月別一覧};
    ui::CommandButton* second[] = {&cmdクリア,     &cmd全選択, &cmd全解除, &cmd経費順位,
                                   &cmd入力マスク, &cmdHint,   &cmd閉じる};
    const char16_t* keys1[] = {u"F2", u"F3", u"F4", u"F5", u"F6", u"F7", u"F8"};
    const char16_t* keys2[] = {u"F9", u"F11", u"F12", nullptr, nullptr, nullptr, nullptr};
    for (int i = 0; i < 7; ++i) {
        first[i]->Move(120 + i * 1680, 7560, 1560, 480);
        second[i]->Move(120 + i * 1680, 8130, 1560, 480);
        first[i]->SetToolTipText(S(keys1[i]));
        if (keys2[i]) second[i]->SetToolTipText(S(keys2[i]));
        first[i]->setFocusPolicy(Qt::TabFocus);
        second[i]->setFocusPolicy(Qt::TabFocus);
    }
    QFont bold = cmd登録.font();
    bold.setBold(true);
    cmd登録.setFont(bold);

    // The input-mask panel, hidden until the mask button opens it.
    Cn入力マスク.Move(2700, 2700, 6300, 3360);
    core::MakePopUp(Cn入力マスク);
    LblMaskTitle.Move(0, 0, 6300, 360);
    LblMaskTitle.SetAlignment(Qt::AlignCenter);
    LblMaskTitle.SetBackColorBgr(0x8C4E1F);
    LblMaskTitle.SetForeColor(Qt::white);
    LblMaskTitle.SetFontBold(true);

    LblMask日付.Move(180, 555, 1200, 300);
    day日付.Move(1440, 510, 1700, 345);
    LblMask月.Move(3420, 555, 360, 300);
    num月.Move(3840, 510, 600, 345);
    num月.SetRange(1, 12);
    num月.SetDisplayFormat(QStringLiteral("##"));
    LblMask取引先名.Move(180, 975, 1200, 300);
    cmb取引先名マスク.Move(1440, 930, 3900, 345);
    cmd取引先参照マスク.Move(5370, 930, 360, 345);
    LblMask科目.Move(180, 1395, 1200, 300);
    cmb科目マスク.Move(1440, 1350, 3900, 345);
    cmd科目参照マスク.Move(5370, 1350, 360, 345);
    LblMask金額.Move(180, 1815, 1200, 300);
    num固定金額.Move(1440, 1770, 1800, 345);
    num固定金額.SetRange(-999999999, 999999999);
    num固定金額.SetDisplayFormat(QStringLiteral("###,###,###"));
    num固定金額.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblMask非課税.Move(3420, 1815, 720, 300);
    Chk非課税.Move(4200, 1800, 330, 330);
    LblMask日付入力.Move(180, 2235, 1200, 300);
    cmb日付入力.Move(1440, 2190, 1800, 345);
    cmd実行.Move(1440, 2760, 1350, 420);
    cmdクリアマスク.Move(2940, 2760, 1350, 420);
    cmd閉じるマスク.Move(4440, 2760, 1350, 420);

    // The grid's columns and lists.
    Grid入力明細.SetDataSource(&dat入力明細);
    Grid入力明細.SetColumns({QStringLiteral("チェック"), QStringLiteral("lno"), QStringLiteral("行番号"),
                             QStringLiteral("日付"), QStringLiteral("月"), QStringLiteral("日"), QStringLiteral("月日"),
                             QStringLiteral("曜日"), QStringLiteral("DD日付"), QStringLiteral("取引先名"),
                             QStringLiteral("金額"), QStringLiteral("税額"), QStringLiteral("科目"),
                             QStringLiteral("非課税"), QStringLiteral("摘要")});
    Grid入力明細.Columns(kColチェック).SetCheckBox(true);
    Grid入力明細.Columns(kCol非課税).SetCheckBox(true);
    Grid入力明細.Columns(kColDD日付).SetButtonEditor([this](const QRect& cell, const QVariant&) {
        return PickGridDate(cell);
    });
    Grid入力明細.Columns(kCol月日).SetMaxLength(4);
    DD取引先.SetDataSource(&dat取引先);
    DD取引先.SetListFields({QStringLiteral("取引先名")});
    DD科目.SetDataSource(&dat科目);
    DD科目.SetListFields({QStringLiteral("科目")});
}

void FrmInput::ConnectHandlers() {
    connect(&cmd登録, &ui::CommandButton::Click, this, [this] { cmd登録_Click(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { cmdクリア_Click(); });
    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read経費(); });
    connect(&cmd入力マスク, &ui::CommandButton::Click, this, [this] { Cn入力マスク.SetVisible(true); });
    connect(&cmd閉じるマスク, &ui::CommandButton::Click, this, [this] {
        Cn入力マスク.SetVisible(false);
        Grid入力明細.SetFocus();
    });
    connect(&cmd実行, &ui::CommandButton::Click, this, [this] { cmd実行_Click(); });
    connect(&cmdクリアマスク, &ui::CommandButton::Click, this, [this] { cmdクリアマスク_Click(); });
    connect(&cmd削除, &ui::CommandButton::Click, this, [this] { LineDelete入力明細(); });
    connect(&cmd全選択, &ui::CommandButton::Click, this, [this] { OnOff入力明細(true); });
    connect(&cmd全解除, &ui::CommandButton::Click, this, [this] { OnOff入力明細(false); });

    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { cmdメニュー_Click(); });
    connect(&cmd経費一覧, &ui::CommandButton::Click, this, [this] { ShowListScreen(QStringLiteral("FrmKeihiList")); });
    connect(&cmd経費順位, &ui::CommandButton::Click, this, [this] { ShowListScreen(QStringLiteral("FrmKeihiJuni")); });
    connect(&cmd月別一覧, &ui::CommandButton::Click, this, [this] { ShowListScreen(QStringLiteral("FrmMonthList")); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { cmd閉じる_Click(); });
    connect(&cmdHint, &ui::CommandButton::Click, this, [this] { cmdHint_Click(); });

    // The lookups: into the grid's current row, the load filters and the mask.
    connect(&cmd取引先, &ui::CommandButton::Click, this, [this] { cmd取引先_Click(); });
    connect(&cmd科目, &ui::CommandButton::Click, this, [this] { cmd科目_Click(); });
    const auto into = [](ui::ComboBox& combo) {
        return [&combo](const QString& name, const QString&) { combo.SetText(name); };
    };
    connect(&cmd取引先参照, &ui::CommandButton::Click, this, [this, into] { core::LookupPartner(into(cmb取引先名)); });
    connect(&cmd科目参照, &ui::CommandButton::Click, this, [this, into] { core::LookupItem(into(cmb科目)); });
    connect(&cmd取引先参照マスク, &ui::CommandButton::Click, this,
            [this, into] { core::LookupPartner(into(cmb取引先名マスク)); });
    connect(&cmd科目参照マスク, &ui::CommandButton::Click, this,
            [this, into] { core::LookupItem(into(cmb科目マスク)); });

    // Keys of the combos.
    ui::SetKeyDownHandler(&cmb取引先名, [this](ui::KeyArgs& k) {
        if (k.key == Qt::Key_Return || k.key == Qt::Key_Enter || k.key == Qt::Key_Right) {
            cmb科目.SetFocus();
            k.Consume();
        }
    });
    ui::SetKeyDownHandler(&cmb科目, [this](ui::KeyArgs& k) {
        if (k.key == Qt::Key_Return || k.key == Qt::Key_Enter || k.key == Qt::Key_Right) {
            Grid入力明細.SetFocus();
            k.Consume();
        } else if (k.key == Qt::Key_Left) {
            cmb取引先名.SetFocus();
            k.Consume();
        }
    });
    // The automatic-date mode is only ever one of its three items.
    ui::SetKeyDownHandler(&cmb日付入力, [](ui::KeyArgs& k) {
        if (k.key == Qt::Key_Delete || k.key == Qt::Key_Backspace) k.Consume();
    });
    ui::SetKeyPressHandler(&cmb日付入力, [](ui::KeyArgs& k) { k.Consume(); });

    // The grid's events.
    Grid入力明細.onAfterColUpdate = [this](int col) { Grid入力明細_CellCommitted(col); };
    Grid入力明細.onBeforeColUpdate = [this](int col, const QVariant&, int& cancel) {
        Grid入力明細_ValidateCell(col, cancel);
    };
    Grid入力明細.onDropDownChoice = [this](int col) { Grid入力明細_FillItemFromPartner(col); };
    Grid入力明細.onKeyDown = [this](int& keyCode, int&) { Grid入力明細_KeyDown(keyCode); };
    Grid入力明細.onRowColChange = [this](const QVariant&, int) { Grid入力明細_SwitchIme(); };
    core::SayCellFailures(Grid入力明細);
}

// ---------------------------------------------------------------- load and activation

void FrmInput::OnLoad() {
    Show();
    EnableNavigation();
    FormInit();
    Clear経費帳();
}

void FrmInput::EnableNavigation() {
    const std::pair<ui::CommandButton*, const char16_t*> buttons[] = {
        {&cmd経費一覧, u"FrmKeihiList"}, {&cmd経費順位, u"FrmKeihiJuni"}, {&cmd月別一覧, u"FrmMonthList"}};
    for (const auto& [button, form] : buttons) {
        const bool available = core::IsScreenAvailable(S(form));
        button->SetEnabled(available);
        if (!available) button->SetToolTipText(core::kScreenNotAvailable);
    }
}

void FrmInput::OnActivate() { FocusGridDateColumn(); }

void FrmInput::FocusGridDateColumn() {
    Grid入力明細.SetFocus();
    Grid入力明細.SetCol(kCol月日);
}

void FrmInput::FormInit() {
    using namespace ModMurv;
    dat入力明細.SetDatabaseName(WorkFilePath);
    dat入力明細.SetRecordSource(QStringLiteral("w取引明細"));
    dat取引先.SetDatabaseName(WorkFilePath);
    dat取引先.SetRecordSource(QStringLiteral("w取引先参照"));
    dat科目.SetDatabaseName(WorkFilePath);
    dat科目.SetRecordSource(QStringLiteral("w科目参照"));

    Cn入力マスク.Move(2700, 2700);
    SetStyle入力明細(QStringLiteral("TYPE0"));

    // The grid's picker takes a full date typed and shows the year and month.
    const bool western = EraSetting == QStringLiteral("西暦");
    const QString day = western ? QStringLiteral("yyyy/mm/dd") : QStringLiteral("gee/mm/dd");
    const QString yearMonth = western ? QStringLiteral("yy年mm月") : QStringLiteral("g ee年mm月");
    dayグリッド日付.SetPatterns(day, western ? day : QStringLiteral("gee/mm"));
    dayグリッド日付.SetYearMonthPattern(yearMonth);
    day日付.SetPatterns(day, day);
    day日付.SetYearMonthPattern(yearMonth);
    for (ui::DateBox* box : {&txt開始, &txt終了}) {
        core::SetPeriodDatePatterns(*box, !western);
        box->SetWidth(western ? 1530 : 2370);
    }
    txt終了.SetLeft(western ? 2640 : 3430);
    LblKara.SetLeft(western ? 2310 : 3090);
    Frame期間.SetWidth(western ? 4290 : 5880);

    cmb日付入力.Clear();
    cmb日付入力.AddItem(QString());
    cmb日付入力.AddItem(QStringLiteral("１日加える"));
    cmb日付入力.AddItem(QStringLiteral("１月加える"));
}

// ---------------------------------------------------------------- reset

void FrmInput::cmdクリア_Click() { Clear経費帳(); }

void FrmInput::Clear経費帳() {
    QStringList failed;
    db::Failure detail, why;
    const auto note = [&](bool ok, const QString& what) {
        if (ok) return;
        failed << what;
        detail = db::FirstOf(detail, why);
    };
    note(SetCmb取引先(&why), QStringLiteral("取引先の一覧"));
    note(SetCmb科目(&why), QStringLiteral("科目の一覧"));
    cmb日付入力.SetText(QString());
    day日付.Clear();
    num入力件数.Clear();
    num入力合計.Clear();
    cmb科目.SetText(QString());
    cmb取引先名.SetText(QString());
    num月.Clear();
    txt開始.Clear();
    txt終了.Clear();

    cmb表示順.Clear();
    for (const char16_t* order :
         {u"日付、登録順", u"日付、取引先、科目", u"日付、科目、取引先", u"取引先、日付", u"科目、日付"})
        cmb表示順.AddItem(S(order));
    cmb表示順.SetListIndex(-1);

    note(Clear入力明細(true, &why), QStringLiteral("入力明細の行"));
    if (!failed.isEmpty())
        core::ShowFailure(failed.join(QStringLiteral("、")) + QStringLiteral("を作れませんでした。"), detail);

    for (int col : {kCol月, kCol日, kCol月日, kCol取引先名, kCol科目, kCol金額, kCol税額, kCol非課税})
        Grid入力明細.Columns(col).SetAllowFocus(true);
    Grid入力明細.Columns(kCol曜日).SetAllowFocus(false);
    for (int col : {kCol月, kCol日, kCol取引先名, kCol科目, kCol曜日, kCol金額, kCol税額, kCol非課税})
        Grid入力明細.Columns(col).SetForeColor(ui::Bgr(kFreeColour));
    SetStyle入力明細(QStringLiteral("TYPE0"));
    FocusGridDateColumn();
}

bool FrmInput::Clear入力明細(bool show, db::Failure* why) {
    const bool emptied = core::Exec(ModMurv::DbWork, QStringLiteral("delete * from w取引明細"));
    if (!emptied && why) *why = ModMurv::DbWork.LastFailure();
    const bool ok = emptied && core::AddBlankRows(QStringLiteral("w取引明細"),
                                                  {{QStringLiteral("チェック"), false},
                                                   {QStringLiteral("金額"), QVariant()},
                                                   {QStringLiteral("税額"), QVariant()},
                                                   {QStringLiteral("非課税"), false},
                                                   {QStringLiteral("日"), QVariant()}},
                                                  kWorkRows, QStringLiteral("lno"), why);
    loadedLines_.clear();
    deletedRows_.clear();
    typedRows_.clear();
    const bool shown = !show || dat入力明細.Refresh();
    return ok && shown;
}

// ---------------------------------------------------------------- name lists

bool FrmInput::SetCmb取引先(db::Failure* why) {
    const bool ok = core::FillNameList(QStringLiteral("w取引先参照"), QStringLiteral("取引先名"),
                                       QStringLiteral("select 取引先名 from 取引先マスタ  order by ふりがな,取引先名;"),
                                       {&cmb取引先名, &cmb取引先名マスク}, why);
    return dat取引先.Refresh() && ok;
}

bool FrmInput::SetCmb科目(db::Failure* why) {
    const bool ok = core::FillNameList(QStringLiteral("w科目参照"), QStringLiteral("科目"),
                                       QStringLiteral("select 科目 from 科目マスタ order by ふりがな;"),
                                       {&cmb科目, &cmb科目マスク}, why);
    return dat科目.Refresh() && ok;
}

// ---------------------------------------------------------------- layout and totals

void FrmInput::SetStyle入力明細(const QString& layout) {
    ui::DataGrid& g = Grid入力明細;
    g.Columns(kColチェック).SetVisible(true);
    g.Columns(kColチェック).SetAlignment(ui::ColumnAlignment::Center);
    g.Columns(kColチェック).SetCaption(QString());
    for (int col : {kColLno, kCol行番号, kCol日付, kCol摘要}) g.Columns(col).SetVisible(false);
    g.Columns(kColDD日付).SetVisible(true);
    g.Columns(kColDD日付).SetAllowFocus(true);
    g.Columns(kColDD日付).SetCaption(QString());
    g.Columns(kColDD日付).SetButton(true);
    g.Columns(kCol金額).SetCaption(QStringLiteral("金　額"));
    g.Columns(kCol金額).SetAlignment(ui::ColumnAlignment::Right);
    g.Columns(kCol金額).SetNumberFormat(QStringLiteral("#,###"));
    g.Columns(kCol取引先名).SetDropDown(&DD取引先);
    g.Columns(kCol科目).SetDropDown(&DD科目);
    g.Columns(kCol曜日).SetAlignment(ui::ColumnAlignment::Center);
    g.Columns(kCol非課税).SetAlignment(ui::ColumnAlignment::Center);
    if (layout == QStringLiteral("TYPE0")) {
        g.Columns(kCol月).SetVisible(false);
        g.Columns(kCol日).SetVisible(false);
        g.Columns(kCol月日).SetVisible(true);
        g.Columns(kCol取引先名).SetWidth(3850);
    } else if (layout == QStringLiteral("TYPE1")) {
        g.Columns(kCol月).SetVisible(true);
        g.Columns(kCol日).SetVisible(true);
        g.Columns(kCol月日).SetVisible(false);
        g.Columns(kCol取引先名).SetWidth(3650);
    }
    const std::pair<int, int> widths[] = {{kColチェック, 340}, {kCol月, 400},     {kCol日, 400},    {kCol月日, 600},
                                          {kCol曜日, 360},     {kColDD日付, 260}, {kCol金額, 1450}, {kCol税額, 1000},
                                          {kCol科目, 2380},    {kCol非課税, 900}};
    for (const auto& [col, width] : widths) g.Columns(col).SetWidth(width);
}

void FrmInput::Calc入力明細() {
    using ModMurv::DbWork;
    db::Failure why;
    const bool totalled =
        core::ShowTotal(num入力件数, DbWork,
                        QStringLiteral("select count([金額]) as total from w取引明細 where not isnull([日付])"),
                        &why) &&
        core::ShowTotal(num入力合計, DbWork,
                        QStringLiteral("select sum([金額]) as total from w取引明細 where not isnull([日付])"), &why);
    if (!totalled) SayTotalsFailed(why);
}

void FrmInput::SayTotalsFailed(const db::Failure& why) {
    num入力件数.Clear();
    num入力合計.Clear();
    core::ShowFailure(QStringLiteral("入力明細の件数と合計金額を計算できませんでした。"), why);
}

// ---------------------------------------------------------------- keys and buttons

void FrmInput::OnKeyDown(ui::KeyArgs& key) {
    // The shift state does not matter, and the key goes on to the focused
    // control afterwards. F1, F10 and Esc do nothing here.
    switch (key.key) {
    case Qt::Key_F2: cmdメニュー_Click(); break;
    case Qt::Key_F3: cmd取引先_Click(); break;
    case Qt::Key_F4: cmd科目_Click(); break;
    case Qt::Key_F5: cmd登録_Click(); break;
    case Qt::Key_F6: LineDelete入力明細(); break;
    case Qt::Key_F7: ShowListScreen(QStringLiteral("FrmKeihiList")); break;
    case Qt::Key_F8: ShowListScreen(QStringLiteral("FrmMonthList")); break;
    case Qt::Key_F9: cmdクリア_Click(); break;
    case Qt::Key_F11: OnOff入力明細(true); break;
    case Qt::Key_F12: OnOff入力明細(false); break;
    default: break;
    }
}

// ---------------------------------------------------------------- navigation and hint

void FrmInput::cmdメニュー_Click() { core::BackToMenu(*this); }

// This screen stays loaded behind the list screen with its rows.
void FrmInput::ShowListScreen(const QString& formName) { core::ShowScreen(formName, this); }

void FrmInput::cmd閉じる_Click() {
    // Rows not registered are lost without a question.
    ui::Forms::Unload(QStringLiteral("Hint"));
    Unload();
}

void FrmInput::cmdHint_Click() { core::ShowHintFor(*this); }

// ---------------------------------------------------------------- lookups into the grid

// A partner pick writes only its cell (its usual item is not proposed by
// this path); an item pick brings the item's own tax-exempt mark.
void FrmInput::cmd取引先_Click() {
    const bool picked = core::LookupPartner([this](const QString& name, const QString&) {
        SetCell(kCol取引先名, name);
        NoteTypedRow();
    });
    if (!picked) return;
    Grid入力明細.SetFocus();
    Grid入力明細.SetCol(kCol金額);
}

void FrmInput::cmd科目_Click() {
    core::LookupItem([this](const QString& name, const QString&) {
        SetCell(kCol科目, name);
        TakeItemMark();
        NoteTypedRow();
    });
}

void FrmInput::cmd登録_Click() {
    // What the user typed last belongs to the registration: a cell still
    // being edited is committed first; one the checks refuse stops here.
    if (!Grid入力明細.CommitPendingEdit()) {
        Grid入力明細.SetFocus();
        return;
    }
    Entry経費明細();
    FocusGridDateColumn();
}

}  // namespace entry
