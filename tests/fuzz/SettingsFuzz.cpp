// The settings file reader: whatever it reads must be written so that it reads back
// the same, and writing that again must give the same bytes.

#include "FuzzCheck.h"

#include "platform/store/SettingsFileFormat.h"

#include <QBuffer>

namespace {

QSettings::SettingsMap readMap(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QSettings::SettingsMap map;
    FUZZ_CHECK(SettingsFileFormat::read(buffer, map));
    return map;
}

QByteArray written(const QSettings::SettingsMap &map)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FUZZ_CHECK(SettingsFileFormat::write(buffer, map));
    return buffer.data();
}

QString firstDifference(const QSettings::SettingsMap &before, const QSettings::SettingsMap &after)
{
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()))
            return QStringLiteral("key %1 lost").arg(fuzzShown(it.key()));
        if (after.value(it.key()) != it.value())
            return QStringLiteral("key %1: %2 came back as %3")
                .arg(fuzzShown(it.key()), fuzzShown(it.value().toString()),
                     fuzzShown(after.value(it.key()).toString()));
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            return QStringLiteral("key %1 appeared").arg(fuzzShown(it.key()));
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QSettings::SettingsMap read = readMap(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (auto it = read.cbegin(); it != read.cend(); ++it) {
        // A key is either a plain name or one section and one name.
        FUZZ_CHECK(it.key().count(QLatin1Char('/')) <= 1, fuzzShown(it.key()));
    }
    const QByteArray bytes = written(read);
    const QSettings::SettingsMap reread = readMap(bytes);
    FUZZ_CHECK(reread == read, firstDifference(read, reread));
    FUZZ_CHECK(written(reread) == bytes);
    return 0;
}
