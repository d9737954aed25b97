#include "platform/engine/FileDownload.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>

#include <utility>

FileDownload::FileDownload(QWebEngineDownloadRequest *request)
    : QObject(request)
    , m_request(request)
{
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this] { emit Progress(receivedBytes(), totalBytes()); });
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, &FileDownload::onFinished);
}

QString FileDownload::suggestedFileName() const
{
    return m_request ? m_request->suggestedFileName() : QString();
}

qint64 FileDownload::receivedBytes() const
{
    return m_request ? m_request->receivedBytes() : 0;
}

qint64 FileDownload::totalBytes() const
{
    return m_request && m_request->totalBytes() > 0 ? m_request->totalBytes() : -1;
}

void FileDownload::start(const QString &path)
{
    if (!m_request)
        return;
    const QFileInfo target(path);
    m_request->setDownloadDirectory(target.absolutePath());
    m_request->setDownloadFileName(target.fileName());
    m_request->accept();
    DownloadRequests::instance().started(this);
}

void FileDownload::cancel()
{
    if (m_request)
        m_request->cancel();
}

void FileDownload::onFinished()
{
    if (!m_request || !m_request->isFinished())
        return;
    const bool completed = m_request->state() == QWebEngineDownloadRequest::DownloadCompleted;
    emit Finished(completed, completed ? QString()
                                       : failureReason(m_request->interruptReason(), m_request->interruptReasonString()));
}

QString FileDownload::failureReason(int interruptReason, const QString &engineText)
{
    using R = QWebEngineDownloadRequest;
    switch (interruptReason) {
    case R::FileAccessDenied: return QStringLiteral("do složky nelze zapisovat");
    case R::FileNoSpace: return QStringLiteral("na disku není dost místa");
    case R::FileNameTooLong: return QStringLiteral("název souboru je příliš dlouhý");
    case R::FileTooLarge: return QStringLiteral("soubor je na tento disk příliš velký");
    case R::FileFailed:
    case R::FileTransientError: return QStringLiteral("soubor nelze zapsat");
    case R::FileVirusInfected:
    case R::FileBlocked:
    case R::FileSecurityCheckFailed: return QStringLiteral("soubor byl zablokován");
    case R::FileTooShort:
    case R::FileHashMismatch: return QStringLiteral("soubor nepřišel celý");
    case R::NetworkFailed: return QStringLiteral("síť selhala");
    case R::NetworkTimeout: return QStringLiteral("server přestal odpovídat");
    case R::NetworkDisconnected: return QStringLiteral("spojení se přerušilo");
    case R::NetworkServerDown: return QStringLiteral("server není dostupný");
    case R::NetworkInvalidRequest: return QStringLiteral("požadavek nelze odeslat");
    case R::ServerFailed: return QStringLiteral("server ohlásil chybu");
    case R::ServerBadContent: return QStringLiteral("soubor na serveru není");
    case R::ServerUnauthorized:
    case R::ServerForbidden: return QStringLiteral("server soubor nevydal");
    case R::ServerCertProblem: return QStringLiteral("certifikát serveru není důvěryhodný");
    case R::ServerUnreachable: return QStringLiteral("server není dostupný");
    case R::UserCanceled: return QStringLiteral("stahování bylo zrušeno");
    default: return engineText.isEmpty() ? QStringLiteral("neznámá chyba") : engineText;
    }
}

DownloadRequests::DownloadRequests()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &DownloadRequests::cancelRunning);
}

DownloadRequests &DownloadRequests::instance()
{
    static DownloadRequests requests;
    return requests;
}

void DownloadRequests::started(FileDownload *download)
{
    m_running.removeAll(nullptr);
    m_running.append(download);
}

void DownloadRequests::cancelRunning()
{
    for (const QPointer<FileDownload> &download : std::exchange(m_running, {})) {
        if (!download)
            continue;
        download->blockSignals(true);
        download->cancel();
    }
}
