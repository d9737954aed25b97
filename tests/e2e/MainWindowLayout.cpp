#include "MainWindowLayout.h"

#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "platform/Forms.h"
#include "platform/TabStrip.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QTabBar>
#include <QTest>
#include <QTimer>

MainWindowLayout MainWindowLayout::measure(const QSize &size)
{
    frmMain *probe = Forms::get<frmMain>();
    probe->tmrNW->stop();
    probe->LoadSettings();
    probe->show();
    probe->tbsWindows->add(WindowTabKey(1), QStringLiteral("Jedna"));
    MainWindowLayout layout;
    layout.measured = QTest::qWaitFor([&] { return probe->size() == size; });
    QCoreApplication::processEvents();
    auto *bar = probe->tbsWindows->findChild<QTabBar *>();
    const QRect tab = bar->tabRect(0);
    layout.firstTab = bar->mapTo(probe, QPoint(tab.left() + 10, tab.center().y()));
    layout.windowArea = probe->mdiArea->mapTo(probe, probe->mdiArea->rect().center());
    layout.address = probe->txtAddress->mapTo(probe, probe->txtAddress->rect().center());
    probe->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return layout;
}
