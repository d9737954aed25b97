// Keeping the main window's configuration between runs: geometry, panel, cool bars.
#include "app/frmMain.h"

#include "app/ErrorLog.h"
#include "app/MainGeometry.h"
#include "app/SharedState.h"
#include "platform/CoolBar.h"
#include "platform/ErrorState.h"
#include "platform/SettingsStore.h"
#include "platform/Toolbar.h"
#include "platform/Units.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <initializer_list>

using Units::pixelsToTwips;
using Units::twipsToPixels;

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

} // namespace

void frmMain::LoadSettings()
{
    IgnoreErrors ignore;
    ignore([this] { setWindowState(MainGeometry::statesFromCode(textToInt(GetSetting(Settings, QStringLiteral("WindowState"), 2)))); });
    if (MainGeometry::stateCode(windowState()) == 0) {
        ignore([this] { move(readTwips(Settings, QStringLiteral("MainLeft")), y()); });
        ignore([this] { move(x(), readTwips(Settings, QStringLiteral("MainTop"))); });
        ignore([this] { resize(readTwips(Settings, QStringLiteral("MainWidth")), height()); });
        ignore([this] { resize(width(), readTwips(Settings, QStringLiteral("MainHeight"))); });
        ignore([this] { setGeometry(MainGeometry::ontoScreen(QRect(pos(), size()), availableScreens())); });
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
    const bool normal = MainGeometry::stateCode(windowState()) == 0;
    if (normal) {
        ignore([this] { SaveSetting(Settings, QStringLiteral("MainLeft"), pixelsToTwips(x())); });
        ignore([this] { SaveSetting(Settings, QStringLiteral("MainTop"), pixelsToTwips(y())); });
        ignore([this] { SaveSetting(Settings, QStringLiteral("MainWidth"), pixelsToTwips(width())); });
        ignore([this] { SaveSetting(Settings, QStringLiteral("MainHeight"), pixelsToTwips(height())); });
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
    if (ErrorState::isSet())
        LogError(QStringLiteral("SaveConfig"));
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
