#include "files/PageTitle.h"

#include "platform/files/FileSystem.h"
#include "platform/store/RegFileFormat.h"


QString contentText(const QByteArray &bytes)
{
    return RegFileFormat::textFromBytes(bytes);
}

QString pageTitle(const QByteArray &head)
{
    const QString content = contentText(head);
    const qsizetype tag = content.indexOf(QLatin1String("<title>"), 0, Qt::CaseInsensitive);
    QString title;
    if (tag >= 0) {
        const qsizetype from = tag + 7;
        const qsizetype close = content.indexOf(QLatin1Char('<'), from);
        title = content.mid(from, close < 0 ? -1 : close - from + 1);
    }
    title.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    title.replace(QLatin1String("&gt;"), QLatin1String(">"));
    title.replace(QLatin1String("&lt;"), QLatin1String("<"));
    title.replace(QLatin1String("&amp;"), QLatin1String("&"));
    title.replace(QLatin1String("&quot;"), QLatin1String("\""));
    title.replace(QLatin1String("\n\n"), QLatin1String(" "));
    title.remove(QLatin1Char('\n'));
    title.remove(QLatin1Char('\t'));
    title.remove(QLatin1Char('\r'));
    qsizetype begin = 0;
    qsizetype end = title.size();
    while (begin < end && title.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && title.at(end - 1) == QLatin1Char(' '))
        --end;
    title = title.mid(begin, end - begin);
    // The text ends with the "<" that closed it, when one did.
    if (title.isEmpty())
        return QStringLiteral("[untitled]");
    title.chop(1);
    return title;
}

QString GetFileTitle(const QString &path)
{
    QByteArray head;
    FileSystem::current().readFileHead(path, PageTitleHead, head);
    return pageTitle(head);
}

bool isPageExtension(const QString &extension)
{
    return extension == QLatin1String("htm") || extension == QLatin1String("html")
           || extension == QLatin1String("asp") || extension == QLatin1String("php");
}
