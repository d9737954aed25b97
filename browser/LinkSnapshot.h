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

// The script's answer is a sequence of strings: the page's title, the number of
// documents, then for each document its body's tag name, its URL and its number of
// links n, followed by n links. A link is its href and its text; when it has a title
// or its protocol is not the scheme its href begins with, the href is preceded by a
// U+0000 and the protocol and the title follow the text.
//
// The sequence comes as one JSON array of strings, or in parts, each a JSON array,
// which joined make the whole; a part never splits a link or a document's heading.

// The links of one document that one part of the answer held.
struct DocumentPart
{
    int document = 0;    // 0 for the top document, then its frames in order
    bool begins = false; // the document's first part
    bool ends = false;   // its last part
    DocumentSnapshot links; // the document's body tag and URL, and the links of this part
};

// Reads the answer part by part. Once a part does not add up (an unreadable text, a
// count the strings do not meet, strings past the end), the reader has failed and
// reads nothing more.
class LinkAnswerReader
{
public:
    // The document parts the next part of the answer held, in order.
    QList<DocumentPart> read(const QString &json);
    bool failed() const { return m_failed; }
    // The whole answer has been read.
    bool complete() const { return !m_failed && m_begun && m_documentsLeft == 0 && m_linksLeft == 0; }
    const QString &title() const { return m_title; }

private:
    bool readLinks(QStringList &fields, qsizetype &at, DocumentPart &part);

    bool m_failed = false;
    bool m_begun = false;
    QString m_title;
    qsizetype m_documentsLeft = 0; // documents whose heading is still to come
    int m_document = -1;           // the document being read
    qsizetype m_linksLeft = 0;     // its links still to come
    QString m_bodyTag;
    QString m_url;
};

// The whole answer in one text; anything that does not add up gives an invalid
// snapshot.
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
