#include "masters/MasterSupport.h"

#include <QString>

namespace masters {

bool IsUseCount(const QVariant& value, qint32* count) {
    if (value.isNull()) return false;
    const QString text = value.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty() || text.size() > 10) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    const qint64 n = text.toLongLong();
    if (n > 2147483647) return false;
    if (count) *count = qint32(n);
    return true;
}

}  // namespace masters
