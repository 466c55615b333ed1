#include "lists/ListScreens.h"

#include "core/Screens.h"
#include "lists/FrmKeihiJuni.h"
#include "lists/FrmKeihiList.h"
#include "lists/FrmMonthList.h"

namespace lists {

namespace {

template <class T>
void Register(const QString& name) {
    core::RegisterScreen(name, [name]() -> ui::Form& { return ui::Forms::Get<T>(name); });
}

}  // namespace

void RegisterListScreens() {
    Register<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
    Register<FrmKeihiJuni>(QStringLiteral("FrmKeihiJuni"));
    Register<FrmMonthList>(QStringLiteral("FrmMonthList"));
}

}  // namespace lists
