#pragma once

#include "files/FileSearch.h"
#include "platform/files/VolumeTable.h"

#include <QList>
#include <QString>

#include <functional>

// The places the file search offers, and the folders each of them walks.
namespace SearchPlaces {

struct Item
{
    QString key;
    QString text;
    QString image; // empty: none
    int indentation = 0;
};

struct Folders
{
    QString desktop;
    QString personal;
    QString custom; // "Main" FindPath
};

// The items of the place list in list order: the desktop and documents folders, My
// Computer, the local disks ("Místní pevné disky (/; /home)"), the network volumes
// (left out when there are none), one "disk" item per volume whose kind has an image
// (keyed "disk" and its mount path, captioned by volumeText), the custom folder and
// "Vybrat…".
using VolumeText = std::function<QString(const Volume &volume)>;
using HasImage = std::function<bool(const QString &imageKey)>;
QList<Item> items(const Folders &folders, const VolumeTable &volumes, const VolumeText &volumeText,
                  const HasImage &hasImage);

// The folders a place walks. A whole volume is walked on its own mount only.
QList<SearchStart> starts(const QString &key, const QString &customFolder, const Folders &folders,
                          const VolumeTable &volumes);

// Only a single chosen volume says when it cannot be read.
bool reportsUnavailable(const QString &key);

// The items of the file-type list: the pattern and its image.
QList<Item> typeItems();

} // namespace SearchPlaces
