// The address text rules: the text shown for an address only ever decodes, a decoded
// text still names the same address when the user loads it again, and characters that
// can make one name pass for another stay escaped.

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

    // Nothing that can make one name pass for another shows unescaped; other texts show
    // as ToNormalText has them.
    const QString displayed = ExtractResFile(address);
    FUZZ_CHECK(EscapeDeceptiveCharacters(displayed) == displayed, fuzzShown(displayed));
    if (!address.startsWith(QLatin1String("res:"))) {
        // A resource address shows only what follows its first "#".
        FUZZ_CHECK(ExtractResFile(QStringLiteral("res://vorlan/page#") + address) == displayed);
        if (EscapeDeceptiveCharacters(shown) == shown)
            FUZZ_CHECK(displayed == shown, fuzzShown(displayed));
    }
    return 0;
}
