#include "app/ProgramIcon.h"
#include "app/Startup.h"
#include "app/TerminationSignals.h"
#include "app/frmMain.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

namespace {

// The toolkit's own dialogs (files, printing, standard buttons) speak the program's
// language, whatever the system's is.
void loadToolkitTranslations(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
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
    loadToolkitTranslations(app);
    endOnTerminationSignals(app);

    shared().CommandLine = commandLineFromArguments(QCoreApplication::arguments());
    Main();
    if (!Forms::isLoaded<frmMain>())
        return 1;
    QObject::connect(Forms::get<frmMain>(), &QObject::destroyed, &app, &QCoreApplication::quit);
    QTimer::singleShot(0, &app, &DialogLoops::markMainLoop);
    return app.exec();
}
