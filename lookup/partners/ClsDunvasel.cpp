// The partner lookup class, the one way into the library.
#include "lookup/LookupClass.h"
#include "lookup/LookupClasses.h"
#include "lookup/partners/FrmDunvasel.h"
#include "lookup/partners/ModDunvasel.h"
#include "platform/com/Server.h"

namespace {

class ClsDunvasel : public lookup::LookupClass<lookup::IClsDunvasel, FrmDunvasel> {
public:
    ClsDunvasel() : LookupClass(ModDunvasel::State) {}

    QVariant pc取引先名() const override { return name_; }
    void pc取引先名(const QVariant& value) override { name_ = value; }
};

}  // namespace

MURV_COM_SERVER(ClsDunvasel, lookup::kClsidClsDunvasel)
