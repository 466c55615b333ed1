#include "core/Screens.h"

#include <QHash>

#include "core/Helpers.h"
#include "core/ScreenKit.h"
#include "platform/ui/Form.h"

namespace core {

namespace {
QHash<QString, ScreenMaker>& Makers() {
    static QHash<QString, ScreenMaker> makers;
    return makers;
}
}  // namespace

void RegisterScreen(const QString& formName, ScreenMaker maker) { Makers().insert(formName, std::move(maker)); }

void UnregisterScreen(const QString& formName) { Makers().remove(formName); }

bool IsScreenAvailable(const QString& formName) { return Makers().contains(formName); }

ui::Form* ShowScreen(const QString& formName, const ui::Form* from) {
    const auto it = Makers().constFind(formName);
    if (it == Makers().constEnd()) return nullptr;
    // The maintenance screen is the way to a book when none is open.
    if (formName != QStringLiteral("FrmHosyu") && !BookOpen()) return nullptr;
    if (from) FormStack(QStringLiteral("PUSH"), from->Name());
    ui::Form& screen = (*it)();
    screen.Show();
    return &screen;
}

}  // namespace core
