// The settings store with a file just below its size limit, against its goal: read
// in at most a second with at most ten times its size in memory; a save and the
// exit are timed as well. Prints the figures:
//   bench_settings
#include "BenchFigures.h"
#include "TestEnvironment.h"

#include "platform/store/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <functional>

namespace {

// Short keys and values, as many as fit below the limit, 100 to a section.
QByteArray fileAtTheLimit(const QByteArray &keyName, int &keys)
{
    QByteArray text;
    keys = 0;
    for (int section = 0;; ++section) {
        QByteArray block = "[Section " + QByteArray::number(section) + "]\n";
        for (int key = 0; key < 100; ++key)
            block += keyName + QByteArray::number(key) + "=" + QByteArray::number(section % 1000) + "\n";
        if (text.size() + block.size() > SettingsStore::MaxFileSize)
            return text;
        text += block;
        keys += 100;
    }
}

// Reads a file at the limit whose lines have the given key name.
void readAtTheLimit(const QByteArray &keyName)
{
    const QString path = SettingsStore::instance().filePath();
    SettingsStore::resetInstance();
    int keys = 0;
    QByteArray text = fileAtTheLimit(keyName, keys);
    const qint64 size = text.size();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.commit();
    text.clear();

    resetPeakMemory();
    const qint64 before = peakMemory();
    QElapsedTimer clock;
    clock.start();
    GetSetting(QStringLiteral("Main"), QStringLiteral("Width"), 1);
    const qint64 readMs = clock.elapsed();
    const qint64 grown = peakMemory() - before;
    std::printf("first read of a %.1f MB Vorlan.conf, %d keys of %.1f bytes a line\n", size / 1048576.0, keys,
                double(size) / keys);
    std::printf("  %-42s %8lld ms   goal <= 1000 ms\n", "took", readMs);
    std::printf("  %-42s %8.1f x its size   goal <= 10 x\n", "memory it took at the most", double(grown) / double(size));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestEnvironment env;
    // The density of a settings file seen in the wild with 390,000 keys in 5.6 MB,
    // then the shortest lines there can be.
    readAtTheLimit("Setting");
    readAtTheLimit("K");
    measure("1,000 reads", [] {
        for (int i = 0; i < 1000; ++i)
            GetSetting(QStringLiteral("section %1").arg(i * 3), QStringLiteral("k%1").arg(i % 100), 0);
    });
    measure("one setting saved (a whole-file write)", [] { SaveSetting(QStringLiteral("Main"), QStringLiteral("Width"), 2); });
    measure("an exit's batch of 30 settings", [] {
        SettingsStore::instance().beginBatch();
        for (int i = 0; i < 30; ++i)
            SaveSetting(QStringLiteral("Main"), QStringLiteral("Key%1").arg(i), i);
        SettingsStore::instance().endBatch();
    });
    measure("closing the store", [] { SettingsStore::resetInstance(); });
    return 0;
}
