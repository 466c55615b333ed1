#pragma once
// Expense lines made in bulk for tests and benchmarks: count lines over a
// year, five partners and items, amounts from 100 to 50,099 yen.

#include <QString>

#include "platform/db/Database.h"

namespace test {

inline bool FillExpenseLines(db::Database& d, int count, int firstLine = 1) {
    return d.ExecuteNative(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
                       "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
                       "SELECT i, date('2026-01-01', '+' || (i % 365) || ' days'), "
                       "substr('日月火水木金土', (i % 7) + 1, 1), "
                       "'取引先' || (i % 50), '科目' || (i % 20), (i * 37) % 50000 + 100, "
                       "((i * 37) % 50000 + 100) * 10 / 110, 0 FROM n")
            .arg(firstLine)
            .arg(firstLine + count - 1));
}

}  // namespace test
