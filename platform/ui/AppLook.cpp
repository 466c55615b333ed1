#include "platform/ui/AppLook.h"

#include <QApplication>
#include <QStyleFactory>

namespace ui {

QFont DefaultFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kDefaultFontPoints);
    return font;
}

void SetUpApplicationLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setFont(DefaultFont());
}

}  // namespace ui
