#include "lists/ListScreens.h"

#include "core/Screens.h"
#include "lists/FrmKeihiList.h"

namespace lists {

namespace {

template <class T>
void Register(const QString& name) {
    core::RegisterScreen(name, [name]() -> ui::Form& { return ui::Forms::Get<T>(name); });
}

}  // namespace

void RegisterListScreens() {
    Register<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
}

}  // namespace lists
