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
#include <functional>
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

// What stands in place of a file that is not a regular one, for telling the user.
QString kindReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("na jeho místě je složka");
    if (S_ISFIFO(mode))
        return QStringLiteral("na jeho místě je roura");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("na jeho místě je zařízení");
    if (S_ISSOCK(mode))
        return QStringLiteral("na jeho místě je soket");
    return QStringLiteral("není to obyčejný soubor");
}

} // namespace

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A link to a regular file is followed, so that the file it points to is the one
    // replaced; anything else (a device, a pipe, a folder) is never replaced.
    const QByteArray target = QFile::encodeName(replaceableTarget(path));
    struct stat existing;
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        raiseSystemError(ErrorNumber::PathFileAccessError, S_ISDIR(existing.st_mode) ? EISDIR : EEXIST, path);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        raiseSystemError(ErrorNumber::PathFileAccessError, errno, path);
    if (exists)
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

QString replaceableTarget(const QString &path)
{
    QString target = path;
    // As many links as the system itself follows.
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
    }
    return target;
}

QString notRegularFileReason(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    return kindReason(info.st_mode);
}

std::optional<FileProblem> setAsideUnlessRegular(const QString &path)
{
    const QString reason = notRegularFileReason(path);
    if (reason.isEmpty())
        return std::nullopt;
    return FileProblem{path, reason, moveAside(path)};
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
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Opening a pipe waits for a writer and opening a device may act on it: only a
    // regular file is opened, and without waiting in case one was swapped in since.
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        systemError = S_ISDIR(info.st_mode) ? EISDIR : EEXIST;
        reason = kindReason(info.st_mode);
        return std::nullopt;
    }
    const int fd = openRegularFile(AT_FDCWD, name.constData(), true, info);
    if (fd < 0) {
        const int failure = errno;
        // EINVAL or EISDIR: something else was put at the path since the look above.
        systemError = failure == EINVAL ? EEXIST : failure;
        reason = failure == EINVAL || failure == EISDIR ? notRegularFileReason(path) : QString();
        if (reason.isEmpty())
            reason = systemErrorText(failure);
        return std::nullopt;
    }
    QByteArray bytes;
    if (!S_ISREG(info.st_mode)) {
        systemError = S_ISDIR(info.st_mode) ? EISDIR : EEXIST;
        reason = kindReason(info.st_mode);
    } else if (info.st_size > maxSize) {
        systemError = EFBIG;
        reason = QStringLiteral("je větší než %1 MB, což žádný skutečný soubor tohoto druhu není").arg(maxSize >> 20);
    } else {
        bytes.resize(qsizetype(info.st_size));
        const qint64 done = readAllBytes(fd, bytes.data(), bytes.size());
        if (done < 0) {
            systemError = errno;
            reason = systemErrorText(systemError);
        } else {
            bytes.truncate(qsizetype(done));
        }
    }
    ::close(fd);
    if (systemError != 0)
        return std::nullopt;
    return bytes;
}

FileStamp stampOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            quint64(info.st_ino), quint64(info.st_dev)};
}

namespace {

// Tries names beside the path ("registry.reg" gives "registry-<word>-20250102-030405.reg",
// then "-2", "-3" ...) until place takes one; place returns 0, EEXIST to try the
// next name, or another errno to stop.
QString placeBeside(const QString &path, const QString &word, const std::function<int(const QString &)> &place)
{
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString name = info.completeBaseName() + QLatin1Char('-') + word + QLatin1Char('-') + stamp
            + (attempt > 1 ? QStringLiteral("-%1").arg(attempt) : QString()) + suffix;
        const QString beside = info.dir().filePath(name);
        const int failure = place(beside);
        if (failure == 0)
            return beside;
        if (failure != EEXIST) {
            errno = failure;
            return {};
        }
    }
    errno = EEXIST;
    return {};
}

} // namespace

QString moveAside(const QString &path)
{
    return placeBeside(path, QStringLiteral("nečitelný"), [&](const QString &aside) { return renameNoReplace(path, aside); });
}

QString keepCopy(const QString &path, const QByteArray &bytes)
{
    return placeBeside(path, QStringLiteral("kopie"), [&](const QString &copy) {
        const QByteArray name = QFile::encodeName(copy);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        int failure = writeAllBytes(fd, bytes.constData(), bytes.size());
        if (failure == 0 && ::fsync(fd) != 0)
            failure = errno;
        ::close(fd);
        if (failure != 0)
            ::unlink(name.constData());
        return failure;
    });
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
