#pragma once

#include <QFile>
#include <QString>

#include <csignal>
#include <string>
#include <sys/resource.h>

enum class WriteFailureKind { ReadOnlyFolder, NothingWritten, CutShort };

// Makes every write into a folder fail while it lives: a read-only folder, or a
// file-size limit that refuses any byte, or one that lets a file grow to 512 bytes
// and then fails as a full disk would. A read-only folder does not stop root; the
// limits stop everyone (and test output to files too, so nothing is asserted while
// they are in place).
class WriteFailure
{
public:
    WriteFailure(WriteFailureKind kind, const QString &folder)
        : m_kind(kind)
        , m_folder(folder)
        , m_permissions(QFile::permissions(folder))
    {
        if (m_kind == WriteFailureKind::ReadOnlyFolder) {
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
            return;
        }
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_limit);
        rlimit limit = m_limit;
        limit.rlim_cur = m_kind == WriteFailureKind::CutShort ? 512 : 0;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~WriteFailure()
    {
        if (m_kind == WriteFailureKind::ReadOnlyFolder) {
            QFile::setPermissions(m_folder, m_permissions);
            return;
        }
        setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, m_signal);
    }
    bool effective() const
    {
        if (m_kind != WriteFailureKind::ReadOnlyFolder)
            return true;
        QFile probe(m_folder + "/probe");
        const bool written = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return !written;
    }
    static std::string name(WriteFailureKind kind)
    {
        switch (kind) {
        case WriteFailureKind::ReadOnlyFolder: return "ReadOnlyFolder";
        case WriteFailureKind::NothingWritten: return "NothingWritten";
        case WriteFailureKind::CutShort: return "CutShort";
        }
        return {};
    }

private:
    WriteFailureKind m_kind;
    QString m_folder;
    QFile::Permissions m_permissions;
    rlimit m_limit{};
    void (*m_signal)(int) = SIG_DFL;
};
