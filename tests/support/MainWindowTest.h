#pragma once

#include "TestEnvironment.h"

#include <QString>
#include <QVariant>

class frmMain;
class frmWeb;

// A shown main window under a temporary home, without its first-window timer (the
// tests open their own browser windows); closed again, with every window, afterwards.
class MainWindowTest : public TempEnvTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a browser window on the address and waits until its page, titled so, has
    // loaded; nullptr when it does not.
    static frmWeb *openWindow(const QString &address, const QString &title);
    // Runs a script in the window's page and waits for its result.
    static QVariant evaluate(frmWeb *window, const QString &script);

    frmMain *main = nullptr;
};
