#pragma once
// How the program tells the user that something failed: one message box
// with the warning icon and the title "エラー", in Japanese only: what could
// not be done, then why, when the kind of failure is known. The system's own
// text (SQLite's, a file operation's) and the statement that failed are never
// shown: each failure is written once to the log (category "murv"), with its
// full detail.

#include <QLoggingCategory>
#include <QString>

#include "platform/db/Database.h"

Q_DECLARE_LOGGING_CATEGORY(lcMurv)

namespace core {

// The first line of detail when it is a reason in Japanese (platform/disk's
// SystemReason, the data-file check's difference), else empty.
QString JapaneseReason(const QString& detail);

// Shows a failure of the database layer and logs it once. `what` is one or
// more Japanese sentences ("経費を登録できませんでした。"); the failure's
// kind chooses the words of the cause. A failure of kind Other may carry a
// file operation's text.
void ShowFailure(const QString& what, const db::Failure& failure);
void ShowFailure(const QString& what, const db::Failure& failure, const QString& title);
// The same for a failure that is not the database's: `detail` is a file
// operation's text; its lines that are reasons in Japanese are shown.
void ShowFailure(const QString& what, const QString& detail = QString());
// The same under a title of the procedure's own ("フロッピーディスクの読込").
void ShowFailure(const QString& what, const QString& detail, const QString& title);

// Logs a failure once without a message of its own (it is part of a
// message shown elsewhere).
void LogFailure(const QString& what, const QString& detail);
void LogFailure(const QString& what, const db::Failure& failure);

// Why writes to the data file are refused this run (it is damaged, or it
// cannot be written), said instead of the plain read-only cause; empty when
// the data file is open for writing.
void SetDataWriteBlock(const QString& reason);
QString DataWriteBlock();

}  // namespace core
