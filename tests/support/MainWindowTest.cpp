#include "MainWindowTest.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "platform/Forms.h"

#include <QCoreApplication>
#include <QTimer>

void MainWindowTest::SetUp()
{
    resetWindowTable();
    main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
}

void MainWindowTest::TearDown()
{
    if (Forms::isLoaded<frmMain>())
        Forms::get<frmMain>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    resetWindowTable();
    main = nullptr;
}
