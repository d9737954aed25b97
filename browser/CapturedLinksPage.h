#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace LinkSaveMode {
constexpr int All = 1;
constexpr int EmailOnly = 7;
constexpr int AllButEmail = 8;
} // namespace LinkSaveMode

// One row of the captured-links list as the page writes it.
struct CapturedLink
{
    QString caption;
    QString url;
    QString source;
    QString iconKey;
};

// The header comment that opens every saved page, in a field of exactly 50 characters.
QString capturedLinksHeader();
// Whether a row is written in a save mode; any mode but 1, 7 and 8 writes none.
bool linkSavedInMode(const CapturedLink &link, int mode);
// Whether the row's address is a script (by its icon key or its own text), which the
// saved page must not make clickable.
bool isScriptLink(const CapturedLink &link);
// Text with "&", "<", ">" and '"' written as entities, so that nothing a page put into
// a link can become markup or script of the saved page.
QString escapedHtml(const QString &text);

// The whole page, lines ended by CR LF; dateTimeText is the time of saving as shown
// to the user.
QString CapturedLinksHtml(const QList<CapturedLink> &links, int mode, const QString &dateTimeText);
// The bytes of the file: UTF-8 behind a byte-order mark, so the browser reads it as
// UTF-8 although the page names no character set.
QByteArray capturedLinksFileBytes(const QString &html);
// Replaces the file whole or not at all; raises PathFileAccessError when it cannot be
// written, and leaves no partial file behind.
void writeCapturedLinksFile(const QString &path, const QByteArray &bytes);
