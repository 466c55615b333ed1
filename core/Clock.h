#pragma once
// The program's one source of "today". Tests pin it; everything else asks it.

#include <QDate>
#include <functional>

namespace core {

QDate Today();
// Pins "today" to a fixed date; an invalid date returns to the system clock.
void SetToday(const QDate& date);

}  // namespace core
