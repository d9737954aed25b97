#pragma once

#include <QString>

#include <functional>

// What the save-file dialog offers for one save.
struct SaveTargetQuestion
{
    QString name;       // the proposed file name, made safe before it is offered
    QString filter;     // "description|patterns|..."
    QString defaultExt;
    // Whether a chosen path is taken already (the path itself exists, or something the
    // save would write beside it).
    std::function<bool(const QString &path)> taken;
};

// Offers the save-file dialog, starting in the Personal folder, until the user picks a
// name nothing has yet or cancels; "" when cancelled. A taken name is refused with a
// message, never replaced, and offered again.
QString askSaveTarget(const SaveTargetQuestion &question);

// The private area in the program's data folder where the engine writes downloads and
// saved pages before they are moved to the user's target (see StagingFolder).
QString stagingArea();
