#pragma once

#include <QString>
#include <Qt>

// What the links pane's commands and keys mean, as plain decisions.

// Why a "javascript:" link is not opened in the window from the list: it would run
// in whatever page the window shows now, not in the page it was captured from.
inline const QString ScriptLinkRefusedMessage = QStringLiteral(
    "Tento odkaz nelze otevřít: je to skript (javascript:), který by se spustil v právě zobrazené stránce.");

enum class LinksCommandKind { None, Capture, Save, RemoveSelected, RemoveAll, RemoveEmail };

struct LinksCommand
{
    LinksCommandKind kind = LinksCommandKind::None;
    int mode = 0; // the capture or save mode
};

// A button key ("add", "save", "remove") or a drop-down item key of the pane's toolbars.
LinksCommand linksCommand(const QString &key);

// Every header click turns the direction round, whichever column it was.
Qt::SortOrder flippedSortOrder(Qt::SortOrder order);
// The mouse button number of the handlers: 1 left, 2 right, 4 middle, 0 other.
int mouseButtonNumber(Qt::MouseButton button);
