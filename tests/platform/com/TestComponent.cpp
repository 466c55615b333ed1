#include "tests/platform/com/TestComponent.h"

#include "platform/com/Server.h"

namespace {
int g_count = 0;

class TestCounter : public ITestCounter {
public:
    int Next() override { return ++g_count; }
};
}  // namespace

MURV_COM_SERVER(TestCounter, kTestCounterClsid)
