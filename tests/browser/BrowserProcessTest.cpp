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
    const struct
    {
        const char *name;
        QString program;
        int systemError;
    } cases[] = {
        {"missing", env.path(QStringLiteral("no-such-program")), ENOENT},
        {"not executable", env.writeFile(QStringLiteral("plain-file"), "#!/bin/sh\n"), EACCES},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(env.appFolder() + QStringLiteral("LogError.txt"));
        setBrowserProcessProgram(c.program);
        bool processed = false;
        NewBrowserProcess(QStringLiteral("about:blank"), 0, QString(), QVariant(), QStringLiteral("H"), processed);
        const QString log = QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + QStringLiteral("LogError.txt")));
        const QStringList fields = log.split(QLatin1Char(';'));
        ASSERT_EQ(fields.size(), 7) << log.toStdString();
        EXPECT_EQ(fields[2], QString::number(c.systemError)) << log.toStdString();
        EXPECT_TRUE(log.endsWith(QStringLiteral(";NewBrowserProcess;about:blankHFalseFalse\r\n"))) << log.toStdString();
    }
}

} // namespace
