#pragma once

// The key maps of the favorites tree and the links list: most keys mean the same in
// both, and each pane has one of its own (Enter opens a favorite, F2 edits a link's
// caption).

enum class PaneKind { Favorites, Links };

enum class PaneKeyAction { None, Remove, Open, EditCaption, PopUp, FocusPage, NextPane, HidePanel };

struct PaneKeyDecision
{
    PaneKeyAction action = PaneKeyAction::None;
    bool consumed = false; // the control must not act on the key itself
};

// A key pressed in the pane's control (a Qt key code) with its modifier mask (shiftMask).
PaneKeyDecision paneKeyDecision(PaneKind pane, int key, int shift);
// Whether the key is one of the control's own: it then reaches the control before
// any menu shortcut of the same key.
bool paneKeyClaimed(PaneKind pane, int key, int shift);
