#pragma once
#include "platform/com/Com.h"

inline constexpr const char* kTestCounterClsid = "{6F1D2C3A-1B2E-4C5D-9E8F-0A1B2C3D4E5F}";

// A class whose count lives in its library, shared by every instance.
class ITestCounter : public com::Object {
public:
    virtual int Next() = 0;
};
