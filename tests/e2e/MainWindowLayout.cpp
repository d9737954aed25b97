#include "MainWindowLayout.h"

#include "Waits.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/TabStrip.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <utility>

MainWindowLayout MainWindowLayout::measure(const QSize &size)
{
    // What the probe logs is not the program's: it goes to a folder of its own.
    QTemporaryDir probeFolder;
    const QString programFolder = std::exchange(shared().AppFolder, probeFolder.path() + QLatin1Char('/'));
    frmMain *probe = Forms::get<frmMain>();
    probe->tmrNW->stop();
    probe->LoadSettings();
    probe->show();
    probe->tbsWindows->add(WindowTabKey(1), QStringLiteral("Jedna"));
    MainWindowLayout layout;
    layout.measured = waitFor([&] { return probe->size() == size; });
    QCoreApplication::processEvents();
    auto *bar = probe->tbsWindows->findChild<QTabBar *>();
    const QRect tab = bar->tabRect(0);
    layout.firstTab = bar->mapTo(probe, QPoint(tab.left() + 10, tab.center().y()));
    layout.windowArea = probe->mdiArea->mapTo(probe, probe->mdiArea->rect().center());
    layout.address = probe->txtAddress->mapTo(probe, probe->txtAddress->rect().center());
    layout.splitterGrip = probe->imgSplitter->mapTo(probe, probe->imgSplitter->rect().center());
    probe->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shared().AppFolder = programFolder;
    return layout;
}
