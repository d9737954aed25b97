#include "platform/engine/FileDownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>

#include <utility>

namespace {

// A reason the engine reports that its request type names no value for.
constexpr int kContentLengthMismatch = 38;

} // namespace

FileDownload::FileDownload(QWebEngineDownloadRequest *request)
    : QObject(request)
    , m_request(request)
    , m_id(request->id())
{
    follow(request);
}

void FileDownload::follow(QWebEngineDownloadRequest *request)
{
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this] { emit Progress(receivedBytes(), totalBytes()); });
    connect(request, &QWebEngineDownloadRequest::isFinishedChanged, this, &FileDownload::onStateChanged);
    // An interrupted download the engine could resume later is not finished for it; here
    // nothing resumes it, so it has failed.
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, &FileDownload::onStateChanged);
}

QString FileDownload::suggestedFileName() const
{
    return m_request ? safeSuggestedName(m_request->suggestedFileName()) : QString();
}

QString FileDownload::safeSuggestedName(const QString &name)
{
    // A server must not name a hidden file, such as a start-up script in the home
    // folder, that one Enter would save where the user never sees it.
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == QLatin1Char('.') || name.at(start).isSpace()))
        ++start;
    if (start == name.size())
        return name.isEmpty() ? name : QStringLiteral("download");
    return name.mid(start);
}

qint64 FileDownload::receivedBytes() const
{
    return m_request ? m_request->receivedBytes() : 0;
}

qint64 FileDownload::totalBytes() const
{
    return m_request && m_request->totalBytes() > 0 ? m_request->totalBytes() : -1;
}

QString FileDownload::path() const
{
    if (!m_request)
        return m_path;
    return QDir(m_request->downloadDirectory()).filePath(m_request->downloadFileName());
}

void FileDownload::start(const QString &path)
{
    if (!m_request)
        return;
    m_path = path;
    const QFileInfo target(path);
    m_request->setDownloadDirectory(target.absolutePath());
    m_request->setDownloadFileName(target.fileName());
    m_request->accept();
    DownloadRequests::instance().started(this);
}

bool FileDownload::takeOver(QWebEngineDownloadRequest *request)
{
    if (m_told || request->id() != m_id || request == m_request)
        return false;
    if (m_request)
        disconnect(m_request, nullptr, this, nullptr);
    m_request = request;
    setParent(request);
    follow(request);
    start(m_path);
    return true;
}

void FileDownload::cancel()
{
    if (m_request)
        m_request->cancel();
}

void FileDownload::onStateChanged()
{
    if (!m_request || m_told)
        return;
    const bool interrupted = m_request->state() == QWebEngineDownloadRequest::DownloadInterrupted;
    if (!m_request->isFinished() && !interrupted)
        return;
    m_told = true;
    DownloadRequests::instance().ended(this);
    const bool completed = m_request->state() == QWebEngineDownloadRequest::DownloadCompleted;
    const QString reason = completed ? QString()
                                     : failureReason(m_request->interruptReason());
    if (interrupted && !m_request->isFinished())
        m_request->cancel(); // the engine takes away what it wrote
    emit Finished(completed, reason);
}

QString FileDownload::failureReason(int interruptReason)
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
    // The server sent less or more than it announced.
    case kContentLengthMismatch: return QStringLiteral("soubor nepřišel celý");
    // The engine's own description is English.
    default: return QStringLiteral("stahování selhalo (chyba %1)").arg(interruptReason);
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
    if (!m_running.contains(download))
        m_running.append(download);
}

void DownloadRequests::ended(FileDownload *download)
{
    m_running.removeAll(download);
}

bool DownloadRequests::continueRunning(QWebEngineDownloadRequest *request)
{
    for (const QPointer<FileDownload> &download : std::as_const(m_running)) {
        if (download && download->takeOver(request))
            return true;
    }
    return false;
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
