#include "MainWindowTest.h"

#include "Waits.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

namespace {
// Generous: the first page of a run also starts the engine's processes.
constexpr int kPageDeadlineMs = 30000;
} // namespace

void MainWindowTest::SetUp()
{
    resetWindowTable();
    main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->show();
}

void MainWindowTest::TearDown()
{
    failOnOpenDialogs("when the test ended");
    if (Forms::isLoaded<frmMain>()) {
        Forms::get<frmMain>()->close();
        // Pages the test gave input to are asked first whether they may go; their
        // answers come on later turns of the event loop.
        waitFor([] { return !Forms::isLoaded<frmMain>(); }, kPageDeadlineMs);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    resetWindowTable();
    main = nullptr;
}

frmWeb *MainWindowTest::openWindow(const QString &address, const QString &title)
{
    NewWindow(address);
    frmWeb *window = windowTable().slot(windowTable().WindowNumber);
    if (!window || !waitFor([&] { return window->windowTitle() == title && !window->Web->Busy(); },
                                    kPageDeadlineMs))
        return nullptr;
    return window;
}

QVariant MainWindowTest::evaluate(frmWeb *window, const QString &script)
{
    QVariant result;
    bool done = false;
    window->Web->runScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(waitFor([&] { return done; }, kPageDeadlineMs)) << "the script never answered";
    return result;
}
