#include "browser/AddressHistory.h"

namespace {

bool isRemembered(const QString &address)
{
    return address.startsWith(QStringLiteral("http://")) || address.startsWith(QStringLiteral("ftp://"))
        || address == QStringLiteral("about:blank");
}

} // namespace

QStringList addressHistoryAfterVisit(QStringList entries, const QString &address)
{
    entries.removeOne(address);
    if (isRemembered(address))
        entries.append(address);
    // "about:blank" is appended only to go again here, so it never stays; other
    // schemes (the secure one among them) never enter.
    entries.removeIf([](const QString &entry) { return !entry.contains(QStringLiteral("://")); });
    return entries;
}
