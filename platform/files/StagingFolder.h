#pragma once

#include "platform/files/FileSystem.h"

#include <QString>

// A folder of the program's own in which the engine writes a download or a saved page
// before the file layer gives it the user's name. It lies in a private area of the
// program's data folder that only the user can write (0700), so that no other user or
// program can put a link or another folder at its name, and it is made fresh for each
// download or save, named after the run that made it. What the engine wrote leaves it
// through the folder opened when it was made; the folder goes only through
// removeOwnFolder, never by a removal that would follow a link.
class StagingFolder
{
public:
    StagingFolder() = default;
    // Removes the folder with what is left in it.
    ~StagingFolder();
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;

    // Makes the folder in the area, which is made 0700 when missing. An area that is a
    // link or no folder, or belongs to another user, is refused (ELOOP, ENOTDIR,
    // EPERM); one open to others is closed to them first. 0 or the errno.
    int make(const QString &area);
    bool isMade() const { return m_folder.isOpen(); }
    // The folder's path, for the engine to write to.
    const QString &path() const { return m_path; }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('/') + name; }

    // How many bytes the files in the folder itself hold.
    qint64 bytesHeld() const;

    // Moves the entry name of the staging folder to toName of the opened target, never
    // replacing: a file by the layer's move (across disks its checked copy); a folder
    // by a rename, or across disks a copy through opened folders. 0 or the errno.
    int moveOut(const QString &name, const OpenFolder &target, const QString &toName);
    // Removes the folder with all it holds through removeOwnFolder; 0 or the errno.
    int remove();

    // Removes every staging folder in the area whose run no longer runs (a crash or a
    // kill left it); those of a copy of the program still running stay. Returns how
    // many went.
    static int sweep(const QString &area);

private:
    OpenFolder m_folder;
    QString m_path;
    FolderIdentity m_identity;
};
