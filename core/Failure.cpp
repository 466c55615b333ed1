#include "core/Failure.h"

#include "platform/disk/FileOps.h"
#include "platform/ui/MessagePresenter.h"

Q_LOGGING_CATEGORY(lcMurv, "murv")

namespace core {

namespace {
QString g_writeBlock;

QString CauseOf(db::ErrorKind kind) {
    return kind == db::ErrorKind::ReadOnly && !g_writeBlock.isEmpty() ? g_writeBlock : db::Reason(kind);
}
// True when the user's part already says why (a message of the start-up
// naming a damaged or read-only file).
bool SaysCause(const QString& what, db::ErrorKind kind) {
    switch (kind) {
    case db::ErrorKind::Corrupt: return what.contains(u"壊れて");
    case db::ErrorKind::NotADatabase: return what.contains(u"ではありません");
    case db::ErrorKind::ReadOnly: return what.contains(u"書き込め") || what.contains(u"読み取り専用");
    case db::ErrorKind::Full: return what.contains(u"空き容量");
    default: break;
    }
    return false;
}

// The message box: the user's part and the cause on a line of its own, in
// Japanese; the system's own text is in the log only.
void Present(const QString& what, const QString& cause, const QString& title) {
    ui::MessageBoxContent box;
    box.title = title;
    box.text = what;
    if (!cause.isEmpty()) box.text += u'\n' + cause;
    box.buttons = ui::MessageButtons::Ok;
    box.icon = ui::MessageIcon::Warning;
    box.defaultButton = ui::Answer::Ok;
    ui::CurrentPresenter().Present(box);
}

}  // namespace

QString JapaneseReason(const QString& detail) {
    // A sentence of its own, in Japanese only (platform/disk's reasons); the
    // names it quotes in 「」 may be of any letters.
    const QString first = detail.section(u'\n', 0, 0);
    if (!first.endsWith(u'。')) return QString();
    int quoted = 0;
    for (const QChar c : first) {
        if (c == u'「') ++quoted;
        else if (c == u'」' && quoted > 0) --quoted;
        else if (quoted == 0 && c.isLetter() && c.unicode() < 0x80) return QString();
    }
    return first;
}

void LogFailure(const QString& what, const QString& detail) {
    if (detail.isEmpty()) qCWarning(lcMurv).noquote() << what;
    else qCWarning(lcMurv).noquote() << what << "|" << detail;
}

void LogFailure(const QString& what, const db::Failure& failure) { LogFailure(what, failure.text); }

void ShowFailure(const QString& what, const db::Failure& failure) {
    ShowFailure(what, failure, QStringLiteral("エラー"));
}

void ShowFailure(const QString& what, const db::Failure& failure, const QString& title) {
    // A step that is not the database's (a file copied beside it) carries a
    // text of its own, its Japanese reason first.
    if (failure.kind == db::ErrorKind::Other || !failure) return ShowFailure(what, failure.text, title);
    LogFailure(what, failure);
    Present(what, SaysCause(what, failure.kind) ? QString() : CauseOf(failure.kind), title);
}

void ShowFailure(const QString& what, const QString& detail) { ShowFailure(what, detail, QStringLiteral("エラー")); }

void ShowFailure(const QString& what, const QString& detail, const QString& title) {
    LogFailure(what, detail);
    // Every line of the detail that is a reason in Japanese; the system's own lines are left out.
    QStringList reasons;
    for (const QString& line : detail.split(u'\n'))
        if (!JapaneseReason(line).isEmpty()) reasons << line;
    Present(what, reasons.join(u'\n'), title);
}

void SetDataWriteBlock(const QString& reason) { g_writeBlock = reason; }
QString DataWriteBlock() { return g_writeBlock; }

}  // namespace core
