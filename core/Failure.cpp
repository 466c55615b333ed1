#include "core/Failure.h"

#include <cerrno>

#include "platform/disk/FileOps.h"
#include "platform/ui/MessagePresenter.h"

Q_LOGGING_CATEGORY(lcMurv, "murv")

namespace core {

namespace {
QString g_writeBlock;

QString CauseOf(FailureKind kind) {
    switch (kind) {
    case FailureKind::Corrupt: return QStringLiteral("データベースのファイルが壊れています。");
    case FailureKind::NotADatabase: return QStringLiteral("ファイルがデータベースの形式ではありません。");
    // The database engine's kinds are said in the words of the system's reasons.
    case FailureKind::Io: return disk::SystemReason(EIO);
    case FailureKind::ReadOnly: return g_writeBlock.isEmpty() ? disk::SystemReason(EROFS) : g_writeBlock;
    case FailureKind::Full: return disk::SystemReason(ENOSPC);
    case FailureKind::Other: break;
    }
    return QString();
}
// True when the user's part already says why (a message of the start-up
// naming a damaged or read-only file).
bool SaysCause(const QString& what, FailureKind kind) {
    switch (kind) {
    case FailureKind::Corrupt: return what.contains(u"壊れて");
    case FailureKind::NotADatabase: return what.contains(u"ではありません");
    case FailureKind::ReadOnly: return what.contains(u"書き込め") || what.contains(u"読み取り専用");
    case FailureKind::Full: return what.contains(u"空き容量");
    case FailureKind::Io:
    case FailureKind::Other: break;
    }
    return false;
}

}  // namespace

FailureKind KindOfFailure(const QString& detail) {
    const QString d = detail.toLower();
    if (d.contains(u"malformed") || d.contains(u"corrupt")) return FailureKind::Corrupt;
    if (d.contains(u"not a database")) return FailureKind::NotADatabase;
    if (d.contains(u"disk is full") || d.contains(u"disk full")) return FailureKind::Full;
    if (d.contains(u"readonly") || d.contains(u"read-only") || d.contains(u"query_only")) return FailureKind::ReadOnly;
    if (d.contains(u"i/o error") || d.contains(u"unable to open database file")) return FailureKind::Io;
    return FailureKind::Other;
}

QString ReasonOf(const QString& detail) {
    const QString own = JapaneseReason(detail);
    return own.isEmpty() ? CauseOf(KindOfFailure(detail)) : own;
}

QString JapaneseReason(const QString& detail) {
    // A sentence of its own, in Japanese only (platform/disk's reasons).
    const QString first = detail.section(u'\n', 0, 0);
    if (!first.endsWith(u'。')) return QString();
    for (const QChar c : first)
        if (c.isLetter() && c.unicode() < 0x80) return QString();
    return first;
}

QString EngineText(const QString& detail) {
    const qsizetype statement = detail.indexOf(QStringLiteral(" ["));
    return (statement >= 0 ? detail.left(statement) : detail).trimmed();
}

void LogFailure(const QString& what, const QString& detail) {
    if (detail.isEmpty()) qCWarning(lcMurv).noquote() << what;
    else qCWarning(lcMurv).noquote() << what << "|" << detail;
}

void ShowFailure(const QString& what, const QString& detail) { ShowFailure(what, detail, QStringLiteral("エラー")); }

void ShowFailure(const QString& what, const QString& detail, const QString& title) {
    LogFailure(what, detail);
    ui::MessageBoxContent box;
    box.title = title;
    box.text = what;
    const QString own = JapaneseReason(detail);
    const QString cause = own.isEmpty() ? CauseOf(KindOfFailure(detail)) : own;
    if (!cause.isEmpty() && (!own.isEmpty() || !SaysCause(what, KindOfFailure(detail)))) box.text += u'\n' + cause;
    // The system's own text follows as a detail line.
    const QString engine = EngineText(own.isEmpty() ? detail : detail.section(u'\n', 1));
    if (!engine.isEmpty()) box.text += QStringLiteral("\n\n") + engine;
    box.buttons = ui::MessageButtons::Ok;
    box.icon = ui::MessageIcon::Warning;
    box.defaultButton = ui::Answer::Ok;
    ui::CurrentPresenter().Present(box);
}

void SetDataWriteBlock(const QString& reason) { g_writeBlock = reason; }
QString DataWriteBlock() { return g_writeBlock; }

}  // namespace core
