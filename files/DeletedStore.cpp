#include "files/DeletedStore.h"

#include "core/FileSettings.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"
#include "platform/files/FileNames.h"
#include "platform/files/FileSystem.h"
#include "platform/system/DiskInfo.h"
#include "platform/system/ErrorState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>

#include <limits>

namespace DeletedStore {

QString folder()
{
    const QString &appDir = shared().AppDir;
    if (appDir.isEmpty() || !QDir::isAbsolutePath(appDir))
        raiseError(ErrorNumber::PathNotFound);
    return appDir + QStringLiteral("deleted/");
}

qint64 counterFromText(const QString &text)
{
    qint64 number = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const int digit = c.unicode() - '0';
        if (number > (std::numeric_limits<qint64>::max() - digit) / 10)
            raiseError(ErrorNumber::Overflow);
        number = number * 10 + digit;
    }
    return number;
}

namespace {

int utf8Size(const QString &text)
{
    return int(encodeFileName(text).size());
}

// The name cut to at most room bytes: the extension stays when something of the
// name before it can stay too, and a character is never split.
QString fitName(const QString &name, int room)
{
    if (utf8Size(name) <= room)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString extension = dot > 0 ? name.mid(dot) : QString();
    if (utf8Size(extension) >= room)
        extension.clear();
    const QString stem = name.left(name.size() - extension.size());
    const int stemRoom = room - utf8Size(extension);
    int used = 0;
    qsizetype end = 0;
    while (end < stem.size()) {
        const bool pair = stem[end].isHighSurrogate() && end + 1 < stem.size() && stem[end + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const int bytes = utf8Size(stem.mid(end, length));
        if (used + bytes > stemRoom)
            break;
        used += bytes;
        end += length;
    }
    return stem.left(end) + extension;
}

} // namespace

QString storedName(qint64 number, const QString &path, int nameLimit)
{
    QString copy = path;
    const QString digits = (QStringLiteral("00000") + QString::number(number)).right(5);
    return digits + fitName(GetFileName(copy), nameLimit - int(digits.size()));
}

int openStore(const QString &path, OpenFolder &out)
{
    const int failure = FileSystem::current().openFolder(path, out, LastStep::RefuseLink);
    if (failure == ELOOP || failure == ENOTDIR) {
        QString shown = path;
        if (shown.size() > 1 && shown.endsWith(QLatin1Char('/')))
            shown.chop(1);
        MsgBox(QStringLiteral("Složka smazaných souborů %1 je odkaz nebo to není složka. Soubory se do ní "
                              "nepřesouvají, nezobrazují ani z ní neodstraňují.")
                       .arg(shown),
               MsgBoxStyle::Critical);
    }
    return failure;
}

void empty(EmptyingReport *report)
{
    EmptyingReport done;
    if (!report)
        report = &done;
    *report = {};
    const QString store = folder();
    FileSystem &files = FileSystem::current();
    // Listed and emptied through the store opened once: a store put elsewhere or
    // replaced meanwhile never has another folder emptied in its place.
    OpenFolder opened;
    if (const int failure = openStore(store, opened)) {
        report->storeRefused = failure == ELOOP || failure == ENOTDIR;
        raiseFileError(failure);
    }
    FolderListing listing;
    if (const int failure = files.list(opened, listing))
        raiseFileError(failure);
    // Every entry goes by the bytes of its name, so a name that is no valid UTF-8
    // goes too; a folder refuses (EISDIR) and stays.
    QList<QByteArray> names;
    for (const FolderEntry &entry : listing.entries) {
        if (entry.kind != FileKind::Folder)
            names.append(encodeFileName(entry.name));
    }
    bool found = false;
    for (const QByteArray &name : std::as_const(names)) {
        const int failure = files.removeEntry(opened, name);
        if (failure == EISDIR)
            continue;
        found = true;
        if (failure == 0)
            continue;
        ++report->stayed;
        if (!report->failure)
            report->failure = failure;
    }
    if (report->failure)
        raiseFileError(report->failure);
    if (!found)
        raiseError(ErrorNumber::FileNotFound);
}

QString stayedMessage(const EmptyingReport &report)
{
    const int n = report.stayed;
    const QString files = n == 1            ? QStringLiteral("zůstal 1 soubor")
                          : n >= 2 && n <= 4 ? QStringLiteral("zůstaly %1 soubory").arg(n)
                                             : QStringLiteral("zůstalo %1 souborů").arg(n);
    return QStringLiteral("Smazané soubory nebyly odstraněny všechny: ve složce %1 %2. Důvod: %3.")
            .arg(QString(folder()).chopped(1), files, systemErrorText(report.failure));
}

} // namespace DeletedStore

void MoveToDeletedStore(const QString &path)
{
    const QString store = DeletedStore::folder();
    FileSystem &files = FileSystem::current();
    // The file goes into the store that was opened, never through a link put there.
    OpenFolder opened;
    if (const int failure = DeletedStore::openStore(store, opened))
        raiseFileError(failure);
    const QFileInfo source(path);
    OpenFolder sourceFolder;
    if (const int failure = files.openFolder(source.path(), sourceFolder))
        raiseFileError(failure);
    if (const int failure = files.makeWritable(sourceFolder, source.fileName()))
        raiseFileError(failure);
    const qint64 first = DeletedStore::counterFromText(FileSettings::CountDelFiles.text());
    // A stored name that is taken (an emptying left a file there, or the numbers came
    // round) is never replaced: the file takes the next free number. The five digits
    // of a name come round after 100,000 numbers; past those every name is taken.
    const int nameLimit = DiskInfo::nameLimit(store);
    int failure = EEXIST;
    qint64 used = first;
    for (qint64 tried = 0; tried < DeletedStore::NumbersTried; ++tried) {
        if (first > std::numeric_limits<qint64>::max() - tried)
            raiseError(ErrorNumber::Overflow);
        used = first + tried;
        const QString name = DeletedStore::storedName(used, path, nameLimit);
        // A look first, so that a taken name costs no copy of the file across disks.
        FileStatus taken;
        const int look = files.stat(opened, name, taken);
        if (look == 0) {
            failure = EEXIST;
            continue;
        }
        failure = look == ENOENT ? files.moveInto(sourceFolder, source.fileName(), opened, name) : look;
        if (failure != EEXIST)
            break;
    }
    // Past the number used, or tried last: a number tried is used up even when the
    // move failed.
    if (used == std::numeric_limits<qint64>::max())
        raiseError(ErrorNumber::Overflow);
    FileSettings::CountDelFiles.save(used + 1);
    if (failure == 0)
        return;
    if (runtimeErrorOf(failure) == ErrorNumber::PathFileAccessError) {
        MsgBox(QStringLiteral("You cannot delete this file due to forbidden access."), MsgBoxStyle::OKOnly,
               QStringLiteral("Vorlan"));
        return;
    }
    // The user is always told: otherwise the file silently stays where it was.
    const QString why = failure == EEXIST
                                ? QStringLiteral("všech %1 čísel pro jeho uložený název je obsazeno")
                                          .arg(QLocale(QLocale::Czech).toString(DeletedStore::NumbersTried))
                                : systemErrorText(failure);
    QString shown = path;
    MsgBox(QStringLiteral("Soubor %1 se nepodařilo přesunout do složky smazaných souborů: %2.").arg(GetFileName(shown), why),
           MsgBoxStyle::Critical);
    raiseFileError(failure);
}
