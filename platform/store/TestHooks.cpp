#include "platform/store/TestHooks.h"

#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"

void resetPlatformForTests()
{
    Registry::resetInstance();
    SettingsStore::resetInstance();
}
