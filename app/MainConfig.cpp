// Keeping the main window's configuration between runs: geometry, panel, cool bars.
#include "app/frmMain.h"

#include "app/ErrorLog.h"
#include "app/MainGeometry.h"
#include "app/SharedState.h"
#include "app/Version.h"
#include "platform/CoolBar.h"
#include "platform/ErrorState.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <initializer_list>

using MainGeometry::pixelsToTwips;
using MainGeometry::twipsToPixels;

namespace {

const QString Settings = QStringLiteral("Settings");
const QString Main = QStringLiteral("Main");

QString key(const char *prefix, int band, const char *property)
{
    return QString::fromLatin1(prefix) + QString::number(band) + QString::fromLatin1(property);
}

int readTwips(const QString &section, const QString &name, const QVariant &defaultValue = {})
{
    return twipsToPixels(textToInt(GetSetting(section, name, defaultValue)));
}

bool readBool(const QString &section, const QString &name, const QVariant &defaultValue = {})
{
    return textToBool(GetSetting(section, name, defaultValue));
}

// Only a normal window keeps its own position; the others are placed by the system.
QList<QRect> availableScreens()
{
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    }
    return screens;
}

// At an exit the user asked for, says which files kept their old content because
// the new one could not be written, and why. A termination request must not wait
// for an answer, so it is told nothing; the log has the line.
void reportUnsavedFiles()
{
    if (DialogLoops::ending())
        return;
    QStringList lines;
    for (const std::optional<FileProblem> &problem :
         {SettingsStore::instance().unsavedChanges(), Registry::instance().unsavedChanges()}) {
        if (problem)
            lines << QStringLiteral("„%1“: %2").arg(problem->path, problem->reason);
    }
    if (lines.isEmpty())
        return;
    MsgBox(QStringLiteral("Změny se nepodařilo uložit.\n\n") + lines.join(QStringLiteral("\n"))
               + QStringLiteral("\n\nSoubory zůstaly tak, jak byly uloženy naposledy."),
           MsgBoxStyle::Exclamation, Version::appTitle());
}

} // namespace

void frmMain::LoadSettings()
{
    IgnoreErrors ignore;
    ignore([this] { setWindowState(MainGeometry::statesFromCode(textToInt(GetSetting(Settings, QStringLiteral("WindowState"), 2)))); });
    // The window manager honours a minimised or maximised state only on the window it
    // maps, so the state must survive a new native window.
    MainGeometry::keepStateOnNewNativeWindows(this);
    if (MainGeometry::stateCode(windowState()) == 0) {
        // The area inside the frame, as SaveConfig stores it: the frame is not known
        // before the window manager has framed the window.
        QRect area = geometry();
        bool stored = false;
        stored |= ignore([&] { area.moveLeft(readTwips(Settings, QStringLiteral("MainLeft"))); });
        stored |= ignore([&] { area.moveTop(readTwips(Settings, QStringLiteral("MainTop"))); });
        stored |= ignore([&] { area.setWidth(readTwips(Settings, QStringLiteral("MainWidth"))); });
        stored |= ignore([&] { area.setHeight(readTwips(Settings, QStringLiteral("MainHeight"))); });
        // Without any stored value the window manager places the window.
        if (stored)
            ignore([&] { setGeometry(MainGeometry::ontoScreen(area, availableScreens())); });
    }
    ignore([this] { picMain->setFixedWidth(readTwips(Main, QStringLiteral("Width"))); });

    ignore([this] { cbTop->band(1).setWidth(readTwips(Settings, QStringLiteral("Toolbar1Width"), 0)); });
    ignore([this] { cbTop->band(2).setWidth(readTwips(Settings, QStringLiteral("Toolbar2Width"))); });
    ignore([this] { cbTop->band(3).setWidth(readTwips(Settings, QStringLiteral("Toolbar3Width"), 2000)); });
    const bool topRows[] = {false, true, false};
    for (int band = 1; band <= 3; ++band)
        ignore([&] { cbTop->band(band).setNewRow(readBool(Settings, key("Toolbar", band, "NewRow"), topRows[band - 1])); });
    for (int band = 1; band <= 3; ++band)
        ignore([&] { cbTop->band(band).setVisible(readBool(Settings, key("Toolbar", band, "Visible"), true)); });
    ignore([this] { syncBandItems(); });

    ignore([this] { cbBottom->band(2).setWidth(readTwips(Settings, QStringLiteral("BottomToolbar2Width"))); });
    ignore([this] { cbBottom->band(3).setWidth(readTwips(Settings, QStringLiteral("BottomToolbar3Width"), 0)); });
    ignore([this] { cbBottom->band(2).setNewRow(readBool(Settings, QStringLiteral("BottomToolbar2NewRow"), true)); });
    ignore([this] { cbBottom->band(3).setNewRow(readBool(Settings, QStringLiteral("BottomToolbar3NewRow"), false)); });
    for (int band : {2, 3, 1})
        ignore([&] { cbBottom->band(band).setVisible(readBool(Settings, key("BottomToolbar", band, "Visible"), true)); });
    ignore([this] { syncBandItems(); });

    // The images are adjusted unless the user switched it off.
    ignore([] { shared().AdjustImg = readBool(Main, QStringLiteral("AdjustImg"), true); });
    ignore([this] { mnuAdjustImages->setChecked(shared().AdjustImg); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("LoadSettings"));
}

void frmMain::syncBandItems()
{
    const std::pair<CoolBar *, const char *> items[][3] = {
        {{cbTop, "mnuViewStandard"}, {cbTop, "mnuViewAddress"}, {cbTop, "mnuViewTools"}},
        {{cbBottom, "mnuViewWindowControls"}, {cbBottom, "mnuViewWindowList"}, {cbBottom, "mnuViewStatusBar"}},
    };
    for (const auto &bar : items) {
        for (int band = 1; band <= 3; ++band)
            menuItem(QString::fromLatin1(bar[band - 1].second))->setChecked(bar[band - 1].first->band(band).isVisible());
    }
}

void frmMain::SaveConfig()
{
    IgnoreErrors ignore;
    // The whole configuration goes to the file in one write, at the end.
    SettingsStore::instance().beginBatch();
    const bool normal = MainGeometry::stateCode(windowState()) == 0;
    if (normal) {
        const QRect area = geometry();
        ignore([&] { SaveSetting(Settings, QStringLiteral("MainLeft"), pixelsToTwips(area.x())); });
        ignore([&] { SaveSetting(Settings, QStringLiteral("MainTop"), pixelsToTwips(area.y())); });
        ignore([&] { SaveSetting(Settings, QStringLiteral("MainWidth"), pixelsToTwips(area.width())); });
        ignore([&] { SaveSetting(Settings, QStringLiteral("MainHeight"), pixelsToTwips(area.height())); });
    }
    ignore([this] { SaveSetting(Main, QStringLiteral("NWBackground"), tbToolbar[3]->button(QStringLiteral("background")).value()); });
    ignore([this] { SaveSetting(Main, QStringLiteral("Panel"), !picMain->isHidden()); });
    ignore([this] { SaveSetting(Settings, QStringLiteral("WindowState"), MainGeometry::stateCode(windowState())); });
    ignore([this] { SaveSetting(Main, QStringLiteral("Width"), pixelsToTwips(picMain->width())); });
    ignore([this] { SaveSetting(Main, QStringLiteral("AdjustImg"), mnuAdjustImages->isChecked()); });
    ignore([] {
        const QFileInfo executable(QCoreApplication::applicationFilePath());
        SaveSetting(Main, QStringLiteral("AppPath"), executable.absolutePath().toLower());
        SaveSetting(Main, QStringLiteral("AppName"), executable.completeBaseName().toLower());
    });
    saveBands(cbTop, "Toolbar", {1, 2, 3}, {2, 3});
    saveBands(cbBottom, "BottomToolbar", {2, 3}, {2, 3});
    ignore([] { SettingsStore::instance().endBatch(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("SaveConfig"));
    reportUnsavedFiles();
}

void frmMain::saveBands(CoolBar *bar, const char *prefix, std::initializer_list<int> sized,
                        std::initializer_list<int> rowed)
{
    for (int band : sized)
        runIgnoringErrors([&] { SaveSetting(Settings, key(prefix, band, "Width"), pixelsToTwips(bar->band(band).width())); });
    for (int band : rowed)
        runIgnoringErrors([&] { SaveSetting(Settings, key(prefix, band, "NewRow"), bar->band(band).newRow()); });
    for (int band : sized)
        runIgnoringErrors([&] { SaveSetting(Settings, key(prefix, band, "Position"), bar->band(band).position()); });
    for (int band = 1; band <= 3; ++band)
        runIgnoringErrors([&] { SaveSetting(Settings, key(prefix, band, "Visible"), bar->band(band).isVisible()); });
}
