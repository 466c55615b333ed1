#include "lookup/Kana.h"

namespace lookup {

namespace {

// Position p of one table answers position p of the others.
const QString& Hiragana() {
    static const QString t = QStringLiteral("あいうえおかきくけこさしすせそたちつてと") +
                             QStringLiteral("なにぬねのはひふへほまみむめも") +
                             QStringLiteral("やいゆえよらりるれろわいうゑをん");
    return t;
}
const QString& Katakana() {
    static const QString t = QStringLiteral("アイウエオカキクケコサシスセソタチツテト") +
                             QStringLiteral("ナニヌネノハヒフヘホマミムメモ") +
                             QStringLiteral("ヤイユエヨラリルレロワイユヱヲン");
    return t;
}
const QString& HalfWidth() {
    static const QString t =
        QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄ") + QStringLiteral("ﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ") + QStringLiteral("ﾔｲﾕｴﾖﾗﾘﾙﾚﾛﾜｲｳｴｦﾝ");
    return t;
}

}  // namespace

void KanaVariants(const QString& kana, QVariant& katakana, QVariant& halfWidth) {
    katakana = QVariant();
    halfWidth = QVariant();
    const qsizetype p = Hiragana().indexOf(kana, 0, Qt::CaseSensitive);
    if (p < 0) return;
    halfWidth = HalfWidth().mid(p, 1);  // past the end: an empty text
    katakana = Katakana().mid(p, 1);
}

}  // namespace lookup
