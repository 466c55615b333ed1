// The expense book's program: one running copy per program folder, the main
// menu as its hub; closing the menu ends it.
#include <QApplication>
#include <memory>

#include "core/MainMenu.h"
#include "core/Paths.h"
#include "core/Screens.h"
#include "entry/FrmInput.h"
#include "lists/ListScreens.h"
#include "maintenance/FrmHosyu.h"
#include "masters/FrmKamoku.h"
#include "masters/FrmKanjoKamoku.h"
#include "masters/IoMaster.h"
#include "platform/ui/AppLook.h"
#include "platform/ui/Form.h"
#include "platform/ui/SingleInstance.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PrjMURV"));
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start brings the running menu forward and ends. The claim is
    // taken before any database is opened, and held until the program ends.
    std::unique_ptr<ui::SingleInstance> instance(ui::SingleInstance::ForFolder(core::ProgramFolder()));
    if (!instance->Claim([] {
            if (ui::Form* menu = ui::Forms::Find(QStringLiteral("MainMenu"))) menu->Show();
        })) {
        return 0;
    }

    ui::SetUpApplicationLook();
    ui::LoadJapaneseTranslations();
    core::RegisterScreen(QStringLiteral("FrmInput"),
                         []() -> ui::Form& { return ui::Forms::Get<entry::FrmInput>(QStringLiteral("FrmInput")); });
    core::RegisterScreen(QStringLiteral("IoMaster"),
                         []() -> ui::Form& { return ui::Forms::Get<masters::IoMaster>(QStringLiteral("IoMaster")); });
    core::RegisterScreen(QStringLiteral("FrmKamoku"),
                         []() -> ui::Form& { return ui::Forms::Get<masters::FrmKamoku>(QStringLiteral("FrmKamoku")); });
    core::RegisterScreen(QStringLiteral("Frm勘定科目"), []() -> ui::Form& {
        return ui::Forms::Get<masters::FrmKanjoKamoku>(QStringLiteral("Frm勘定科目"));
    });
    core::RegisterScreen(QStringLiteral("FrmHosyu"), []() -> ui::Form& {
        return ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    });
    lists::RegisterListScreens();
    auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
    QObject::connect(&menu, &ui::Form::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    menu.Show();
    return app.exec();
}
