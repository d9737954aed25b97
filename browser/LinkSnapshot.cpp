#include "browser/LinkSnapshot.h"

#include "core/PathServices.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

DocumentSnapshot documentFromJson(const QJsonObject &object)
{
    DocumentSnapshot document;
    document.bodyTag = object.value(QStringLiteral("body")).toString();
    document.url = object.value(QStringLiteral("url")).toString();
    const QJsonArray links = object.value(QStringLiteral("links")).toArray();
    document.links.reserve(links.size());
    for (const QJsonValue &value : links) {
        // Each link is [href, protocol, text, title]: compact for pages of many links.
        const QJsonArray fields = value.toArray();
        document.links.append({fields.at(0).toString(), fields.at(1).toString(),
                               fields.at(2).toString(), fields.at(3).toString()});
    }
    return document;
}

QString normalisedAddress(QString address)
{
    address.replace(QLatin1Char('\\'), QLatin1Char('/'));
    address.replace(QStringLiteral("///"), QStringLiteral("//"));
    return address;
}

bool wantsText(int mode)
{
    return mode >= LinkCaptureMode::AllWithText;
}

bool takesLocality(int mode, bool local)
{
    switch (mode) {
    case LinkCaptureMode::All:
    case LinkCaptureMode::AllWithText: return true;
    case LinkCaptureMode::Local:
    case LinkCaptureMode::LocalWithText: return local;
    case LinkCaptureMode::Outgoing:
    case LinkCaptureMode::OutgoingWithText: return !local;
    default: return false;
    }
}

} // namespace

PageSnapshot pageSnapshotFromJson(const QString &json)
{
    PageSnapshot page;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject())
        return page;
    const QJsonObject root = document.object();
    page.valid = true;
    page.title = root.value(QStringLiteral("title")).toString();
    page.top = documentFromJson(root.value(QStringLiteral("top")).toObject());
    for (const QJsonValue &frame : root.value(QStringLiteral("frames")).toArray())
        page.frames.append(documentFromJson(frame.toObject()));
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
    return normalisedAddress(href).startsWith(normalisedAddress(documentUrl), Qt::CaseSensitive);
}

QString cleanLinkText(const QString &text)
{
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
    if (wantsText(mode) && link.text.isEmpty())
        return false;
    return takesLocality(mode, isLocalLink(link.href, documentUrl));
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
    QSet<QString> newKeys;
    const auto taken = [&](const QString &key) { return newKeys.contains(key) || (keyTaken && keyTaken(key)); };
    for (const LinkInfo &link : document.links) {
        if (!linkProtocolKeys().contains(link.protocol) || !linkTakenInMode(link, document.url, mode))
            continue;
        qint64 number = qint64(rowsBefore) + rows.size();
        QString key = link.href + QString::number(number);
        while (taken(key))
            key = link.href + QString::number(++number);
        newKeys.insert(key);
        rows.append({key, linkCaption(link, mode), link.href, source, link.protocol});
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
