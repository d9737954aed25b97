#pragma once

#include <QObject>
#include <QString>

class FileDownload;
class StatusBar;

// The program's answer to a file a page sends to be saved: the save-file dialog asks
// where (starting in the Personal folder, as "Uložit jako" does), the status bar shows
// how far the download is, and the end or the failure is told. The engine writes into
// a staging folder in the program's private area (StagingFolder); the file takes its
// name through the file layer only once it is whole, so nothing is ever replaced or
// left half written, and no one who may write into the target's folder can steer it.
class FileDownloads : public QObject
{
public:
    FileDownloads(StatusBar *statusBar, QObject *parent);

    // What the status bar says while a download runs.
    static QString progressText(const QString &name, qint64 received, qint64 total);

private:
    void ask(FileDownload *download);
    void showStatus(const QString &text);

    StatusBar *m_statusBar;
};
