#include "app/Startup.h"
#include "core/RegistryServices.h"
#include "platform/engine/EngineProfile.h"

#include "TestEnvironment.h"

namespace {

TEST_F(TempEnvTest, EveryPostPlatformValueNameJoinsTheUserAgent)
{
    EXPECT_TRUE(EngineProfile::postPlatformTokens().isEmpty());
    RegSetString(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform, userAgentToken(), QString());
    RegSetString(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform, QStringLiteral("Vorlan 2.39.100"), QString());
    EXPECT_EQ(EngineProfile::postPlatformTokens(),
              QStringList({QStringLiteral("Vorlan 2.40.164"), QStringLiteral("Vorlan 2.39.100")}));
    const QString agent = userAgentWithTokens(QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) Engine/1.0"),
                                              EngineProfile::postPlatformTokens());
    EXPECT_TRUE(agent.contains(QStringLiteral("Vorlan 2.40.164"))) << agent.toStdString();
}

} // namespace
