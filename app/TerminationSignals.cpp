#include "app/TerminationSignals.h"

#include "app/frmMain.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>

void endOnTerminationSignals(QCoreApplication &app)
{
    onTerminationSignals(app, [] {
        DialogLoops::endAll();
        if (Forms::isLoaded<frmMain>())
            Forms::get<frmMain>()->mnuFileExit_Click();
        else
            QCoreApplication::quit();
    });
}
