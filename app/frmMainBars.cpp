// The main window's cool bars and the View menu's bar and band switches.
#include "app/frmMain.h"

#include "app/MainSettings.h"
#include "platform/controls/CoolBar.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"
#include "platform/system/Units.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QSlider>

using Units::twipsToPixels;

namespace {

// Designed sizes, in twips.
constexpr int StandardMinHeight = 540;
constexpr int StandardIconMinHeight = 330; // without button text
constexpr int StandardWidth = 13125;
constexpr int AddressMinHeight = 330;
constexpr int AddressWidth = 55005;
constexpr int ToolsMinHeight = 255;
constexpr int ToolsWidth = 2000;
constexpr int WinCmdMinHeight = 330;
constexpr int WindowsMinHeight = 330;
constexpr int WindowsWidth = 6000;
constexpr int StatusMinHeight = 300;
constexpr int StatusWidth = 11025;
// What the children need at least to be usable.
constexpr int AddressMinWidth = 1500;
constexpr int ToolsMinWidth = 900;
constexpr int WindowsMinWidth = 1500;

CoolBarBand &designBand(CoolBar *bar, const char *key, const QString &caption, QWidget *child, int minHeight,
                        int width, int minWidth = 0)
{
    CoolBarBand &band = bar->addBand(QString::fromLatin1(key), caption, child);
    band.setMinHeight(twipsToPixels(minHeight));
    band.setMinWidth(twipsToPixels(minWidth));
    band.setWidth(twipsToPixels(width));
    return band;
}

} // namespace

void frmMain::createBars(QWidget *owner)
{
    txtAddress = new QComboBox(owner);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    txtAddress->setEditable(true);
    txtAddress->setInsertPolicy(QComboBox::NoInsert);
    txtAddress->setEnabled(false);
    sliZoom = new QSlider(Qt::Horizontal, owner);
    sliZoom->setObjectName(QStringLiteral("sliZoom"));
    sliZoom->setRange(1, 1000);
    sliZoom->setValue(100);
    sliZoom->setEnabled(false);
    // Only the user's own moves zoom; the value set from code just shows a percentage.
    connect(sliZoom, &QAbstractSlider::actionTriggered, this,
            [this] { QMetaObject::invokeMethod(this, &frmMain::sliZoom_Change, Qt::QueuedConnection); });

    cbTop = new CoolBar(owner);
    cbTop->setObjectName(QStringLiteral("cbTop"));
    designBand(cbTop, "standard", QString(), tbToolbar[1], StandardMinHeight, StandardWidth);
    designBand(cbTop, "address", QStringLiteral("Adresa"), txtAddress, AddressMinHeight, AddressWidth, AddressMinWidth)
        .setNewRow(true);
    designBand(cbTop, "tools", QStringLiteral("Zvětšení"), sliZoom, ToolsMinHeight, ToolsWidth, ToolsMinWidth);

    picWindows = new QWidget(owner);
    picWindows->setObjectName(QStringLiteral("picWindows"));
    auto *tabsLayout = new QHBoxLayout(picWindows);
    tabsLayout->setContentsMargins(0, 0, 0, 0);
    tbsWindows = new TabStrip(picWindows);
    tbsWindows->setObjectName(QStringLiteral("tbsWindows"));
    tabsLayout->addWidget(tbsWindows);
    connect(tbsWindows, &TabStrip::clicked, this, &frmMain::tbsWindows_Click);
    createStatusBar(owner);

    cbBottom = new CoolBar(owner);
    cbBottom->setObjectName(QStringLiteral("cbBottom"));
    designBand(cbBottom, "wincmd", QString(), tbToolbar[3], WinCmdMinHeight, 0).setStyle(BandStyle::FixedSize);
    designBand(cbBottom, "windows", QStringLiteral("Okna"), picWindows, WindowsMinHeight, WindowsWidth, WindowsMinWidth);
    // Rather than squeeze the status panels beside the tabs until the status text cannot
    // be read, a narrow window shows them on a row of their own.
    designBand(cbBottom, "status", QString(), sbStatusBar, StatusMinHeight, StatusWidth)
        .setMinWidth(sbStatusBar->readablePanelsWidth());
    connectViewMenu();
}

void frmMain::createStatusBar(QWidget *owner)
{
    sbStatusBar = new StatusBar(owner);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->addPanel(QString(), 300, PanelAutoSize::Spring, QString());
    sbStatusBar->addPanel(QStringLiteral("prg"), 60, PanelAutoSize::None, QString());
    sbStatusBar->addPanel(QStringLiteral("zoom"), 50, PanelAutoSize::None, QStringLiteral("Zvětšení obrázku"));
    sbStatusBar->addPanel(QString(), 60, PanelAutoSize::None, QStringLiteral("Aktivní tag"));
    sbStatusBar->addPanel(QString(), 200, PanelAutoSize::None, QStringLiteral("Parametry aktivního tagu"));
}

// One step of the main window's Load: its failures stay current for the Load's own log.
void frmMain::applyBottomBarLoadSizes()
{
    const auto ignore = runIgnoringErrors;
    ignore([this] { cbBottom->band(1).setMinWidth(twipsToPixels(1872) - cbBottom->headerWidth(cbBottom->band(1))); });
    // The bar's height follows its rows; the designed 390 twips is what one row of them makes.
    ignore([this] { cbBottom->band(1).setMinHeight(0); });
    ignore([this] { cbBottom->band(3).setWidth(0); });
}

void frmMain::connectViewMenu()
{
    const std::pair<const char *, void (frmMain::*)()> items[] = {
        {"mnuViewToolbars", &frmMain::mnuViewToolbars_Click},
        {"mnuViewBottomBar", &frmMain::mnuViewBottomBar_Click},
        {"mnuViewStandard", &frmMain::mnuViewStandard_Click},
        {"mnuViewAddress", &frmMain::mnuViewAddress_Click},
        {"mnuViewTools", &frmMain::mnuViewTools_Click},
        {"mnuViewStatusBar", &frmMain::mnuViewStatusBar_Click},
        {"mnuViewWindowList", &frmMain::mnuViewWindowList_Click},
        {"mnuViewWindowControls", &frmMain::mnuViewWindowControls_Click},
    };
    for (const auto &[name, handler] : items) {
        QAction *action = menuItem(QString::fromLatin1(name));
        action->setChecked(true);
        connect(action, &QAction::triggered, this, handler);
    }
    // The button-text item starts checked too: the designed buttons show their text.
    menuItem(QStringLiteral("mnuViewShowText"))->setChecked(true);
    mnuViewMainPanel->setChecked(true);
    connect(menu(QStringLiteral("mnuView")), &QMenu::aboutToShow, this, &frmMain::mnuView_Click);
}

void frmMain::toggleBand(CoolBar *bar, const QString &key, const QString &itemName)
{
    IgnoreErrors ignore;
    bool visible = false;
    const bool known = ignore([&] { visible = bar->band(key).isVisible(); });
    if (!known)
        return;
    ignore([&] { bar->band(key).setVisible(!visible); });
    ignore([&] { menuItem(itemName)->setChecked(!visible); });
}

void frmMain::toggleBar(CoolBar *bar, const QString &itemName)
{
    IgnoreErrors ignore;
    const bool visible = !bar->isHidden();
    bar->setVisible(!visible);
    ignore([&] { menuItem(itemName)->setChecked(!visible); });
}

void frmMain::mnuViewToolbars_Click()
{
    toggleBar(cbTop, QStringLiteral("mnuViewToolbars"));
}

void frmMain::mnuViewBottomBar_Click()
{
    toggleBar(cbBottom, QStringLiteral("mnuViewBottomBar"));
}

void frmMain::mnuViewStandard_Click()
{
    toggleBand(cbTop, QStringLiteral("standard"), QStringLiteral("mnuViewStandard"));
}

void frmMain::mnuViewAddress_Click()
{
    toggleBand(cbTop, QStringLiteral("address"), QStringLiteral("mnuViewAddress"));
}

void frmMain::mnuViewTools_Click()
{
    toggleBand(cbTop, QStringLiteral("tools"), QStringLiteral("mnuViewTools"));
}

void frmMain::mnuViewStatusBar_Click()
{
    toggleBand(cbBottom, QStringLiteral("status"), QStringLiteral("mnuViewStatusBar"));
}

void frmMain::mnuViewWindowList_Click()
{
    toggleBand(cbBottom, QStringLiteral("windows"), QStringLiteral("mnuViewWindowList"));
}

void frmMain::mnuViewWindowControls_Click()
{
    toggleBand(cbBottom, QStringLiteral("wincmd"), QStringLiteral("mnuViewWindowControls"));
}

void frmMain::mnuView_Click()
{
    mnuViewMainPanel->setChecked(!picMain->isHidden());
}

void frmMain::mnuViewShowText_Click()
{
    IgnoreErrors ignore;
    QAction *item = menuItem(QStringLiteral("mnuViewShowText"));
    const bool showText = !item->isChecked();
    Toolbar *bar = tbToolbar[1];
    item->setChecked(showText);
    for (int i = 1; i <= bar->count(); ++i)
        ignore([&] {
            ToolbarButton &button = bar->button(i);
            button.setCaption(showText ? button.description() : QString());
        });
    ignore([&] { bar->setShowText(showText); });
    // The band's minimum height follows the captions, so they are never clipped and the
    // band never stays as tall as the text made it.
    ignore([&] { cbTop->band(1).setMinHeight(twipsToPixels(showText ? StandardMinHeight : StandardIconMinHeight)); });
    ignore([&] { cbTop->Refresh(); });
    ignore([&] { MainSettings::ButtonText.save(showText); });
}
