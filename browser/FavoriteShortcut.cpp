#include "browser/FavoriteShortcut.h"

#include "platform/files/FileSystem.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QStringDecoder>

namespace {
constexpr qint64 kShortcutReadLimit = 64 * 1024;
} // namespace

QString shortcutAddress(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineBreak);
    for (const QString &line : lines) {
        if (line.left(4).toUpper() == QStringLiteral("URL="))
            return line.mid(4);
    }
    return QString();
}

QString readShortcutAddress(const QString &path)
{
    // Only the head of a regular file is read: a FIFO or a device named like a
    // shortcut must never hold the window up.
    QByteArray bytes;
    if (FileSystem::current().readFileHead(path, kShortcutReadLimit, bytes) != 0)
        return QString();
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    // A shortcut that is not valid UTF-8 is read in the Central European code page.
    if (utf8.hasError()) {
        QStringDecoder centralEuropean("windows-1250");
        text = centralEuropean.isValid() ? centralEuropean(bytes) : QString::fromLatin1(bytes);
    }
    return shortcutAddress(text);
}

QByteArray shortcutFileContent(const QString &address)
{
    return QByteArray("[InternetShortcut]\r\nURL=") + address.toUtf8() + QByteArray("\r\n");
}
