#include "platform/db/Statement.h"

#include <sqlite3.h>

#include "platform/db/Connection.h"

namespace db {

namespace {

constexpr const char* kRowIdColumn = "__murv_rowid__";

// The number of ASCII digits the text ends in: none when they start with a
// zero or are more than a whole number of 64 bits holds.
qsizetype TrailingDigits(const QString& jet) {
    qsizetype n = 0;
    while (n < jet.size() && jet[jet.size() - 1 - n].unicode() >= u'0' && jet[jet.size() - 1 - n].unicode() <= u'9')
        ++n;
    if (n > 18 || (n > 1 && jet[jet.size() - n] == u'0')) return 0;
    return n;
}

// Whether the text's last token is those trailing digits, taken out as its
// last value: then any other whole number in their place reads the same way.
bool EndsInNumberValue(const ParameterizedJet& p, const QString& jet, qsizetype digits) {
    if (digits == 0 || p.tokens.empty() || p.values.empty()) return false;
    const Token& last = p.tokens.back();
    const QVariant& value = p.values.back();
    return last.kind == Token::Param && last.text == QStringLiteral("?%1").arg(p.values.size()) &&
           value.typeId() == QMetaType::LongLong &&
           QString::number(value.toLongLong()) == QStringView(jet).right(digits);
}

}  // namespace

QVariant ColumnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: return static_cast<qint64>(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, i);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 sqlite3_column_bytes(stmt, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i));
    default: return QVariant();
    }
}

namespace {

// The stored date form "yyyy-mm-dd" read from the column's own bytes.
bool StoredDate(const unsigned char* text, int bytes, QDate* date) {
    if (!text || bytes != 10 || text[4] != '-' || text[7] != '-') return false;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int k = starts[p]; k < starts[p] + lengths[p]; ++k) {
            if (text[k] < '0' || text[k] > '9') return false;
            parts[p] = parts[p] * 10 + (text[k] - '0');
        }
    }
    *date = QDate(parts[0], parts[1], parts[2]);
    return true;
}

}  // namespace

QVariant ColumnAs(FieldType type, sqlite3_stmt* stmt, int i) {
    // The usual pairs of field type and stored kind, read without making the
    // stored value first; every other pair as FromStored reads it.
    const int kind = sqlite3_column_type(stmt, i);
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (kind != SQLITE_TEXT) break;
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 sqlite3_column_bytes(stmt, i));
    case FieldType::Date: {
        if (kind != SQLITE_TEXT) break;
        const unsigned char* text = sqlite3_column_text(stmt, i);
        QDate date;
        if (!StoredDate(text, sqlite3_column_bytes(stmt, i), &date)) break;
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case FieldType::Double:
    case FieldType::Currency:
        if (kind == SQLITE_FLOAT || kind == SQLITE_INTEGER) return sqlite3_column_double(stmt, i);
        break;
    case FieldType::Long:
    case FieldType::Short:
        if (kind == SQLITE_INTEGER) return static_cast<qint64>(sqlite3_column_int64(stmt, i));
        break;
    case FieldType::YesNo:
        if (kind == SQLITE_INTEGER) return sqlite3_column_int64(stmt, i) != 0;
        break;
    case FieldType::Unknown: break;
    }
    if (kind == SQLITE_NULL) return type == FieldType::YesNo ? QVariant(false) : QVariant();
    return FromStored(type, ColumnValue(stmt, i));
}

void Bind(sqlite3_stmt* stmt, int i, const QVariant& v) {
    if (HoldsNothing(v)) {
        sqlite3_bind_null(stmt, i);
    } else if (Holds<QMetaType::LongLong>(v)) {
        sqlite3_bind_int64(stmt, i, *static_cast<const qlonglong*>(v.constData()));
    } else if (Holds<QMetaType::Double>(v)) {
        sqlite3_bind_double(stmt, i, *static_cast<const double*>(v.constData()));
    } else if (Holds<QMetaType::Int>(v)) {
        sqlite3_bind_int64(stmt, i, *static_cast<const int*>(v.constData()));
    } else if (Holds<QMetaType::Bool>(v)) {
        sqlite3_bind_int64(stmt, i, *static_cast<const bool*>(v.constData()) ? 1 : 0);
    } else if (Holds<QMetaType::UInt>(v)) {
        sqlite3_bind_int64(stmt, i, *static_cast<const uint*>(v.constData()));
    } else if (v.isNull()) {
        sqlite3_bind_null(stmt, i);
    } else {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(stmt, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
}

void BindAll(sqlite3_stmt* stmt, const std::vector<QVariant>& values) {
    for (int i = 0; i < static_cast<int>(values.size()); ++i) Bind(stmt, i + 1, values[i]);
}

PreparedJet PrepareJet(Connection* c, const QString& jet, bool forRows) {
    PreparedJet out;
    out.code = SQLITE_ERROR;
    ParameterizedJet p;
    const QChar kind = forRows ? u'R' : u'X';
    bool read = false;  // p holds the text's tokens
    const qsizetype digits = TrailingDigits(jet);
    const QString prefix = digits > 0 ? jet.left(jet.size() - digits) : QString();
    // The statement of a shape met before, found once by its key.
    auto it = c->statements.end();
    const auto cached = [&](const QString& shape) {
        QString key;
        key.reserve(shape.size() + 1);
        key.append(kind).append(shape);
        it = c->statements.find(key);
        if (it == c->statements.end()) return false;
        out.key = std::move(key);
        return true;
    };
    // A text ending in a whole number is looked up by what comes before it
    // first: when that is known, the number is its last value whatever it
    // is, and such a text (a rowid looked up per row) is never kept whole.
    const auto numbered = digits > 0 ? c->numbered.constFind(prefix) : c->numbered.constEnd();
    const auto known = numbered == c->numbered.constEnd() ? c->shapes.constFind(jet) : c->shapes.constEnd();
    if (numbered != c->numbered.constEnd() && cached(numbered->key)) {
        out.params.reserve(numbered->values.size() + 1);
        out.params.assign(numbered->values.begin(), numbered->values.end());
        out.params.push_back(QStringView(jet).right(digits).toLongLong());
    } else if (known != c->shapes.constEnd() && cached(known->key)) {
        out.params = known->values;
    } else {
        if (!ParameterizeJet(jet, &p, &out.message)) return out;
        read = true;
        out.key = kind + p.key;
        out.params = p.values;
        if (c->shapes.size() >= kShapeCacheSize) c->shapes.clear();
        if (c->numbered.size() >= kShapeCacheSize) c->numbered.clear();
        if (EndsInNumberValue(p, jet, digits)) {
            std::vector<QVariant> values(p.values.begin(), p.values.end() - 1);
            c->numbered.insert(prefix, Connection::Shape{p.key, std::move(values)});
        } else {
            c->shapes.insert(jet, Connection::Shape{p.key, p.values});
        }
        it = c->statements.find(out.key);
    }
    ConnectionContext context(c);
    if (it != c->statements.end()) {
        // The files it reads must still be attached under the same names.
        bool same = true;
        for (qsizetype i = 0; same && i < it->paths.size(); ++i) {
            QString alias;
            if (!context.Resolve(it->paths[i], &alias, &out.message)) return out;
            same = alias == it->aliases[i];
        }
        if (!same) {
            sqlite3_finalize(it->idle);
            c->statements.erase(it);
            it = c->statements.end();
        }
    }
    if (it == c->statements.end()) {
        if (!read && !ParameterizeJet(jet, &p, &out.message)) return out;
        CachedStatement s;
        if (!TranslateTokens(std::move(p.tokens), jet, context, &s.translation, &out.message)) return out;
        if (s.translation.sql.isEmpty()) {
            out.message = QStringLiteral("empty statement");
            return out;
        }
        s.paths = context.paths;
        s.aliases = context.aliases;
        const Translation& t = s.translation;
        if (forRows && !t.singleTable.isEmpty() && t.selectListOffset >= 0) {
            QString sql = t.sql;
            sql.insert(t.selectListOffset, QStringLiteral(" rowid AS %1,").arg(QLatin1String(kRowIdColumn)));
            QString ignored;
            s.idle = c->Prepare(sql, &ignored);
            s.withRowId = s.idle != nullptr;
            if (s.withRowId) s.sql = sql;
        }
        if (!s.idle) {
            s.sql = t.sql;
            s.idle = c->Prepare(t.sql, &out.message);
            if (!s.idle) {
                out.code = c->lastCode;
                return out;
            }
        }
        // What the rows will carry.
        const int first = s.withRowId ? 1 : 0;
        auto names = std::make_shared<FieldNames>();
        auto fields = std::make_shared<std::vector<Recordset::Field>>();
        for (int i = first; i < sqlite3_column_count(s.idle); ++i) {
            Recordset::Field f;
            f.name = QString::fromUtf8(sqlite3_column_name(s.idle, i));
            if (s.withRowId) {
                if (const char* origin = sqlite3_column_origin_name(s.idle, i)) f.origin = QString::fromUtf8(origin);
            }
            if (const char* decl = sqlite3_column_decltype(s.idle, i)) {
                const QString declared = QString::fromUtf8(decl);
                f.type = FieldTypeFromDeclared(declared);
                f.size = FieldSizeFromDeclared(declared);
            }
            // The first of equal names wins, as a search from the start would find it.
            const QString folded = f.name.toCaseFolded();
            if (!names->folded.contains(folded)) names->folded.insert(folded, i - first);
            if (!names->exact.contains(f.name)) names->exact.insert(f.name, names->folded.value(folded));
            fields->push_back(std::move(f));
        }
        s.fields = std::move(fields);
        s.names = names;
        if (c->statements.size() >= kStatementCacheSize) c->ForgetStatements();
        it = c->statements.insert(out.key, std::move(s));
    }
    out.entry = &*it;
    sqlite3_stmt* stmt = it->idle;
    it->idle = nullptr;
    if (!stmt) {
        stmt = c->Prepare(it->sql, &out.message);  // the cached copy is in use by a reader
        if (!stmt) {
            out.code = c->lastCode;
            return out;
        }
    }
    BindAll(stmt, out.params);
    out.stmt = stmt;
    return out;
}

}  // namespace db
