// Reading and writing the emulated registry at sizes far beyond a real one, and
// the first read of a registry file of 50,000 values through the registry itself.
// Prints the figures:
//   bench_registry
#include "TestEnvironment.h"

#include "platform/store/RegFileFormat.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <functional>

namespace {

void measure(const char *what, const std::function<void()> &run)
{
    QElapsedTimer clock;
    clock.start();
    run();
    std::printf("%-44s %8lld ms\n", what, clock.elapsed());
}

QString manyValues(int count)
{
    QString text = QStringLiteral("REGEDIT4\n[HKEY_CURRENT_USER\\Big]\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("\"Value %1\"=dword:%2\n").arg(i).arg(i, 8, 16, QLatin1Char('0'));
    return text;
}

QString manyContinuations(int count)
{
    QString text = QStringLiteral("REGEDIT4\n[HKEY_CURRENT_USER\\Big]\n\"Blob\"=hex:01,\\\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("  02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\\\n");
    return text + QStringLiteral("  ff\n");
}

QString spreadValues(int keys, int perKey)
{
    QString text = QStringLiteral("REGEDIT4\n");
    for (int key = 0; key < keys; ++key) {
        text += QStringLiteral("\n[HKEY_CURRENT_USER\\Software\\Bench\\Key %1]\n").arg(key);
        for (int value = 0; value < perKey; ++value)
            text += QStringLiteral("\"Value %1\"=\"a text of a usual length, number %2\"\n").arg(value).arg(key);
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;

    const QString values = manyValues(100000);
    RegistryTree tree;
    measure("read 100,000 values in one key", [&] { RegFileFormat::apply(values, tree); });
    QByteArray written;
    measure("write them", [&] { written = RegFileFormat::serialize(tree); });

    const QString continued = manyContinuations(100000);
    measure("read 100,000 continuation lines", [&] {
        RegistryTree blob;
        RegFileFormat::apply(continued, blob);
    });

    const QString deep = QStringLiteral("REGEDIT4\n[HKEY_CURRENT_USER") + QStringLiteral("\\k").repeated(20000)
        + QStringLiteral("]\n");
    measure("refuse a key 20,000 levels deep", [&] {
        RegistryTree refused;
        RegFileFormat::apply(deep, refused);
    });

    const QString path = Registry::instance().filePath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(spreadValues(500, 100).toUtf8());
    file.commit();
    Registry::resetInstance();
    measure("first read of a 50,000-value registry.reg", [] {
        Registry::instance().value(RegRoot::CurrentUser, QStringLiteral("Software\\Bench\\Key 0"), QStringLiteral("Value 0"));
    });
    measure("one value set in it (a whole-file write)", [] {
        Registry::instance().setValue(RegRoot::CurrentUser, QStringLiteral("Software\\Bench\\Key 0"),
                                      QStringLiteral("Added"), {RegType::String, QByteArray("x\0", 2)});
    });
    return 0;
}
