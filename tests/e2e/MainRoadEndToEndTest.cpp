#include <QScreen>
#include <QGuiApplication>
#include "Waits.h"
#include "LoopbackServer.h"
#include "MainWindowLayout.h"
#include "ProgramRun.h"

#include <QTest>
#include <QWidget>

namespace {

QString caption(const QString &child)
{
    return QStringLiteral("^Vorlan - \\[%1\\]$").arg(child);
}

// The waits themselves must be able to fail: a title that never comes, and one that
// only a window of another program has, both time out and say so.
TEST_F(TempEnvTest, AWaitForATitleTheProgramNeverShowsFails)
{
    const QString page = env.writeFile(QStringLiteral("pages/one.html"), "<title>PageOne</title><p>1</p>");
    QWidget decoy;
    decoy.setWindowTitle(QStringLiteral("Vorlan - [Decoy]"));
    decoy.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&decoy));
    ProgramRun program(env);
    ASSERT_TRUE(program.start({page}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageOne"))));

    EXPECT_FALSE(program.waitForWindow(caption(QStringLiteral("Decoy")), 2000));
    EXPECT_FALSE(program.waitForWindow(caption(QStringLiteral("Never")), 2000));
    ASSERT_TRUE(program.close()) << program.exitSummary().toStdString();
}

// A user types addresses into the address combo and presses Enter: exactly the typed
// page loads, a local one after a click into the combo, a web one after Alt+D; Back
// returns.
TEST_F(TempEnvTest, ATypedAddressLoadsAndBackReturns)
{
    const QString first = env.writeFile(QStringLiteral("pages/one.html"), "<title>PageOne</title><p>1</p>");
    const QString second = env.writeFile(QStringLiteral("pages/two.html"), "<title>PageTwo</title><p>2</p>");
    LoopbackServer server("<title>PageThree</title><p>3</p>");
    ASSERT_TRUE(server.isListening());
    ProgramRun program(env);
    ASSERT_TRUE(program.start({first}));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageOne"))));
    const MainWindowLayout layout = MainWindowLayout::measure(ProgramRun::geometryOf(program.mainWindow()).size());
    ASSERT_TRUE(layout.measured);
    ASSERT_TRUE(program.activateMainWindow());

    // A click into the combo selects its whole text, so typing replaces it.
    ASSERT_TRUE(ProgramRun::click(program.mainWindow(), layout.address));
    ASSERT_TRUE(ProgramRun::type(second));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageTwo"))));

    ASSERT_TRUE(ProgramRun::key({QStringLiteral("ctrl+b")}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageOne"))));

    // Alt+D in a browser window hands the keyboard to the combo, its text selected.
    ASSERT_TRUE(ProgramRun::click(program.mainWindow(), layout.windowArea));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+d")}));
    ASSERT_TRUE(ProgramRun::type(server.address(QStringLiteral("/three.html"))));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageThree"))));
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_TRUE(server.requests()[0].startsWith("GET /three.html ")) << server.requests()[0].toStdString();

    ASSERT_TRUE(program.close()) << program.output().toStdString() << " exit " << program.exitSummary().toStdString();
    EXPECT_TRUE(env.logHoldsOnlyTheFirstStartLine()) << env.logLines().join(QLatin1Char('\n')).toStdString();
}

} // namespace
