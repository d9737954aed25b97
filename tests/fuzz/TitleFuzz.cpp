// A page's title as a window caption, a tab caption and the file name a page is
// saved under. Input: the title, a NUL, then the location name.

#include "FuzzCheck.h"

#include "app/ToolbarRules.h"
#include "core/PathServices.h"
#include "browser/BrowserEventRules.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const qsizetype split = bytes.indexOf('\0');
    const QString title = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString location = split < 0 ? QString() : QString::fromUtf8(bytes.mid(split + 1));

    const QString caption = windowCaptionFor(title, location);
    FUZZ_CHECK(caption == (title.isEmpty() ? location : title));
    const QString tab = tabCaptionFor(caption);
    FUZZ_CHECK(tab.size() <= 20 && caption.startsWith(tab));

    const QString name = ToolbarRules::savedPageFileName(title, location);
    FUZZ_CHECK(name.endsWith(QLatin1String(".htm")) || name.endsWith(QLatin1String(".html")), fuzzShown(name));
    for (const QChar c : QStringLiteral("\\?:*<>|/\"\r"))
        FUZZ_CHECK(!name.contains(c), fuzzShown(name));
    if (!title.isEmpty())
        FUZZ_CHECK(name == ToolbarRules::savedPageFileName(title, QStringLiteral("elsewhere")));
    // The name never leaves the preset folder it is saved into.
    const std::optional<QString> path = presetTargetPath(QStringLiteral("/presets"), name);
    FUZZ_CHECK(path && QFileInfo(*path).path() == QLatin1String("/presets") && QFileInfo(*path).fileName() == name,
               fuzzShown(name));
    return 0;
}
