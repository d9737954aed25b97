#pragma once

#include "TestEnvironment.h"

#include <QProcess>
#include <QStringList>

#include <functional>

// The real program, started under the test's temporary home on the current display,
// with helpers to wait for it and to drive it with real input (xdotool).
class ProgramRun
{
public:
    explicit ProgramRun(const TestEnvironment &env);
    ~ProgramRun();

    bool start(const QStringList &arguments);
    // Polls the condition, letting the test's own event loop run, until it holds or
    // the deadline passes.
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 30000);
    // Waits until a visible window whose title matches the pattern exists.
    bool waitForWindow(const QString &titlePattern, int timeoutMs = 30000);
    // Ends the program as a session end does (SIGTERM) and waits for a clean exit.
    bool close(int timeoutMs = 30000);
    // Runs xdotool with the arguments; returns its standard output.
    static QString xdotool(const QStringList &arguments, bool *ok = nullptr);

    QString settingsFile() const;
    QString output() const;
    // How the program ended: its exit status and code, for failure messages.
    QString exitSummary() const;
    qint64 pid() const { return m_process.processId(); }

private:
    const TestEnvironment &m_env;
    QProcess m_process;
    mutable QString m_output;
};
