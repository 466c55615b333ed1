#pragma once
// How the program tells the user that something failed: one message box
// with the warning icon and the title "エラー", the user's part in Japanese
// (what could not be done, then why, when the kind of failure is known) and
// the database engine's own text, if there is one, on a last line of its
// own. The text of the statement that failed is never shown. Each failure
// is also written once to the log (category "murv"), with its full detail.

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcMurv)

namespace core {

enum class FailureKind { Other, Corrupt, NotADatabase, Io, ReadOnly, Full };

// The kind of a failure, read from the database layer's error text. (The
// one place that knows how the layer words its failures.)
FailureKind KindOfFailure(const QString& detail);

// The reason of a failure in the user's words: the Japanese reason line a
// file operation put first in its detail (platform/disk's SystemReason), or
// the words for the database engine's kind of failure; empty when unknown.
QString ReasonOf(const QString& detail);

// The first line of detail when it is a reason in Japanese, else empty.
QString JapaneseReason(const QString& detail);

// The engine's text of a failure without the statement text the layer adds
// after it in brackets.
QString EngineText(const QString& detail);

// Shows the failure and logs it once. `what` is one or more Japanese
// sentences ("経費を登録できませんでした。"); `detail` the layer's error text.
void ShowFailure(const QString& what, const QString& detail = QString());
// The same under a title of the procedure's own ("フロッピーディスクの読込").
void ShowFailure(const QString& what, const QString& detail, const QString& title);

// Logs a failure once without a message of its own (it is part of a
// message shown elsewhere).
void LogFailure(const QString& what, const QString& detail);

// Why writes to the data file are refused this run (it is damaged, or it
// cannot be written), said instead of the plain read-only cause; empty when
// the data file is open for writing.
void SetDataWriteBlock(const QString& reason);
QString DataWriteBlock();

}  // namespace core
