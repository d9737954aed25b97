// The registry file reader: whatever it accepts must come back as the same tree
// after a write, and a second write must give the same bytes.

#include "FuzzCheck.h"

#include "platform/store/RegFileFormat.h"
#include "platform/store/RegistryTree.h"

namespace {

// A root key with nothing in it and nothing below it holds no information: the
// registry reports every root as present anyway.
std::vector<RegKeyEntry> meaningfulKeys(const RegistryTree &tree)
{
    std::vector<RegKeyEntry> kept;
    for (RegKeyEntry &key : tree.keys()) {
        const bool bareRoot = !key.path.contains(QLatin1Char('\\')) && key.values.empty() && !tree.hasSubKeys(key.path);
        if (!bareRoot)
            kept.push_back(std::move(key));
    }
    return kept;
}

QString valueShown(const RegValue &value)
{
    return QStringLiteral("type %1, %2").arg(value.type).arg(QString::fromLatin1(value.data.toHex(',')));
}

void checkSameTree(const RegistryTree &read, const RegistryTree &reread)
{
    const std::vector<RegKeyEntry> before = meaningfulKeys(read);
    const std::vector<RegKeyEntry> after = meaningfulKeys(reread);
    FUZZ_CHECK(before.size() == after.size());
    for (size_t k = 0; k < before.size(); ++k) {
        const RegKeyEntry &key = before[k];
        const RegKeyEntry &again = after[k];
        FUZZ_CHECK(again.path == key.path,
                   QStringLiteral("key %1 came back as %2").arg(fuzzShown(key.path), fuzzShown(again.path)));
        FUZZ_CHECK(again.values.size() == key.values.size(), QStringLiteral("values of %1").arg(fuzzShown(key.path)));
        for (size_t i = 0; i < key.values.size(); ++i) {
            const RegNamedValue &was = key.values[i];
            const RegNamedValue &is = again.values[i];
            FUZZ_CHECK(is.name == was.name,
                       QStringLiteral("value %1 came back as %2").arg(fuzzShown(was.name), fuzzShown(is.name)));
            FUZZ_CHECK(is.value.type == was.value.type && is.value.data == was.value.data,
                       QStringLiteral("value %1 of %2: %3 came back as %4")
                           .arg(fuzzShown(was.name), fuzzShown(key.path), valueShown(was.value),
                                valueShown(is.value)));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = RegFileFormat::decode(bytes);
    RegistryTree read;
    const bool readable = RegFileFormat::apply(text, read);
    // The file's bytes read line by line give what their decoded text gives.
    RegistryTree fromBytes;
    FUZZ_CHECK(RegFileFormat::applyBytes(bytes, fromBytes) == readable);
    FUZZ_CHECK(fromBytes == read);
    if (!readable) {
        FUZZ_CHECK(read.keys().empty());
        return 0;
    }
    // Lookups agree with the tree's own list of keys and values.
    for (const RegKeyEntry &key : read.keys()) {
        FUZZ_CHECK(read.hasKey(key.path));
        for (const RegNamedValue &entry : key.values) {
            const RegValue *found = read.value(key.path, entry.name);
            FUZZ_CHECK(found && found->type == entry.value.type && found->data == entry.value.data);
        }
    }

    const QByteArray written = RegFileFormat::serialize(read);
    RegistryTree reread;
    FUZZ_CHECK(RegFileFormat::apply(RegFileFormat::decode(written), reread));
    checkSameTree(read, reread);
    FUZZ_CHECK(RegFileFormat::serialize(reread) == written);
    return 0;
}
