#pragma once

#include <QByteArray>
#include <QString>

// The process's start-up sequence and the pure rules it follows.

// Runs the start-up steps in order; every step runs with errors ignored, and the one
// failure that can still be current at the end is reported. Returns to the caller,
// which then runs the event loop.
void Main();

// The program folder with exactly one trailing "/" ("//" collapsed).
QString programFolderFrom(const QString &folder);

// The per-user data folder that serves as the program folder ($XDG_DATA_HOME/Vorlan).
QString userProgramFolder();

// True when the command line asks for silent mode: "/S" or "-S" as its first two
// characters in any case, unless the whole command line names an existing file or
// folder (an absolute path such as /srv/page.html opens instead).
bool isSilentCommandLine(const QString &commandLine);

// The four CR LF lines of online.reg (offline false) or offline.reg (offline true).
QByteArray offlineSwitchFile(bool offline);

// The value name that registers the program in the browser's User-Agent.
QString userAgentToken();

// The command line as the program received it: its arguments joined by blanks.
QString commandLineFromArguments(const QStringList &arguments);
