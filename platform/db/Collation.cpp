#include "platform/db/Collation.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>

namespace db {

namespace {

int Compare(void* arg, int lenA, const void* a, int lenB, const void* b) {
    auto* collator = static_cast<UCollator*>(arg);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(collator, static_cast<const char*>(a), lenA, static_cast<const char*>(b), lenB, &status);
    if (U_SUCCESS(status) && r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    const int common = std::memcmp(a, b, static_cast<size_t>(std::min(lenA, lenB)));
    if (common != 0) return common;
    return lenA < lenB ? -1 : (lenA > lenB ? 1 : 0);
}

void Destroy(void* arg) { ucol_close(static_cast<UCollator*>(arg)); }

}  // namespace

bool RegisterJapaneseCollation(sqlite3* connection) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ja", &status);
    if (U_FAILURE(status) || collator == nullptr) return false;
    // Kana of one sound stay together: script and width differences count
    // only after the sound itself.
    ucol_setStrength(collator, UCOL_TERTIARY);
    const int rc =
        sqlite3_create_collation_v2(connection, kJapaneseCollation, SQLITE_UTF8, collator, &Compare, &Destroy);
    if (rc != SQLITE_OK) {
        ucol_close(collator);
        return false;
    }
    return true;
}

}  // namespace db
