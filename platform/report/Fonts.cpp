#include "platform/report/Fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QtDebug>
#include <cmath>
#include <map>
#include <utility>

namespace report {

namespace {

struct Face {
    const char16_t* file;       // beside the program
    const char16_t* family;     // of that file
    const char16_t* installed;  // the system face it is made from
};

const Face kMincho{u"MurvReportMincho.ttf", u"MURV Report Mincho", u"IPAexMincho"};
const Face kGothic{u"MurvReportGothic.ttf", u"MURV Report Gothic", u"IPAexGothic"};

const std::pair<const char16_t*, const Face*> kFontTable[] = {
    {u"ＭＳ Ｐ明朝", &kMincho},
    {u"ＭＳ 明朝", &kMincho},
    {u"ＭＳ Ｐゴシック", &kGothic},
    {u"ＭＳ ゴシック", &kGothic},
};

#ifndef MURV_BUILD_BIN_DIR
#define MURV_BUILD_BIN_DIR ""
#endif

// Loads the face's file from the program folder (else the build's) once;
// its family, or the installed face's when the file is missing.
QString FamilyOf(const Face& face) {
    static std::map<const Face*, QString> loaded;
    if (auto it = loaded.find(&face); it != loaded.end()) return it->second;
    QString family = QString::fromUtf16(face.installed);
    const QString file = QString::fromUtf16(face.file);
    for (const QString& folder : {QCoreApplication::applicationDirPath(), QStringLiteral(MURV_BUILD_BIN_DIR)}) {
        const QString path = QDir(folder).filePath(file);
        if (folder.isEmpty() || !QFileInfo::exists(path)) continue;
        if (QFontDatabase::addApplicationFont(path) >= 0) family = QString::fromUtf16(face.family);
        break;
    }
    if (family != QString::fromUtf16(face.family))
        qWarning().noquote() << "report face" << file << "cannot be loaded; printing with" << family
                             << "(a PDF's text may then not be searchable)";
    loaded.emplace(&face, family);
    return family;
}

}  // namespace

QString InstalledFamily(const QString& layoutName) {
    for (const auto& [name, face] : kFontTable)
        if (layoutName == QStringView(name)) return FamilyOf(*face);
    return FamilyOf(kMincho);
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
