#include "app/saving/PageSaveAs.h"

#include "app/saving/SaveTarget.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/BrowserControl.h"
#include "platform/files/FileSystem.h"
#include "platform/files/StagingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
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

// Moves what the engine wrote in the staging folder to the target's names, through
// the staging folder opened when it was made and the target's folder opened once.
bool moveIntoPlace(StagingFolder &staging, const QString &target)
{
    FileSystem &files = FileSystem::current();
    OpenFolder into;
    if (files.openFolder(QFileInfo(target).path(), into) != 0)
        return false;
    const QString document = QFileInfo(target).fileName();
    const QString resources = QFileInfo(resourcesFolder(target)).fileName();
    FileStatus staged;
    if (files.stat(staging.filePath(resources), staged) == 0 && staged.kind == FileKind::Folder
        && staging.moveOut(resources, into, resources) != 0)
        return false;
    return staging.moveOut(document, into, document) == 0;
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
    // The engine writes only into a folder of the program's own that nobody else can
    // reach or steer elsewhere; the file layer moves the page out of it.
    auto staging = std::make_shared<StagingFolder>();
    const QString area = stagingArea();
    if (area.isEmpty() || staging->make(area) != 0) {
        tellFailure(FailedMessage);
        if (done)
            done(false);
        return;
    }
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
    web->savePage(staged, [staging, target, done, engineFolder, made](bool saved) {
        // The engine reports from inside its own call; the message waits for the next turn.
        QTimer::singleShot(0, [staging, target, done, saved, engineFolder, made] {
            const bool placed = saved && moveIntoPlace(*staging, target);
            staging->remove();
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
