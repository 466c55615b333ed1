#include "core/Helpers.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "core/ModMurv.h"

namespace core {

namespace {

// Rounds to the nearest whole number, halves to the even neighbour
// (4.5 -> 4, 5.5 -> 6), as whole-number conversion of counters does.
qint64 RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) result = lower + 1;
    return static_cast<qint64>(result);
}

bool IsNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

}  // namespace

void ProgressStep(qint64 index) {
    const double total = ModMurv::ProgressTotal.toDouble();  // null counts as 0
    if (total == 0) return;
    qint64 interval = RoundHalfEven(total / 9);
    if (interval == 0) interval = 1;
    ModMurv::ProgressInterval = interval;

    const qint64 percent = ModMurv::ProgressPercent.toLongLong();
    if (percent < 100 && index % interval == 0) ModMurv::ProgressPercent = std::min<qint64>(percent + 10, 100);
}

QVariant FormStack(const QString& op, const QString& formName) {
    if (formName.isEmpty()) return QVariant();
    if (op == QStringLiteral("PUSH")) {
        auto& stack = ModMurv::FormNameStack;
        for (int i = 4; i >= 1; --i) stack[i] = stack[i - 1];
        stack[0] = formName;
    }
    return true;
}

QVariant StrExtract(const QString& source, const QVariant& separator, int mode) {
    if (IsNumber(separator) && separator.toDouble() == 0 && mode == 2) {
        const qsizetype nul = source.indexOf(QChar(u'\0'));
        if (nul < 0) return source;
        if (nul == 0) return QVariant();
        return source.left(nul);
    }
    if (mode == 3) {
        QString digits = QStringLiteral("");
        for (QChar c : source)
            if (c >= u'0' && c <= u'9') digits += c;
        return digits;
    }
    const QString sep = separator.toString();
    const qsizetype at = sep.isEmpty() ? -1 : source.indexOf(sep);
    if (at < 0) return source;
    switch (mode) {
    case 0: return source.mid(at + 1);
    case 1: return source.left(at) + source.mid(at + 1);
    case 2: return source.left(at);
    default: return QVariant();
    }
}

qint64 GetFileSizeByName(const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isDir()) return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return file.size();
}

}  // namespace core
