#include "browser/SavedPage.h"

#include "core/Version.h"
#include "platform/store/SettingsStore.h"

#include <QJsonDocument>
#include <QJsonObject>

QString pageSnapshotScript()
{
    return QStringLiteral(
        "JSON.stringify({title: document.title, contentType: document.contentType,"
        " body: document.body ? document.body.outerHTML : null})");
}

PageSnapshot pageSnapshotFromResult(const QString &json)
{
    PageSnapshot page;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject())
        return page;
    const QJsonObject object = document.object();
    page.title = object.value(QStringLiteral("title")).toString();
    page.contentType = object.value(QStringLiteral("contentType")).toString();
    const QJsonValue body = object.value(QStringLiteral("body"));
    // A document without a body (an XML file) has nothing to save.
    if (!body.isString())
        page.contentType.clear();
    page.body = body.toString();
    page.read = true;
    return page;
}

bool isSavableContentType(const QString &contentType)
{
    return contentType == QLatin1String("text/html") || contentType == QLatin1String("application/xhtml+xml");
}

QString SavedPageHtml(const QString &savedAt, const QString &address, const PageSnapshot &page)
{
    return QChar(0xFEFF) + QStringLiteral("<!--uloženo: ") + savedAt + QStringLiteral(" z URL: ") + address
           + QStringLiteral(" Vorlanem ") + QString::number(Version::Major) + QLatin1Char('.')
           + QString::number(Version::Minor) + QStringLiteral("-->\r\n<HTML><HEAD><TITLE>") + page.title
           + QStringLiteral("</TITLE></HEAD>") + page.body + QStringLiteral("\r\n</HTML>");
}

PagePresetItem pagePresetItem(int n, const QString &caption, const QString &folder)
{
    const QString number = QString::number(n);
    PagePresetItem item;
    item.folder = folder;
    item.caption = number + QLatin1Char(' ') + caption;
    if (item.caption.trimmed().size() < 3) {
        item.caption = number + QStringLiteral(" nevyužito");
        item.enabled = false;
    } else {
        // A user's caption shows literally: "&" is no access key here.
        item.caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    return item;
}

PagePresetItem readPagePresetItem(int n)
{
    const QString number = QString::number(n);
    return pagePresetItem(n, GetSetting(PresetSections::Save, QStringLiteral("Caption") + number, number),
                          GetSetting(PresetSections::Save, number));
}
