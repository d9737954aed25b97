#pragma once

#include <QStringList>

#include <functional>

// Generous: the first page of a run also starts the engine's processes.
constexpr int kWaitMs = 30000;

// Waits until the condition holds, at most deadlineMs. The deadline is a timer as well as
// the wait's own check, so it fires inside any event loop that runs within the wait (a
// dialog's, a menu's): when it passes while such a loop runs or a dialog shows, every
// dialog still open is named in a failure and closed, so that a fault shows as one failed
// test and never as a hang. False when the condition did not hold in time.
bool waitFor(const std::function<bool()> &condition, int deadlineMs = kWaitMs);

// Names every dialog, message box and pop-up menu on the screen ("title: text") and
// closes it as cancelled; empty when none shows.
QStringList closeOpenDialogs();

// Fails the current test, naming them, when dialogs are still open, and closes them.
void failOnOpenDialogs(const char *when);

// Arms a deadline for a whole test, as a backstop for waits without one of their own
// (QTest::qWait, a dialog opened where none was expected): once it passes, the next turn
// of any event loop fails the test, naming the dialogs open, and closes them. Installed
// once per test program; the deadline is VORLAN_TEST_DEADLINE_MS, 150 s by default.
void installTestDeadline();
