// The registry file reader: whatever it accepts must come back as the same tree
// after a write, and a second write must give the same bytes.

#include "FuzzCheck.h"

#include "platform/RegFileFormat.h"
#include "platform/RegistryTree.h"

namespace {

bool isBareRoot(const RegistryTree &tree, const RegKeyEntry &key)
{
    return !key.path.contains(QLatin1Char('\\')) && key.values.empty() && !tree.hasSubKeys(key.path);
}

// A root key with nothing in it and nothing below it holds no information: the
// registry reports every root as present anyway.
qsizetype meaningfulKeys(const RegistryTree &tree)
{
    qsizetype count = 0;
    for (const auto &[folded, key] : tree.keys())
        count += isBareRoot(tree, key) ? 0 : 1;
    return count;
}

QString valueShown(const RegValue &value)
{
    return QStringLiteral("type %1, %2").arg(value.type).arg(QString::fromLatin1(value.data.toHex(',')));
}

void checkSameTree(const RegistryTree &read, const RegistryTree &reread)
{
    FUZZ_CHECK(meaningfulKeys(read) == meaningfulKeys(reread));
    for (const auto &[folded, key] : read.keys()) {
        if (isBareRoot(read, key))
            continue;
        const auto again = reread.keys().find(folded);
        FUZZ_CHECK(again != reread.keys().end(), QStringLiteral("key %1 lost").arg(fuzzShown(key.path)));
        FUZZ_CHECK(again->second.path == key.path,
                   QStringLiteral("key %1 came back as %2").arg(fuzzShown(key.path), fuzzShown(again->second.path)));
        const std::vector<RegNamedValue> &values = again->second.values;
        FUZZ_CHECK(values.size() == key.values.size(), QStringLiteral("values of %1").arg(fuzzShown(key.path)));
        for (size_t i = 0; i < values.size(); ++i) {
            const RegNamedValue &before = key.values[i];
            const RegNamedValue &after = values[i];
            FUZZ_CHECK(after.name == before.name,
                       QStringLiteral("value %1 came back as %2").arg(fuzzShown(before.name), fuzzShown(after.name)));
            FUZZ_CHECK(after.value.type == before.value.type && after.value.data == before.value.data,
                       QStringLiteral("value %1 of %2: %3 came back as %4")
                           .arg(fuzzShown(before.name), fuzzShown(key.path), valueShown(before.value),
                                valueShown(after.value)));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = RegFileFormat::decode(fuzzBytes(data, size));
    RegistryTree read;
    if (!RegFileFormat::apply(text, read)) {
        FUZZ_CHECK(read.keys().empty());
        return 0;
    }
    // Lookups agree with the tree's own list of keys and values.
    for (const auto &[folded, key] : read.keys()) {
        FUZZ_CHECK(read.hasKey(key.path));
        for (const RegNamedValue &entry : key.values)
            FUZZ_CHECK(read.value(key.path, entry.name) == &entry.value);
    }

    const QByteArray written = RegFileFormat::serialize(read);
    RegistryTree reread;
    FUZZ_CHECK(RegFileFormat::apply(RegFileFormat::decode(written), reread));
    checkSameTree(read, reread);
    FUZZ_CHECK(RegFileFormat::serialize(reread) == written);
    return 0;
}
