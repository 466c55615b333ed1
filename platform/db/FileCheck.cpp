#include "platform/db/FileCheck.h"

#include <sqlite3.h>

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QUrl>
#include <vector>

#include "platform/db/Collation.h"
#include "platform/db/Connection.h"
#include "platform/db/JetSql.h"
#include "platform/db/Log.h"
#include "platform/db/SchemaUpgrade.h"

namespace db {

namespace {

// A connection of the check: the file read-only, or (path empty) a new
// database in memory, with the settings of every connection.
class Handle {
public:
    explicit Handle(const QString& path) {
        const QString uri = path.isEmpty()
                                ? QStringLiteral(":memory:")
                                : QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")) +
                                      QStringLiteral("?mode=ro");
        const int flags =
            path.isEmpty() ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        // Indexes of text fields may name the Japanese order.
        ok_ = sqlite3_open_v2(uri.toUtf8().constData(), &h_, flags, nullptr) == SQLITE_OK && MakeDefensive(h_) &&
              RegisterJapaneseCollation(h_);
        if (ok_) sqlite3_busy_timeout(h_, 5000);
    }
    ~Handle() { sqlite3_close(h_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool ok() const { return ok_; }
    operator sqlite3*() const { return h_; }
    QString Message() const { return QString::fromUtf8(h_ ? sqlite3_errmsg(h_) : "cannot be opened"); }

private:
    sqlite3* h_ = nullptr;
    bool ok_ = false;
};

// The rows of a select, each column as text (a Null as a null text).
bool Rows(const Handle& h, const char* sql, const QString& parameter, std::vector<QStringList>* rows, QString* error) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        *error = h.Message();
        return false;
    }
    const QByteArray bound = parameter.toUtf8();
    if (!parameter.isNull())
        sqlite3_bind_text(stmt, 1, bound.constData(), static_cast<int>(bound.size()), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
        rows->push_back(row);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) *error = h.Message();
    return rc == SQLITE_DONE;
}

// One object of a schema, its definition as SQLite keeps it.
struct Object {
    QString type, name, table, sql;
};

struct Schema {
    std::vector<Object> objects;
    QHash<QString, const Object*> byName;  // names compared as SQLite does

    static QString Key(const QString& name) { return name.toLower(); }
    const Object* Find(const QString& name, const QString& type) const {
        const Object* o = byName.value(Key(name));
        return o && o->type == type ? o : nullptr;
    }
    bool Read(const Handle& h, QString* error) {
        std::vector<QStringList> rows;
        if (!Rows(h, "select type, name, tbl_name, sql from sqlite_master", QString(), &rows, error)) return false;
        objects.reserve(rows.size());
        for (const QStringList& r : rows) objects.push_back({r[0], r[1], r[2], r[3]});
        for (const Object& o : objects) byName.insert(Key(o.name), &o);
        return true;
    }
};

// A definition as the program compares it: without the program's own
// collation of earlier files, blanks as one.
QString Normal(const QString& sql) { return WithoutOwnCollation(sql).simplified(); }
QString Named(const QString& name) { return QStringLiteral("「") + name + QStringLiteral("」"); }
QString KindName(const QString& type) {
    if (type == u"table") return QStringLiteral("表");
    if (type == u"view") return QStringLiteral("ビュー");
    if (type == u"index") return QStringLiteral("索引");
    if (type == u"trigger") return QStringLiteral("トリガー");
    return type;
}

// Name and declared type of each column of a table, with the rest of what
// SQLite says of it.
bool Columns(const Handle& h, const QString& table, std::vector<QStringList>* columns, QString* error) {
    return Rows(h, "select name, type, \"notnull\", dflt_value, pk, hidden from pragma_table_xinfo(?1)", table, columns,
                error);
}

const QStringList* FindColumn(const std::vector<QStringList>& columns, const QString& name) {
    for (const QStringList& c : columns)
        if (c[0].compare(name, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

// SQLite's own statistics, which ANALYZE writes in its own definitions: they
// only guide SQLite's choice of plans.
bool IsStatistics(const Object& o) {
    static const QStringList statistics{QStringLiteral("CREATE TABLE sqlite_stat1(tbl,idx,stat)"),
                                        QStringLiteral("CREATE TABLE sqlite_stat4(tbl,idx,neq,nlt,ndlt,sample)")};
    return o.type == u"table" && o.name.startsWith(u"sqlite_stat", Qt::CaseInsensitive) &&
           statistics.contains(Normal(o.sql));
}

// How a table of the file differs from the program's; empty when it does not.
bool TableDifference(const Handle& file, const Object& theirs, const Handle& reference, const Object& own,
                     QString* difference, QString* error) {
    std::vector<QStringList> want, have;
    if (!Columns(reference, own.name, &want, error) || !Columns(file, theirs.name, &have, error)) return false;
    const QString table = QStringLiteral("表") + Named(own.name);
    for (const QStringList& w : want) {
        const QStringList* h = FindColumn(have, w[0]);
        if (!h) {
            *difference = table + QStringLiteral("に列") + Named(w[0]) + QStringLiteral("がありません。");
            return true;
        }
        if ((*h)[1].compare(w[1], Qt::CaseInsensitive) != 0) {
            *difference = table + QStringLiteral("の列") + Named(w[0]) + QStringLiteral("の型が") + Named((*h)[1]) +
                          QStringLiteral("です（経費帳では") + Named(w[1]) + QStringLiteral("）。");
            return true;
        }
    }
    for (const QStringList& h : have) {
        if (!FindColumn(want, h[0])) {
            *difference = table + QStringLiteral("に経費帳にない列") + Named(h[0]) + QStringLiteral("があります。");
            return true;
        }
    }
    // The order of the columns, their constraints, the table's options.
    const auto body = [](const QString& sql) {
        const QString normal = Normal(sql);
        return normal.mid(normal.indexOf(u'('));
    };
    if (body(theirs.sql) != body(own.sql)) *difference = table + QStringLiteral("の定義が経費帳のものと違います。");
    return true;
}

// The first way the file's schema differs from the program's; empty when it does not.
bool Difference(const Handle& file, const Schema& theirs, const Handle& reference, const Schema& own,
                QString* difference, QString* error) {
    QString missing;
    for (const Object& o : own.objects)
        if (o.type == u"table" && !theirs.Find(o.name, o.type)) missing += Named(o.name);
    if (!missing.isEmpty()) {
        *difference = QStringLiteral("表") + missing + QStringLiteral("がありません。");
        return true;
    }
    for (const Object& o : own.objects) {
        if (o.type != u"table") continue;
        if (!TableDifference(file, *theirs.Find(o.name, o.type), reference, o, difference, error)) return false;
        if (!difference->isEmpty()) return true;
    }
    for (const Object& t : theirs.objects) {
        if (IsStatistics(t)) continue;
        const Object* o = own.Find(t.name, t.type);
        if (!o) {
            const bool onTable = (t.type == u"index" || t.type == u"trigger") && !t.table.isEmpty();
            *difference = (onTable ? QStringLiteral("表") + Named(t.table) + u'に' : QString()) +
                          QStringLiteral("経費帳にない") + KindName(t.type) + Named(t.name) +
                          QStringLiteral("があります。");
            return true;
        }
        if (t.type != u"table" && Normal(t.sql) != Normal(o->sql)) {
            *difference = KindName(t.type) + Named(t.name) + QStringLiteral("の定義が経費帳のものと違います。");
            return true;
        }
    }
    // Earlier files may lack an index; never a trigger.
    for (const Object& o : own.objects) {
        if (o.type == u"trigger" && !theirs.Find(o.name, o.type)) {
            *difference = KindName(o.type) + Named(o.name) + QStringLiteral("がありません。");
            return true;
        }
    }
    return true;
}

// The kind of value a column of the type holds, as the program stores it
// (StoredForms.h), in Japanese; empty for a column without a type.
QString KindName(FieldType type) {
    switch (type) {
    case FieldType::YesNo: return QStringLiteral("はい・いいえ（-1 か 0）");
    case FieldType::Date: return QStringLiteral("日付");
    case FieldType::Long:
    case FieldType::Short:
    case FieldType::Double:
    case FieldType::Currency: return QStringLiteral("数値");
    case FieldType::Text:
    case FieldType::Memo: return QStringLiteral("文字列");
    case FieldType::Unknown: break;
    }
    return QString();
}

// A test of one row's value that is true when the column does not hold it
// as the program stores it. Comparisons, no function calls: in SQLite's
// order every number sorts before any text and every text before any blob,
// and a text field's affinity turns numbers into text. A date's text is
// tested once per distinct value (DateTest).
QString RowTest(FieldType type, const QString& column) {
    const QString c = QuoteIdent(column);
    switch (type) {
    case FieldType::YesNo: return QStringLiteral("(%1 IS NULL OR %1 NOT IN (0, -1))").arg(c);
    case FieldType::Long:
    case FieldType::Short:
    case FieldType::Double:
    case FieldType::Currency: return c + QStringLiteral(" >= ''");  // text or a blob
    case FieldType::Text:
    case FieldType::Memo: return c + QStringLiteral(" >= x''");  // a blob
    case FieldType::Date:
    case FieldType::Unknown: break;
    }
    return QString();
}

// A select that gives 1 when a date field holds a value that is not a date
// as "yyyy-mm-dd": each distinct value tested once (an aggregate, so that
// the test is not pushed down to every row).
QString DateTest(const QString& table, const QString& column) {
    return QStringLiteral("select max(date(d, '+0 days') IS NOT d) from (select distinct %1 as d from %2)")
        .arg(QuoteIdent(column), QuoteIdent(table));
}

// The first column of the program's tables that holds a value not of its
// kind: one pass over each table that stops at the first such row, and one
// over the distinct values of each date field.
bool ValueDifference(const Handle& file, const Handle& reference, const Schema& own, QString* difference,
                     QString* error) {
    const auto found = [&](const QString& table, const QString& column, FieldType type) {
        *difference = QStringLiteral("表") + Named(table) + QStringLiteral("の列") + Named(column) +
                      QStringLiteral("に") + KindName(type) + QStringLiteral("でない値があります。");
        return true;
    };
    for (const Object& o : own.objects) {
        if (o.type != u"table") continue;
        std::vector<QStringList> columns, rows;
        if (!Columns(reference, o.name, &columns, error)) return false;
        QStringList tests, names;
        std::vector<FieldType> types;
        for (const QStringList& c : columns) {
            const FieldType type = FieldTypeFromDeclared(c[1]);
            if (type == FieldType::Date) {
                rows.clear();
                if (!Rows(file, DateTest(o.name, c[0]).toUtf8().constData(), QString(), &rows, error)) return false;
                if (!rows.empty() && rows[0].value(0) == u"1") return found(o.name, c[0], type);
            } else if (const QString test = RowTest(type, c[0]); !test.isEmpty()) {
                tests << test;
                names << c[0];
                types.push_back(type);
            }
        }
        if (tests.isEmpty()) continue;
        rows.clear();
        const QString sql = QStringLiteral("select ") + tests.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
                            QuoteIdent(o.name) + QStringLiteral(" where ") + tests.join(QStringLiteral(" OR ")) +
                            QStringLiteral(" limit 1");
        if (!Rows(file, sql.toUtf8().constData(), QString(), &rows, error)) return false;
        for (qsizetype i = 0; !rows.empty() && i < names.size(); ++i)
            if (rows[0].value(i) == u"1") return found(o.name, names[i], types[size_t(i)]);
    }
    return true;
}

// A journal SQLite takes for the one of a commit cut short: there, with a
// header (its first byte not zero).
bool HotJournalBeside(const QString& path) {
    QFile journal(path + QStringLiteral("-journal"));
    char first = 0;
    return journal.open(QIODevice::ReadOnly) && journal.getChar(&first) && first != 0;
}

// Lets SQLite roll a hot journal beside the file back, as it does at the
// first read of every connection that may write: one read of the file's
// header through a connection with the settings of every connection
// (defensive, untrusted schema), which runs nothing of the file's schema. It
// is closed without a checkpoint, so a write-ahead log beside the file stays
// as it is. rolledBack tells whether the journal went.
bool RollBackHotJournal(const QString& path, bool* rolledBack, QString* error) {
    *rolledBack = false;
    if (!HotJournalBeside(path)) return true;
    QString message;
    int code = SQLITE_OK;
    const std::shared_ptr<Connection> c = OpenConnection(path, SQLITE_OPEN_READWRITE, &message, &code);
    if (!c) {
        *error = message;
        return false;
    }
    sqlite3_db_config(c->handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    const bool read = sqlite3_exec(c->handle, "PRAGMA schema_version", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!read) message = c->Message();
    c->Close();
    *rolledBack = !HotJournalBeside(path);
    if (*rolledBack) qCInfo(lcDb).noquote() << "the journal of a commit cut short beside" << path << "was rolled back";
    if (!read) *error = QStringLiteral("%1: %2").arg(path, message);
    return read;
}

}  // namespace

SchemaMatch CompareSchema(const QString& path, const QString& statements, QString* difference, QString* error,
                          bool* rolledBack) {
    difference->clear();
    const auto unreadable = [&](const QString& why) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        return SchemaMatch::Unreadable;
    };
    QString why;
    bool recovered = false;
    const bool journalRead = RollBackHotJournal(path, &recovered, &why);
    if (rolledBack) *rolledBack = recovered;
    if (!journalRead) {
        *error = why;
        return SchemaMatch::Unreadable;
    }
    Handle file(path);
    Schema theirs;
    if (!file.ok()) return unreadable(file.Message());
    if (!theirs.Read(file, &why)) return unreadable(why);

    Handle reference{QString()};
    Schema own;
    if (!reference.ok() ||
        sqlite3_exec(reference, statements.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        !own.Read(reference, &why))
        return unreadable(QStringLiteral("the program's own schema cannot be made: ") +
                          (why.isEmpty() ? reference.Message() : why));

    if (!Difference(file, theirs, reference, own, difference, &why)) return unreadable(why);
    if (difference->isEmpty() && !ValueDifference(file, reference, own, difference, &why)) return unreadable(why);
    if (difference->isEmpty()) return SchemaMatch::Same;
    *error = QStringLiteral("%1: its schema or its values are not the program's own").arg(path);
    return SchemaMatch::Differs;
}

bool CheckDatabaseFile(const QString& path, const QString& statements, QString* error) {
    QFile header(path);
    if (!header.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(path, header.errorString());
        return false;
    }
    if (header.read(16) != QByteArray("SQLite format 3", 16)) {
        *error = QStringLiteral("%1: not a database file").arg(path);
        return false;
    }
    header.close();

    QString difference;
    switch (CompareSchema(path, statements, &difference, error)) {
    case SchemaMatch::Same: break;
    case SchemaMatch::Differs: *error = difference + u'\n' + *error; return false;
    case SchemaMatch::Unreadable: return false;
    }

    Handle file(path);
    std::vector<QStringList> rows;
    QString why;
    if (!file.ok()) why = file.Message();
    else if (Rows(file, "PRAGMA integrity_check(1)", QString(), &rows, &why) &&
             (rows.empty() || rows[0].value(0) != u"ok"))
        why = QStringLiteral("the integrity check failed: ") + (rows.empty() ? QString() : rows[0].value(0));
    if (why.isEmpty()) return true;
    *error = QStringLiteral("%1: %2").arg(path, why);
    return false;
}

}  // namespace db
