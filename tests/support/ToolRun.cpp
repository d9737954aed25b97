#include "ToolRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

QString readBack(QTemporaryFile &file)
{
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

} // namespace

ToolRun runTool(const QString &program, const QStringList &arguments, int deadlineMs)
{
    ToolRun run;
    QTemporaryFile out, err;
    if (!out.open() || !err.open()) {
        run.errors = QStringLiteral("no temporary file for the output of %1").arg(program);
        return run;
    }
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0) {
        run.errors = QStringLiteral("%1 could not be started").arg(program);
        return run;
    }
    if (child == 0) {
        const int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, STDIN_FILENO);
        ::dup2(out.handle(), STDOUT_FILENO);
        ::dup2(err.handle(), STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && clock.elapsed() < deadlineMs)
        ::usleep(10000);
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        run.errors = QStringLiteral("%1 did not end within %2 ms").arg(program).arg(deadlineMs);
        return run;
    }
    run.output = readBack(out);
    run.errors = readBack(err);
    run.succeeded = ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.succeeded && run.errors.isEmpty())
        run.errors = QStringLiteral("%1 failed").arg(program);
    return run;
}
