#include "browser/CapturedLinksPage.h"

#include "browser/LinkSnapshot.h"
#include "core/Version.h"
#include "platform/store/AtomicFile.h"
#include "platform/system/ErrorState.h"


namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kHeaderWidth = 50;

QString linkLine(const CapturedLink &link, int mode)
{
    // A script address keeps its line but loses its target: the anchor holds the
    // address only as a title, so the saved page shows it and runs nothing.
    const QString anchor = (isScriptLink(link) ? QStringLiteral("<A title=\"") : QStringLiteral("<A href=\""))
                           + escapedHtml(link.url) + QStringLiteral("\">");
    if (mode == LinkSaveMode::All)
        return escapedHtml(link.source) + QStringLiteral(": ") + anchor + escapedHtml(link.caption)
               + QStringLiteral("</A><BR>");
    return anchor + escapedHtml(link.source) + QStringLiteral(": ") + escapedHtml(link.caption)
           + QStringLiteral("</A><BR>");
}

} // namespace

bool isScriptLink(const CapturedLink &link)
{
    if (link.iconKey == ScriptProtocolKey)
        return true;
    // Read the address as a browser would: blanks and control characters before it
    // are skipped, tabs and line breaks inside it are ignored, the scheme has no case.
    QString address;
    address.reserve(link.url.size());
    for (const QChar c : link.url) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            continue;
        if (address.isEmpty() && c.unicode() <= 0x20)
            continue;
        address += c;
        if (address.size() == ScriptProtocolKey.size())
            break;
    }
    return address.compare(ScriptProtocolKey, Qt::CaseInsensitive) == 0;
}

QString capturedLinksHeader()
{
    const QString comment = QStringLiteral("<!--saved by Vorlan %1.%2.%3-->")
                                .arg(Version::Major)
                                .arg(Version::Minor)
                                .arg(Version::Revision);
    return comment.leftJustified(kHeaderWidth, QLatin1Char(' '), true);
}

bool linkSavedInMode(const CapturedLink &link, int mode)
{
    switch (mode) {
    case LinkSaveMode::All: return true;
    case LinkSaveMode::EmailOnly: return link.iconKey == EmailProtocolKey;
    case LinkSaveMode::AllButEmail: return link.iconKey != EmailProtocolKey;
    default: return false;
    }
}

QString escapedHtml(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': escaped += QStringLiteral("&amp;"); break;
        case '<': escaped += QStringLiteral("&lt;"); break;
        case '>': escaped += QStringLiteral("&gt;"); break;
        case '"': escaped += QStringLiteral("&quot;"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QString CapturedLinksHtml(const QList<CapturedLink> &links, int mode, const QString &dateTimeText)
{
    QString html = capturedLinksHeader() + kLineEnd;
    html += QStringLiteral("<HTML><HEAD><TITLE>Captured links ") + escapedHtml(dateTimeText)
            + QStringLiteral("</TITLE></HEAD>") + kLineEnd;
    for (const CapturedLink &link : links) {
        if (linkSavedInMode(link, mode))
            html += linkLine(link, mode) + kLineEnd;
    }
    html += QStringLiteral("</HTML>") + kLineEnd;
    return html;
}

QByteArray capturedLinksFileBytes(const QString &html)
{
    return QByteArray("\xEF\xBB\xBF") + html.toUtf8();
}

void writeCapturedLinksFile(const QString &path, const QByteArray &bytes)
{
    writeFileAtomically(path, bytes);
}
