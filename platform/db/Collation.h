#pragma once
// The text order of names and readings: Japanese order as a Japanese user
// expects it (hiragana, katakana and half-width kana of one sound together),
// with ties broken by binary order so that "=" stays exact.

struct sqlite3;

namespace db {

// The collation's name, as table definitions use it ("COLLATE JA").
inline constexpr const char* kJapaneseCollation = "JA";

// Registers the collation on a connection. Returns false when ICU or SQLite refuses.
bool RegisterJapaneseCollation(sqlite3* connection);

}  // namespace db
