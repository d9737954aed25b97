// The favorites file reader: any file gives an address without line breaks, the
// same whether read from disk or from its text, and a favorite written for that
// address reads back as it.

#include "FuzzCheck.h"

#include "browser/FavoriteShortcut.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("favorite.url"));
    const QByteArray bytes = fuzzBytes(data, size);
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    const QString address = readShortcutAddress(path);
    FUZZ_CHECK(!address.contains(QLatin1Char('\n')) && !address.contains(QLatin1Char('\r')), fuzzShown(address));
    // Valid UTF-8 is read as such.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        FUZZ_CHECK(address == shortcutAddress(text), fuzzShown(address));

    const QByteArray content = shortcutFileContent(address);
    FUZZ_CHECK(content.startsWith("[InternetShortcut]\r\nURL=") && content.endsWith("\r\n"));
    FUZZ_CHECK(shortcutAddress(QString::fromUtf8(content)) == address, fuzzShown(address));
    // The address taken is the first URL line, whatever follows it.
    FUZZ_CHECK(shortcutAddress(QStringLiteral("[InternetShortcut]\nURL=x\n") + text) == QLatin1String("x"));
    return 0;
}
