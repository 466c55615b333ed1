#include "core/Clock.h"

namespace core {

namespace {
QDate g_pinned;
}

QDate Today() { return g_pinned.isValid() ? g_pinned : QDate::currentDate(); }

void SetToday(const QDate& date) { g_pinned = date; }

}  // namespace core
