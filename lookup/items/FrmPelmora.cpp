#include "lookup/items/FrmPelmora.h"

#include "lookup/items/ModPelmora.h"

FrmPelmora::FrmPelmora() : lookup::LookupWindow(lookup::ItemLookup(), ModPelmora::State) {}
