#include "core/MainMenu.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QUrl>

#include "core/Clock.h"
#include "core/CompanyInfo.h"
#include "core/DataFile.h"
#include "core/DataFiles.h"
#include "core/EraDate.h"
#include "core/Hint.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "core/ScreenKit.h"
#include "core/Screens.h"
#include "core/Version.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Formats.h"
#include "platform/ui/GridFormat.h"
#include "platform/ui/Pictures.h"
#include "platform/ui/Shell.h"

namespace core {

void InstallDateHooks() {
    ui::SetDateFormatter([](const QDate& d, const QString& pattern) { return FormatDate(d, pattern); });
    ui::SetDateParser([](const QString& text, const QString& pattern) { return ParseDate(text, pattern); });
    ui::SetUnreadableDateHandler(SayUnreadableDate);
    ui::SetCellFormatHook([](const QVariant& value, const QString& format) -> std::optional<QString> {
        if (value.typeId() != QMetaType::QDate) return std::nullopt;
        return FormatDate(value.toDate(), format);
    });
}

MainMenu::MainMenu() {
    SetCaption(ProductCaption());
    SetClientSize(6900, 5460);

    LblTitle.Move(300, 200, 6300, 480);
    QFont title = LblTitle.font();
    title.setPointSizeF(13);
    title.setBold(true);
    LblTitle.setFont(title);
    LblTitle.SetAlignment(Qt::AlignCenter);

    // The period.
    Frame期間.Move(300, 780, 6300, 900);
    Label1.setParent(&Frame期間);
    Label1.Move(150, 120, 1320, 330);
    Label1.SetBorder(true);
    Label1.SetAlignment(Qt::AlignCenter);
    Lbl期間.setParent(&Frame期間);
    Lbl期間.Move(1620, 100, 4560, 700);
    Lbl期間.SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Entry and the three views.
    Frame経費.Move(300, 1830, 3060, 2550);
    int y = 180;
    for (ui::CommandButton* b : {&cmd経費入力, &cmd経費一覧, &cmd経費順位, &cmd月別一覧}) {
        b->setParent(&Frame経費);
        b->Move(180, y, 2700, 480);
        y += 585;
    }
    QFont big = cmd経費入力.font();
    big.setBold(true);
    cmd経費入力.setFont(big);

    // The masters.
    Frameマスタ.Move(3540, 1830, 3060, 1290);
    cmd取引先.setParent(&Frameマスタ);
    cmd取引先.Move(180, 180, 2700, 420);
    cmd科目.setParent(&Frameマスタ);
    cmd科目.Move(180, 690, 2700, 420);

    // Maintenance, hint and close.
    Frame保守.Move(3540, 3270, 3060, 1110);
    cmd保守.setParent(&Frame保守);
    cmd保守.Move(180, 150, 2700, 390);
    cmdヒント.setParent(&Frame保守);
    cmdヒント.Move(180, 600, 1290, 390);
    cmd閉じる.setParent(&Frame保守);
    cmd閉じる.Move(1590, 600, 1290, 390);

    Image1.setParent(this);
    Image1.Move(300, 4590, 3000, 600);
    Image1.SetPicture(ui::BannerPicture(QSize(200, 40), QStringLiteral("MURV経費帳 Pro")));
    Image1.setCursor(Qt::PointingHandCursor);
    Image1.SetToolTipText(kWebPage);

    for (const auto& [button, form] : NavigationTargets()) {
        const QString name = form;
        connect(button, &ui::CommandButton::Click, this, [this, name] { Navigate(name); });
    }
    connect(&cmdヒント, &ui::CommandButton::Click, this, [this] { cmdヒント_Click(); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
    connect(&Image1, &ui::ImageButton::Click, this, [] { ui::ShellOpen(QUrl(kWebPage)); });
}

std::vector<std::pair<ui::CommandButton*, QString>> MainMenu::NavigationTargets() {
    return {{&cmd経費入力, QStringLiteral("FrmInput")},     {&cmd経費一覧, QStringLiteral("FrmKeihiList")},
            {&cmd経費順位, QStringLiteral("FrmKeihiJuni")}, {&cmd月別一覧, QStringLiteral("FrmMonthList")},
            {&cmd取引先, QStringLiteral("IoMaster")},       {&cmd科目, QStringLiteral("FrmKamoku")},
            {&cmd保守, QStringLiteral("FrmHosyu")}};
}

void MainMenu::OnLoad() {
    StartUp();
    // A screen not built yet cannot be opened from here.
    for (const auto& [button, form] : NavigationTargets()) {
        const bool available = IsScreenAvailable(form);
        button->SetEnabled(available);
        button->SetToolTipText(available ? QString() : kScreenNotAvailable);
    }
}

void MainMenu::StartUp() {
    using namespace ModMurv;
    InstallDateHooks();
    DataFolder = QDir(ProgramFolder()).filePath(QStringLiteral("data")) + u'/';
    WorkFilePath = DataFolder + kWorkFileName;
    OrgDataFilePath = DataFolder + kTemplateFileName;
    DataFilePath = DataFolder + kDataFileName;

    // A replacement of the data file cut short is finished, leftovers go.
    RecoverDataFolder();
    // A file that is not ours, damaged or read-only is said once; the menu
    // stays usable so that a copy can be restored.
    OpenDataFiles();

    LoadCompanyInfo();
    ShowTitleAndPeriod();
    SetCaption(ProductCaption());
    TaxRate = ChooseTaxRate(Today());
}

QString MainMenu::PeriodText(const QDate& start, const QDate& end, const QString& format) {
    return FormatDate(start, format) + QStringLiteral(" ～") + QStringLiteral("\r\n") + QString(11, u' ') +
           FormatDate(end, format);
}

void MainMenu::ShowTitleAndPeriod() {
    using namespace ModMurv;
    const bool western = EraSetting == u"西暦";
    const QString title = CompanyTitle.isNull() ? QString() : CompanyTitle.toString();
    LblTitle.SetCaption(title.isEmpty() ? QStringLiteral("保守でタイトルを記入してください") : title);

    if (PeriodStart.isValid() && PeriodEnd.isValid()) {
        Lbl期間.SetCaption(PeriodText(PeriodStart, PeriodEnd,
                                      western ? QStringLiteral("yyyy年mm月dd日") : QStringLiteral("gggee年mm月dd日")));
        return;
    }
    // Not set: the calendar year of today, kept in memory only.
    const int year = Today().year();
    PeriodStart = QDate(year, 1, 1);
    PeriodEnd = QDate(year, 12, 31);
    Lbl期間.SetCaption(PeriodText(PeriodStart, PeriodEnd,
                                  western ? QStringLiteral("yyyy年mm月dd日") : QStringLiteral("gee年mm月dd日")));
    LblTitle.SetCaption(QStringLiteral("保守で会計期間とタイトルを記入してください"));
}

void MainMenu::Navigate(const QString& formName) { ShowScreen(formName, this); }

void MainMenu::cmdヒント_Click() { ShowHintFor(*this, QStringLiteral("cmdヒント")); }

void MainMenu::OnUnload() {
    // Every other screen first, last loaded first, so none of them meets a
    // closed connection while it unloads.
    const QList<ui::Form*> loaded = ui::Forms::Loaded();
    for (auto it = loaded.crbegin(); it != loaded.crend(); ++it) {
        if (*it == this || !ui::Forms::Loaded().contains(*it)) continue;
        (*it)->Unload();
        QCoreApplication::processEvents();
    }
    ModMurv::DbData.Close();
    ModMurv::DbWork.Close();
}

}  // namespace core
