#pragma once

#include <QByteArray>
#include <QString>

class RegistryTree;

// The text form of registry scripts, REGEDIT4 style. The same reader loads the
// emulated registry's own file and merges imported .reg files, so both accept
// exactly the same syntax:
//   [KEY]  [-KEY]  "name"="text"  @="text"  "name"=dword:0000002a
//   "name"=hex:01,02  "name"=hex(2):..,\   (continued on the next line)   "name"=-
class RegFileFormat
{
public:
    // A .reg file's text: UTF-16 by its byte-order mark; otherwise each line on its
    // own, UTF-8 where its bytes are valid UTF-8, Windows-1250 where they are not, so
    // that one value in the older encoding changes the text of no other line.
    static QString decode(const QByteArray &bytes);
    // The text of a stored string: UTF-8 when valid, otherwise Windows-1250.
    static QString textFromBytes(const QByteArray &bytes);
    // "HKEY_CURRENT_USER" for any letter case of a root key's name; empty for a
    // name that is no root key.
    static QString canonicalRoot(const QString &name);

    // Longer lines are no registry script's (a few hundred characters are usual).
    static constexpr qsizetype MaxLineLength = 4 * 1024 * 1024;

    // Merges a script into the tree. Returns false, leaving the tree as it was, when
    // the text is no script that can be read: no REGEDIT4 (or version 5.00) header, a
    // line longer than MaxLineLength, or a key deeper than RegistryTree::MaxDepth;
    // problem then says which, in words for the user. Lines that do not parse are
    // skipped, as are sections under an unknown root with their values; skipped
    // then counts them.
    static bool apply(const QString &text, RegistryTree &tree, QString *problem = nullptr, qsizetype *skipped = nullptr);
    // The same for a script's bytes as a file holds them (decoded as decode does),
    // without holding their whole text at once unless they are UTF-16.
    static bool applyBytes(const QByteArray &bytes, RegistryTree &tree, QString *problem = nullptr,
                           qsizetype *skipped = nullptr);
    // The whole tree as a REGEDIT4 script in UTF-8.
    static QByteArray serialize(const RegistryTree &tree);
};
