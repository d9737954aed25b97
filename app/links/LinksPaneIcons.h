#pragma once

#include <QIcon>
#include <QString>

// The links pane's own images: one per link protocol key (a coloured disc with the
// protocol's initial) and the pane's toolbar images "addlinks", "savelinks" and "delete"
// (the frame's, shared with the folders pane).
namespace LinksPaneIcons {
QIcon protocolIcon(const QString &protocolKey, int size = 16);
QIcon toolbarIcon(const QString &key, bool gray, int size = 16);
} // namespace LinksPaneIcons
