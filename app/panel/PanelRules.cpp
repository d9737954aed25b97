#include "app/panel/PanelRules.h"

#include "platform/system/Units.h"

namespace PanelRules {

int nextPane(int pane)
{
    switch (pane) {
    case 1: return 2;
    case 2: return 3;
    case 3: return 4;
    case 4: return 1;
    case 5: return 6;
    case 6: return 1;
    default: return 0;
    }
}

int firstShownPane(const std::array<bool, 5> &containerVisible)
{
    for (int pane = 1; pane <= 4; ++pane) {
        if (containerVisible[pane])
            return pane;
    }
    return 0;
}

QString paneTitle(int pane, bool navOnSelect)
{
    switch (pane) {
    case 1: return QStringLiteral("Oblíbené");
    case 2: return navOnSelect ? QStringLiteral("Složky a soubory") : QStringLiteral("Složky a soubory (uzamčeno)");
    case 3: return QStringLiteral("Hledat soubory");
    case 4: return QStringLiteral("Odkazy");
    case 5: return QStringLiteral("Hledat na Internetu");
    case 6: return QStringLiteral("Historie");
    default: return {};
    }
}

namespace {
constexpr int kMargin = 690;
} // namespace

int splitterBarLeft(int gripLeft, int x, int mainWindowWidth)
{
    const int p = gripLeft + x;
    if (p < kMargin)
        return kMargin;
    if (p > mainWindowWidth - kMargin)
        return mainWindowWidth - kMargin;
    return p;
}

QString splitterToolTip(double barLeftTwips)
{
    // Whole twips, then whole pixels with the remainder dropped.
    return QStringLiteral("Šířka: %1 pixelů").arg(Units::roundHalfEvenToInt(barLeftTwips) / Units::TwipsPerPixel);
}

int panelWidthAfterDrag(int barLeft)
{
    return barLeft + 60;
}

int widestPanel(int mainWindowWidth)
{
    return panelWidthAfterDrag(splitterBarLeft(0, mainWindowWidth, mainWindowWidth));
}

PanelGeometry panelGeometry(int innerWidth, int innerHeight, int outerHeight, int gripWidth)
{
    PanelGeometry g;
    g.borderWidth = innerWidth - 60;
    g.topWidth = g.borderWidth;
    g.borderHeight = innerHeight + 20;
    g.paneLeft = 30;
    g.paneTop = 480;
    g.paneHeight = g.borderHeight - 480 - 30;
    g.paneWidth = g.borderWidth - 60;
    g.gripLeft = innerWidth - gripWidth;
    g.gripHeight = outerHeight;
    g.closeLeft = g.topWidth - 360;
    g.titleWidth = g.topWidth - 180;
    return g;
}

int listHeight(const PanelGeometry &g, int listTop, int statusBarHeight)
{
    return g.paneHeight - listTop + 30 - statusBarHeight;
}

} // namespace PanelRules
