#pragma once

#include <QString>

class QObject;

// The copy and move commands every file command ends in. With quick index 0 the
// user picks the target folder in the choose-folder dialog, which copies or moves
// and reports the result itself. Any other quick index copies or moves to the given
// target, or without one into the folder of that quick preset ("Options\QCopy",
// "Options\QMove"); a taken name asks for another in the name dialog until one is
// free or the user cancels, and every other failure is reported. After a move the
// main window learns of it (FileEvents::moveEnded) and brings its views up to date.
// owner is the control that asked.
void CopyFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target);
void MoveFileUI(QObject *owner, const QString &source, int quickIndex, const QString &target);
