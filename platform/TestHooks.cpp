#include "platform/TestHooks.h"

#include "platform/Registry.h"
#include "platform/SettingsStore.h"

void resetPlatformForTests()
{
    Registry::resetInstance();
    SettingsStore::resetInstance();
}
