#include "app/saving/FileDownloads.h"

#include "app/saving/SaveTarget.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StatusBar.h"
#include "platform/engine/FileDownload.h"
#include "platform/files/FileSystem.h"
#include "platform/files/StagingFolder.h"
#include "platform/system/DiskInfo.h"
#include "platform/system/ErrorState.h"

#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include <cerrno>
#include <memory>

namespace {

void tellFailure(const QString &message)
{
    MsgBox(message, MsgBoxStyle::Critical, QStringLiteral("Uživatelská chyba"));
}

} // namespace

FileDownloads::FileDownloads(StatusBar *statusBar, QObject *parent)
    : QObject(parent)
    , m_statusBar(statusBar)
{
    // Directly: the engine waits for the answer only while the signal runs.
    connect(&DownloadRequests::instance(), &DownloadRequests::Requested, this, &FileDownloads::ask,
            Qt::DirectConnection);
}

QString FileDownloads::progressText(const QString &name, qint64 received, qint64 total)
{
    if (total > 0)
        return QStringLiteral("Stahování souboru %1: %2 %").arg(name).arg(received * 100 / total);
    return QStringLiteral("Stahování souboru %1: %2 kB").arg(name).arg(received / 1024);
}

void FileDownloads::ask(FileDownload *download)
{
    const QPointer<FileDownload> watched(download);
    const QString target = askSaveTarget({download->suggestedFileName(), QStringLiteral("Všechny soubory (*.*)|*.*"), {}, {}});
    if (!watched)
        return;
    if (target.isEmpty()) {
        download->cancel();
        return;
    }
    const QString name = QFileInfo(target).fileName();
    // The engine writes only into a folder of the program's own that nobody else can
    // reach; the file layer then moves the whole file to the user's name.
    auto staging = std::make_shared<StagingFolder>();
    const QString area = stagingArea();
    const int made = area.isEmpty() ? ENOENT : staging->make(area);
    if (made != 0) {
        download->cancel();
        tellFailure(QStringLiteral("Soubor %1 se nepodařilo stáhnout: pracovní složku programu %2 nelze použít (%3).")
                            .arg(name, area, systemErrorText(made)));
        return;
    }
    // A file that cannot fit where the engine writes it is refused as soon as that is
    // known, not once the disk is full: the size when the server gave it (at the
    // request, or with the figures), at least what the engine has received already;
    // what it wrote so far is counted as room.
    auto refused = std::make_shared<bool>(false);
    const auto fits = [this, download, staging, name, area, refused](qint64 received, qint64 total) {
        const qint64 needed = total > 0 ? total : received;
        if (*refused || needed <= 0)
            return true;
        const qint64 room = DiskInfo::freeBytes(staging->path()) + staging->bytesHeld();
        if (room >= needed)
            return true;
        *refused = true;
        download->cancel();
        showStatus(QString());
        const QLocale czech(QLocale::Czech);
        const QString message = QStringLiteral("Soubor %1 se nepodařilo stáhnout: na disku pracovní složky programu %2 "
                                               "je volných %3 bajtů, soubor má %4%5 bajtů.")
                                        .arg(name, area, czech.toString(qMax<qint64>(room, 0)),
                                             total > 0 ? QString() : QStringLiteral("nejméně "), czech.toString(needed));
        QTimer::singleShot(0, this, [message] { tellFailure(message); });
        return false;
    };
    if (!fits(0, download->totalBytes()))
        return;
    const QString staged = staging->filePath(name);
    connect(download, &FileDownload::Progress, this, [this, name, fits](qint64 received, qint64 total) {
        if (fits(received, total))
            showStatus(progressText(name, received, total));
    });
    // The staging folder lives as long as the connection: a download the engine drops
    // at the program's end takes its half-written file with it.
    connect(download, &FileDownload::Finished, this,
            [this, download, staging, target, name, refused](bool completed, const QString &reason) {
                if (*refused) { // told already
                    staging->remove();
                    return;
                }
                int moved = -1;
                if (completed) {
                    // Only what the engine wrote in the staging folder itself leaves it.
                    const QFileInfo written(download->path());
                    OpenFolder into;
                    moved = written.path() != staging->path() ? EINVAL
                            : FileSystem::current().openFolder(QFileInfo(target).path(), into);
                    if (moved == 0)
                        moved = staging->moveOut(written.fileName(), into, name);
                }
                staging->remove();
                if (moved == 0) {
                    showStatus(QStringLiteral("Soubor %1 byl stažen.").arg(name));
                    return;
                }
                showStatus(QString());
                const QString why = !completed                         ? reason
                                    : moved == EEXIST || moved == EINVAL ? QStringLiteral("soubor nelze uložit pod zvoleným názvem")
                                                                         : systemErrorText(moved);
                // Not from inside the engine's signal: the box runs a loop of its own.
                QTimer::singleShot(0, this, [name, why] {
                    tellFailure(QStringLiteral("Soubor %1 se nepodařilo stáhnout: %2.").arg(name, why));
                });
            });
    showStatus(progressText(name, 0, download->totalBytes()));
    download->start(staged);
}

void FileDownloads::showStatus(const QString &text)
{
    runIgnoringErrors([&] { m_statusBar->panel(1).setText(text); });
}
