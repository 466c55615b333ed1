#pragma once
// Components created by class identifier from libraries loaded at run time.
//
// A class identifier (a GUID text) is registered with the path of the
// library that serves it, in a small registry file that belongs to the
// program folder: "classes.reg" beside the program and its libraries. Each
// copy of the program (a build folder, an installed folder) so loads its own
// libraries. A library inside the registry's folder is recorded by its file
// name, so a program folder copied whole still finds its own. Creating an object looks
// the identifier up, loads the library once (it stays loaded until the
// process ends), asks its exported class factory for a fresh instance and
// hands back an owning pointer that releases it.
//
// A library serving classes exports, with C linkage:
//   int DllRegisterServer();             registers its classes under its own path
//   int DllUnregisterServer();           removes them
//   com::Object* DllGetClassObject(const char* clsid);   a fresh instance, or null
//   int DllCanUnloadNow();               0: the library stays loaded

#include <QString>
#include <QStringList>
#include <memory>

namespace com {

// The base of every creatable class.
class Object {
public:
    virtual ~Object() = default;
};

struct Releaser {
    void operator()(Object* o) const { delete o; }
};

template <class T>
using Ptr = std::unique_ptr<T, Releaser>;

// The registry file of a program folder.
QString RegistryIn(const QString& folder);
// The registry the running program reads: $MURV_COM_REGISTRY when set, else
// the registry of the folder that holds the program.
QString RegistryPath();
// The registry that (un)registering a library writes: $MURV_COM_REGISTRY
// when set, else the registry of the folder that holds the library.
QString RegistryFor(const QString& libraryPath);

// The absolute library path registered for a class in RegistryPath(), or an
// empty text.
QString RegisteredLibrary(const QString& clsid);
// Adds or removes a class of a library in RegistryFor(libraryPath).
bool Register(const QString& clsid, const QString& libraryPath, QString* error);
bool Unregister(const QString& clsid, const QString& libraryPath, QString* error);

// A fresh instance of the class, or null with a message naming what is missing.
Ptr<Object> CreateObject(const QString& clsid, QString* error);

template <class T>
Ptr<T> CreateObjectAs(const QString& clsid, QString* error) {
    Ptr<Object> o = CreateObject(clsid, error);
    if (!o) return nullptr;
    T* t = dynamic_cast<T*>(o.get());
    if (!t) {
        if (error) *error = QStringLiteral("class %1 does not offer the expected interface").arg(clsid);
        return nullptr;
    }
    o.release();
    return Ptr<T>(t);
}

// For libraries: the path of the library (or program) that holds `address`.
QString ModulePathOf(const void* address);

}  // namespace com
