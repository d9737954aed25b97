#include "files/FolderTreeModel.h"

#include "core/PathServices.h"
#include "platform/controls/ImageList.h"

namespace FolderTree {

bool isVolumeTag(const QString &tag)
{
    return tag == QLatin1String("drive") || tag == QLatin1String("netdrive") || tag == QLatin1String("cdrom")
            || tag == QLatin1String("floppy");
}

bool isFolderTag(const QString &tag)
{
    return tag == TagDir || isVolumeTag(tag);
}

bool carriesPath(const QString &tag)
{
    return tag == TagFile || tag == TagDir || tag == TagStoredFile;
}

QStringList imageKeys()
{
    return {QStringLiteral("asa"), QStringLiteral("asp"), QStringLiteral("avi"), QStringLiteral("cdf"),
            QStringLiteral("cdrom"), QStringLiteral("class"), QStringLiteral("css"), QStringLiteral("drive"),
            QStringLiteral("dscdrive"), QStringLiteral("exe"), QStringLiteral("floppy"), QStringLiteral("gif"),
            QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("chm"), QStringLiteral("png"),
            QStringLiteral("jpg"), QStringLiteral("jpe"), QStringLiteral("jpeg"), QStringLiteral("js"),
            QStringLiteral("mov"), QStringLiteral("qt"), QStringLiteral("netdrive"), QStringLiteral("${other}"),
            QStringLiteral("pdf"), QString(), QStringLiteral("mid"), QStringLiteral("rmi"), QStringLiteral("midi"),
            QStringLiteral("au"), QStringLiteral("tc2"), QStringLiteral("tc"), QStringLiteral("txt"),
            QStringLiteral("vbs"), QStringLiteral("vrml"), QStringLiteral("wav"), QStringLiteral("open"),
            QStringLiteral("documents"), QStringLiteral("closed"), QStringLiteral("closednofile"),
            QStringLiteral("aktovka"), QStringLiteral("recycle"), QStringLiteral("url"), QStringLiteral("plocha"),
            QStringLiteral("checkedfolder"), QStringLiteral("xls"), QStringLiteral("doc"), QStringLiteral("ppt"),
            QStringLiteral("pps"), QStringLiteral("mht"), QStringLiteral("mhtml"), QStringLiteral("favorites"),
            QStringLiteral("imgfolder"), QStringLiteral("network"), QStringLiteral("historyfolder"),
            QStringLiteral("ftpfolder"), QStringLiteral("netfolder"), QStringLiteral("audiocd"), QStringLiteral("cda"),
            QStringLiteral("mp3"), QStringLiteral("php"), QStringLiteral("php3"), QStringLiteral("phtml")};
}

QString fileImageKey(const QString &name, const ImageList *images)
{
    const QString extension = GetFileExtension(name);
    return images && !extension.isEmpty() && images->contains(extension) ? extension : QStringLiteral("${other}");
}

QString volumeText(const QString &kind, const QString &label, const QString &device, const QString &mountPath)
{
    const QString place = QStringLiteral(" (") + mountPath + QLatin1Char(')');
    if (kind == QLatin1String("floppy"))
        return QStringLiteral("Disketa") + place;
    if (kind == QLatin1String("cdrom"))
        return cdText(false, mountPath);
    QString caption;
    if (kind == QLatin1String("netdrive")) {
        caption = device;
        if (caption.startsWith(QLatin1String("//")))
            caption = caption.mid(2).replace(QLatin1Char('/'), QStringLiteral(": "));
    } else if (!label.isEmpty()) {
        caption = label;
    } else {
        caption = device.mid(device.lastIndexOf(QLatin1Char('/')) + 1);
    }
    return caption + place;
}

QString cdText(bool audio, const QString &mountPath)
{
    return (audio ? QStringLiteral("Hudební CD (") : QStringLiteral("Disk CD (")) + mountPath + QLatin1Char(')');
}

QString storedFileText(const QString &storedName)
{
    return storedName.mid(5);
}

} // namespace FolderTree
