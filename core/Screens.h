#pragma once
// The screens that navigation buttons open, by form name. A screen that is
// built registers how to make its shared instance; a button whose screen is
// not registered stays disabled.

#include <QString>
#include <functional>

namespace ui {
class Form;
}

namespace core {

using ScreenMaker = std::function<ui::Form&()>;

void RegisterScreen(const QString& formName, ScreenMaker maker);
// Takes a screen out again (tests that stand in for a screen not built yet).
void UnregisterScreen(const QString& formName);
bool IsScreenAvailable(const QString& formName);

// Pushes `from` on the form-name stack, then shows the screen modeless in
// the normal window state (loading it on its first showing). Returns the
// screen, or nullptr when it is not available. While no data file is open
// only the maintenance screen (FrmHosyu) opens; any other says so instead.
ui::Form* ShowScreen(const QString& formName, const ui::Form* from);

// The tooltip of a button whose screen is not available yet.
inline const QString kScreenNotAvailable = QStringLiteral("この画面はまだありません");

}  // namespace core
