#include "browser/WindowTable.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QTest>

#include <cerrno>

namespace {

class BrowserProcess : public TempEnvTest
{
protected:
    void TearDown() override { setBrowserProcessProgram(QString()); }
};

TEST_F(BrowserProcess, TheAddressGoesOverAsOneArgumentWithoutAShell)
{
    // A stand-in program that writes how many arguments it got and the first one.
    const QString out = env.path(QStringLiteral("out.txt"));
    const QString script = env.writeFile(QStringLiteral("fake-vorlan"),
                                         QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '%1'\n").arg(out).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setBrowserProcessProgram(script);

    bool processed = false;
    const QString address = QStringLiteral("http://127.0.0.1:1/a b;$(touch x)");
    NewBrowserProcess(address, 0, QString(), QVariant(), QString(), processed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out) && QFile(out).size() > 0; }, 10000));
    EXPECT_EQ(QString::fromUtf8(TestEnvironment::readFile(out)), QStringLiteral("1|") + address);
    EXPECT_FALSE(QFile::exists(env.appFolder() + QStringLiteral("LogError.txt")));
}

TEST_F(BrowserProcess, AFailedStartIsLoggedWithTheSystemErrorAndShowsNothing)
{
    const struct { const char *name; QString program; int systemError; } cases[] = {
        {"missing", env.path(QStringLiteral("no-such-program")), ENOENT},
        {"not executable", env.writeFile(QStringLiteral("plain-file"), "#!/bin/sh\n"), EACCES},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(env.appFolder() + QStringLiteral("LogError.txt"));
        setBrowserProcessProgram(c.program);
        bool processed = false;
        NewBrowserProcess(QStringLiteral("about:blank"), 0, QString(), QVariant(), QStringLiteral("H"), processed);
        ASSERT_EQ(env.logLines().size(), 1);
        const QString line = env.logLines()[0];
        EXPECT_EQ(line.section(QLatin1Char(';'), 2, 2), QString::number(c.systemError)) << line.toStdString();
        EXPECT_TRUE(line.endsWith(QStringLiteral(";NewBrowserProcess;about:blankHFalseFalse"))) << line.toStdString();
    }
}

} // namespace
