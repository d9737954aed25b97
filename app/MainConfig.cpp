// Keeping the main window's configuration between runs: geometry, panel, cool bars.
#include "app/frmMain.h"

#include "app/MainGeometry.h"
#include "app/MainSettings.h"
#include "app/panel/PanelRules.h"
#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "core/Version.h"
#include "platform/controls/CoolBar.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/Toolbar.h"
#include "platform/system/Units.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <initializer_list>

using Units::pixelsToTwips;
using Units::twipsToPixels;

namespace {

using BarSettings::Bar;

int readTwips(const Setting &setting)
{
    return twipsToPixels(setting.toInt());
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
    Qt::WindowStates states = windowState();
    const bool stateRead = ignore([&] { states = MainGeometry::statesFromCode(MainSettings::WindowState.toInt()); });
    const bool normal = MainGeometry::stateCode(states) == 0;
    // The area inside the frame, as SaveConfig stores it: the frame is not known before
    // the window manager has framed the window.
    QRect area = normalGeometry();
    bool stored = false;
    stored |= ignore([&] { area.moveLeft(readTwips(MainSettings::MainLeft)); });
    stored |= ignore([&] { area.moveTop(readTwips(MainSettings::MainTop)); });
    stored |= ignore([&] { area.setWidth(readTwips(MainSettings::MainWidth)); });
    stored |= ignore([&] { area.setHeight(readTwips(MainSettings::MainHeight)); });
    // A window started minimised or maximised keeps the stored normal placement for when
    // the user makes it normal, but a key it lacks is no failure of its start.
    if (!normal && stateRead)
        ErrorState::clear();
    // Placed while it is normal, the window records the placement as the one to go back
    // to from a state it takes next. Without any stored value the window manager places it.
    if (normal)
        setWindowState(states);
    if (stored && MainGeometry::stateCode(windowState()) == 0)
        ignore([&] { setGeometry(MainGeometry::ontoScreen(area, availableScreens())); });
    setWindowState(states);
    // The window manager honours a minimised or maximised state only on the window it
    // maps, so the state must survive a new native window.
    MainGeometry::keepStateOnNewNativeWindows(this);
    // A panel stored wider than the window now leaves room for (it was widened while the
    // window was maximised) would push the normal window off the screen.
    ignore([this] {
        const int widest = twipsToPixels(PanelRules::widestPanel(pixelsToTwips(normalWidth())));
        picMain->setFixedWidth(std::min(readTwips(MainSettings::PanelWidth), widest));
    });

    for (int band = 1; band <= 3; ++band)
        ignore([&] { cbTop->band(band).setWidth(readTwips(BarSettings::width(Bar::Top, band))); });
    for (int band = 1; band <= 3; ++band)
        ignore([&] { cbTop->band(band).setNewRow(BarSettings::newRow(Bar::Top, band).toBool()); });
    for (int band = 1; band <= 3; ++band)
        ignore([&] { cbTop->band(band).setVisible(BarSettings::visible(Bar::Top, band).toBool()); });
    ignore([this] { syncBandItems(); });

    for (int band : {2, 3})
        ignore([&] { cbBottom->band(band).setWidth(readTwips(BarSettings::width(Bar::Bottom, band))); });
    for (int band : {2, 3})
        ignore([&] { cbBottom->band(band).setNewRow(BarSettings::newRow(Bar::Bottom, band).toBool()); });
    for (int band : {2, 3, 1})
        ignore([&] { cbBottom->band(band).setVisible(BarSettings::visible(Bar::Bottom, band).toBool()); });
    ignore([this] { syncBandItems(); });

    // The images are adjusted unless the user switched it off.
    ignore([] { shared().AdjustImg = MainSettings::AdjustImg.toBool(); });
    mnuAdjustImages->setChecked(shared().AdjustImg);
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
        ignore([&] { MainSettings::MainLeft.save(pixelsToTwips(area.x())); });
        ignore([&] { MainSettings::MainTop.save(pixelsToTwips(area.y())); });
        ignore([&] { MainSettings::MainWidth.save(pixelsToTwips(area.width())); });
        ignore([&] { MainSettings::MainHeight.save(pixelsToTwips(area.height())); });
    }
    ignore([this] { MainSettings::NWBackground.save(tbToolbar[3]->button(QStringLiteral("background")).value()); });
    ignore([this] { MainSettings::PanelShown.save(!picMain->isHidden()); });
    ignore([this] { MainSettings::WindowState.save(MainGeometry::stateCode(windowState())); });
    ignore([this] { MainSettings::PanelWidth.save(pixelsToTwips(picMain->width())); });
    ignore([this] { MainSettings::AdjustImg.save(mnuAdjustImages->isChecked()); });
    ignore([] { MainSettings::saveProgramLocation(); });
    saveBands(cbTop, Bar::Top, {1, 2, 3}, {2, 3});
    saveBands(cbBottom, Bar::Bottom, {2, 3}, {2, 3});
    ignore([] { SettingsStore::instance().endBatch(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("SaveConfig"));
    reportUnsavedFiles();
}

void frmMain::saveBands(CoolBar *bar, BarSettings::Bar which, std::initializer_list<int> sized,
                        std::initializer_list<int> rowed)
{
    for (int band : sized)
        runIgnoringErrors([&] { BarSettings::width(which, band).save(pixelsToTwips(bar->band(band).width())); });
    for (int band : rowed)
        runIgnoringErrors([&] { BarSettings::newRow(which, band).save(bar->band(band).newRow()); });
    for (int band : sized)
        runIgnoringErrors([&] { BarSettings::position(which, band).save(bar->band(band).position()); });
    for (int band = 1; band <= 3; ++band)
        runIgnoringErrors([&] { BarSettings::visible(which, band).save(bar->band(band).isVisible()); });
}
