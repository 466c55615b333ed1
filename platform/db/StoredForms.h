#pragma once
// The one stored form of every value kind in the database files, and the
// conversions between stored values and the Qt value types the screens use.
//
//   date     ISO text "yyyy-mm-dd", no time part
//   yes/no   -1 (True) and 0 (False); never Null, default 0
//   whole    SQLite integer
//   number   SQLite real (amounts hold whole yen up to at least 9,999,999,999)
//   text     SQLite text
//
// Values read come back as QDate, bool, qint64, double, QString or a null QVariant.

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace db {

enum class FieldType {
    Unknown,  // no declared type: the value is taken as SQLite stored it
    YesNo,
    Date,
    Long,
    Short,
    Double,
    Currency,
    Text,
    Memo,
};

// The characters a text field holds: names, readings and the other texts.
constexpr int kTextFieldCharacters = 255;

// The declared SQLite type that stands for each field type in a table definition.
QString DeclaredTypeName(FieldType type);
// The field type of a declared SQLite type ("YESNO", "DATE", "TEXT(255)", ...).
FieldType FieldTypeFromDeclared(const QString& declared);
// The characters a field of a declared type holds ("TEXT(255)": 255); 0 for
// a field without a size.
int FieldSizeFromDeclared(const QString& declared);
// The characters of a text as a field counts them: a character outside the
// Basic Multilingual Plane is one, as SQLite's length() counts it.
qsizetype TextLength(const QString& text);

constexpr qint64 kStoredTrue = -1;
constexpr qint64 kStoredFalse = 0;

// Whether a value holds a value of the type `id` (QMetaType::Type), or
// nothing at all, told without a call into Qt: every value written or read
// goes through these.
template <int id>
inline bool Holds(const QVariant& value) {
    const QtPrivate::QMetaTypeInterface* type = value.data_ptr().typeInterface();
    return type && type->typeId.loadRelaxed() == id;
}
inline bool HoldsNothing(const QVariant& value) { return value.data_ptr().typeInterface() == nullptr; }

// "yyyy-mm-dd" of a date; an invalid date gives an empty text.
QString DateToStored(const QDate& date);
// Accepts the stored form and the display forms "yyyy/mm/dd" and "yyyy/m/d",
// each with an optional time part, which is dropped. Anything else is invalid.
QDate DateFromText(const QString& text);

// A number written as text: blanks around it, an optional sign, the whole
// part in digits either plain ("1234567") or grouped by threes throughout
// ("1,234,567"), and an optional fraction after a point. Nothing for any
// other text ("1,2,3", "12a", "1e5", "nan").
std::optional<double> NumberFromText(const QString& text);

// Converts a value about to be written into a field of the given type to its
// stored form. Returns false when the value cannot be converted (text that is
// not a number as NumberFromText reads it written to a number field, a non-date written to a date field).
// Empty text written to a non-text field is Null; Null written to a yes/no
// field is False; any non-zero written to a yes/no field is True.
bool ToStored(FieldType type, const QVariant& value, QVariant* stored);

// Converts a stored value read from a field of the given type to the value the
// screens see.
QVariant FromStored(FieldType type, const QVariant& stored);

}  // namespace db
