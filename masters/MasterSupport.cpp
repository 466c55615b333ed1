#include "masters/MasterSupport.h"

#include <QSet>

#include "core/Failure.h"
#include "core/ScreenKit.h"
#include "platform/db/Database.h"

namespace masters {

bool IsUseCount(const QVariant& value, qint32* count) {
    if (value.isNull()) return false;
    const QString text = value.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty() || text.size() > 10) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    const qint64 n = text.toLongLong();
    if (n > 2147483647) return false;
    if (count) *count = qint32(n);
    return true;
}

bool SameValue(const QVariant& a, const QVariant& b) {
    const bool blankA = a.isNull() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool blankB = b.isNull() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (blankA || blankB) return blankA == blankB;
    if (a.typeId() == QMetaType::Bool || b.typeId() == QMetaType::Bool) return (a.toInt() != 0) == (b.toInt() != 0);
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) return a.toString() == b.toString();
    return a == b;
}

SheetRow SheetRowOf(const db::Recordset& rs, const QString& nameField, const QStringList& fields) {
    SheetRow row{rs.Value(nameField).toString(), {}};
    for (const QString& f : fields) row.fields.insert(f, rs.Value(f));
    return row;
}

bool StoreSheetRow(db::Database& data, const QString& table, const QString& where, const QMap<QString, QVariant>& keys,
                   const QMap<QString, QVariant>& fields, const QStringList& changed) {
    db::Recordset rs = core::Open(data, QStringLiteral("select * from ") + table + where);
    if (!rs.IsOpen()) return core::NoteFailure(rs, data);
    const bool add = rs.IsBOF() || rs.IsEOF();
    if (!add && changed.isEmpty()) return true;
    bool ok = add ? rs.AddNew() : rs.Edit();
    if (add)
        for (auto k = keys.constBegin(); ok && k != keys.constEnd(); ++k) ok = rs.SetValue(k.key(), k.value());
    for (auto f = fields.constBegin(); ok && f != fields.constEnd(); ++f)
        if (add || changed.contains(f.key())) ok = rs.SetValue(f.key(), f.value());
    ok = ok && rs.Update();
    if (!ok) core::NoteFailure(rs, data);
    rs.Close();
    return ok;
}

namespace {

// The last row of each name, in the order of first appearance.
QList<SheetRow> LastOfEachName(const QList<SheetRow>& sheet) {
    QList<SheetRow> rows;
    QHash<QString, qsizetype> at;
    for (const SheetRow& row : sheet) {
        if (row.name.isEmpty()) continue;
        const auto it = at.constFind(row.name);
        if (it == at.constEnd()) {
            at.insert(row.name, rows.size());
            rows << row;
        } else {
            rows[*it] = row;
        }
    }
    return rows;
}

}  // namespace

SheetChanges SheetBaseline::Compare(const QList<SheetRow>& sheet) const {
    SheetChanges changes;
    QSet<QString> onSheet;
    for (const SheetRow& row : LastOfEachName(sheet)) {
        onSheet.insert(row.name);
        SheetWrite write{row, {}, !rows_.contains(row.name)};
        const QMap<QString, QVariant> read = rows_.value(row.name);
        for (auto f = row.fields.constBegin(); f != row.fields.constEnd(); ++f)
            if (write.isNew || !SameValue(f.value(), read.value(f.key()))) write.changed << f.key();
        changes.writes << write;
    }
    for (auto it = rows_.constBegin(); it != rows_.constEnd(); ++it)
        if (!onSheet.contains(it.key())) changes.removed << it.key();
    changes.removed.sort();
    return changes;
}

void SheetBaseline::Adopt(const QList<SheetRow>& sheet) {
    rows_.clear();
    for (const SheetRow& row : LastOfEachName(sheet)) rows_.insert(row.name, row.fields);
}

void SheetWholeness::NotWhole(const QString& what, const db::Failure& why) {
    core::ShowFailure(what, why);
    whole_ = false;
    why_ = why;
}

bool SheetWholeness::MayRegister(const QString& what) const {
    if (!whole_) core::ShowFailure(what, why_);
    return whole_;
}

}  // namespace masters
