#include "platform/store/AtomicFile.h"

#include "platform/system/FileDescriptors.h"

#include "platform/system/ErrorState.h"
#include "platform/system/NoReplaceRename.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTemporaryLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Creates "<path>.XXXXXX" exclusively; the mode is left to the user's umask.
int createTemporary(const QByteArray &path, QByteArray &temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + '.';
        for (int i = 0; i < 6; ++i)
            temporary += kTemporaryLetters[QRandomGenerator::global()->bounded(int(sizeof kTemporaryLetters) - 1)];
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A link is followed, so that the file it points to is the one replaced.
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        raiseSystemError(ErrorNumber::PathFileAccessError, errno, path);
    struct stat existing;
    if (::stat(target.constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
    int failure = writeAllBytes(fd, bytes.constData(), bytes.size());
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0 && errno != EINTR)
        failure = errno;
    if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporary.constData());
        raiseSystemError(ErrorNumber::PathFileAccessError, failure, path);
    }
}

int writeProblemBeside(const QString &path)
{
    QByteArray temporary;
    const int fd = createTemporary(QFile::encodeName(path), temporary);
    if (fd < 0)
        return errno;
    int failure = writeAllBytes(fd, "\n", 1);
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    ::close(fd);
    ::unlink(temporary.constData());
    return failure;
}

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxSize, QString &reason, int &systemError)
{
    systemError = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        systemError = errno;
        reason = systemErrorText(systemError);
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    if (S_ISDIR(info.st_mode)) {
        systemError = EISDIR;
        reason = QStringLiteral("na jeho místě je složka");
    } else if (info.st_size > maxSize) {
        systemError = EFBIG;
        reason = QStringLiteral("je větší než %1 MB, což žádný skutečný soubor tohoto druhu není").arg(maxSize >> 20);
    } else {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t count = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                systemError = errno;
                reason = systemErrorText(systemError);
                break;
            }
            if (count == 0) {
                bytes.truncate(done);
                break;
            }
            done += count;
        }
    }
    ::close(fd);
    if (systemError != 0)
        return std::nullopt;
    return bytes;
}

QString moveAside(const QString &path)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString name = info.completeBaseName() + QStringLiteral("-nečitelný-") + stamp
            + (attempt > 1 ? QStringLiteral("-%1").arg(attempt) : QString()) + suffix;
        const QString aside = info.dir().filePath(name);
        const int failure = renameNoReplace(path, aside);
        if (failure == 0)
            return aside;
        if (failure != EEXIST) {
            errno = failure;
            return {};
        }
    }
    return {};
}

void removeInterruptedSaves(const QString &folder, const QString &targetWildcard)
{
    const QString target = QRegularExpression::wildcardToRegularExpression(
        targetWildcard, QRegularExpression::UnanchoredWildcardConversion);
    const QRegularExpression leftover(QStringLiteral("^(?:%1)\\.(?:[A-Za-z0-9]{6}|lock\\.rmlock)$").arg(target));
    const QDateTime settled = QDateTime::currentDateTime().addSecs(-1);
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (leftover.match(entry.fileName()).hasMatch() && entry.lastModified() < settled)
            QFile::remove(entry.filePath());
    }
}
