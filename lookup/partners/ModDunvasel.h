#pragma once
// The partner lookup library's own state: it lives while the library stays
// loaded, every ClsDunvasel instance and the window share it, and the item
// library has a separate one.

#include "lookup/Kana.h"
#include "lookup/LookupWindow.h"

namespace ModDunvasel {

inline lookup::LookupState State;

using lookup::KanaVariants;

}  // namespace ModDunvasel
