#include "platform/system/DetachedProcess.h"

#include "platform/system/ErrorState.h"
#include "platform/system/FileNames.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Only async-signal-safe calls may run between fork and exec.
[[noreturn]] void reportAndExit(int fd, int error)
{
    [[maybe_unused]] const ssize_t written = ::write(fd, &error, sizeof error);
    ::_exit(127);
}

} // namespace

void startDetachedProcess(const QString &program, const QStringList &arguments)
{
    const QString found = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        raiseSystemError(ErrorNumber::FileNotFound, ENOENT, program);
    const QByteArray path = encodeFileName(found);
    std::vector<QByteArray> encoded{encodeFileName(program)};
    for (const QString &argument : arguments)
        encoded.push_back(encodeFileName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The grandchild reports a failed start through the pipe; a successful exec
    // closes it without a word.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        raiseSystemError(ErrorNumber::FileNotFound, errno, program);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            reportAndExit(report[1], errno);
        if (grandchild == 0) {
            struct sigaction defaults = {};
            defaults.sa_handler = SIG_DFL;
            ::sigaction(SIGPIPE, &defaults, nullptr);
            sigset_t none;
            ::sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::execv(path.constData(), argv.data());
            reportAndExit(report[1], errno);
        }
        ::_exit(0);
    }
    const int forkError = errno;
    ::close(report[1]);
    int error = child < 0 ? forkError : 0;
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        ssize_t got;
        do {
            got = ::read(report[0], &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        if (got != sizeof error)
            error = 0;
    }
    ::close(report[0]);
    if (error != 0)
        raiseSystemError(ErrorNumber::FileNotFound, error, program);
}
