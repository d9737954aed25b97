#include "ProgramRun.h"

#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

ProgramRun::ProgramRun(const TestEnvironment &env)
    : m_env(env)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

ProgramRun::~ProgramRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool ProgramRun::start(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_env.root());
    m_process.start(QString::fromUtf8(VORLAN_BINARY), arguments);
    return m_process.waitForStarted(10000);
}

bool ProgramRun::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(50);
    }
    return true;
}

bool ProgramRun::waitForWindow(const QString &titlePattern, int timeoutMs)
{
    const QString pid = QString::number(m_process.processId());
    return waitFor(
        [&] {
            bool ok = false;
            const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                           QStringLiteral("--pid"), pid, QStringLiteral("--name"), titlePattern},
                                          &ok);
            return ok && !found.trimmed().isEmpty();
        },
        timeoutMs);
}

bool ProgramRun::close(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return false;
    m_process.terminate();
    if (!m_process.waitForFinished(timeoutMs))
        return false;
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QString ProgramRun::xdotool(const QStringList &arguments, bool *ok)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    const bool finished = tool.waitForFinished(10000);
    if (ok)
        *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString ProgramRun::settingsFile() const
{
    return SettingsStore::instance().filePath();
}

QString ProgramRun::output() const
{
    m_output += QString::fromUtf8(const_cast<QProcess &>(m_process).readAll());
    return m_output;
}

QString ProgramRun::exitSummary() const
{
    return QStringLiteral("state %1, status %2, code %3")
        .arg(m_process.state())
        .arg(m_process.exitStatus())
        .arg(m_process.exitCode());
}
