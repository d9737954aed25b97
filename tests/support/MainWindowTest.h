#pragma once

#include "TestEnvironment.h"

class frmMain;

// A shown main window under a temporary home, without its first-window timer (the
// tests open their own browser windows); closed again, with every window, afterwards.
class MainWindowTest : public TempEnvTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    frmMain *main = nullptr;
};
