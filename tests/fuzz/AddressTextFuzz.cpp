// The address text rules: the text shown for an address only ever decodes, and a
// decoded text still names the same address when the user loads it again.

#include "FuzzCheck.h"

#include "browser/AddressText.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString address = QString::fromUtf8(fuzzBytes(data, size));
    const QString shown = ToNormalText(address);
    const bool isFile = address.startsWith(QLatin1String("file://"), Qt::CaseInsensitive);
    if (!isFile) {
        FUZZ_CHECK(shown.size() <= address.size(), fuzzShown(shown));
        if (!address.contains(QLatin1Char('%')))
            FUZZ_CHECK(shown == address, fuzzShown(shown));
        if (shown != address)
            FUZZ_CHECK(QUrl::fromUserInput(shown) == QUrl::fromUserInput(address), fuzzShown(shown));
    }

    // A resource address shows only what follows its first "#".
    FUZZ_CHECK(ExtractResFile(QStringLiteral("res://vorlan/page#") + address) == ToNormalText(address));
    if (!address.startsWith(QLatin1String("res:")))
        FUZZ_CHECK(ExtractResFile(address) == shown);
    return 0;
}
