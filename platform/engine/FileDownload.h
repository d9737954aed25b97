#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineDownloadRequest;

// A file a page sent to be saved rather than shown (a link to an attachment, a file
// the engine cannot show). The engine waits for the answer only while Requested runs:
// a download that its handler neither starts nor cancels is cancelled afterwards.
class FileDownload : public QObject
{
    Q_OBJECT

public:
    // Lives as long as the engine's request, which the engine owns.
    explicit FileDownload(QWebEngineDownloadRequest *request);

    // The name the server or the address suggests for the file.
    // The name the server or the address suggests, never that of a hidden file: leading
    // dots are dropped, and a name of dots only becomes the engine's own "download".
    QString suggestedFileName() const;
    static QString safeSuggestedName(const QString &name);
    qint64 receivedBytes() const;
    // -1 while the server has not said how big the file is.
    qint64 totalBytes() const;
    // Where the engine writes the file; it may have changed the name it was given.
    QString path() const;

    // Writes the file at path, whose folder exists. Only within Requested.
    void start(const QString &path);
    void cancel();

    // The engine starts a download cut short anew as a request of its own: this one
    // follows it to the same place, unasked. False when the request is another download.
    bool takeOver(QWebEngineDownloadRequest *request);

    // Why a download failed, in Czech.
    static QString failureReason(int interruptReason);

Q_SIGNALS:
    void Progress(qint64 received, qint64 total);
    // The download ended: completed, or failed or cancelled, with the reason in Czech.
    void Finished(bool completed, const QString &reason);

private:
    void follow(QWebEngineDownloadRequest *request);
    void onStateChanged();

    QPointer<QWebEngineDownloadRequest> m_request;
    quint32 m_id;
    QString m_path;
    bool m_told = false; // Finished has been emitted
};

// Where every browser control hands its downloads on: the program's own handler
// connects here, directly, and answers each one before returning. When the program
// ends, downloads still running are cancelled quietly (no Finished): the engine cannot
// take its profile down with a download under way.
class DownloadRequests : public QObject
{
    Q_OBJECT

public:
    static DownloadRequests &instance();

    void started(FileDownload *download);
    void ended(FileDownload *download);
    // Whether the request continues a running download, which then follows it.
    bool continueRunning(QWebEngineDownloadRequest *request);
    void cancelRunning();

Q_SIGNALS:
    void Requested(FileDownload *download);

private:
    DownloadRequests();

    QList<QPointer<FileDownload>> m_running;
};
