#include "platform/system/ErrorState.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/RegistryRead.h"

#include "TestEnvironment.h"

namespace {

void writeRegistry(const QByteArray &text)
{
    TestEnvironment::replaceFile(Registry::instance().filePath(), text);
}

QByteArray offlineValue(const char *data)
{
    return QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n"
                      "\"GlobalUserOffline\"=")
        + data + "\n";
}

using RegistryReadTest = TempEnvTest;

// The menu's check mark and the engine's refusals read the one switch by the one rule.
TEST_F(RegistryReadTest, OfflineOnlyForAFourByteNumberOne)
{
    const struct { const char *data; bool offline; } cases[] = {
        {"dword:00000001", true},  {"dword:00000000", false},        {"dword:00000002", false},
        {"\"1\"", false},          {"hex(4):01,00", false},         {"hex(4):01,00,00,00,00,00,00,00", false},
        {"hex(4):01,00,00,00", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.data);
        writeRegistry(offlineValue(c.data));
        EXPECT_EQ(RegistryRead::isOffline(), c.offline);
    }
}

TEST_F(RegistryReadTest, AnUnreadableRegistryAnswersNothingAndLeavesTheCurrentErrorAlone)
{
    writeRegistry("not a registry script\n");
    ErrorState::set(RuntimeError(ErrorNumber::FileNotFound));
    EXPECT_NO_THROW({
        EXPECT_FALSE(RegistryRead::isOffline());
        EXPECT_FALSE(RegistryRead::value(HKEY_CURRENT_USER, RegKeys::InternetSettings, RegValueNames::GlobalUserOffline));
        EXPECT_TRUE(RegistryRead::valueNames(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform).isEmpty());
    });
    EXPECT_EQ(ErrorState::current().number, ErrorNumber::FileNotFound);
    ErrorState::clear();
}

} // namespace
