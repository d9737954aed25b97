#include "browser/BrowserEventRules.h"

#include "browser/WindowTable.h"

const char *const kRefusedNewWindowMessage =
    "This type of link should not be opened in new window, because it will probably terminate the program.";

bool isFavoritesFileAddress(const QString &url)
{
    return url.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive);
}

namespace {

// The engine drops tabs and line breaks anywhere in an address: "java<tab>script:" runs
// as a script too.
QString withoutTabsAndLineBreaks(const QString &url)
{
    QString address = url;
    return address.remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
}

} // namespace

bool isScriptAddress(const QString &url)
{
    // It also drops blanks and control characters at either end; then only the scheme
    // decides, and "javascript:" further on is part of an ordinary path or query.
    const QString address = withoutTabsAndLineBreaks(url);
    qsizetype start = 0;
    while (start < address.size() && address.at(start).unicode() <= 0x20)
        ++start;
    return QStringView(address).mid(start).startsWith(QStringLiteral("javascript:"), Qt::CaseInsensitive);
}

bool isRefusedNewWindowAddress(const QString &url)
{
    return withoutTabsAndLineBreaks(url).contains(QStringLiteral("javascript:"), Qt::CaseInsensitive);
}

int shiftMask(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

bool opensInNewProcess(int mask)
{
    return mask == 2;
}

QString windowCaptionFor(const QString &title, const QString &locationName)
{
    return title.isEmpty() ? locationName : title;
}

QString tabCaptionFor(const QString &caption)
{
    return caption.left(20);
}

bool isActiveWindowTab(const QString &selectedTabKey, const QString &windowTag)
{
    if (windowTag.isEmpty())
        return false;
    bool ok = false;
    const int number = windowTag.toInt(&ok);
    return ok && selectedTabKey == WindowTabKey(number);
}
