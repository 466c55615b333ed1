#pragma once
// What the master screens share beyond the screen kit: the use-count rule,
// and the record of what a sheet read from the store, so that registering
// the sheet writes only what the user changed.

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>

#include "platform/db/Database.h"

namespace db {
class Recordset;
}  // namespace db

namespace masters {

// A use count: a whole number from 0 to 2147483647, written in digits
// (full-width digits and surrounding blanks are allowed). Anything else,
// an empty cell included, is no count.
bool IsUseCount(const QVariant& value, qint32* count = nullptr);

// Whether two cell values are the same to the user: Null and the empty text
// are alike, a check box's True and -1 are alike.
bool SameValue(const QVariant& a, const QVariant& b);

// A row of a sheet: its name and its other fields by field name.
struct SheetRow {
    QString name;
    QMap<QString, QVariant> fields;
};

// The current record of a recordset as a sheet row.
SheetRow SheetRowOf(const db::Recordset& rs, const QString& nameField, const QStringList& fields);

// Stores one row of a sheet in a master table on `data`: the first row
// that `where` finds gets the `changed` fields (none: it is left as it is);
// when there is none, a new row gets `keys` and every field. False when a statement failed.
bool StoreSheetRow(db::Database& data, const QString& table, const QString& where, const QMap<QString, QVariant>& keys,
                   const QMap<QString, QVariant>& fields, const QStringList& changed);

// One named row of the sheet, as registration stores it.
struct SheetWrite {
    SheetRow row;
    // The fields that differ from what was read; every field for a new row;
    // none for a row as read (stored only when it is no longer there).
    QStringList changed;
    // The name was not read from the store (typed, or renamed to it).
    bool isNew = false;
};

struct SheetChanges {
    QStringList removed;       // read, and no longer on the sheet: removed or renamed
    QList<SheetWrite> writes;  // every named row, once per name
};

// What a sheet read from the store, by name. Rows stored by another screen
// after the reading are not in it, so registration never touches them.
class SheetBaseline {
public:
    void Clear() { rows_.clear(); }
    void Remember(const SheetRow& row) { rows_.insert(row.name, row.fields); }
    void Forget(const QString& name) { rows_.remove(name); }
    bool Holds(const QString& name) const { return rows_.contains(name); }
    qsizetype Size() const { return rows_.size(); }

    // The sheet's named rows, in order, against what was read. Of rows that
    // share a name the last one counts.
    SheetChanges Compare(const QList<SheetRow>& sheet) const;
    // After a registration the sheet is what the store holds of it.
    void Adopt(const QList<SheetRow>& sheet);

private:
    QHash<QString, QMap<QString, QVariant>> rows_;
};

// Whether a sheet was last made or read whole. One that was not is never
// registered, until it is made anew: what it lacks would be removed from
// the store, what it shows is not what was read.
class SheetWholeness {
public:
    void Whole() {
        whole_ = true;
        why_ = {};
    }
    // Says `what` and why (the work file's failure), and marks the sheet.
    void NotWhole(const QString& what, const db::Failure& why);
    // True when the sheet may be registered; otherwise says `what` and why.
    bool MayRegister(const QString& what) const;

private:
    bool whole_ = false;
    db::Failure why_;
};

}  // namespace masters
