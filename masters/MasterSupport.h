#pragma once
// What the master screens share beyond the screen kit: the use-count rule.

#include <QVariant>

namespace masters {

// A use count: a whole number from 0 to 2147483647, written in digits
// (full-width digits and surrounding blanks are allowed). Anything else,
// an empty cell included, is no count.
bool IsUseCount(const QVariant& value, qint32* count = nullptr);

}  // namespace masters
