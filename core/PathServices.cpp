#include "core/PathServices.h"

#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "platform/files/FileSystem.h"
#include "platform/system/DiskInfo.h"
#include "platform/system/ErrorState.h"

#include <QDir>

namespace {

const QChar kSeparator = QLatin1Char('/');

QString textAfterLastSeparator(const QString &path)
{
    const qsizetype at = path.lastIndexOf(kSeparator);
    return at < 0 ? QString() : path.mid(at + 1);
}

// The program's own stand-in for a Windows folder, created on first use. No fixed-size
// buffer: a long home folder path must not cost the program its registry files.
QString emulatedWindowsFolder(const QString &relative, const QString &procedure)
{
    IgnoreErrors ignore;
    QString result;
    ignore([&] {
        // Without a program folder the name would land in whatever the working folder is.
        if (shared().AppFolder.isEmpty())
            raiseError(ErrorNumber::PathNotFound);
        result = shared().AppFolder + relative;
        if (!QDir().mkpath(result))
            raiseError(ErrorNumber::PathFileAccessError);
    });
    if (ErrorState::isSet())
        LogError(procedure, result);
    return result;
}

} // namespace

QString GetFileExtension(const QString &name)
{
    const QString lastPart = name.mid(name.lastIndexOf(kSeparator) + 1);
    const qsizetype dot = lastPart.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QStringLiteral("${other}");
    return lastPart.mid(dot + 1).toLower();
}

QString GetParentPath(const QString &path)
{
    const qsizetype at = path.lastIndexOf(kSeparator);
    if (at < 0)
        return {};
    // A file in the root still has a folder; the root itself has none.
    if (at == 0 && path.size() > 1)
        return QString(kSeparator);
    return path.left(at);
}

qint64 GetDiskFree(const QString &path)
{
    return DiskInfo::freeBytes(path);
}

QString GetFileName(QString &path)
{
    // The root keeps its one "/": an empty text would name no folder at all.
    if (path.size() > 1 && path.endsWith(kSeparator))
        path.chop(1);
    return textAfterLastSeparator(path);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    // Through the layer, which names a file by its bytes; a link counts, even broken.
    FileStatus status;
    return FileSystem::current().stat(path, status) == 0;
}

QString SanitizeFileName(QString &name)
{
    static const std::pair<QChar, QChar> replacements[] = {
        {QChar(13), QChar(0x00B6)},          {QLatin1Char('\\'), QLatin1Char('#')},
        {QLatin1Char('?'), QLatin1Char('#')}, {QLatin1Char(':'), QLatin1Char('#')},
        {QLatin1Char('*'), QLatin1Char('#')}, {QLatin1Char('<'), QChar(0x00AB)},
        {QLatin1Char('>'), QChar(0x00BB)},    {QLatin1Char('|'), QLatin1Char(';')},
        {QLatin1Char('/'), QLatin1Char('#')}, {QLatin1Char('"'), QLatin1Char('\'')},
    };
    for (const auto &[from, to] : replacements)
        name.replace(from, to);
    return name;
}

QString DriveTypeName(const QString &path)
{
    return DiskInfo::driveKind(path);
}

QString WindowsDirectory()
{
    return emulatedWindowsFolder(QStringLiteral("windows"), QStringLiteral("WindowsDirectory"));
}

QString WindowsSystemDirectory()
{
    return emulatedWindowsFolder(QStringLiteral("windows/system"), QStringLiteral("WindowsSystemDirectory"));
}

QString GetLastPathPart(QString &path)
{
    return textAfterLastSeparator(path);
}

std::optional<QString> presetTargetPath(const QString &folder, const QString &fileName)
{
    if (folder.isEmpty())
        return std::nullopt;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}
