#pragma once

#include <QString>
#include <QStringList>

// What a system tool a test runs (mkfs, mount, openssl) left behind.
struct ToolRun
{
    bool succeeded = false; // ran to its end within the deadline and exited 0
    QString output;         // standard output, trimmed
    QString errors;         // standard error, trimmed, or why it did not run
};

// Runs a tool to its end, or kills it at the deadline. Started with fork and exec, not
// QProcess: Qt starts a process in a way the thread checker does not follow, after which
// it no longer sees the main thread's locks and reports every lock-guarded hand-over as
// a race. The tool's output goes to files, so that a tool that leaves a daemon behind
// holding its output open (a FUSE mount) still returns when the tool itself exits.
ToolRun runTool(const QString &program, const QStringList &arguments, int deadlineMs = 60000);
