// The Page and Tools menu commands that act on the active browser window's page.
#include "app/AddFavoriteDialog.h"
#include "app/FindBar.h"
#include "app/frmMain.h"
#include "browser/BrowserEventRules.h"
#include "browser/FavoriteShortcut.h"
#include "browser/LinksPaneRules.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"

#include <QAction>
#include <QComboBox>
#include <QTimer>

namespace {

bool isPictureAddress(const QString &address)
{
    const QString ending = address.right(3).toLower();
    return ending == QStringLiteral("jpg") || ending == QStringLiteral("gif");
}

} // namespace

void frmMain::connectPageCommands()
{
    const std::pair<const char *, void (frmMain::*)()> commands[] = {
        {"mnuGoBack", &frmMain::mnuGoBack_Click},
        {"mnuGoForward", &frmMain::mnuGoForward_Click},
        {"mnuGoHome", &frmMain::mnuGoHome_Click},
        {"mnuGoSearch", &frmMain::mnuGoSearch_Click},
        {"mnuViewStop", &frmMain::mnuViewStop_Click},
        {"mnuViewRefresh", &frmMain::mnuViewRefresh_Click},
        {"mnuPageReload", &frmMain::mnuPageReload_Click},
        {"mnuAddToFav", &frmMain::mnuAddToFav_Click},
        {"mnuSearchFindonPage", &frmMain::mnuSearchFindonPage_Click},
        {"mnuFilePrint", &frmMain::mnuFilePrint_Click},
        {"mnuAdjustNow", &frmMain::mnuAdjustNow_Click},
    };
    for (const auto &[name, handler] : commands)
        connect(menuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    // The menu has already flipped the check mark when it reports the click; the
    // handler flips it itself, so that calling it directly does the same.
    connect(mnuAdjustImages, &QAction::triggered, this, [this](bool checked) {
        mnuAdjustImages->setChecked(!checked);
        mnuAdjustImages_Click();
    });
}

void frmMain::mnuGoBack_Click()
{
    runIgnoringErrors([this] { requireActiveForm()->Web->GoBack(); });
    ErrorState::clear();
}

void frmMain::mnuGoForward_Click()
{
    runIgnoringErrors([this] { requireActiveForm()->Web->GoForward(); });
    ErrorState::clear();
}

void frmMain::mnuGoHome_Click()
{
    runIgnoringErrors([this] {
        requireActiveForm()->Web->Navigate(RegGetString(HKEY_CURRENT_USER, RegKeys::ExplorerMain, QStringLiteral("Start Page")));
    });
    ErrorState::clear();
}

void frmMain::mnuGoSearch_Click()
{
    runIgnoringErrors([this] {
        requireActiveForm()->Web->Navigate(RegGetString(HKEY_CURRENT_USER, RegKeys::ExplorerMain, QStringLiteral("Search Page")));
    });
    ErrorState::clear();
}

void frmMain::mnuViewStop_Click()
{
    runIgnoringErrors([this] { requireActiveForm()->Web->Stop(); });
    ErrorState::clear();
}

void frmMain::mnuViewRefresh_Click()
{
    IgnoreErrors ignore;
    ignore([this] { requireActiveForm()->Web->Refresh(); });
    ignore([this] { requireActiveForm()->Web->setFocusToPage(); });
    ErrorState::clear();
}

void frmMain::mnuPageReload_Click()
{
    runIgnoringErrors([this] { requireActiveForm()->Web->Refresh2(3); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuPageReload_Click"));
}

void frmMain::mnuAddToFav_Click()
{
    IgnoreErrors ignore;
    QString address;
    QString caption;
    ignore([&] { address = requireActiveForm()->Web->LocationURL(); });
    ignore([&] { caption = requireActiveForm()->windowTitle(); });
    ignore([&] { AddFavorite(address, caption, this); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuAddToFav_Click"), address + caption);
}

void frmMain::mnuSearchFindonPage_Click()
{
    const QString address = txtAddress->currentText();
    if (isPictureAddress(address))
        return;
    runIgnoringErrors([this] { FindBar::showFor(requireActiveForm()->Web); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuSearchFindonPage_Click"), address);
}

void frmMain::mnuFilePrint_Click()
{
    IgnoreErrors ignore;
    if (shared().WindowCount > 0)
        ignore([this] { requireActiveForm()->Web->printWithDialog(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuFilePrint_Click"));
}

void frmMain::mnuAdjustImages_Click()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    ignore([&] {
        const bool adjust = !mnuAdjustImages->isChecked();
        mnuAdjustImages->setChecked(adjust);
        s.AdjustImg = adjust;
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuAdjustImages_Click"), s.AdjustImg);
}

void frmMain::mnuAdjustNow_Click()
{
    ZoomNow();
    ErrorState::clear();
}

void frmMain::FavNodeOpen(const QString &Tag, const QString &Path, bool NewWindow, ShortcutRequest from)
{
    IgnoreErrors ignore;
    if (Tag != QStringLiteral("file"))
        return;
    QString address;
    ignore([&] { address = readShortcutAddress(Path); });
    if (NewWindow) {
        if (isRefusedNewWindowAddress(address))
            ignore([] { MsgBox(QString::fromLatin1(kRefusedNewWindowMessage), MsgBoxStyle::Exclamation, QStringLiteral("Vorlan")); });
        else
            ::NewWindow(address);
    } else if (from == ShortcutRequest::Navigation && isScriptAddress(address)) {
        // A file chosen outside the favorites pane names no page it belongs to: its
        // script would run in whatever page the window shows now, a signed-in site's
        // among them. Told on the next turn: this runs inside the engine's decision.
        QTimer::singleShot(0, this, [] { MsgBox(ScriptLinkRefusedMessage, MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly); });
    } else if (shared().WindowCount > 0) {
        ignore([&] { requireActiveForm()->Web->Navigate(address); });
    }
    ErrorState::clear();
}
