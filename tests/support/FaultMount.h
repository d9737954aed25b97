#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

enum class FaultKind { FullDisk, ReadOnly, RefusesNames };

// A real fault of the file system under a folder, for as long as the object lives:
// a 64 KiB tmpfs mounted over the folder, holding a copy of what the folder held,
// then filled up; or the folder bound read-only onto itself; or a small exFAT disk
// image mounted over it through FUSE, holding a copy of what the folder held, which
// refuses names with a colon or a question mark and folds letter case. Mounting needs root (and for exFAT
// its tools and a loop device): skipReason() says why there is no fault otherwise.
// Unmounted in the destructor, whatever happened in between.
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
    void mountExFat();

    QString m_folder;
    QString m_skipReason;
    bool m_mounted = false;
    QString m_image;
    QString m_loopDevice;
};

inline const char *faultName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::FullDisk: return "FullDisk";
    case FaultKind::ReadOnly: return "ReadOnly";
    case FaultKind::RefusesNames: return "RefusesNames";
    }
    return "";
}
