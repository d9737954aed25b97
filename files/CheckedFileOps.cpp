#include "files/CheckedFileOps.h"

#include "core/PathServices.h"
#include "platform/files/FileSystem.h"

#include <cerrno>

namespace {

constexpr qint64 FolderSpace = 32000;

FileOpResult refused(int code)
{
    return {code, 0};
}

bool mayNotBeRemoved(int systemError)
{
    return systemError == EACCES || systemError == EPERM || systemError == EROFS;
}

// Where a new file or folder goes: its folder, opened once, and its name there.
// Every check and the change itself go through that one opened folder, so a folder
// replaced by a link after the checks never receives what was meant for it.
struct Place
{
    OpenFolder folder;
    QString name;
};

// Opens the folder of path: Done, or the code for a folder that is not there.
FileOpResult openPlace(const QString &folder, const QString &name, Place &place)
{
    place.name = name;
    const int failure = FileSystem::current().openFolder(folder, place.folder);
    if (failure == ENOENT || failure == ENOTDIR || (failure == EINVAL && folder.isEmpty()))
        return refused(FileOpCode::TargetFolderMissing);
    return fileOpResultOf(failure);
}

FileOpResult openPlaceOf(const QString &path, Place &place)
{
    QString copy = path;
    return openPlace(GetParentPath(path), GetFileName(copy), place);
}

// TargetExists when the name is taken in the opened folder; "." and ".." always are.
FileOpResult checkFree(const Place &place)
{
    FileStatus status;
    const bool taken = place.name == QLatin1String(".") || place.name == QLatin1String("..")
        || FileSystem::current().stat(place.folder, place.name, status) == 0;
    return taken ? refused(FileOpCode::TargetExists) : FileOpResult{};
}

// A name the folder's disk refuses to create is told as such while the folder is
// still there: a disk that does not take some characters (exFAT through FUSE answers
// "no such file" for a colon) would otherwise be told as a missing folder.
FileOpResult creationFailure(int systemError, const Place &place)
{
    if ((systemError == ENOENT || systemError == EINVAL || systemError == EILSEQ) && place.folder.stillLinked())
        return {FileOpCode::NameRefused, systemError, place.name};
    return fileOpResultOf(systemError);
}

FileOpResult unreadable(int systemError, const QString &source)
{
    return {FileOpCode::SourceUnreadable, systemError, source};
}

// A source that is not there is missing; one that is there but out of reach (a
// folder the user may not enter, a path too long) is told as the source's.
FileOpResult sourceFailure(int systemError, const QString &source)
{
    if (systemError == ENOENT || systemError == ENOTDIR || systemError == EINVAL)
        return {FileOpCode::SourceMissing, systemError};
    return unreadable(systemError, source);
}

} // namespace

FileOpResult CopyFileChecked(const QString &source, const QString &target)
{
    FileSystem &files = FileSystem::current();
    // The source is opened once, a link followed, and checked on the descriptor: the
    // file checked is the file copied, whatever is put at its name meanwhile.
    SourceFile file;
    if (const int failure = files.openSource(source, LastStep::FollowLink, file)) {
        if (failure == ENOENT || failure == ENOTDIR || failure == ELOOP)
            return {FileOpCode::SourceMissing, failure};
        // Only a regular file is read: a pipe would wait for a writer for ever.
        if (failure == EISDIR || failure == EINVAL)
            return {FileOpCode::Failed, failure};
        return unreadable(failure, source);
    }
    if (GetDiskFree(target) < file.status().size)
        return refused(FileOpCode::NoSpace);
    Place place;
    if (const FileOpResult opened = openPlaceOf(target, place); opened.code != FileOpCode::Done)
        return opened;
    if (const FileOpResult free = checkFree(place); free.code != FileOpCode::Done)
        return free;
    FailedSide side = FailedSide::None;
    if (const int failure = files.copyInto(file, place.folder, place.name, false, &side)) {
        if (side == FailedSide::Source)
            return unreadable(failure, source);
        return creationFailure(failure, place);
    }
    files.makeWritable(place.folder, place.name);
    return {FileOpCode::Copied, 0};
}

FileOpResult MoveFileChecked(const QString &source, const QString &target)
{
    FileSystem &files = FileSystem::current();
    // A link moves as the link it is; the file at the name is checked in its opened
    // folder, and the move takes that file only.
    Place from;
    QString sourceName = source;
    from.name = GetFileName(sourceName);
    if (const int failure = files.openFolder(GetParentPath(source), from.folder))
        return sourceFailure(failure, source);
    FileStatus status;
    if (const int failure = files.stat(from.folder, from.name, status))
        return sourceFailure(failure, source);
    if (GetDiskFree(target) < status.size)
        return refused(FileOpCode::NoSpace);
    if (status.kind != FileKind::File && status.kind != FileKind::Link)
        return {FileOpCode::Failed, status.kind == FileKind::Folder ? EISDIR : EINVAL};
    Place to;
    if (const FileOpResult opened = openPlaceOf(target, to); opened.code != FileOpCode::Done)
        return opened;
    if (const FileOpResult free = checkFree(to); free.code != FileOpCode::Done)
        return free;
    FailedSide side = FailedSide::None;
    const int failure = files.moveInto(from.folder, from.name, to.folder, to.name, &status, &side);
    if (failure == 0) {
        files.makeWritable(to.folder, to.name);
        return {};
    }
    FileStatus now;
    const bool sourceThere = files.stat(from.folder, from.name, now) == 0 && now.sameFileAs(status);
    // Another file put at the source's name is not the file checked: it is not moved.
    if (failure == ESTALE || !sourceThere)
        return {FileOpCode::SourceMissing, failure};
    if (side == FailedSide::Source)
        return unreadable(failure, source);
    // A source that may not go is copied instead, and stays.
    if (mayNotBeRemoved(failure))
        return CopyFileChecked(source, target);
    return creationFailure(failure, to);
}

FileOpResult WriteTextFile(const QString &text, const QString &path)
{
    const QByteArray bytes = text.toUtf8() + "\r\n";
    if (GetDiskFree(path) < bytes.size())
        return refused(FileOpCode::NoSpace);
    if (text.isEmpty())
        return refused(FileOpCode::SourceMissing);
    Place place;
    if (const FileOpResult opened = openPlaceOf(path, place); opened.code != FileOpCode::Done)
        return opened;
    if (const FileOpResult free = checkFree(place); free.code != FileOpCode::Done)
        return free;
    return creationFailure(FileSystem::current().writeNew(place.folder, place.name, bytes), place);
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
    Place place;
    if (const FileOpResult opened = openPlace(parent, SanitizeFileName(sanitised), place);
        opened.code != FileOpCode::Done)
        return opened;
    return creationFailure(FileSystem::current().makeFolder(place.folder, place.name), place);
}
