#pragma once

#include <QByteArray>
#include <QString>

// The title of a page file: the text after the first "<title>" (any letter case, no
// attributes) up to the next "<", with the common entities replaced and line breaks
// taken out; "[untitled]" when there is no such tag. Only the page's first 64 KiB are
// read, as UTF-8, or as Windows-1250 when they are not valid UTF-8.
QString GetFileTitle(const QString &path);

// The same for a page's first bytes at hand.
QString pageTitle(const QByteArray &head);

// A file's text: UTF-8 when valid, otherwise Windows-1250. A character cut by the end
// (of a head read) counts as valid UTF-8 and is dropped.
QString contentText(const QByteArray &bytes);

// The file extensions whose files carry a page title.
bool isPageExtension(const QString &extension);

inline constexpr qint64 PageTitleHead = 64 * 1024;
