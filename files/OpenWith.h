#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Opening a file with the desktop's program for its kind or with a program the user
// configured ("Options\OpenWith"). A configured line is split into arguments first
// and never handed to a shell, so a file name can hold any character.

// Replaces the path macros ("${desktop}", "${personal}", "${app}" and the rest),
// written in any letter case; the rest of the line keeps its case.
QString ExpandPathMacros(const QString &commandLine);

// The program and its arguments for a configured line: with parameters, the line, the
// parameters and the file, as they are; without, the line with its macros replaced and
// then every "%1" replaced by the file, argument by argument.
QStringList OpenWithArguments(const QString &program, const QString &parameters, const QString &file);

// verb "Open", "Edit" or "Print" with no program and index 0 hands the file to the
// desktop (a failing verb shows nothing); programIndex 1 to 15 takes the configured
// line of that number. A program that cannot start is reported to the user. owner is
// the control that asked; the working folder is the desktop's business.
void OpenWithProgram(QObject *owner, const QString &file, const QString &program, const QString &verb,
                     const QString &parameters, const QString &workingFolder, int programIndex);
