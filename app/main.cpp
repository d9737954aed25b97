#include "app/ProgramIcon.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// A session that ends (logout, kill) closes the main window the same way the
// "Konec" command does, so the configuration is saved.
void closeOnTerminationSignals(QApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t count = ::read(g_signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        if (Forms::isLoaded<frmMain>())
            Forms::get<frmMain>()->mnuFileExit_Click();
        else
            QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlan"));
    QApplication::setWindowIcon(programIcon());
    // The process lives as long as the main window, which silent mode never shows.
    QApplication::setQuitOnLastWindowClosed(false);
    closeOnTerminationSignals(app);

    shared().CommandLine = commandLineFromArguments(QCoreApplication::arguments());
    Main();
    if (!Forms::isLoaded<frmMain>())
        return 1;
    QObject::connect(Forms::get<frmMain>(), &QObject::destroyed, &app, &QCoreApplication::quit);
    return app.exec();
}
