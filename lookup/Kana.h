#pragma once
// The kana of an index button in the other two scripts.

#include <QString>
#include <QVariant>

namespace lookup {

// The katakana and half-width katakana that stand at the kana's place in the
// three parallel tables below (hiragana, katakana, half-width), found by the
// first occurrence of the whole kana text in the hiragana table. Both stay
// Null when the hiragana table does not hold the text ("ゐ", blanks).
//
// The tables follow the old fifty-sound chart, with い, う and え in the や and
// わ rows again; as the first occurrence wins, the second い and う are never
// found, and "ゑ" gives "ヱ" and "ｴ".
void KanaVariants(const QString& kana, QVariant& katakana, QVariant& halfWidth);

}  // namespace lookup
