#pragma once
// The item lookup library's own state: it lives while the library stays
// loaded, every ClsPelmora instance and the window share it, and the partner
// library has a separate one.

#include "lookup/Kana.h"
#include "lookup/LookupWindow.h"

namespace ModPelmora {

inline lookup::LookupState State;

using lookup::KanaVariants;

}  // namespace ModPelmora
