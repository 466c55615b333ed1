#pragma once
// The main menu: the program's hub. Loading it does the whole start-up (data
// folder and paths, the two shared connections, the company settings, the
// title and period labels, the caption, the tax rate in force); unloading it
// unloads every other screen and closes the connections.

#include <vector>

#include "platform/ui/Buttons.h"
#include "platform/ui/Containers.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextControls.h"

namespace core {

class MainMenu : public ui::Form {
    Q_OBJECT

public:
    MainMenu();

    // Frames first: the controls inside them must go before they do.
    ui::Panel Frame期間{this};
    ui::Panel Frame経費{this};
    ui::Panel Frameマスタ{this};
    ui::Panel Frame保守{this};
    ui::Label Label1{QStringLiteral("　会計期間　"), nullptr};

    // The labels the maintenance screen rewrites after saving the settings.
    ui::Label LblTitle{this};
    ui::Label Lbl期間{this};

    // The period label's text for two dates in a date format.
    static QString PeriodText(const QDate& start, const QDate& end, const QString& format);
    // Writes the title and period labels from the company settings in ModMurv.
    void ShowTitleAndPeriod();

    ui::CommandButton cmd経費入力{QStringLiteral("経費入力"), nullptr};
    ui::CommandButton cmd経費一覧{QStringLiteral("経費一覧"), nullptr};
    ui::CommandButton cmd経費順位{QStringLiteral("経費順位"), nullptr};
    ui::CommandButton cmd月別一覧{QStringLiteral("月別一覧"), nullptr};
    ui::CommandButton cmd取引先{QStringLiteral("取引先"), nullptr};
    ui::CommandButton cmd科目{QStringLiteral("科目"), nullptr};
    ui::CommandButton cmd保守{QStringLiteral("保守"), nullptr};
    ui::CommandButton cmdヒント{QStringLiteral("ヒント"), nullptr};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), nullptr};
    ui::ImageButton Image1{nullptr};

protected:
    void OnLoad() override;
    void OnUnload() override;

private:
    // The navigation buttons and the forms they open.
    std::vector<std::pair<ui::CommandButton*, QString>> NavigationTargets();
    void StartUp();
    void Navigate(const QString& formName);
    void cmdヒント_Click();
};

// Installs the core's era-aware date formatting and parsing into the date
// fields of the screens. Idempotent.
void InstallDateHooks();

}  // namespace core
