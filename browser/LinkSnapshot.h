#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// What the capture script reads of a page: the top document and the frames whose
// documents it could read, each with its body's tag name, its URL and its links in
// document order. Built from the script's JSON; tests build it by hand.
struct LinkInfo
{
    QString href;     // absolute, as the document model reports it
    QString protocol; // the scheme followed by ":"
    QString text;     // the anchor's inner text, untrimmed
    QString title;    // the title attribute
};

struct DocumentSnapshot
{
    QString bodyTag; // "BODY", "FRAMESET", or "" when the document has no body
    QString url;
    QList<LinkInfo> links;
};

struct PageSnapshot
{
    bool valid = false; // false when the page was gone before the script answered
    QString title;      // the top document's title: the source of every link
    DocumentSnapshot top;
    QList<DocumentSnapshot> frames; // readable direct frames, in frame order
};

// The script's answer (a JSON text); anything unreadable gives an invalid snapshot.
PageSnapshot pageSnapshotFromJson(const QString &json);

namespace LinkCaptureMode {
constexpr int All = 1;
constexpr int Local = 2;
constexpr int Outgoing = 3;
constexpr int AllWithText = 4;
constexpr int LocalWithText = 5;
constexpr int OutgoingWithText = 6;
} // namespace LinkCaptureMode

// The icon keys of the captured-links list, in the image list's order; a link whose
// protocol is none of these is never listed.
const QStringList &linkProtocolKeys();
inline const QString EmailProtocolKey = QStringLiteral("mailto:");
inline const QString ScriptProtocolKey = QStringLiteral("javascript:");

// One row of the captured-links list.
struct LinkRow
{
    QString key;
    QString caption; // column "Nápis"
    QString url;     // column "URL"
    QString source;  // column "Zdroj"
    QString iconKey; // the link's protocol
};

// A link is local when its href starts with the document's URL. Both sides are
// normalised alike ("\" to "/", "///" to "//"), so a file:/// page has local links.
bool isLocalLink(const QString &href, const QString &documentUrl);
// Trims blanks at both ends, drops backspaces, and turns every line break (CR LF, CR
// or LF) into one blank so that words on two lines stay apart.
QString cleanLinkText(const QString &text);
bool linkTakenInMode(const LinkInfo &link, const QString &documentUrl, int mode);
QString linkCaption(const LinkInfo &link, int mode);

// The rows a capture appends, in order: the top document's links, then each frame's;
// a document whose body is not a BODY adds none, nor does a mode outside 1..6.
// Keys are the URL followed by the number of rows before the row; when that key is
// already taken (keyTaken, or an earlier new row) the number counts on until it is
// free, so no link is dropped after removals.
QList<LinkRow> capturedLinkRows(const PageSnapshot &page, int mode, int rowsBefore,
                                const std::function<bool(const QString &)> &keyTaken);
// The rows of one document, each with source as its source.
QList<LinkRow> capturedDocumentRows(const DocumentSnapshot &document, const QString &source, int mode,
                                    int rowsBefore, const std::function<bool(const QString &)> &keyTaken);

// The 1-based indexes of the e-mail rows among the rows' icon keys, last first, so
// that removing them in this order leaves the other indexes valid.
QList<int> emailRowIndexes(const QStringList &iconKeys);
