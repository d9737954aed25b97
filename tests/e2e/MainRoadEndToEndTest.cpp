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

// A user gives the keyboard to the program, types addresses into the address combo and
// presses Enter: exactly the typed page loads; Back returns.
TEST_F(TempEnvTest, ATypedAddressLoadsAndBackReturns)
{
    const QString first = env.writeFile(QStringLiteral("pages/one.html"), "<title>PageOne</title><p>1</p>");
    const QString second = env.writeFile(QStringLiteral("pages/two.html"), "<title>PageTwo</title><p>2</p>");
    ProgramRun program(env);
    ASSERT_TRUE(program.start({first}));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Vorlan - ")));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageOne"))));
    ASSERT_TRUE(program.activateMainWindow());

    // Alt+D in a browser window hands the keyboard to the address combo, which selects
    // its text so that typing replaces it.
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+d")}));
    ASSERT_TRUE(ProgramRun::type(second));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageTwo"))));

    ASSERT_TRUE(ProgramRun::key({QStringLiteral("ctrl+b")}));
    ASSERT_TRUE(program.waitForWindow(caption(QStringLiteral("PageOne"))));

    ASSERT_TRUE(program.close()) << program.output().toStdString() << " exit " << program.exitSummary().toStdString();
    EXPECT_TRUE(env.logHoldsOnlyTheFirstStartLine()) << env.logLines().join(QLatin1Char('\n')).toStdString();
}

} // namespace
