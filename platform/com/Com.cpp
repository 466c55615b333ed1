#include "platform/com/Com.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace com {

namespace {

using GetClassObject = Object* (*)(const char*);

// Lines of "clsid<TAB>path".
QHash<QString, QString> ReadRegistry() {
    QHash<QString, QString> entries;
    QFile f(RegistryPath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return entries;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype tab = line.indexOf(u'\t');
        if (tab > 0) entries.insert(line.left(tab).toUpper(), line.mid(tab + 1));
    }
    return entries;
}

bool WriteRegistry(const QHash<QString, QString>& entries, QString* error) {
    const QString path = RegistryPath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    QStringList keys = entries.keys();
    keys.sort();
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    for (const auto& k : keys) out << k << u'\t' << entries.value(k) << u'\n';
    out.flush();
    if (!f.commit()) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

// Libraries stay loaded until the process ends.
QHash<QString, void*>& LoadedLibraries() {
    static QHash<QString, void*> libs;
    return libs;
}

}  // namespace

QString RegistryPath() {
    const QByteArray env = qgetenv("MURV_COM_REGISTRY");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("PrjMURV/classes.reg"));
}

QString RegisteredLibrary(const QString& clsid) { return ReadRegistry().value(clsid.toUpper()); }

bool Register(const QString& clsid, const QString& libraryPath, QString* error) {
    auto entries = ReadRegistry();
    entries.insert(clsid.toUpper(), QFileInfo(libraryPath).absoluteFilePath());
    return WriteRegistry(entries, error);
}

bool Unregister(const QString& clsid, QString* error) {
    auto entries = ReadRegistry();
    entries.remove(clsid.toUpper());
    return WriteRegistry(entries, error);
}

Ptr<Object> CreateObject(const QString& clsid, QString* error) {
    const QString path = RegisteredLibrary(clsid);
    if (path.isEmpty()) {
        if (error) *error = QStringLiteral("クラス %1 が登録されていません。").arg(clsid);
        return nullptr;
    }
    void* handle = LoadedLibraries().value(path);
    if (!handle) {
        if (!QFileInfo::exists(path)) {
            if (error) *error = QStringLiteral("ライブラリ %1 が見つかりません。").arg(path);
            return nullptr;
        }
        handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            if (error) *error = QStringLiteral("ライブラリ %1 を読み込めません: %2").arg(path, QString::fromLocal8Bit(dlerror()));
            return nullptr;
        }
        LoadedLibraries().insert(path, handle);
    }
    auto factory = reinterpret_cast<GetClassObject>(dlsym(handle, "DllGetClassObject"));
    if (!factory) {
        if (error) *error = QStringLiteral("ライブラリ %1 はクラスを提供していません。").arg(path);
        return nullptr;
    }
    Object* o = factory(clsid.toUpper().toLatin1().constData());
    if (!o) {
        if (error) *error = QStringLiteral("ライブラリ %1 はクラス %2 を作成できません。").arg(path, clsid);
        return nullptr;
    }
    return Ptr<Object>(o);
}

QString ModulePathOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

}  // namespace com
