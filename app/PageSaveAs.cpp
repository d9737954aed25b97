#include "app/PageSaveAs.h"

#include "app/SaveTarget.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/BrowserControl.h"
#include "platform/files/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <optional>

namespace PageSaveAs {

namespace {

void tellFailure(const QString &message)
{
    MsgBox(message, MsgBoxStyle::Critical, QStringLiteral("Uživatelská chyba"));
}

// The resources' folder the engine writes beside a document.
QString resourcesFolder(const QString &document)
{
    const QFileInfo info(document);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("_files");
}

// Moves what the engine wrote in the staging folder to the target's names.
bool moveIntoPlace(const QString &staged, const QString &target)
{
    FileSystem &files = FileSystem::current();
    FileStatus resources;
    files.stat(resourcesFolder(staged), resources);
    if (resources.kind == FileKind::Folder) {
        FileStatus taken;
        files.stat(resourcesFolder(target), taken);
        if (taken.kind != FileKind::Missing || files.move(resourcesFolder(staged), resourcesFolder(target)) != 0)
            return false;
    }
    return files.move(staged, target) == 0;
}

} // namespace

QString askTarget(const QString &title)
{
    return askSaveTarget({title, QStringLiteral("Webová stránka, kompletní (*.htm;*.html)|*.htm;*.html"),
                          QStringLiteral("*.htm"),
                          [](const QString &target) { return FileExists(resourcesFolder(target)); }});
}

void save(BrowserControl *web, const QString &target, std::function<void(bool saved)> done)
{
    const QString folder = QFileInfo(target).path();
    auto staging = std::make_shared<QTemporaryDir>(folder + QStringLiteral("/.vorlan-XXXXXX"));
    if (!staging->isValid()) {
        tellFailure(FailedMessage);
        if (done)
            done(false);
        return;
    }
    // The staging folder goes through the file layer, not the temporary folder's own
    // removal, which would follow a link put at its name into another folder.
    staging->setAutoRemove(false);
    FolderIdentity stagingIdentity;
    FileSystem::current().identifyFolder(staging->path(), stagingIdentity);
    const QString staged = staging->filePath(QFileInfo(target).fileName());
    // The engine creates its download folder for a save whether or not the user ever
    // chose it, and takes no other folder for it. The one it made is taken away again
    // once the save is over, only while it is still empty and still the same folder:
    // anything the user put there meanwhile stays.
    const QString engineFolder = BrowserControl::engineDownloadFolder();
    FileStatus before;
    FileSystem::current().stat(engineFolder, before);
    auto made = std::make_shared<std::optional<FolderIdentity>>();
    auto requested = [engineFolder, made, missing = before.kind == FileKind::Missing] {
        FolderIdentity identity;
        if (missing && FileSystem::current().identifyFolder(engineFolder, identity) == 0)
            *made = identity;
    };
    web->savePage(staged, [staging, stagingIdentity, staged, target, done, engineFolder, made](bool saved) {
        // The engine reports from inside its own call; the message waits for the next turn.
        QTimer::singleShot(0, [staging, stagingIdentity, staged, target, done, saved, engineFolder, made] {
            const bool placed = saved && moveIntoPlace(staged, target);
            FileSystem::current().removeOwnFolder(staging->path(), stagingIdentity);
            if (made->has_value())
                FileSystem::current().removeEmptyFolder(engineFolder, made->value());
            if (!placed)
                tellFailure(FailedMessage);
            if (done)
                done(placed);
        });
    }, requested);
}

} // namespace PageSaveAs
