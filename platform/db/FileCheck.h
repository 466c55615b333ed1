#pragma once
// Whether a file is a sound database of ours before it is put in use: the
// SQLite header, the tables it must hold, and SQLite's integrity check.

#include <QString>
#include <QStringList>

namespace db {

// True when path is an SQLite database that holds every table of tables
// (names compared as SQLite does) and passes the integrity check. The file
// is opened read-only and never changed. error says what is wrong.
bool CheckDatabaseFile(const QString& path, const QStringList& tables, QString* error);

}  // namespace db
