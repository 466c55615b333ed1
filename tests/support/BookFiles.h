#pragma once
// Data files for tests and benchmarks: a book of many expense lines, a file
// damaged on some of its pages, as a failing disk leaves it, a crash in a commit, another tool's writes, a full disk.

#include <sqlite3.h>
#include <QFile>
#include <QString>
#include <QtEndian>

#include "platform/db/Database.h"
#include "platform/db/Quote.h"

namespace test {

// Adds `lines` expense lines (dates through 2026, ten partners, five items).
inline bool AddBookLines(const QString& dataFile, int lines) {
    db::Database d;
    if (!d.Open(dataFile)) return false;
    return d.ExecuteNative(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
                       "SELECT i, date('2026-01-01', '+' || (i % 365) || ' days'), '月', "
                       "'取引先' || (i % 10), '科目' || (i % 5), 1000 + i % 97, 47, 0 FROM n")
            .arg(lines));
}

// The root page of a table and the file's page size; false when unknown.
inline bool TablePages(const QString& file, const QString& table, qint64& root, qint64& pageSize) {
    db::Database d;
    if (!d.Open(file)) return false;
    db::Recordset rs = d.OpenRecordset(
        QStringLiteral("select rootpage from sqlite_master where name = '%1'").arg(db::SqlEscape(table)));
    if (rs.IsEOF()) return false;
    root = rs.Value(0).toLongLong();
    db::Recordset size = d.OpenRecordset(QStringLiteral("select * from pragma_page_size"));
    if (size.IsEOF()) return false;
    pageSize = size.Value(0).toLongLong();
    return true;
}

// Overwrites `pages` pages of the file from the root page of 取引明細 on
// with bytes that are no page at all. False when the table has no such pages.
inline bool DamagePages(const QString& dataFile, int pages) {
    qint64 root = 0, pageSize = 0;
    if (!TablePages(dataFile, QStringLiteral("取引明細"), root, pageSize)) return false;
    QFile f(dataFile);
    if (root < 2 || !f.open(QIODevice::ReadWrite) || f.size() < (root - 1 + pages) * pageSize) return false;
    for (int p = 0; p < pages; ++p) {
        f.seek((root - 1 + p) * pageSize);
        f.write(QByteArray(int(pageSize), char(0x5A)));
    }
    return true;
}

// Damages the page that holds the last rows of a table of many pages: a
// walk over all its rows fails there, while the rows of its first pages can
// still be read and written one by one. The change is counted in the file's
// header, so connections that hold the file open read it again. False when
// the table has a single page.
inline bool DamageLastRows(const QString& file, const QString& table) {
    qint64 root = 0, pageSize = 0;
    if (!TablePages(file, table, root, pageSize)) return false;
    QFile f(file);
    if (root < 2 || !f.open(QIODevice::ReadWrite)) return false;
    const auto read32 = [&f](qint64 at) {
        f.seek(at);
        const QByteArray bytes = f.read(4);
        return bytes.size() == 4 ? qFromBigEndian<quint32>(bytes.constData()) : 0u;
    };
    const auto write32 = [&f](qint64 at, quint32 value) {
        char bytes[4];
        qToBigEndian(value, bytes);
        f.seek(at);
        f.write(bytes, 4);
    };
    // Down the right-most children of the table's interior pages to a leaf.
    qint64 page = root;
    for (int depth = 0; depth < 8; ++depth) {
        f.seek((page - 1) * pageSize);
        char type = 0;
        if (!f.getChar(&type)) return false;
        if (type == 0x0D) break;                   // a leaf page of a table
        if (type != 0x05) return false;            // not an interior page of a table
        page = read32((page - 1) * pageSize + 8);  // its right-most child
    }
    if (page == root) return false;
    f.seek((page - 1) * pageSize);
    f.write(QByteArray(int(pageSize), char(0x5A)));
    const quint32 changes = read32(24) + 1;  // the file change counter
    write32(24, changes);
    write32(92, changes);  // and the version the header is valid for
    return true;
}

// Runs SQLite statements on the file as another tool may, running no trigger.
inline bool WriteAsAnotherTool(const QString& file, const QString& sql) {
    sqlite3* h = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(file).constData(), &h) == SQLITE_OK &&
                    sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr) == SQLITE_OK &&
                    sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    return sqlite3_close(h) == SQLITE_OK && ok;
}

// Leaves the file as a crash in the commit of `sql` does: pages of it written (a small cache
// writes them early), and beside the file the journal of what they held.
inline bool CutCommitShort(const QString& file, const QString& sql) {
    const QString cut = file + QStringLiteral(".cut"), journal = QStringLiteral("-journal");
    sqlite3* h = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(file).constData(), &h) == SQLITE_OK &&
                    sqlite3_exec(h, ("PRAGMA cache_size = 2; BEGIN; " + sql).toUtf8().constData(), nullptr, nullptr,
                                 nullptr) == SQLITE_OK &&
                    QFile::copy(file, cut) && QFile::copy(file + journal, cut + journal);
    sqlite3_close(h);  // rolls the commit back
    return ok && QFile::remove(file) && QFile::rename(cut, file) && QFile::rename(cut + journal, file + journal);
}

// A full disk for the connections opened while it lives (the program's
// own among them): each is given a function, full_disk(), that fails with
// SQLite's own full code and text; Refuse puts a trigger that calls it.
class FullDisk {
public:
    FullDisk() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Give)); }
    ~FullDisk() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Give)); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Every `event` ("insert", "update") on the table of the file fails as the full disk refuses it.
    static bool Refuse(const QString& file, const QString& table, const QString& event) {
        db::Database d;
        return d.Open(file) && d.ExecuteNative(QStringLiteral("create trigger full_disk before %1 on %2 "
                                                              "begin select full_disk(); end")
                                                   .arg(event, table));
    }
    // The disk has room again.
    static bool Heal(const QString& file) {
        db::Database d;
        return d.Open(file) && d.ExecuteNative(QStringLiteral("drop trigger full_disk"));
    }

private:
    static int Give(sqlite3* db, const char**, const sqlite3_api_routines*) {
        return sqlite3_create_function(db, "full_disk", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr, &Full, nullptr,
                                       nullptr);
    }
    static void Full(sqlite3_context* context, int, sqlite3_value**) {
        sqlite3_result_error_code(context, SQLITE_FULL);
    }
};

}  // namespace test
