#pragma once

class QMdiArea;

// What a browser window asks of the main window. Everything a window does to the
// main window it reports by its signals instead; the main window listens. The main
// window implements this and is the current host from its construction on.
class BrowserHost
{
public:
    // The host now, or none while there is no main window.
    static BrowserHost *current();

    // The frame the browser windows live in.
    virtual QMdiArea *windowArea() const = 0;
    // True while the main panel is shown: it keeps the keyboard then.
    virtual bool mainPanelShown() const = 0;
    // True while windows that a page opens are to stay behind the window that asked.
    virtual bool opensNewWindowsBehind() const = 0;

protected:
    BrowserHost();
    ~BrowserHost();
    BrowserHost(const BrowserHost &) = delete;
    BrowserHost &operator=(const BrowserHost &) = delete;
};
