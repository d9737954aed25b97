// Saves numbered values through the settings store and the emulated registry, one
// after the other, until it is killed. After both stores hold value N it prints N
// on a line of its own. Usage: crash_child FIRST_NUMBER

#include "CrashPayload.h"

#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    for (qint64 number = QByteArray(argv[1]).toLongLong();; ++number) {
        const QString payload = crashPayload(number);
        SaveSetting(kCrashSection, kCrashKey, payload);
        Registry::instance().setValue(RegRoot::CurrentUser, kCrashSubKey, kCrashKey,
                                      {RegType::String, payload.toUtf8() + '\0'});
        std::printf("%lld\n", static_cast<long long>(number));
        std::fflush(stdout);
    }
}
