#pragma once

#include <QByteArray>
#include <QString>

// A favorites file: an "[InternetShortcut]" text whose "URL=" line holds the address.

// The address of the first line starting with "URL=" (any letter case), the rest of
// that line unchanged; "" when there is none.
QString shortcutAddress(const QString &text);
// Reads the head of a favorites file; "" when it is no regular file or cannot be read.
QString readShortcutAddress(const QString &path);
// The content of a new favorites file for the address (CR LF lines).
QByteArray shortcutFileContent(const QString &address);
