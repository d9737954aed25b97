#include "browser/LinkSnapshot.h"

#include "core/PathServices.h"
#include "platform/controls/ItemRegistry.h"
#include "platform/engine/ShownAddress.h"

#include <algorithm>
#include <optional>

namespace {

bool isJsonSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// A JSON array whose members are all strings, read in one pass; nothing for any other
// text. A string without escapes, as nearly all are, is copied in one piece.
std::optional<QStringList> jsonStringArray(QStringView json)
{
    const QChar *p = json.data();
    const QChar *const end = p + json.size();
    const auto skipSpace = [&] {
        while (p < end && isJsonSpace(*p))
            ++p;
    };
    const auto at = [&](char c) { return p < end && *p == QLatin1Char(c); };
    const auto closed = [&](QStringList items) -> std::optional<QStringList> {
        ++p;
        skipSpace();
        if (p != end)
            return std::nullopt;
        return items;
    };
    QStringList items;
    skipSpace();
    if (!at('['))
        return std::nullopt;
    ++p;
    skipSpace();
    if (at(']'))
        return closed(std::move(items));
    for (;;) {
        if (!at('"'))
            return std::nullopt;
        const QChar *start = ++p;
        while (p < end && *p != QLatin1Char('"') && *p != QLatin1Char('\\') && p->unicode() >= 0x20)
            ++p;
        QString value(start, p - start);
        while (!at('"')) {
            if (p == end || p->unicode() < 0x20)
                return std::nullopt;
            if (*p != QLatin1Char('\\')) {
                value += *p++;
                continue;
            }
            if (++p == end)
                return std::nullopt;
            switch ((p++)->unicode()) {
            case '"': value += QLatin1Char('"'); break;
            case '\\': value += QLatin1Char('\\'); break;
            case '/': value += QLatin1Char('/'); break;
            case 'b': value += QChar(8); break;
            case 'f': value += QChar(12); break;
            case 'n': value += QLatin1Char('\n'); break;
            case 'r': value += QLatin1Char('\r'); break;
            case 't': value += QLatin1Char('\t'); break;
            case 'u': {
                if (end - p < 4)
                    return std::nullopt;
                int unit = 0;
                for (int i = 0; i < 4; ++i) {
                    const int digit = hexDigit(*p++);
                    if (digit < 0)
                        return std::nullopt;
                    unit = unit * 16 + digit;
                }
                value += QChar(char16_t(unit));
                break;
            }
            default: return std::nullopt;
            }
        }
        ++p;
        items.append(std::move(value));
        skipSpace();
        if (at(']'))
            return closed(std::move(items));
        if (!at(','))
            return std::nullopt;
        ++p;
        skipSpace();
    }
}

// The scheme of an address with its colon; an icon key is shared rather than copied.
QString protocolOf(const QString &href)
{
    const QStringView scheme = QStringView(href).left(href.indexOf(QLatin1Char(':')) + 1);
    for (const QString &key : linkProtocolKeys()) {
        if (scheme == key)
            return key;
    }
    return scheme.toString();
}

// One link from position at; false when the part ends inside it.
bool readLink(QStringList &fields, qsizetype &at, LinkInfo &link)
{
    if (fields.size() - at < 2)
        return false;
    link.href = std::move(fields[at++]);
    link.text = std::move(fields[at++]);
    if (link.href.startsWith(QChar(0))) {
        if (fields.size() - at < 2)
            return false;
        link.href.remove(0, 1);
        link.protocol = std::move(fields[at++]);
        link.title = std::move(fields[at++]);
    }
    if (link.protocol.isEmpty())
        link.protocol = protocolOf(link.href);
    return true;
}

QString normalisedAddress(QString address)
{
    address.replace(QLatin1Char('\\'), QLatin1Char('/'));
    address.replace(QStringLiteral("///"), QStringLiteral("//"));
    return address;
}

// href against a document URL normalised already; most addresses need no copy.
bool isLocalTo(const QString &href, const QString &normalisedUrl)
{
    if (href.contains(QLatin1Char('\\')) || href.contains(QStringLiteral("///")))
        return normalisedAddress(href).startsWith(normalisedUrl, Qt::CaseSensitive);
    return href.startsWith(normalisedUrl, Qt::CaseSensitive);
}

bool wantsText(int mode)
{
    return mode >= LinkCaptureMode::AllWithText;
}

bool takenInMode(const LinkInfo &link, const QString &normalisedUrl, int mode)
{
    if (wantsText(mode) && link.text.isEmpty())
        return false;
    switch (mode) {
    case LinkCaptureMode::All:
    case LinkCaptureMode::AllWithText: return true;
    case LinkCaptureMode::Local:
    case LinkCaptureMode::LocalWithText: return isLocalTo(link.href, normalisedUrl);
    case LinkCaptureMode::Outgoing:
    case LinkCaptureMode::OutgoingWithText: return !isLocalTo(link.href, normalisedUrl);
    default: return false;
    }
}

} // namespace

bool LinkAnswerReader::readLinks(QStringList &fields, qsizetype &at, DocumentPart &part)
{
    // Room for the links this part can hold at most, not for what a count claims.
    part.links.links.reserve(std::min(m_linksLeft, (fields.size() - at) / 2));
    while (m_linksLeft > 0 && at < fields.size()) {
        LinkInfo link;
        if (!readLink(fields, at, link))
            return false;
        part.links.links.append(std::move(link));
        --m_linksLeft;
    }
    part.ends = m_linksLeft == 0;
    return true;
}

QList<DocumentPart> LinkAnswerReader::read(const QString &json)
{
    QList<DocumentPart> parts;
    std::optional<QStringList> fields = m_failed || complete() ? std::nullopt : jsonStringArray(json);
    const auto fail = [&] {
        m_failed = true;
        return QList<DocumentPart>();
    };
    if (!fields || fields->isEmpty())
        return fail();
    qsizetype at = 0;
    if (!m_begun) {
        if (fields->size() < 2)
            return fail();
        m_title = std::move((*fields)[at++]);
        bool ok = false;
        m_documentsLeft = (*fields)[at++].toLongLong(&ok);
        if (!ok || m_documentsLeft < 1)
            return fail();
        m_begun = true;
    }
    if (m_linksLeft > 0) {
        DocumentPart part{m_document, false, false, {m_bodyTag, m_url, {}}};
        if (!readLinks(*fields, at, part))
            return fail();
        parts.append(std::move(part));
    }
    while (at < fields->size()) {
        if (m_documentsLeft == 0 || fields->size() - at < 3)
            return fail();
        m_bodyTag = std::move((*fields)[at++]);
        m_url = std::move((*fields)[at++]);
        bool ok = false;
        m_linksLeft = (*fields)[at++].toLongLong(&ok);
        if (!ok || m_linksLeft < 0)
            return fail();
        --m_documentsLeft;
        DocumentPart part{++m_document, true, false, {m_bodyTag, m_url, {}}};
        if (!readLinks(*fields, at, part))
            return fail();
        parts.append(std::move(part));
    }
    return parts;
}

PageSnapshot pageSnapshotFromJson(const QString &json)
{
    LinkAnswerReader reader;
    const QList<DocumentPart> parts = reader.read(json);
    if (!reader.complete())
        return {};
    PageSnapshot page;
    page.valid = true;
    page.title = reader.title();
    for (const DocumentPart &part : parts) {
        if (part.document == 0)
            page.top = part.links;
        else
            page.frames.append(part.links);
    }
    return page;
}

const QStringList &linkProtocolKeys()
{
    static const QStringList keys = {
        QStringLiteral("ftp:"),  QStringLiteral("javascript:"), QStringLiteral("mhtml:"),
        QStringLiteral("http:"), QStringLiteral("file:"),       QStringLiteral("mailto:"),
        QStringLiteral("news:"), QStringLiteral("https:"),
    };
    return keys;
}

bool isLocalLink(const QString &href, const QString &documentUrl)
{
    return isLocalTo(href, normalisedAddress(documentUrl));
}

QString cleanLinkText(const QString &text)
{
    // Most texts need nothing of this and are kept as they are, without a copy.
    bool clean = !text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' '));
    for (qsizetype i = 0; clean && i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        clean = c != 8 && c != '\r' && c != '\n';
    }
    if (clean)
        return text;
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    QString cleaned = text.mid(first, last - first);
    cleaned.remove(QChar(8));
    cleaned.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    cleaned.replace(QLatin1Char('\r'), QLatin1Char(' '));
    cleaned.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return cleaned;
}

bool linkTakenInMode(const LinkInfo &link, const QString &documentUrl, int mode)
{
    return takenInMode(link, normalisedAddress(documentUrl), mode);
}

QString linkCaption(const LinkInfo &link, int mode)
{
    if (wantsText(mode) || !link.text.isEmpty())
        return cleanLinkText(link.text);
    if (!link.title.isEmpty())
        return cleanLinkText(link.title);
    QString href = link.href;
    return QLatin1Char('<') + GetLastPathPart(href) + QLatin1Char('>');
}

QList<LinkRow> capturedDocumentRows(const DocumentSnapshot &document, const QString &source, int mode,
                                    int rowsBefore, const std::function<bool(const QString &)> &keyTaken)
{
    QList<LinkRow> rows;
    if (mode < LinkCaptureMode::All || mode > LinkCaptureMode::OutgoingWithText
        || document.bodyTag != QLatin1String("BODY"))
        return rows;
    const QString normalisedUrl = normalisedAddress(document.url);
    rows.reserve(document.links.size());
    QSet<HashedText> newKeys;
    newKeys.reserve(document.links.size());
    // Adds the key unless it is taken; one look-up in the new keys.
    const auto claimed = [&](const QString &key) {
        if (keyTaken && keyTaken(key))
            return false;
        const qsizetype before = newKeys.size();
        newKeys.insert(HashedText(key));
        return newKeys.size() > before;
    };
    for (const LinkInfo &link : document.links) {
        if (!linkProtocolKeys().contains(link.protocol) || !takenInMode(link, normalisedUrl, mode))
            continue;
        qint64 number = qint64(rowsBefore) + rows.size();
        QString key = link.href + QString::number(number);
        while (!claimed(key))
            key = link.href + QString::number(++number);
        rows.append({std::move(key), linkCaption(link, mode), ShownAddress(link.href), source, link.protocol});
    }
    return rows;
}

QList<LinkRow> capturedLinkRows(const PageSnapshot &page, int mode, int rowsBefore,
                                const std::function<bool(const QString &)> &keyTaken)
{
    QList<LinkRow> rows = capturedDocumentRows(page.top, page.title, mode, rowsBefore, keyTaken);
    for (const DocumentSnapshot &frame : page.frames) {
        QSet<QString> earlier;
        for (const LinkRow &row : rows)
            earlier.insert(row.key);
        const auto taken = [&](const QString &key) { return earlier.contains(key) || (keyTaken && keyTaken(key)); };
        rows += capturedDocumentRows(frame, page.title, mode, rowsBefore + int(rows.size()), taken);
    }
    return rows;
}

QList<int> emailRowIndexes(const QStringList &iconKeys)
{
    QList<int> indexes;
    for (qsizetype i = iconKeys.size(); i > 0; --i) {
        if (iconKeys.at(i - 1) == EmailProtocolKey)
            indexes.append(int(i));
    }
    return indexes;
}
