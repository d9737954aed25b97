#include "ProgramRun.h"

#include "platform/store/SettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

namespace {

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Answers only while a window manager that follows the desktop conventions runs.
bool windowManagerAnswers()
{
    bool ok = false;
    ProgramRun::xdotool({QStringLiteral("get_num_desktops")}, &ok);
    return ok;
}

} // namespace

bool ProgramRun::ensureWindowManager()
{
    static QProcess *manager = nullptr;
    static QTemporaryDir *home = nullptr;
    if (windowManagerAnswers())
        return true;
    if (!manager) {
        home = new QTemporaryDir;
        manager = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home->path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home->path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home->path());
        manager->setProcessEnvironment(environment);
        manager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        manager->setStandardOutputFile(QProcess::nullDevice());
        manager->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        qAddPostRoutine([] {
            manager->terminate();
            manager->waitForFinished(5000);
            delete manager;
            delete home;
        });
    }
    QDeadlineTimer deadline(10000);
    while (!windowManagerAnswers()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

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
    if (!ensureWindowManager()) {
        ADD_FAILURE() << "no window manager runs on the display and openbox did not start";
        return false;
    }
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

QStringList ProgramRun::windows(const QString &titlePattern, Visibility visibility) const
{
    // Without --all, xdotool matches a window of this pid OR of this title.
    QStringList arguments = {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
                             QString::number(pid()), QStringLiteral("--name"), titlePattern};
    if (visibility == Visibility::Shown)
        arguments.insert(1, QStringLiteral("--onlyvisible"));
    return lines(xdotool(arguments));
}

QString ProgramRun::titles() const
{
    QStringList titles;
    for (const QString &window : windows(QString()))
        titles << QLatin1Char('"') + xdotool({QStringLiteral("getwindowname"), window}).trimmed() + QLatin1Char('"');
    return titles.join(QStringLiteral(", "));
}

::testing::AssertionResult ProgramRun::waitForWindow(const QString &titlePattern, int timeoutMs)
{
    if (waitFor([&] { return !windows(titlePattern).isEmpty(); }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no window titled /" << titlePattern.toStdString() << "/ within "
                                         << timeoutMs << " ms; the program's windows: " << titles().toStdString()
                                         << "; " << exitSummary().toStdString() << "\n" << output().toStdString();
}

QString ProgramRun::mainWindow() const
{
    return windows(QStringLiteral("^Vorlan - ")).value(0);
}

QSize ProgramRun::mainWindowSize(int timeoutMs)
{
    QSize size;
    waitFor([&] { return !(size = geometryOf(mainWindow()).size()).isEmpty(); }, timeoutMs);
    return size;
}

::testing::AssertionResult ProgramRun::activateMainWindow()
{
    if (auto found = waitForWindow(QStringLiteral("^Vorlan - ")); !found)
        return found;
    const QString window = mainWindow();
    bool ok = false;
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}, &ok);
    const QString active = xdotool({QStringLiteral("getactivewindow")}).trimmed();
    if (ok && active == window)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the main window " << window.toStdString()
                                         << " did not become the active window (active: " << active.toStdString() << ")";
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

bool ProgramRun::key(const QStringList &keys)
{
    bool ok = false;
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keys, &ok);
    return ok;
}

bool ProgramRun::type(const QString &text)
{
    bool ok = false;
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text}, &ok);
    return ok;
}

bool ProgramRun::click(const QString &window, const QPoint &point)
{
    bool ok = false;
    // The pointer lands on the point whatever xdotool reports for the move itself.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(point.x()),
             QString::number(point.y())});
    xdotool({QStringLiteral("click"), QStringLiteral("1")}, &ok);
    return ok;
}

QRect ProgramRun::geometryOf(const QString &window)
{
    // xwininfo, not xdotool: under a window manager that puts a frame round the window,
    // xdotool counts the frame's offset twice.
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    xwininfo.waitForFinished(10000);
    const QString text = QString::fromUtf8(xwininfo.readAllStandardOutput());
    const auto number = [&](const char *label) {
        return QRegularExpression(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)")).match(text).captured(1);
    };
    const QString x = number("Absolute upper-left X"), y = number("Absolute upper-left Y");
    const QString width = number("Width"), height = number("Height");
    if (x.isEmpty() || y.isEmpty() || width.isEmpty() || height.isEmpty())
        return {};
    return {x.toInt(), y.toInt(), width.toInt(), height.toInt()};
}

QString ProgramRun::settingsFile() const
{
    return SettingsStore::instance().filePath();
}

std::string ProgramRun::stored(const char *key) const
{
    return QSettings(settingsFile(), QSettings::IniFormat).value(QString::fromLatin1(key)).toString().toStdString();
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
