#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A file name is its bytes. The system stores names as bytes, mostly UTF-8; a name
// copied from an archive made elsewhere may hold bytes that are no UTF-8 (Windows-1250
// "P\xf8\xedloha"), and still names a file the user can copy, move or delete. Qt
// keeps no such bytes: its encoders turn a lone surrogate into "?" or U+FFFD's bytes,
// which may name another, existing file. So every road between a path's bytes and
// its text goes through this one pair:
//
// - decodeFileName: valid UTF-8 as its characters (a leading byte-order mark kept: a
//   name with it names another file than the name without it); each byte that is not
//   part of a valid UTF-8 sequence as the lone surrogate U+DC00 + byte (U+DC80–U+DCFF).
// - encodeFileName: the reverse; such a surrogate becomes its one byte again, so the
//   bytes ED B2/B3 xx (the UTF-8 of U+DC80–U+DCFF) are never written; any other lone
//   surrogate, and a NUL, is refused (no bytes of a name stand for it).
//
// Text a user typed or pasted is no name read from a disk: it goes through
// typedFileName (the UTF-8 encoder), so a typed U+DCxx never turns into a raw byte.
// A name holding such bytes is shown by shownFileName, never as its text.

QString decodeFileName(QByteArrayView bytes);
// False, with out empty, for a lone surrogate outside U+DC80–U+DCFF or a NUL.
bool encodeFileName(QStringView name, QByteArray &out);
// The bytes, or an empty array where the name is refused.
QByteArray encodeFileName(QStringView name);
// Whether the text stands for bytes that are no UTF-8.
bool holdsUndecodedBytes(QStringView name);
// What a person reads for a name or path: the text itself where it is UTF-8; else the
// bytes read as Windows-1250 (as the program reads files that are no UTF-8), marked
// so that nobody takes the shown text for the name.
QString shownFileName(QStringView name);
// The marker shownFileName appends to a name whose bytes are no UTF-8.
QString undecodedNameMark();
// A name a user typed or pasted, as the UTF-8 encoder takes it: a lone surrogate of any
// kind becomes U+FFFD, never a raw byte.
QString typedFileName(const QString &text);
// The file: address of an absolute path, percent-encoded from its bytes.
QString fileAddress(const QString &path);
// What is handed to the browser or stored as an address for a path: the path itself
// where its bytes are UTF-8 (as ever), its file: address where they are not (as text
// the engine would take it for another name).
QString pathAsAddress(const QString &path);
