#include "core/Failure.h"

#include "platform/ui/MessagePresenter.h"

Q_LOGGING_CATEGORY(lcMurv, "murv")

namespace core {

namespace {
QString g_writeBlock;

QString CauseOf(FailureKind kind) {
    switch (kind) {
    case FailureKind::Corrupt: return QStringLiteral("データベースのファイルが壊れています。");
    case FailureKind::NotADatabase: return QStringLiteral("ファイルがデータベースの形式ではありません。");
    case FailureKind::Io: return QStringLiteral("ディスクの読み書きに失敗しました。");
    case FailureKind::ReadOnly:
        return g_writeBlock.isEmpty() ? QStringLiteral("ファイルまたはフォルダが読み取り専用のため、書き込めません。")
                                      : g_writeBlock;
    case FailureKind::Full: return QStringLiteral("ディスクの空き容量が足りません。");
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
    if (d.contains(u"readonly") || d.contains(u"read-only") || d.contains(u"query_only"))
        return FailureKind::ReadOnly;
    if (d.contains(u"i/o error") || d.contains(u"unable to open database file")) return FailureKind::Io;
    return FailureKind::Other;
}

QString EngineText(const QString& detail) {
    const qsizetype statement = detail.indexOf(QStringLiteral(" ["));
    return (statement >= 0 ? detail.left(statement) : detail).trimmed();
}

void LogFailure(const QString& what, const QString& detail) {
    if (detail.isEmpty()) qCWarning(lcMurv).noquote() << what;
    else qCWarning(lcMurv).noquote() << what << "|" << detail;
}

void ShowFailure(const QString& what, const QString& detail) {
    LogFailure(what, detail);
    ui::MessageBoxContent box;
    box.title = QStringLiteral("エラー");
    box.text = what;
    const QString cause = CauseOf(KindOfFailure(detail));
    if (!cause.isEmpty() && !SaysCause(what, KindOfFailure(detail))) box.text += u'\n' + cause;
    const QString engine = EngineText(detail);
    if (!engine.isEmpty()) box.text += QStringLiteral("\n\n") + engine;
    box.buttons = ui::MessageButtons::Ok;
    box.icon = ui::MessageIcon::Warning;
    box.defaultButton = ui::Answer::Ok;
    ui::CurrentPresenter().Present(box);
}

void SetDataWriteBlock(const QString& reason) { g_writeBlock = reason; }
QString DataWriteBlock() { return g_writeBlock; }

}  // namespace core
