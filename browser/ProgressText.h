#pragma once

#include <QString>

// What a browser window shows of a load's progress, decided from the engine's two
// numbers alone.

struct ProgressDisplay
{
    int percent = 0;        // 0 when the share cannot be computed
    QString panelText;      // the final text of the status panel "prg" (active window)
    QString recordedText;   // what the window remembers for when it becomes active
    bool markLoading = false; // the window's tab gets "prgno"
    bool markLoaded = false;  // the window's tab gets "prgyes" (wins over markLoading)
    bool loadEnded = false;   // the active window's tab loses its image
};

ProgressDisplay progressDisplay(int progress, int progressMax, bool blankPage);

// The percentage followed by " %".
QString percentText(int percent);
