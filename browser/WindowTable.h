#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <map>
#include <set>

class frmWeb;

// Every browser window is known by a number that is never reused within one run;
// the table finds the open windows by number.
constexpr int kMaxWindowNumber = 30000;

class WindowTable : public QObject
{
    Q_OBJECT

public:
    // The windows by number, 1 to kMaxWindowNumber, from their creation until they close.
    std::map<int, QPointer<frmWeb>> WindowSlots;
    // The numbers of the windows that are shown and have their tab, until they close.
    std::set<int> WindowSlotUsed;
    // The last number handed out.
    int WindowNumber = 0;
    bool CreatingWindow = false;
    // Serves only as context in error-log lines.
    bool WindowSwitchDone = false;

    frmWeb *slot(int number) const;
    bool used(int number) const;

Q_SIGNALS:
    // A window was made and is about to load: the main window starts listening to it.
    void WindowCreated(frmWeb *window);
    // The window is shown and has its number: the main window gives it its tab.
    void WindowOpened(frmWeb *window);
};

WindowTable &windowTable();
// Forgets the numbers and windows; whoever listens to the table goes on listening.
void resetWindowTable();

// The key of a window's tab: "key", a blank and the number.
QString WindowTabKey(int number);

// Opens a new browser window on the address ("about:blank" when empty). A call made
// while a window is being created does nothing.
void NewWindow(const QString &url);

// Starts a further instance of the program on the address.
// The program started is this one unless another was set (tests set a stand-in; an
// empty path restores this program).
void setBrowserProcessProgram(const QString &path);
QVariant NewBrowserProcess(const QString &URL, int Flags, const QString &TargetFrameName, const QVariant &PostData,
                           const QString &Headers, bool &Processed);
