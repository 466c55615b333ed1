#include "lookup/partners/FrmDunvasel.h"

#include "lookup/partners/ModDunvasel.h"

FrmDunvasel::FrmDunvasel() : lookup::LookupWindow(lookup::PartnerLookup(), ModDunvasel::State) {}
