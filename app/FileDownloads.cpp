#include "app/FileDownloads.h"

#include "app/SaveTarget.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/StatusBar.h"
#include "platform/engine/FileDownload.h"
#include "platform/files/FileSystem.h"
#include "platform/system/ErrorState.h"

#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

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
    auto staging = std::make_shared<QTemporaryDir>(QFileInfo(target).path() + QStringLiteral("/.vorlan-XXXXXX"));
    if (!staging->isValid()) {
        download->cancel();
        tellFailure(QStringLiteral("Soubor %1 se nepodařilo stáhnout: do složky nelze zapisovat.").arg(name));
        return;
    }
    const QString staged = staging->filePath(name);
    connect(download, &FileDownload::Progress, this, [this, name](qint64 received, qint64 total) {
        showStatus(progressText(name, received, total));
    });
    // The staging folder lives as long as the connection: a download the engine drops
    // at the program's end takes its half-written file with it.
    connect(download, &FileDownload::Finished, this,
            [this, download, staging, target, name](bool completed, const QString &reason) {
                const int moved = completed ? FileSystem::current().move(download->path(), target) : -1;
                staging->remove();
                if (moved == 0) {
                    showStatus(QStringLiteral("Soubor %1 byl stažen.").arg(name));
                    return;
                }
                showStatus(QString());
                const QString why = completed ? QStringLiteral("soubor nelze uložit pod zvoleným názvem") : reason;
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
