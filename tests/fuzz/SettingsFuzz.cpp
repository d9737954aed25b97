// The settings file reader: whatever it reads must be written so that it reads back
// the same, and writing that again must give the same bytes.

#include "FuzzCheck.h"

#include "platform/store/SettingsFileFormat.h"

namespace {

QString firstDifference(const SettingsFileFormat::Content &before, const SettingsFileFormat::Content &after)
{
    for (const auto &[group, keys] : before) {
        const auto other = after.find(group);
        if (other == after.end() || other->first != group)
            return QStringLiteral("section %1 lost").arg(fuzzShown(group));
        for (const SettingsFileFormat::Section::Entry &entry : keys) {
            const QString key = entry.key().toString();
            const SettingsFileFormat::Section::Entry *found = other->second.find(key);
            if (!found || found->key() != key)
                return QStringLiteral("key %1 lost").arg(fuzzShown(key));
            if (found->value() != entry.value())
                return QStringLiteral("key %1: %2 came back as %3")
                    .arg(fuzzShown(key), fuzzShown(entry.value().toString()), fuzzShown(found->value().toString()));
        }
    }
    return QStringLiteral("something appeared");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const SettingsFileFormat::Content read =
        SettingsFileFormat::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const auto &[group, keys] : read)
        FUZZ_CHECK(!keys.empty(), fuzzShown(group));
    const QByteArray bytes = SettingsFileFormat::serialize(read);
    const SettingsFileFormat::Content reread = SettingsFileFormat::parse(bytes);
    FUZZ_CHECK(reread == read, firstDifference(read, reread));
    FUZZ_CHECK(SettingsFileFormat::serialize(reread) == bytes);
    return 0;
}
