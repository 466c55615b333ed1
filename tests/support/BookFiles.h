#pragma once
// Data files for tests and benchmarks: a book of many expense lines, and a
// file damaged on some of its pages, as a failing disk leaves it.

#include <QFile>
#include <QString>

#include "platform/db/Database.h"

namespace test {

// Adds `lines` expense lines (dates through 2026, ten partners, five items).
inline bool AddBookLines(const QString& dataFile, int lines) {
    db::Database d;
    if (!d.Open(dataFile)) return false;
    return d.ExecuteNative(QStringLiteral(
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
                               "SELECT i, date('2026-01-01', '+' || (i % 365) || ' days'), '月', "
                               "'取引先' || (i % 10), '科目' || (i % 5), 1000 + i % 97, 47, 0 FROM n")
                               .arg(lines));
}

// Overwrites `pages` pages of the file from the root page of 取引明細 on
// with bytes that are no page at all. False when the table has no such pages.
inline bool DamagePages(const QString& dataFile, int pages) {
    qint64 root = 0, pageSize = 0;
    {
        db::Database d;
        if (!d.Open(dataFile)) return false;
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select rootpage from sqlite_master where name = '取引明細'"));
        if (rs.IsEOF()) return false;
        root = rs.Value(0).toLongLong();
        db::Recordset size = d.OpenRecordset(QStringLiteral("select * from pragma_page_size"));
        if (size.IsEOF()) return false;
        pageSize = size.Value(0).toLongLong();
    }
    QFile f(dataFile);
    if (root < 2 || !f.open(QIODevice::ReadWrite) || f.size() < (root - 1 + pages) * pageSize) return false;
    for (int p = 0; p < pages; ++p) {
        f.seek((root - 1 + p) * pageSize);
        f.write(QByteArray(int(pageSize), char(0x5A)));
    }
    return true;
}

}  // namespace test
