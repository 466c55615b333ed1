// The maintenance screen's frame: its pages and their controls, the load,
// the clearing of every input, the date display by the era combo, the keys
// of the two combos and of the screen, navigation, the hints, the
// catalogue, the data-path dialog, the partner lookup and the web links.
#include "maintenance/FrmHosyu.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QUrl>

#include "core/CompanyInfo.h"
#include "core/Lookup.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/Paths.h"
#include "core/ScreenKit.h"
#include "core/Screens.h"
#include "core/Version.h"
#include "maintenance/Backup.h"
#include "platform/disk/Drives.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Pictures.h"
#include "platform/ui/Shell.h"

namespace maintenance {

using core::S;

namespace {

// The second page of the web site: support and downloads.
const QString kSupportPage = core::kWebPage + QStringLiteral("support/");

void Place(ui::Label& label, int left, int top, int width) { label.Move(left, top, width, 300); }

}  // namespace

FrmHosyu::FrmHosyu() {
    SetCaption(S(u"保守"));
    SetClientSize(9600, 6960);
    SetKeyPreview(true);
    LayOut();
    ConnectHandlers();
}

// ---------------------------------------------------------------- layout

void FrmHosyu::LayOut() {
    SSTab1.Move(120, 120, 9360, 5760);
    LayOutSettings();
    LayOutBackup();
    LayOutDeletes();
    LayOutYearEnd();

    // The key legend names the keys of the buttons under it: F5 over 登録,
    // F9 over クリア. Its blanks are laid out in a fixed-pitch font, and the
    // buttons are placed under the key names.
    Label37.SetCaption(QString(16, u' ') + QStringLiteral("F5") + QString(9, u' ') + QStringLiteral("F9") +
                       QString(4, u' '));
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font().pointSizeF());
    Label37.setFont(mono);
    const int blank = ui::PixelsToTwips(QFontMetrics(mono).horizontalAdvance(u' '));
    const int legendLeft = 120;
    Label37.Move(legendLeft, 5970, blank * 35, 270);
    const int pitch = 11 * blank;
    const int width = qMin(pitch - 75, 1200);
    const int f5Centre = legendLeft + blank * 17;
    const int top = 6270, height = 480;
    cmd登録.Move(f5Centre - width / 2, top, width, height);
    cmdメニュー.Move(f5Centre - width / 2 - pitch, top, width, height);
    cmdクリア.Move(f5Centre + pitch - width / 2, top, width, height);
    cmd閉じる.Move(9480 - width, top, width, height);
    cmdHint.Move(9480 - width - pitch, top, width, height);
    cmdメニュー.SetToolTipText(QStringLiteral("F1"));
    cmd閉じる.SetToolTipText(QStringLiteral("Esc"));

    // The panel of the running year-end update.
    CnMsg.Move(2400, 2520, 4800, 960);
    CnMsg.Text().SetFontBold(true);
}

void FrmHosyu::LayOutSettings() {
    Place(Lblタイトル, 240, 330, 1080);
    txtタイトル.Move(1440, 285, 5400, 345);

    Fra期間.Move(120, 780, 4890, 540);
    Place(Lbl会計期間, 120, 120, 1100);
    txt開始.Move(1320, 90, 1530, 345);
    Place(LblKara, 2910, 120, 300);
    txt終了.Move(3240, 90, 1530, 345);

    Place(Lbl年号, 240, 1560, 1080);
    cmb年号.Move(1440, 1515, 1530, 345);
    Place(Lbl税端数, 3300, 1560, 900);
    cmb税端数.Move(4260, 1515, 1530, 345);

    Fra税率.Move(120, 2040, 7800, 540);
    Place(Lbl税率, 120, 120, 480);
    txt税率.Move(600, 90, 720, 345);
    Place(Lbl税率単位, 1380, 120, 600);
    Place(Lbl実施日付, 1980, 120, 800);
    txt税実施.Move(3200, 90, 1530, 345);
    txt税実施.SetPatterns(S(u"ggg ee年mm月dd日"), S(u"ggg ee年mm月dd日"));
    Place(Lbl税率2, 5280, 120, 960);
    txt税率2.Move(6300, 90, 720, 345);
    Place(Lbl税率2単位, 7080, 120, 300);
    // Rates in percent, two decimals at most. Any sign can be typed: the
    // save refuses what is not a rate.
    for (ui::NumberBox* rate : {&txt税率, &txt税率2}) {
        rate->SetDisplayFormat(QStringLiteral("0.##"));
        rate->SetRange(-999.99, 999.99);
        rate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    Place(LblDataPath, 240, 2880, 1080);
    txtDataPath.Move(1440, 2835, 5400, 345);
    cmdデータパス参照.Move(6900, 2820, 900, 375);
    cmd勘定科目.Move(1440, 3390, 2400, 450);

    Place(LblTitle, 240, 4140, 4500);
    Place(LblUpdate, 240, 4500, 4500);
    Place(LblVer, 5160, 4140, 3900);
    Image1.Move(5160, 4500, 1800, 480);
    Image2.Move(7080, 4500, 1800, 480);
    Image1.SetPicture(ui::LinkPicture(QStringLiteral("MURV"), QColor(0x1f, 0x4e, 0x8c), QColor(0x5b, 0x9b, 0xd5)));
    Image2.SetPicture(ui::LinkPicture(S(u"サポート"), QColor(0x2e, 0x6b, 0x30), QColor(0x6a, 0xb0, 0x5a)));
    for (ui::ImageButton* link : {&Image1, &Image2}) link->setCursor(Qt::PointingHandCursor);
    Image1.SetToolTipText(core::kWebPage);
    Image2.SetToolTipText(kSupportPage);
}

void FrmHosyu::LayOutBackup() {
    Lblデータ保守注意.Move(240, 240, 8760, 600);
    Lblデータ保守注意.setWordWrap(true);
    Lblデータ保守注意.SetForeColor(Qt::darkRed);

    const auto group = [](ui::Frame& frame, ui::Label& caption, int top) {
        frame.Move(240, top, 8760, 1380);
        Place(caption, 120, 60, 1200);
        caption.SetFontBold(true);
    };
    const auto row = [](ui::Label& label, ui::CommandButton& button, int top) {
        Place(label, 360, top, 5700);
        button.Move(6600, top - 60, 1200, 420);
    };
    group(Fra保存, Lbl保存, 960);
    row(LblFD書込, cmdFD書込, 480);
    row(LblHD書込, cmdHD書込, 930);
    group(Fra読込, Lbl読込, 2460);
    row(LblFD読込, cmdFD読込, 480);
    row(LblHD読込, cmdHD読込, 930);

    Place(LblFDD, 360, 4020, 2700);
    // The drives are the mounted removable media; any other folder can be typed in.
    cmbFDD.SetComboStyle(ui::ComboBox::Style::Editable);
    cmbFDD.Move(3120, 3975, 4500, 345);
    for (const QString& drive : disk::CurrentDriveProbe().RemovableMedia()) cmbFDD.AddItem(drive);
    // Without a removable disk the combo itself says that a folder may be typed.
    if (cmbFDD.lineEdit()) cmbFDD.lineEdit()->setPlaceholderText(S(u"保存先のフォルダを入力できます"));
    Place(FddMsg, 360, 4620, 7200);
    FddMsg.setVisible(false);
    CmdHint2.Move(7800, 4620, 1200, 420);
}

void FrmHosyu::ShowFddMsg(const QString& caption) {
    if (!caption.isEmpty()) FddMsg.SetCaption(caption);
    FddMsg.setVisible(!caption.isEmpty());
}

void FrmHosyu::LayOutDeletes() {
    const std::pair<ui::Label*, ui::CommandButton*> rows[] = {{&Lbl一括削除1, &cmd一括削除1},
                                                              {&Lbl一括削除2, &cmd一括削除2},
                                                              {&Lbl一括削除3, &cmd一括削除3},
                                                              {&Lbl一括削除4, &cmd一括削除4}};
    int top = 420;
    for (const auto& [label, button] : rows) {
        Place(*label, 360, top, 5700);
        button->Move(6600, top - 60, 1200, 420);
        top += 660;
    }
    Fra一括削除5.Move(240, 3120, 8760, 1320);
    Place(Lbl一括削除5, 120, 240, 5700);
    cmd一括削除5.Move(6360, 180, 1200, 420);
    Place(Lbl取引先名, 360, 780, 900);
    txt取引先名.Move(1320, 735, 3900, 345);
    cmd取引先.Move(5340, 720, 1080, 375);
}

void FrmHosyu::LayOutYearEnd() {
    const auto period = [](ui::Frame& frame, ui::Label& caption, ui::Label& periodLabel, ui::DateBox& start,
                           ui::Label& kara, ui::DateBox& end, ui::Label& titleLabel, ui::TextBox& title, int top) {
        frame.Move(240, top, 6120, 1440);
        Place(caption, 120, 60, 1200);
        caption.SetFontBold(true);
        Place(periodLabel, 360, 495, 900);
        start.Move(1320, 450, 1530, 345);
        Place(kara, 2910, 480, 300);
        end.Move(3240, 450, 1530, 345);
        Place(titleLabel, 360, 960, 900);
        title.Move(1320, 915, 4500, 345);
        for (ui::DateBox* box : {&start, &end}) {
            box->SetPatterns(QStringLiteral("yyyy/mm/dd"), QStringLiteral("yyyy/mm/dd"));
            box->SetYearMonthPattern(S(u"yyyy年mm月"));
        }
    };
    period(Fra今期, Lbl今期設定, Lbl今期期間, dt今期開始, lbl今期から, dt今期終了, Lbl今期タイトル, txt今期タイトル,
           360);
    period(Fra次期, Lbl次期設定, Lbl次期期間, dt次期開始, lbl次期から, dt次期終了, Lbl次期タイトル, txt次期タイトル,
           2040);
    cmd更新.Move(6720, 3000, 1500, 480);
}

// ---------------------------------------------------------------- handlers

void FrmHosyu::ConnectHandlers() {
    // Every command waits its turn: none runs while an operation runs.
    const auto command = [this](ui::CommandButton& button, const std::function<void()>& handler) {
        connect(&button, &ui::CommandButton::Click, this, [this, handler] {
            if (!running_) handler();
        });
    };
    const auto alone = [this, command](ui::CommandButton& button, const std::function<void()>& operation) {
        command(button, [this, operation] { RunAlone(operation); });
    };
    command(cmdメニュー, [this] { cmdメニュー_Click(); });
    command(cmd登録, [this] { Save(); });
    command(cmdクリア, [this] { cmdクリア_Click(); });
    command(cmd閉じる, [this] { cmd閉じる_Click(); });
    command(cmdHint, [this] { core::ShowHintFor(*this); });
    command(CmdHint2, [this] { core::ShowHintFor(*this, QStringLiteral("CmdHint2")); });
    command(cmd勘定科目, [this] { cmd勘定科目_Click(); });
    command(cmdデータパス参照, [this] { cmdデータパス参照_Click(); });
    alone(cmd更新, [this] {
        if (Chk年次更新()) Exec更新();
    });
    command(cmd一括削除1, [this] { RunBulkDelete(BulkDelete::Partners); });
    command(cmd一括削除2, [this] { RunBulkDelete(BulkDelete::Items); });
    command(cmd一括削除3, [this] { RunBulkDelete(BulkDelete::Lines); });
    command(cmd一括削除4, [this] { RunBulkDelete(BulkDelete::Everything); });
    command(cmd一括削除5, [this] { RunBulkDelete(BulkDelete::OnePartner); });
    command(cmd取引先, [this] { cmd取引先_Click(); });
    const auto progress = [this](const QString& caption) { ShowFddMsg(caption); };
    alone(cmdFD書込, [this, progress] { maintenance::FDDBuckUp(cmbFDD.Text(), progress); });
    // A book put in place of the one in use is shown at once.
    alone(cmdFD読込, [this, progress] {
        if (maintenance::RestoreMV(cmbFDD.Text(), progress)) ShowSettings();
    });
    alone(cmdHD書込, [this] { maintenance::SaveDataFileToHdd(this); });
    alone(cmdHD読込, [this] {
        if (maintenance::ReadDataFileFromHdd(this)) ShowSettings();
    });
    connect(&txt開始, &ui::DateBox::Change, this, [this] { txt開始_Change(); });
    connect(&Image1, &ui::ImageButton::Click, this, [this] {
        if (!running_) OpenLink(core::kWebPage);
    });
    connect(&Image2, &ui::ImageButton::Click, this, [this] {
        if (!running_) OpenLink(kSupportPage);
    });

    // The two combos change only by choosing from their lists; the tax
    // rounding ignores even the arrow keys. Tab still leaves them.
    connect(&cmb年号, &ui::ComboBox::LostFocus, this, [this] { FormInit(); });
    const auto isTab = [](const ui::KeyArgs& k) { return k.key == Qt::Key_Tab || k.key == Qt::Key_Backtab; };
    ui::SetKeyDownHandler(&cmb年号, [](ui::KeyArgs& k) {
        if (k.key == Qt::Key_Delete) k.Consume();
    });
    ui::SetKeyDownHandler(&cmb税端数, [isTab](ui::KeyArgs& k) {
        if (!isTab(k)) k.Consume();
    });
    for (ui::ComboBox* combo : {&cmb年号, &cmb税端数}) {
        ui::SetKeyPressHandler(combo, [isTab](ui::KeyArgs& k) {
            if (!isTab(k)) k.Consume();
        });
    }
}

void FrmHosyu::RunAlone(const std::function<void()>& operation) {
    running_ = true;
    operation();
    // The clicks and keys that waited meanwhile reach the screen while it is still busy, which drops them.
    QCoreApplication::processEvents();
    running_ = false;
}

void FrmHosyu::OnKeyDown(ui::KeyArgs& key) {
    if (running_) {
        key.Consume();
        return;
    }
    switch (key.key) {
    case Qt::Key_F1: cmdメニュー_Click(); break;
    case Qt::Key_F5: Save(); break;
    case Qt::Key_F9: cmdクリア_Click(); break;
    case Qt::Key_Escape: cmd閉じる_Click(); break;
    default: return;
    }
    key.Consume();
}

// ---------------------------------------------------------------- load, clear, era display

void FrmHosyu::OnLoad() {
    using namespace ModMurv;
    LblUpdate.SetCaption(S(u" MURV経費帳　Ver ") + core::kVersionText);
    LblTitle.SetCaption(core::ProductCaption());
    ReadEnv();
    ShowSettings();
    cmbFDD.SetText(cmbFDD.List(0));
    // The program's own folders are never a disk.
    disk::SetProtectedFolders({DataFolder, core::ProgramFolder()});
    LblVer.SetCaption(S(u"サポート、その他は ↓ [クリック]"));
    cmd勘定科目.SetEnabled(core::IsScreenAvailable(S(u"Frm勘定科目")));
    // Without a book this screen is the way to one: its reading page comes first.
    if (!DbData.IsOpen()) SSTab1.SetTab(kPageデータ保守);
}

void FrmHosyu::ShowSettings() {
    // The data path is the work file's and stays.
    const QString dataPath = txtDataPath.Text();
    Clear保守画面();
    txtDataPath.SetText(dataPath);
    const bool rowRead = Read自社情報();
    core::LoadCompanyInfo();
    FormInit();
    ShowPeriodsFromSettings(rowRead);
}

void FrmHosyu::ShowPeriodsFromSettings(bool rowRead) {
    using namespace ModMurv;
    txt今期タイトル.SetText(CompanyTitle.isNull() ? QString() : CompanyTitle.toString());
    // Without a stored row the period in memory is the menu's stand-in.
    if (rowRead && PeriodStart.isValid()) dt今期開始.SetDate(PeriodStart);
    if (rowRead && PeriodEnd.isValid()) dt今期終了.SetDate(PeriodEnd);
    if (!dt今期開始.IsNull()) dt次期開始.SetDate(NextYear(dt今期開始.Date()));
    if (!dt今期終了.IsNull()) dt次期終了.SetDate(NextYear(dt今期終了.Date()));
}

void FrmHosyu::Clear保守画面() {
    txtDataPath.SetText(QString());
    txt取引先名.SetText(QString());
    cmb年号.Clear();
    cmb年号.AddItem(S(u"西暦"));
    cmb年号.AddItem(S(u"和暦"));
    cmb年号.SetText(S(u"西暦"));
    cmb税端数.Clear();
    for (const char16_t* mode : {u"切り捨て", u"切り上げ", u"四捨五入"}) cmb税端数.AddItem(S(mode));
    cmb税端数.SetText(S(u"切り捨て"));
    for (ui::DateBox* box : {&dt今期開始, &dt今期終了, &dt次期開始, &dt次期終了}) box->Clear();
    txt今期タイトル.SetText(QString());
    txt次期タイトル.SetText(QString());
    txt開始.Clear();
    txt終了.Clear();
    txtタイトル.SetText(QString());
    txt税実施.Clear();
    txt税率.Clear();
    txt税率2.Clear();
}

void FrmHosyu::FormInit() {
    // By what the combo shows now, saved or not.
    if (cmb年号.Text() == u"和暦") {
        for (ui::DateBox* box : {&txt開始, &txt終了}) {
            box->SetPatterns(S(u"ggg ee年mm月dd日"), S(u"ggg ee年mm月dd日"));
            box->SetYearMonthPattern(S(u"g ee年mm月"));
            box->SetWidth(2370);
        }
        txt終了.SetLeft(3960);
        LblKara.SetLeft(3690);
        Fra期間.SetWidth(6390);
        txt税実施.SetPatterns(S(u"ggg ee年mm月dd日"), S(u"ggg ee年mm月dd日"));
        txt税実施.SetYearMonthPattern(S(u"g ee年mm月"));
        txt税実施.SetWidth(2370);
        txt税実施.SetLeft(2805);
        return;
    }
    for (ui::DateBox* box : {&txt開始, &txt終了}) {
        box->SetPatterns(QStringLiteral("yyyy/mm/dd"), QStringLiteral("yyyy/mm/dd"));
        box->SetYearMonthPattern(S(u"yyyy年mm月"));
        box->SetWidth(1530);
    }
    txt終了.SetLeft(3240);
    LblKara.SetLeft(2910);
    Fra期間.SetWidth(4890);
    txt税実施.SetPatterns(QStringLiteral("yyyy/mm/dd"), QStringLiteral("yyyy/mm/dd"));
    txt税実施.SetYearMonthPattern(QStringLiteral("yyyy/mm"));
    txt税実施.SetWidth(1530);
    txt税実施.SetLeft(3200);
    for (ui::DateBox* box : {&dt今期開始, &dt今期終了}) {
        box->SetPatterns(QStringLiteral("yyyy/mm/dd"), QStringLiteral("yyyy/mm/dd"));
        box->SetYearMonthPattern(S(u"yyyy年mm月"));
        box->SetWidth(1530);
    }
    dt今期終了.SetLeft(3240);
    lbl今期から.SetLeft(2910);
}

void FrmHosyu::txt開始_Change() {
    if (txt開始.IsNull() || !txt終了.IsNull()) return;
    txt終了.SetDate(ProposedPeriodEnd(txt開始.Date()));
}

void FrmHosyu::cmdクリア_Click() {
    Clear保守画面();
    cmb年号.SetFocus();
}

// ---------------------------------------------------------------- navigation and the other screens

// To the entry screen, not to the menu.
void FrmHosyu::cmdメニュー_Click() { core::ShowScreen(QStringLiteral("FrmInput"), this); }

void FrmHosyu::cmd閉じる_Click() {
    if (ui::Forms::Count() < 2) ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    Unload();
}

// Nothing goes on the form stack.
void FrmHosyu::cmd勘定科目_Click() { core::ShowScreen(S(u"Frm勘定科目"), nullptr); }

void FrmHosyu::cmd取引先_Click() {
    if (!core::BookOpen()) return;  // the lookup reads the book
    core::LookupPartner([this](const QString& name, const QString&) { txt取引先名.SetText(name); });
}

// Only shown here; nothing is stored before 登録.
void FrmHosyu::cmdデータパス参照_Click() {
    ui::FileDialogInfo info;
    info.Title = S(u"データファイルを指定する");
    info.Filter = S(u"MDB ファイル(*.mdb)|mvkdata.mdb|");
    info.FilterIndex = 1;
    info.InitialDir = QStringLiteral("c:\\");
    if (ui::ShowOpenDialog(this, info) != 0) txtDataPath.SetText(info.FileName);
}

void FrmHosyu::OpenLink(const QString& address) {
    if (ui::ShellOpen(QUrl(address))) return;
    qWarning().noquote() << "FrmHosyu: the web page could not be handed to the desktop:" << address;
    core::MsgShow(S(u"その他"), S(u"メッセージ"), S(u"ホームページを開けませんでした。") + address);
}

}  // namespace maintenance
