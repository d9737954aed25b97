#include "files/SearchPlaces.h"

#include "core/PathServices.h"
#include "platform/files/FileNames.h"

namespace SearchPlaces {

namespace {

const QString kDiskPrefix = QStringLiteral("disk");

// "(/; /home)", or "(" when the list is empty.
QString volumeList(const QStringList &paths)
{
    return QLatin1Char('(') + (paths.isEmpty() ? QString() : paths.join(QStringLiteral("; ")) + QLatin1Char(')'));
}

} // namespace

QList<Item> items(const Folders &folders, const VolumeTable &volumes, const VolumeText &volumeText, const HasImage &hasImage)
{
    QString desktop = folders.desktop;
    QString personal = folders.personal;
    QList<Item> list = {
        {QStringLiteral("desktop"), shownFileName(GetFileName(desktop)), QStringLiteral("plocha"), 0},
        {QStringLiteral("documents"), shownFileName(GetFileName(personal)), QStringLiteral("documents"), 0},
        {QStringLiteral("thisc"), QStringLiteral("Tento počítač"), QStringLiteral("tc"), 0},
    };
    QStringList local;
    QStringList network;
    QList<Item> disks;
    for (const Volume &volume : volumes.volumes()) {
        if (hasImage(volume.kind))
            disks.append({kDiskPrefix + volume.mountPath, volumeText(volume), volume.kind, 1});
        if (volume.kind == QLatin1String("drive"))
            local.append(volume.mountPath);
        else if (volume.kind == QLatin1String("netdrive"))
            network.append(volume.mountPath);
    }
    list.append({QStringLiteral("local"), QStringLiteral("Místní pevné disky ") + volumeList(local), QStringLiteral("drive"), 1});
    if (!network.isEmpty())
        list.append({QStringLiteral("netdrives"), QStringLiteral("Připojené siťové disky ") + volumeList(network),
                     QStringLiteral("netdrive"), 1});
    list.append(disks);
    list.append({QStringLiteral("custom"), folders.custom, QStringLiteral("closed"), 1});
    list.append({QStringLiteral("choose"), QStringLiteral("Vybrat…"), QString(), 0});
    return list;
}

QList<SearchStart> starts(const QString &key, const QString &customFolder, const Folders &folders,
                          const VolumeTable &volumes)
{
    if (key == QLatin1String("desktop"))
        return {{folders.desktop, false}};
    if (key == QLatin1String("documents"))
        return {{folders.personal, false}};
    if (key == QLatin1String("custom"))
        return {{customFolder, false}};
    QList<SearchStart> list;
    for (const Volume &volume : volumes.volumes()) {
        const bool wanted = key == QLatin1String("thisc")
                || (key == QLatin1String("local") && volume.kind == QLatin1String("drive"))
                || (key == QLatin1String("netdrives") && volume.kind == QLatin1String("netdrive"))
                || key == kDiskPrefix + volume.mountPath;
        if (wanted)
            list.append({volume.mountPath, true});
    }
    // A volume chosen earlier and gone since is still tried, and found unavailable.
    if (list.isEmpty() && reportsUnavailable(key))
        list.append({key.mid(kDiskPrefix.size()), true});
    return list;
}

bool reportsUnavailable(const QString &key)
{
    return key.startsWith(kDiskPrefix);
}

QList<Item> typeItems()
{
    const char *const table[][2] = {
        {"*.*htm;*.html", "htm"}, {"*.htm*;*.txt;*.asp;*.mht*", "htm"}, {"*.mht*", "mht"}, {"*.asp", "asp"},
        {"*.txt", "txt"}, {"*.jpg;*.jpe;*.jpeg", "jpg"}, {"*.gif", "gif"}, {"*.jpg;*.jpe;*.jpeg;*.gif;*.png", "png"},
        {"*.doc", "doc"}, {"*.xls", "xls"}, {"*.ppt;*.pps", "ppt"}, {"*.pdf", "pdf"}, {"*.*", "${other}"},
    };
    QList<Item> list;
    for (const auto &row : table)
        list.append({QString(), QString::fromLatin1(row[0]), QString::fromLatin1(row[1]), 0});
    return list;
}

} // namespace SearchPlaces
