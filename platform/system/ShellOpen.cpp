#include "platform/system/ShellOpen.h"

#include "platform/system/FileNames.h"

#include <QDesktopServices>
#include <QUrl>

#include <sys/stat.h>

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
        struct stat info {};
        if (::stat(encodeFileName(target).constData(), &info) != 0)
            return ShellResult::FileNotFound;
        url = QUrl(fileAddress(target), QUrl::StrictMode);
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
