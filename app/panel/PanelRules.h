#pragma once

#include <QString>

#include <array>

// Decisions of the main panel, as plain functions of plain values.
namespace PanelRules {

// The pane after pane n: 1 to 2 to 3 to 4 and back to 1 (5 to 6 to 1 for the two
// panes that are never shown); 0 for anything else.
int nextPane(int pane);
// The first visible pane container of 1 to 4; 0 when none is.
int firstShownPane(const std::array<bool, 5> &containerVisible);
// The title a pane shows; empty for an unknown pane (which keeps the old title).
QString paneTitle(int pane, bool navOnSelect);

// Where the splitter bar goes when the mouse is at x over the grip (all in twips):
// never closer than 690 to either edge of the main window.
int splitterBarLeft(int gripLeft, int x, int mainWindowWidth);
// "Šířka: N pixelů" for the bar at that position in twips.
QString splitterToolTip(double barLeftTwips);
// The panel width after the drag ends at that bar position (twips).
int panelWidthAfterDrag(int barLeft);
// The widest panel a drag can leave in a main window that wide (twips).
int widestPanel(int mainWindowWidth);

// Placement of the panel's parts in twips, from the panel's inner and outer size.
struct PanelGeometry
{
    int borderWidth = 0;
    int borderHeight = 0;
    int topWidth = 0;
    int paneLeft = 0;
    int paneTop = 0;
    int paneWidth = 0;
    int paneHeight = 0;
    int gripLeft = 0;
    int gripHeight = 0;
    int closeLeft = 0;
    int titleWidth = 0;
};
PanelGeometry panelGeometry(int innerWidth, int innerHeight, int outerHeight, int gripWidth);
// Height of a list at top in a pane, leaving room for a status bar under it.
int listHeight(const PanelGeometry &g, int listTop, int statusBarHeight);

} // namespace PanelRules
