// Reading and writing the emulated registry at sizes far beyond a real one, the
// first read of a registry file of 50,000 values through the registry itself, one
// just below the size limit and one of 800,000 small keys, against their goal: read
// in at most a second with at most ten times the file's size in memory. Prints the
// figures:
//   bench_registry
#include "BenchFigures.h"
#include "TestEnvironment.h"

#include "platform/store/RegFileFormat.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

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

void writeRegistry(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.commit();
}

// The first read of the file now in place, its time and memory against the goals.
void firstRead(const char *what, qint64 size)
{
    Registry::resetInstance();
    resetPeakMemory();
    const qint64 before = peakMemory();
    QElapsedTimer clock;
    clock.start();
    Registry::instance().value(RegRoot::CurrentUser, QStringLiteral("Software\\Bench\\Key 0"), QStringLiteral("Value 0"));
    const qint64 readMs = clock.elapsed();
    const qint64 grown = peakMemory() - before;
    std::printf("first read of %s (%.1f MB) %*lld ms   goal <= 1000 ms\n", what, size / 1048576.0,
                int(std::max<qsizetype>(1, 30 - qsizetype(std::strlen(what)))), readMs);
    std::printf("memory it took at the most %17.1f x its size   goal <= 10 x\n", double(grown) / double(size));
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

    // As many values as fit below the limit, 100 to a key.
    QByteArray atLimit = "REGEDIT4\n";
    for (int key = 0;; ++key) {
        const QByteArray section = spreadValues(1, 100).toUtf8().mid(9).replace("Key 0]", "Key " + QByteArray::number(key) + "]");
        if (atLimit.size() + section.size() >= Registry::MaxFileSize)
            break;
        atLimit += section;
    }
    QSaveFile big(path);
    big.open(QIODevice::WriteOnly);
    big.write(atLimit);
    big.commit();
    const qint64 size = atLimit.size();
    QString decoded;
    measure("  its text decoded", [&] { decoded = RegFileFormat::decode(atLimit); });
    RegistryTree parsed;
    measure("  its lines applied", [&] { RegFileFormat::apply(decoded, parsed); });
    measure("  written back", [&] { RegFileFormat::serialize(parsed); });
    decoded.clear();
    parsed = RegistryTree();
    atLimit.clear();
    firstRead("a registry.reg at the limit", size);
    measure("one value set in it (a whole-file write)", [] {
        Registry::instance().setValue(RegRoot::CurrentUser, QStringLiteral("Software\\Bench\\Key 0"),
                                      QStringLiteral("Added"), {RegType::String, QByteArray("x\0", 2)});
    });
    measure("closing it", [] { Registry::resetInstance(); });

    QByteArray keys = smallRegistryKeys(800000);
    const qint64 keysSize = keys.size();
    writeRegistry(path, keys);
    {
        RegistryTree parsedKeys;
        measure("  its lines applied", [&] { RegFileFormat::applyBytes(keys, parsedKeys); });
        measure("  written back", [&] { RegFileFormat::serialize(parsedKeys); });
        measure("  written back once more", [&] { RegFileFormat::serialize(parsedKeys); });
        measure("  freed", [&] { parsedKeys = RegistryTree(); });
    }
    keys.clear();
    firstRead("800,000 small keys", keysSize);
    measure("one value set in it (a whole-file write)", [] {
        Registry::instance().setValue(RegRoot::CurrentUser, QStringLiteral("K\\k0"), QStringLiteral("Added"),
                                      {RegType::String, QByteArray("x\0", 2)});
    });
    measure("closing it", [] { Registry::resetInstance(); });
    firstRead("them as written back", QFileInfo(path).size());
    measure("closing it", [] { Registry::resetInstance(); });
    return 0;
}
