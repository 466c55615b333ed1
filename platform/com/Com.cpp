#include "platform/com/Com.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>

namespace com {

namespace {

using GetClassObject = Object* (*)(const char*);

// Lines of "clsid<TAB>path"; a relative path is relative to the registry's folder.
QHash<QString, QString> ReadRegistry(const QString& path) {
    QHash<QString, QString> entries;
    QFile f(path);
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

bool WriteRegistry(const QString& path, const QHash<QString, QString>& entries, QString* error) {
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

// The registry named by the environment, or an empty text.
QString RegistryFromEnvironment() {
    const QByteArray env = qgetenv("MURV_COM_REGISTRY");
    return env.isEmpty() ? QString() : QString::fromLocal8Bit(env);
}

QString ProgramFolder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

}  // namespace

QString RegistryIn(const QString& folder) { return QDir(folder).absoluteFilePath(QStringLiteral("classes.reg")); }

QString RegistryPath() {
    const QString env = RegistryFromEnvironment();
    return env.isEmpty() ? RegistryIn(ProgramFolder()) : env;
}

QString RegistryFor(const QString& libraryPath) {
    const QString env = RegistryFromEnvironment();
    return env.isEmpty() ? RegistryIn(QFileInfo(libraryPath).absolutePath()) : env;
}

QString RegisteredLibrary(const QString& clsid) {
    const QString registry = RegistryPath();
    const QString path = ReadRegistry(registry).value(clsid.toUpper());
    if (path.isEmpty()) return path;
    return QDir::cleanPath(QFileInfo(registry).absoluteDir().absoluteFilePath(path));
}

bool Register(const QString& clsid, const QString& libraryPath, QString* error) {
    const QString registry = RegistryFor(libraryPath);
    const QFileInfo library(libraryPath);
    // A library beside the registry is recorded by its name alone.
    const bool beside = library.absoluteDir() == QFileInfo(registry).absoluteDir();
    auto entries = ReadRegistry(registry);
    entries.insert(clsid.toUpper(), beside ? library.fileName() : library.absoluteFilePath());
    return WriteRegistry(registry, entries, error);
}

bool Unregister(const QString& clsid, const QString& libraryPath, QString* error) {
    const QString registry = RegistryFor(libraryPath);
    auto entries = ReadRegistry(registry);
    entries.remove(clsid.toUpper());
    return WriteRegistry(registry, entries, error);
}

Ptr<Object> CreateObject(const QString& clsid, QString* error) {
    const QString path = RegisteredLibrary(clsid);
    if (path.isEmpty()) {
        if (error) *error = QStringLiteral("クラス「%1」が登録されていません。").arg(clsid);
        return nullptr;
    }
    void* handle = LoadedLibraries().value(path);
    if (!handle) {
        if (!QFileInfo::exists(path)) {
            if (error) *error = QStringLiteral("ライブラリ「%1」が見つかりません。").arg(path);
            return nullptr;
        }
        handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            if (error)
                *error = QStringLiteral("ライブラリ「%1」を読み込めません。\n%2")
                             .arg(path, QString::fromLocal8Bit(dlerror()));
            return nullptr;
        }
        LoadedLibraries().insert(path, handle);
    }
    auto factory = reinterpret_cast<GetClassObject>(dlsym(handle, "DllGetClassObject"));
    if (!factory) {
        if (error) *error = QStringLiteral("ライブラリ「%1」はクラスを提供していません。").arg(path);
        return nullptr;
    }
    Object* o = factory(clsid.toUpper().toLatin1().constData());
    if (!o) {
        if (error) *error = QStringLiteral("ライブラリ「%1」はクラス「%2」を作成できません。").arg(path, clsid);
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
