#include "platform/db/Quote.h"

namespace db {

QString SqlEscape(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return out;
}

QString SqlLikeEscape(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[') {
            out += u'[';
            out += c;
            out += u']';
        } else if (c == u'\'') {
            out += QStringLiteral("''");
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace db
