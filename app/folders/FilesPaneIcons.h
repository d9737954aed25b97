#pragma once

#include <QIcon>
#include <QString>

// The folders-and-files pane's toolbar images "qcopy", "qmove", "edit" and "delete"
// (the frame's, shared with the links pane).
namespace FilesPaneIcons {
QIcon toolbarIcon(const QString &key, bool gray, int size = 16);
} // namespace FilesPaneIcons
