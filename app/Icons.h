#pragma once

#include <QIcon>
#include <QStringList>

class ImageList;

// The program's own icons, painted once when an image list is filled, so every image
// key the controls use exists in one place.
namespace Icons {

// The icon for a key at the given size in pixels; gray gives the muted variant the
// toolbars show while the pointer is elsewhere. An unknown key gives a null icon.
QIcon icon(const QString &key, int size = 16, bool gray = false);
// Adds the keys' icons to the list in the given order, at the list's image size.
void fill(ImageList *list, const QStringList &keys, bool gray = false);
// The "delete" image of the panes' toolbars (links and folders), a cross: red, or the
// toolbars' gray ink while the pointer is elsewhere.
QIcon deleteToolbarIcon(bool gray, int size = 16);

} // namespace Icons
