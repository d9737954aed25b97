#include "ProgramRun.h"

#include <QFileInfo>

namespace {

// Types into the address combo of the real program with real key events.
class MainRoadEndToEnd : public TempEnvTest
{
protected:
    bool key(const QString &keys) { return run(QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys}); }
    bool type(const QString &text) { return run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text}); }
    bool run(const QStringList &arguments)
    {
        bool ok = false;
        ProgramRun::xdotool(arguments, &ok);
        return ok;
    }
    // Gives the keyboard to the program's main window (no window manager runs here).
    bool focusMainWindow(const ProgramRun &program)
    {
        bool ok = false;
        const QString ids = ProgramRun::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                                 QString::number(program.pid()), QStringLiteral("--name"), QStringLiteral("^Vorlan")},
                                                &ok);
        const QStringList found = ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return ok && !found.isEmpty() && run({QStringLiteral("windowfocus"), QStringLiteral("--sync"), found.first()});
    }
};

TEST_F(MainRoadEndToEnd, ATypedAddressLoadsAndBackReturns)
{
    const QString first = env.writeFile(QStringLiteral("pages/one.html"), "<title>PageOne</title><p>1</p>");
    const QString second = env.writeFile(QStringLiteral("pages/two.html"), "<title>PageTwo</title><p>2</p>");
    ProgramRun program(env);
    ASSERT_TRUE(program.start({first}));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Vorlan - \\[PageOne\\]$"))) << program.output().toStdString();
    ASSERT_TRUE(focusMainWindow(program));

    // Alt+D in a browser window hands the keyboard to the address combo, which selects
    // its text so that typing replaces it.
    ASSERT_TRUE(key(QStringLiteral("alt+d")));
    ASSERT_TRUE(type(second));
    ASSERT_TRUE(key(QStringLiteral("Return")));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Vorlan - \\[PageTwo\\]$"))) << program.output().toStdString();

    ASSERT_TRUE(key(QStringLiteral("ctrl+b")));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Vorlan - \\[PageOne\\]$"))) << program.output().toStdString();

    ASSERT_TRUE(program.close()) << program.output().toStdString() << " exit " << program.exitSummary().toStdString();
    // A first start finds no stored bar layout and logs that once, as "LoadSettings"; nothing else.
    const QString log = QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + QStringLiteral("LogError.txt")));
    EXPECT_TRUE(log.isEmpty() || (log.count(QLatin1Char('\n')) == 1 && log.contains(QStringLiteral(";LoadSettings;"))))
        << log.toStdString();
}

} // namespace
