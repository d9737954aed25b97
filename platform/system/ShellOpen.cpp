#include "platform/system/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

ShellOpener &installedOpener()
{
    static ShellOpener opener;
    return opener;
}

} // namespace

int shellOpen(const QString &target)
{
    QUrl url;
    if (target.startsWith(QLatin1Char('/'))) {
        // A missing file must not reach the desktop: it would report the failure in a
        // window of its own, or start a program that shows an empty document.
        if (!QFileInfo::exists(target))
            return ShellResult::FileNotFound;
        url = QUrl::fromLocalFile(target);
    } else {
        url = QUrl(target, QUrl::TolerantMode);
        if (!url.isValid() || url.scheme().isEmpty())
            return ShellResult::FileNotFound;
    }
    const ShellOpener &opener = installedOpener();
    const bool taken = opener ? opener(url) : QDesktopServices::openUrl(url);
    return taken ? ShellResult::Started : ShellResult::NoAssociation;
}

void setShellOpener(ShellOpener opener)
{
    installedOpener() = std::move(opener);
}
