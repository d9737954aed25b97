#include "app/WindowCommands.h"

#include "app/frmMain.h"
#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Toolbar.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

namespace {

// The commands switched as a group, in the order they are treated.
const char *const kWindowCommands[] = {
    "mnuFilePrint",           "mnuWindowClose",        "mnuWindowMaximize", "mnuWindowArrangeIcons",
    "mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowCascade",  "mnuSearchFindonPage",
    "mnuAddToFav",            "mnuWindowSizeAction",   "mnuPageReload",     "mnuPageSaveToAction",
    "mnuPageSaveHTML",        "mnuPageSaveBack",
};
const char *const kPageCommands[] = {"mnuViewStop", "mnuViewRefresh", "mnuGoHome", "mnuGoSearch"};

void setItem(frmMain *main, const char *name, bool enabled)
{
    runIgnoringErrors([&] { main->menuItem(QString::fromLatin1(name))->setEnabled(enabled); });
}

void setButtons(frmMain *main, const QStringList &keys, bool enabled)
{
    for (const QString &key : keys)
        runIgnoringErrors([&] { main->tbToolbar[1]->button(key).setEnabled(enabled); });
}

} // namespace

void SetWinEnabled()
{
    ErrorState::clear();
    frmMain *main = Forms::get<frmMain>();
    const bool several = shared().WindowCount > 1;
    setItem(main, "mnuWindowPrevious", several);
    setItem(main, "mnuWindowNext", several);
    for (const char *name : kWindowCommands)
        setItem(main, name, true);
    runIgnoringErrors([main] { main->txtAddress->setEnabled(true); });
    setButtons(main, {QStringLiteral("gohome"), QStringLiteral("gosearch"), QStringLiteral("refresh"),
                      QStringLiteral("stop"), QStringLiteral("save")},
               true);
    for (const char *name : kPageCommands)
        setItem(main, name, true);
    if (ErrorState::isSet())
        LogError(QStringLiteral("SetWinEnabled"), shared().WindowCount);
}

void SetWinDisabled()
{
    ErrorState::clear();
    frmMain *main = Forms::get<frmMain>();
    setItem(main, "mnuWindowPrevious", false);
    setItem(main, "mnuWindowNext", false);
    for (const char *name : kWindowCommands)
        setItem(main, name, false);
    runIgnoringErrors([main] { main->picMain_Resize(); });
    runIgnoringErrors([main] { main->txtAddress->setEnabled(false); });
    setButtons(main, {QStringLiteral("gohome"), QStringLiteral("gosearch"), QStringLiteral("refresh"),
                      QStringLiteral("forward"), QStringLiteral("back"), QStringLiteral("stop"), QStringLiteral("save")},
               false);
    // The page commands too: with no window they would act on nothing.
    for (const char *name : kPageCommands)
        setItem(main, name, false);
    if (ErrorState::isSet())
        LogError(QStringLiteral("SetWinDisabled"), shared().WindowCount);
}
