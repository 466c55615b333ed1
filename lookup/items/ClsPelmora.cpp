// The item lookup class, the one way into the library.
#include "lookup/LookupClass.h"
#include "lookup/LookupClasses.h"
#include "lookup/items/FrmPelmora.h"
#include "lookup/items/ModPelmora.h"
#include "platform/com/Server.h"

namespace {

class ClsPelmora : public lookup::LookupClass<lookup::IClsPelmora, FrmPelmora> {
public:
    ClsPelmora() : LookupClass(ModPelmora::State) {}

    QVariant pc科目名() const override { return name_; }
    void pc科目名(const QVariant& value) override { name_ = value; }
};

}  // namespace

MURV_COM_SERVER(ClsPelmora, lookup::kClsidClsPelmora)
