#include "app/frmMain.h"

#include "app/WindowLayout.h"
#include "app/WindowWalk.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/ImageList.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/TabStrip.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QTimer>

namespace {

enum Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// The child window's state as the Window menu reads it: 0 normal, 1 minimised, 2 maximised.
int windowStateCode(const QWidget *window)
{
    if (window->isMinimized())
        return 1;
    return window->isMaximized() ? 2 : 0;
}

} // namespace

void frmMain::connectWindowCommands()
{
    tbsWindows->setImageList(imlClose);
    const auto on = [this](const char *name, void (frmMain::*handler)()) {
        connect(menuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("mnuWindowNext", &frmMain::mnuWindowNext_Click);
    on("mnuWindowPrevious", &frmMain::mnuWindowPrevious_Click);
    on("mnuWindowMaximize", &frmMain::mnuWindowMaximize_Click);
    on("mnuWindowClose", &frmMain::mnuWindowClose_Click);
    on("mnuWindowCascade", &frmMain::mnuWindowCascade_Click);
    on("mnuWindowTileHorizontal", &frmMain::mnuWindowTileHorizontal_Click);
    on("mnuWindowTileVertical", &frmMain::mnuWindowTileVertical_Click);
    on("mnuWindowArrangeIcons", &frmMain::mnuWindowArrangeIcons_Click);
    for (int i = 1; i <= 3; ++i)
        connect(menuItem(QStringLiteral("mnuWinSize%1").arg(i)), &QAction::triggered, this,
                [this, i] { mnuWinSize_Click(i); });
    connect(tbsWindows, &TabStrip::mouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &pos) {
                tbsWindows_MouseUp(button, tbsWindows->mapToGlobal(pos));
            });
    picWindows->installEventFilter(this);
    connect(mnuwindow, &QMenu::aboutToShow, this, &frmMain::refreshWindowList);
}

void frmMain::refreshWindowList()
{
    static const char *const kListEntry = "windowListEntry";
    for (QAction *action : mnuwindow->actions()) {
        if (action->property(kListEntry).toBool()) {
            mnuwindow->removeAction(action);
            action->deleteLater();
        }
    }
    const WindowTable &table = windowTable();
    const frmWeb *active = ActiveForm();
    int position = 0;
    for (const auto &[slot, window] : table.WindowSlots) {
        if (!window)
            continue;
        // clang before version 16 cannot capture a structured binding in a lambda.
        const int n = slot;
        if (position++ == 0)
            mnuwindow->addSeparator()->setProperty(kListEntry, true);
        QAction *entry = mnuwindow->addAction(windowListText(position, window->windowTitle()));
        entry->setProperty(kListEntry, true);
        entry->setCheckable(true);
        entry->setChecked(window == active);
        connect(entry, &QAction::triggered, this, [this, n] { runIgnoringErrors([this, n] { activateWindowNumber(n, false); }); });
    }
}

void frmMain::activateWindowNumber(int number, bool focusBrowser)
{
    frmWeb *window = windowTable().slot(number);
    if (!window)
        raiseError(ErrorNumber::ObjectVariableNotSet);
    mdiArea->setActiveSubWindow(window);
    if (focusBrowser)
        window->Web->setFocusToPage();
}

void frmMain::tbsWindows_Click()
{
    IgnoreErrors ignore;
    const QPointer<frmMain> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;
    ignore([this] {
        const QString key = tbsWindows->selectedKey();
        const int number = qRound(key.mid(4).toDouble());
        if (mdiArea->currentSubWindow() != windowTable().slot(number))
            activateWindowNumber(number, false);
    });
    ignore([this] {
        const QString key = tbsWindows->selectedKey();
        if (tbsWindows->image(key) != imlClose->keyAt(1))
            tbsWindows->setImage(key, QString());
    });
}

void frmMain::tbsWindows_MouseUp(Qt::MouseButton button, const QPoint &position)
{
    runIgnoringErrors([&] {
        if (button == Qt::RightButton)
            mnuwindow->popup(position);
    });
}

void frmMain::mnuWindowNext_Click()
{
    walkWindows(true);
}

void frmMain::mnuWindowPrevious_Click()
{
    walkWindows(false);
}

void frmMain::walkWindows(bool forward)
{
    IgnoreErrors ignore;
    WindowTable &table = windowTable();
    const int count = shared().WindowCount;
    int target = 0;
    ignore([&] {
        if (count <= 1)
            return;
        table.WindowSwitchDone = false;
        const int active = requireActiveForm()->number();
        const auto used = [&table](int n) { return table.used(n); };
        const WindowWalk walk = forward ? nextWindow(active, count, used, kMaxWindowNumber)
                                        : previousWindow(active, count, used, kMaxWindowNumber);
        target = walk.target;
        if (target == 0)
            return;
        activateWindowNumber(target, walk.skipped);
        table.WindowSwitchDone = walk.skipped;
    });
    if (ErrorState::isSet())
        LogError(forward ? QStringLiteral("mnuWindowNext_Click") : QStringLiteral("mnuWindowPrevious_Click"),
                 QString::number(count) + settingText(table.WindowSwitchDone) + QString::number(target));
}

void frmMain::mnuWinSize_Click(int Index)
{
    const QSize size = WindowLayout::presetSize(Index);
    if (size.isEmpty())
        return;
    IgnoreErrors ignore;
    ignore([&] {
        frmWeb *window = requireActiveForm();
        window->showNormal();
        window->resize(size);
    });
    if (ErrorState::isSet()) {
        const frmWeb *window = ActiveForm();
        LogError(QStringLiteral("mnuWinSize_Click"),
                 QString::number(Index) + (window ? QString::number(windowStateCode(window)) : QString()));
    }
}

void frmMain::mnuWindowMaximize_Click()
{
    IgnoreErrors ignore;
    ignore([this] {
        frmWeb *window = requireActiveForm();
        QAction *item = menuItem(QStringLiteral("mnuWindowMaximize"));
        if (windowStateCode(window) != 2) {
            window->showMaximized();
            item->setText(QStringLiteral("&Obnovit okno"));
        } else {
            window->showNormal();
            item->setText(QStringLiteral("Ma&ximalizovat okno"));
        }
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuWindowMaximize_Click"));
}

void frmMain::mnuWindowClose_Click()
{
    runIgnoringErrors([this] { requireActiveForm()->close(); });
}

bool frmMain::pagesAgreeToClose()
{
    if (m_askedWindow)
        return false;
    for (const auto &[slot, window] : windowTable().WindowSlots) {
        if (!window || !window->asksBeforeClosing())
            continue;
        // The user sees the page that asks.
        mdiArea->setActiveSubWindow(window);
        m_askedWindow = window;
        const QPointer<frmMain> self(this);
        window->askPageToClose([self](bool mayClose) {
            if (!self)
                return;
            self->m_askedWindow = nullptr;
            if (mayClose) {
                QTimer::singleShot(0, self, [self] { self->close(); });
                return;
            }
            // Staying on one page keeps the program and all its windows; the pages that
            // agreed are asked again next time.
            for (const auto &[n, open] : windowTable().WindowSlots) {
                if (open)
                    open->forgetPageAgreement();
            }
        });
        return false;
    }
    return true;
}

void frmMain::mnuWindowCascade_Click()
{
    arrangeWindows(Cascade);
}

void frmMain::mnuWindowTileHorizontal_Click()
{
    arrangeWindows(TileHorizontal);
}

void frmMain::mnuWindowTileVertical_Click()
{
    arrangeWindows(TileVertical);
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    arrangeWindows(ArrangeIcons);
}

void frmMain::arrangeWindows(int arrangement)
{
    runIgnoringErrors([this, arrangement] {
        const QRect area = mdiArea->viewport()->rect();
        QList<QMdiSubWindow *> open;
        QList<QMdiSubWindow *> minimised;
        for (QMdiSubWindow *window : mdiArea->subWindowList(QMdiArea::CreationOrder))
            (window->isMinimized() ? minimised : open).append(window);
        if (arrangement == ArrangeIcons) {
            const QSize iconSize = minimised.isEmpty() ? QSize() : minimised.first()->size();
            const auto points = WindowLayout::iconPositions(area, iconSize, int(minimised.size()));
            for (int i = 0; i < minimised.size(); ++i)
                minimised[i]->move(points[size_t(i)]);
            return;
        }
        std::vector<QRect> rects;
        if (arrangement == Cascade)
            rects = WindowLayout::cascade(area, int(open.size()), style()->pixelMetric(QStyle::PM_TitleBarHeight));
        else if (arrangement == TileHorizontal)
            rects = WindowLayout::tileHorizontally(area, int(open.size()));
        else
            rects = WindowLayout::tileVertically(area, int(open.size()));
        for (int i = 0; i < open.size(); ++i) {
            if (open[i]->isMaximized())
                open[i]->showNormal();
            open[i]->setGeometry(rects[size_t(i)]);
        }
    });
}
