#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

enum class FaultKind { FullDisk, ReadOnly };

// A real fault of the file system under a folder, for as long as the object lives:
// a 64 KiB tmpfs mounted over the folder, holding a copy of what the folder held,
// then filled up; or the folder bound read-only onto itself. Mounting needs root:
// skipReason() says why there is no fault otherwise. Unmounted in the destructor,
// whatever happened in between.
class FaultMount
{
public:
    FaultMount(FaultKind kind, const QString &folder);
    ~FaultMount();
    FaultMount(const FaultMount &) = delete;
    FaultMount &operator=(const FaultMount &) = delete;

    QString skipReason() const { return m_skipReason; }
    // The name of the file that fills a full disk.
    static QString fillerName() { return QStringLiteral("zz-filler"); }

    // Every file below a folder with its content, by path relative to the folder.
    static QMap<QString, QByteArray> contents(const QString &folder);

private:
    QString m_folder;
    QString m_skipReason;
    bool m_mounted = false;
};

inline const char *faultName(FaultKind kind)
{
    return kind == FaultKind::FullDisk ? "FullDisk" : "ReadOnly";
}

// A disk that folds letter case, for as long as the object lives: an 8 MiB exFAT
// image, made in a temporary folder and attached to a loop device, mounted over the
// folder through FUSE. Needs root, the exFAT tools and /dev/fuse: skipReason() says
// which is missing. Unmounted and detached in the destructor.
class CaseFoldingMount
{
public:
    explicit CaseFoldingMount(const QString &folder);
    ~CaseFoldingMount();
    CaseFoldingMount(const CaseFoldingMount &) = delete;
    CaseFoldingMount &operator=(const CaseFoldingMount &) = delete;

    QString skipReason() const { return m_skipReason; }

private:
    QString m_folder;
    QString m_image;
    QString m_device;
    QString m_skipReason;
    bool m_mounted = false;
};
