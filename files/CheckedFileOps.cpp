#include "files/CheckedFileOps.h"

#include "core/PathServices.h"
#include "platform/files/FileSystem.h"

#include <QFileInfo>

#include <cerrno>

namespace {

constexpr qint64 FolderSpace = 32000;

FileOpResult refused(int code)
{
    return {code, 0};
}

bool sourceGone(const QString &source)
{
    FileStatus status;
    return FileSystem::current().stat(source, status) == ENOENT;
}

// A missing file met while the operation ran is the source when the source is gone.
FileOpResult failureOf(int systemError, const QString &source)
{
    FileOpResult result = fileOpResultOf(systemError);
    if (result.code == FileOpCode::TargetFolderMissing && !source.isEmpty() && sourceGone(source))
        result.code = FileOpCode::SourceMissing;
    return result;
}

// 0 when the file can be opened for reading, else the errno that refused it.
int openFailure(const QString &path)
{
    QByteArray nothing;
    return FileSystem::current().readFileHead(path, 0, nothing);
}

bool mayNotBeRemoved(int systemError)
{
    return systemError == EACCES || systemError == EPERM || systemError == EROFS;
}

// The checks both copy and move make before they touch anything. readable is the
// file whose bytes a copy reads: a link's target.
FileOpResult checkBeforeTransfer(const QString &source, const QString &target, bool followLink, QString &readable)
{
    FileSystem &files = FileSystem::current();
    FileStatus status;
    if (const int failure = files.stat(source, status))
        return failure == ENOENT ? FileOpResult{FileOpCode::SourceMissing, failure} : fileOpResultOf(failure);
    readable = source;
    if (status.kind == FileKind::Link && followLink) {
        readable = QFileInfo(source).canonicalFilePath();
        if (readable.isEmpty() || files.stat(readable, status) != 0)
            return refused(FileOpCode::SourceMissing);
    }
    if (GetDiskFree(target) < status.size)
        return refused(FileOpCode::NoSpace);
    // Only a regular file is read: a pipe would wait for a writer for ever.
    if (status.kind != FileKind::File && !(status.kind == FileKind::Link && !followLink))
        return {FileOpCode::Failed, status.kind == FileKind::Folder ? EISDIR : EINVAL};
    if (!FileExists(GetParentPath(target)))
        return refused(FileOpCode::TargetFolderMissing);
    if (FileExists(target))
        return refused(FileOpCode::TargetExists);
    return {};
}

} // namespace

FileOpResult CopyFileChecked(const QString &source, const QString &target)
{
    QString readable;
    const FileOpResult checked = checkBeforeTransfer(source, target, true, readable);
    if (checked.code != FileOpCode::Done)
        return checked;
    FileSystem &files = FileSystem::current();
    if (const int failure = files.copyUnsynced(readable, target)) {
        // The copy's errno does not say which side refused it: a source that cannot
        // be read is told as such, so the target is not blamed for it.
        const int sourceFailure = openFailure(readable);
        if (sourceFailure != 0 && sourceFailure != ENOENT)
            return {FileOpCode::Failed, sourceFailure};
        return failureOf(failure, readable);
    }
    files.makeWritable(target);
    return {FileOpCode::Copied, 0};
}

FileOpResult MoveFileChecked(const QString &source, const QString &target)
{
    QString readable;
    const FileOpResult checked = checkBeforeTransfer(source, target, false, readable);
    if (checked.code != FileOpCode::Done)
        return checked;
    FileSystem &files = FileSystem::current();
    const int failure = files.move(source, target);
    if (mayNotBeRemoved(failure) && !sourceGone(source))
        return CopyFileChecked(source, target);
    if (failure)
        return failureOf(failure, source);
    files.makeWritable(target);
    return {};
}

FileOpResult WriteTextFile(const QString &text, const QString &path)
{
    const QByteArray bytes = text.toUtf8() + "\r\n";
    if (GetDiskFree(path) < bytes.size())
        return refused(FileOpCode::NoSpace);
    if (text.isEmpty())
        return refused(FileOpCode::SourceMissing);
    if (!FileExists(GetParentPath(path)))
        return refused(FileOpCode::TargetFolderMissing);
    if (FileExists(path))
        return refused(FileOpCode::TargetExists);
    return fileOpResultOf(FileSystem::current().writeNew(path, bytes));
}

FileOpResult MakeFolder(const QString &parent, const QString &name)
{
    if (GetDiskFree(parent) < FolderSpace)
        return refused(FileOpCode::NoSpace);
    if (!FileExists(parent))
        return refused(FileOpCode::TargetFolderMissing);
    if (FileExists(parent + name))
        return refused(FileOpCode::TargetExists);
    QString sanitised = name;
    return fileOpResultOf(FileSystem::current().makeFolder(parent + SanitizeFileName(sanitised)));
}
