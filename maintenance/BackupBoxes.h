#pragma once
// The message boxes of the backup procedures.

#include <QString>

#include "platform/db/Database.h"

namespace maintenance {

inline const QString kSaveTitle = QStringLiteral("フロッピーディスクへの保存");
inline const QString kReadTitle = QStringLiteral("フロッピーディスクの読込");
inline const QString kCheckTitle = QStringLiteral("フロッピーディスクのチェック");

// An OK/Cancel question with the exclamation icon; true for OK.
bool AskOkCancel(const QString& title, const QString& text);
// An OK box with the information icon.
void Tell(const QString& title, const QString& text);
// An OK box with the application's title as caption (the archiver's reports);
// a failure gets the warning icon.
void TellWithAppTitle(const QString& text, bool failure);
// A failure: what went wrong for the user, and the detail on a last line of its own.
void TellFailure(const QString& title, const QString& text, const QString& detail);
void TellFailure(const QString& title, const QString& text, const db::Failure& failure);
// A Yes/No question whether to replace an existing file; No is preselected.
bool AskReplace(const QString& path);

}  // namespace maintenance
