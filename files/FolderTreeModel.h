#pragma once

#include <QString>
#include <QStringList>

class ImageList;

// What the nodes of the folder trees are: their kinds (the node's Tag), the special
// keys and the images they show.
namespace FolderTree {

inline const QString TagDir = QStringLiteral("dir");
inline const QString TagFile = QStringLiteral("file");
inline const QString TagStoredFile = QStringLiteral("delfile");
inline const QString TagStore = QStringLiteral("deleted");
inline const QString TagMyComputer = QStringLiteral("$tc");

// My Computer's node; the key names no folder.
inline const QString MyComputerKey = QStringLiteral("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");

// The volume kinds that get a node ("ram" and "other" have no image, so none).
bool isVolumeTag(const QString &tag);
// Nodes whose expansion reads a folder: folders and volumes.
bool isFolderTag(const QString &tag);
// Nodes that carry the path of a file or folder that may vanish.
bool carriesPath(const QString &tag);

// The keys of the trees' image list in list order; the 26th image has no key.
QStringList imageKeys();
// A file's image: its extension's key when the list has it, else "${other}".
QString fileImageKey(const QString &name, const ImageList *images);

// A volume node's text: "Disketa (/media/fd)", "Disk CD (/media/cd)", a network
// volume's source ("//server/share" reads "server: share (/mnt/s)"), else the label,
// or without one the device's last part ("sda2 (/)").
QString volumeText(const QString &kind, const QString &label, const QString &device, const QString &mountPath);
// A CD's text after its expansion: an audio disc or a data disc, the mount path kept.
QString cdText(bool audio, const QString &mountPath);

// A stored file's text: its name without the five-digit counter in front.
QString storedFileText(const QString &storedName);

} // namespace FolderTree
