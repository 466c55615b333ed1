#include "platform/db/SchemaUpgrade.h"

#include <sqlite3.h>

#include <QFile>
#include <QRegularExpression>
#include <vector>

#include "platform/db/JetSql.h"
#include "platform/db/Log.h"

namespace db {

namespace {

struct SchemaObject {
    QString type, name, table, sql;
};

bool Query(sqlite3* c, const QString& sql, std::vector<QStringList>* rows, QString* error) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray u = sql.toUtf8();
    if (sqlite3_prepare_v2(c, u.constData(), static_cast<int>(u.size()), &stmt, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(c));
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
        if (rows) rows->push_back(row);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(c));
        return false;
    }
    return true;
}

bool Run(sqlite3* c, const QString& sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(c, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        *error = QString::fromUtf8(message ? message : "error") + QStringLiteral(" [") + sql + u']';
        sqlite3_free(message);
        return false;
    }
    return true;
}

// Row counts of the tables, and SQLite's own check.
bool Check(sqlite3* c, const std::vector<SchemaObject>& tables, QStringList* counts, QString* error) {
    std::vector<QStringList> rows;
    if (!Query(c, QStringLiteral("PRAGMA integrity_check"), &rows, error)) return false;
    if (rows.empty() || rows[0].value(0) != u"ok") {
        *error =
            QStringLiteral("the converted file fails its check: %1").arg(rows.empty() ? QString() : rows[0].value(0));
        return false;
    }
    counts->clear();
    for (const auto& t : tables) {
        rows.clear();
        if (!Query(c, QStringLiteral("select count(*) from ") + QuoteIdent(t.name), &rows, error)) return false;
        *counts << rows.at(0).value(0);
    }
    return true;
}

}  // namespace

QString WithoutOwnCollation(QString sql) {
    static const QRegularExpression collate(QStringLiteral("\\s+COLLATE\\s+(\"JA\"|JA)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    return sql.remove(collate);
}

bool UpgradeCollation(sqlite3* c, const QString& path, QString* error) {
    std::vector<QStringList> rows;
    if (!Query(c,
               QStringLiteral("select type, name, tbl_name, sql from sqlite_master where sql is not null "
                              "and name not like 'sqlite_%' order by type = 'table' desc, rowid"),
               &rows, error))
        return false;
    std::vector<SchemaObject> objects;
    bool needed = false;
    for (const auto& r : rows) {
        objects.push_back({r[0], r[1], r[2], r[3]});
        needed = needed || WithoutOwnCollation(r[3]) != r[3];
    }
    if (!needed) return true;

    const QString copy = path + QStringLiteral(".before-conversion");
    QFile::remove(copy);
    if (!QFile::copy(path, copy)) {
        *error = QStringLiteral("the copy %1 cannot be made before the conversion").arg(copy);
        return false;
    }
    qCInfo(lcDb).noquote() << "converting" << path << "to SQLite's own collation; the old file is kept as" << copy;

    std::vector<SchemaObject> tables;
    for (const auto& o : objects)
        if (o.type == u"table") tables.push_back(o);
    QStringList before, after;
    bool ok = Check(c, tables, &before, error) && Run(c, QStringLiteral("BEGIN IMMEDIATE"), error);
    for (const auto& t : tables) {
        if (!ok) break;
        const QString temp = QuoteIdent(t.name + QStringLiteral("__converted"));
        const QString sql = WithoutOwnCollation(t.sql);
        const QString body = sql.mid(sql.indexOf(u'('));
        ok = Run(c, QStringLiteral("CREATE TABLE ") + temp + u' ' + body, error) &&
             Run(c, QStringLiteral("INSERT INTO ") + temp + QStringLiteral(" SELECT * FROM ") + QuoteIdent(t.name),
                 error) &&
             Run(c, QStringLiteral("DROP TABLE ") + QuoteIdent(t.name), error) &&
             Run(c, QStringLiteral("ALTER TABLE ") + temp + QStringLiteral(" RENAME TO ") + QuoteIdent(t.name), error);
    }
    // The indexes and triggers went with their tables: made again.
    for (const auto& o : objects)
        if (ok && o.type != u"table") ok = Run(c, WithoutOwnCollation(o.sql), error);
    ok = ok && Check(c, tables, &after, error);
    if (ok && after != before) {
        *error = QStringLiteral("the converted file does not hold every row");
        ok = false;
    }
    ok = ok && Run(c, QStringLiteral("COMMIT"), error);
    if (!ok) {
        QString ignored;
        Run(c, QStringLiteral("ROLLBACK"), &ignored);
        QFile::remove(copy);  // the file itself is as it was
        return false;
    }
    // Checked again as stored; only then the copy goes.
    if (!Check(c, tables, &after, error) || after != before) {
        *error += QStringLiteral(" (the old file is kept as ") + copy + u')';
        return false;
    }
    QFile::remove(copy);
    return true;
}

}  // namespace db
