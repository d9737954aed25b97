#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

// Things that stand where a start file should be. The device is a private node of
// the null device made in the test's own folder, never the system's.
namespace SpecialFiles {

inline bool makeDevice(const QString &path)
{
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

inline bool makePipe(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
}

inline bool isDevice(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

inline bool isRegular(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace SpecialFiles

// Whoever waits on a pipe for a writer is let go after a few seconds, so that a
// test of code that should never wait there fails instead of hanging.
class PipeRelease
{
public:
    explicit PipeRelease(QString pipe, std::chrono::milliseconds after = std::chrono::seconds(3))
        : m_thread([this, name = QFile::encodeName(pipe), after] {
            const auto end = std::chrono::steady_clock::now() + after;
            while (!m_done && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            while (!m_done) {
                const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        })
    {
    }
    ~PipeRelease()
    {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};
