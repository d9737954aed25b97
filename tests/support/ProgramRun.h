#pragma once

#include "TestEnvironment.h"

#include <QProcess>
#include <QRect>
#include <QStringList>

#include <functional>
#include <string>

// The real program, started under the test's temporary home on the current display
// with a window manager running there, and helpers to wait for its windows and to
// drive it with real input (xdotool through the X server's test extension).
class ProgramRun
{
public:
    explicit ProgramRun(const TestEnvironment &env);
    ~ProgramRun();

    // Focus, activation, frames and placement behave as on a user's desktop only under
    // a window manager: one is started for the test process on its display (with a home
    // of its own) and ended with the process; a display that has one keeps it.
    static bool ensureWindowManager();

    // Makes sure a window manager runs on the display (one is started for this test
    // process if there is none), then starts the program.
    bool start(const QStringList &arguments);
    // Polls the condition, letting the test's own event loop run, until it holds or
    // the deadline passes.
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 30000);
    // Windows of this program whose title matches the pattern.
    enum class Visibility { Shown, Any };
    QStringList windows(const QString &titlePattern, Visibility visibility = Visibility::Shown) const;
    // Waits until a visible window of this program has a title matching the pattern;
    // on failure, says which titles its windows had.
    ::testing::AssertionResult waitForWindow(const QString &titlePattern, int timeoutMs = 30000);
    // Waits for the main window (its caption names the active browser window, which
    // the splash's does not) and makes it the active window through the window
    // manager, as a user's click on it would; the keyboard is then the program's.
    ::testing::AssertionResult activateMainWindow();
    // The main window as the X server has it now: its native window is replaced once
    // the engine joins it, so it is looked up afresh.
    QString mainWindow() const;
    // The main window's size once the X server reports one: between the native
    // window's replacement and the new one's mapping it reads as empty. Empty on timeout.
    QSize mainWindowSize(int timeoutMs = 30000);
    // Ends the program as a session end does (SIGTERM) and waits for a clean exit.
    bool close(int timeoutMs = 30000);

    // Runs xdotool with the arguments; returns its standard output.
    static QString xdotool(const QStringList &arguments, bool *ok = nullptr);
    // Real key presses and typing, to whatever window has the keyboard.
    static bool key(const QStringList &keys);
    static bool type(const QString &text);
    // Moves the pointer to a point of the window (in its own coordinates) and clicks.
    static bool click(const QString &window, const QPoint &point);
    // The window's own area (inside the window manager's frame) in screen coordinates.
    static QRect geometryOf(const QString &window);

    QString settingsFile() const;
    // A value as the settings file holds it now, e.g. "Settings/WindowState".
    std::string stored(const char *key) const;
    QString output() const;
    // How the program ended: its exit status and code, for failure messages.
    QString exitSummary() const;
    qint64 pid() const { return m_process.processId(); }

private:
    QString titles() const;

    const TestEnvironment &m_env;
    QProcess m_process;
    mutable QString m_output;
};
