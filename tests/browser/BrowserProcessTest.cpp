#include "browser/WindowTable.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QTest>

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

TEST_F(BrowserProcess, AFailedStartIsLoggedAndShowsNothing)
{
    setBrowserProcessProgram(env.path(QStringLiteral("no-such-program")));
    bool processed = false;
    NewBrowserProcess(QStringLiteral("about:blank"), 0, QString(), QVariant(), QStringLiteral("H"), processed);
    ASSERT_EQ(env.logLines().size(), 1);
    EXPECT_TRUE(env.logLines()[0].endsWith(QStringLiteral(";NewBrowserProcess;about:blankHFalseFalse")));
}

} // namespace
