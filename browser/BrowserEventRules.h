#pragma once

#include <QString>
#include <Qt>

// Small decisions of the browser window's event handlers, as plain functions.

// True for an address that names a favorites file (".url" in any letter case); its
// own address is opened instead.
bool isFavoritesFileAddress(const QString &url);

// An address the engine runs as a script in the page a window shows: its scheme is
// "javascript", in any letter case.
bool isScriptAddress(const QString &url);
// A page may not open an address that holds "javascript:" anywhere, in any letter case,
// in a new window.
bool isRefusedNewWindowAddress(const QString &url);
extern const char *const kRefusedNewWindowMessage;

// The modifier mask of the key handlers: 1 Shift, 2 Ctrl, 4 Alt, added.
int shiftMask(Qt::KeyboardModifiers modifiers);
// Ctrl alone asks for the new window in a further instance of the program.
bool opensInNewProcess(int shiftMask);

// The caption of a window for a reported title; an empty title shows the location name.
QString windowCaptionFor(const QString &title, const QString &locationName);
// A tab shows the first 20 characters of its window's caption.
QString tabCaptionFor(const QString &caption);

// A window is the active one when the selected tab carries its number.
bool isActiveWindowTab(const QString &selectedTabKey, const QString &windowTag);
