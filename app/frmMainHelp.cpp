#include "app/frmMain.h"

#include "app/HelpTexts.h"
#include "browser/WindowTable.h"
#include "core/ErrorLog.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryRead.h"
#include "platform/system/ErrorState.h"
#include "platform/system/ShellOpen.h"

#include <QAction>

// The Help menu and the options, Internet settings and offline commands of Tools.

void frmMain::connectHelpCommands()
{
    const std::pair<const char *, void (frmMain::*)()> commands[] = {
        {"mnuViewOptions", &frmMain::mnuViewOptions_Click},
        {"mnuPageSaveSelect", &frmMain::mnuPageSaveSelect_Click},
        {"mnuInternetSetting", &frmMain::mnuInternetSetting_Click},
        {"mnuHelpContents", &frmMain::mnuHelpContents_Click},
        {"mnuHelpInternetHomePage", &frmMain::mnuHelpInternetHomePage_Click},
        {"mnuHelpEmail", &frmMain::mnuHelpEmail_Click},
        {"mnuHelpAbout", &frmMain::mnuHelpAbout_Click},
    };
    for (const auto &[name, handler] : commands)
        connect(menuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    // The menu has already flipped the check mark when it reports the click: the tick
    // the user saw is put back, and the handler switches by it.
    connect(mnuOffline, &QAction::triggered, this, [this](bool checked) {
        mnuOffline->setChecked(!checked);
        mnuOffline_Click();
    });
}

void frmMain::mnuViewOptions_Click()
{
    runIgnoringErrors([this] { ShowOptionsPage(0); });
    ErrorState::clear();
}

void frmMain::mnuPageSaveSelect_Click()
{
    runIgnoringErrors([this] { ShowOptionsPage(6); });
    ErrorState::clear();
}

// There is no Internet settings panel on this system: the shell finds nothing to open.
// Its answer is not checked, and nothing is logged: nothing failed.
void frmMain::mnuInternetSetting_Click()
{
    runIgnoringErrors([] { shellOpen(WindowsSystemDirectory() + QStringLiteral("/inetcpl.cpl")); });
    ErrorState::clear();
}

// Switches by the tick the user saw: an unticked item always goes offline. The import
// runs at once, so the tick then follows the registry; a failed import leaves both.
void frmMain::mnuOffline_Click()
{
    IgnoreErrors ignore;
    const bool goOffline = !mnuOffline->isChecked();
    const QString folder = WindowsDirectory() + QLatin1Char('/');
    const QString offlineFile = folder + QStringLiteral("offline.reg");
    const QString onlineFile = folder + QStringLiteral("online.reg");
    if (ignore([&] { Registry::instance().importFile(goOffline ? offlineFile : onlineFile); }))
        mnuOffline->setChecked(RegistryRead::isOffline());
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuOffline_Click"),
                 HelpTexts::offlineLogText(mnuOffline->isChecked(), FileExists(offlineFile), FileExists(onlineFile)));
}

void frmMain::mnuHelpContents_Click()
{
    ErrorState::clear();
    int result = 0;
    runIgnoringErrors([&] {
        if (HelpTexts::HelpFile.isEmpty())
            MsgBox(HelpTexts::NoHelpMessage, MsgBoxStyle::OKOnly | MsgBoxStyle::Information, windowTitle(), this);
        else
            result = shellOpen(shared().AppFolder + QStringLiteral("vorlan.hlp"));
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuHelpContents_Click"),
                 HelpTexts::HelpFile + QString::number(result) + shared().AppFolder
                     + (FileExists(shared().AppFolder + QStringLiteral("vorlan.hlp")) ? QStringLiteral("True")
                                                                                       : QStringLiteral("False")));
}

void frmMain::mnuHelpInternetHomePage_Click()
{
    NewWindow(HelpTexts::homePageAddress());
}

void frmMain::mnuHelpEmail_Click()
{
    ErrorState::clear();
    int result = 0;
    runIgnoringErrors([&result] { result = shellOpen(HelpTexts::supportMailto()); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("mnuHelpEmail_Click"), result);
}

void frmMain::mnuHelpAbout_Click()
{
    MsgBox(HelpTexts::aboutText(), MsgBoxStyle::OKOnly | MsgBoxStyle::Information, HelpTexts::AboutTitle, this);
}
