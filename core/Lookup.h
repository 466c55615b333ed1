#pragma once
// The lookup buttons of the screens: the item lookup (ClsPelmora) and the
// partner lookup (ClsDunvasel), run in their one call order:
//   create the class by its identifier, pass DataFilePath and WorkFilePath,
//   FormShow (modal), SetRetVal, read the name and, when it is not "", hand
//   it to the button's target, then release the class.
//
//   core::LookupItem([this](const QString& name, const QString&) {
//       Grid入力明細.Columns(12).SetText(name);
//   });
//
// A class that cannot be created (its library missing or not registered)
// shows one message naming what is missing, and the target is left alone.

#include <QString>
#include <functional>

namespace core {

// Gets the picked name and its reading.
using LookupTarget = std::function<void(const QString& name, const QString& reading)>;

// Each returns true when a name was picked and handed to the target.
bool LookupItem(const LookupTarget& target);
bool LookupPartner(const LookupTarget& target);

}  // namespace core
