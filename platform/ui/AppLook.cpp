#include "platform/ui/AppLook.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QStyleFactory>
#include <QTranslator>

namespace ui {

Q_LOGGING_CATEGORY(lcLook, "murv.ui")

QFont DefaultFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kDefaultFontPoints);
    return font;
}

void SetUpApplicationLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setFont(DefaultFont());
}

QTranslator* LoadJapaneseTranslations() {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        qCWarning(lcLook) << "Qt's Japanese texts could not be loaded from" << folder;
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace ui
