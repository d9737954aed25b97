#include "app/TerminationSignals.h"

#include "app/frmMain.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/system/TerminationSignals.h"

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
