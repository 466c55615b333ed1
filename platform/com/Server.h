#pragma once
// The server side of a component library: its four exported entry points
// hand over to these helpers.

#include <QString>

#include "platform/com/Com.h"

namespace com {

// Registers (or removes) `clsid` under the path of the library holding
// `anchor`, in the registry of that library's folder.
int RegisterServerOf(const QString& clsid, const void* anchor);
int UnregisterServerOf(const QString& clsid, const void* anchor);

}  // namespace com

// Declares a library's four entry points for one class `Cls` with identifier `kClsid`.
#define MURV_COM_SERVER(Cls, kClsid)                                                                                   \
    extern "C" __attribute__((visibility("default"))) int DllRegisterServer() {                                        \
        return com::RegisterServerOf(QString::fromLatin1(kClsid), reinterpret_cast<const void*>(&DllRegisterServer));  \
    }                                                                                                                  \
    extern "C" __attribute__((visibility("default"))) int DllUnregisterServer() {                                      \
        return com::UnregisterServerOf(QString::fromLatin1(kClsid),                                                    \
                                       reinterpret_cast<const void*>(&DllUnregisterServer));                           \
    }                                                                                                                  \
    extern "C" __attribute__((visibility("default"))) com::Object* DllGetClassObject(const char* clsid) {              \
        if (QString::fromLatin1(clsid).compare(QString::fromLatin1(kClsid), Qt::CaseInsensitive) != 0) return nullptr; \
        return new Cls();                                                                                              \
    }                                                                                                                  \
    extern "C" __attribute__((visibility("default"))) int DllCanUnloadNow() { return 0; }
