#include "browser/BrowserEventRules.h"

#include "browser/WindowTable.h"

const char *const kRefusedNewWindowMessage =
    "This type of link should not be opened in new window, because it will probably terminate the program.";

bool isFavoritesFileAddress(const QString &url)
{
    return url.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive);
}

bool isScriptAddress(const QString &url)
{
    // The engine drops tabs and line breaks anywhere in an address: "java<tab>script:"
    // runs as a script too.
    QString address = url;
    address.remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return address.contains(QStringLiteral("javascript:"), Qt::CaseInsensitive);
}

bool isRefusedNewWindowAddress(const QString &url)
{
    return isScriptAddress(url);
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
