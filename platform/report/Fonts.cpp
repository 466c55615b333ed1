#include "platform/report/Fonts.h"

#include <cmath>
#include <utility>

namespace report {

namespace {

const std::pair<const char16_t*, const char16_t*> kFontTable[] = {
    {u"ＭＳ Ｐ明朝", u"Noto Serif CJK JP"},
    {u"ＭＳ 明朝", u"Noto Serif CJK JP"},
    {u"ＭＳ Ｐゴシック", u"Noto Sans CJK JP"},
    {u"ＭＳ ゴシック", u"Noto Sans CJK JP"},
};

}  // namespace

QString InstalledFamily(const QString& layoutName) {
    for (const auto& [name, family] : kFontTable)
        if (layoutName == QStringView(name)) return QString::fromUtf16(family);
    return QString::fromUtf16(kFontTable[0].second);
}

QFont TwipFont(const FontSpec& face, double points) {
    QFont font(InstalledFamily(face.name));
    font.setPixelSize(std::max(1, int(std::lround(points * 20))));
    font.setBold(face.bold);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

QFont TwipFont(const FontSpec& face) { return TwipFont(face, face.size); }

}  // namespace report
