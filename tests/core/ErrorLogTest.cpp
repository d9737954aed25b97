#include "core/ErrorLog.h"

#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <functional>

namespace {

ErrorInfo errorOf(int number, const QString &description, const QString &source, int lastDllError)
{
    ErrorInfo error;
    error.number = number;
    error.description = description;
    error.source = source;
    error.lastDllError = lastDllError;
    return error;
}

QString expectedTime(const QDateTime &when)
{
    return QLocale::system().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + QLocale::system().toString(when.time(), QLocale::LongFormat);
}

} // namespace

TEST(ErrorLogLine, SevenFieldsInOrder)
{
    const QDateTime when(QDate(2024, 3, 15), QTime(14, 5, 9));
    const ErrorInfo error = errorOf(53, QStringLiteral("File not found"), QStringLiteral("Vorlan"), 2);
    const QString line = errorLogLine(when, error, QStringLiteral("mnuPageSave_Click"), 3);
    const QStringList expected = {expectedTime(when), "File not found", "2", "53", "Vorlan", "mnuPageSave_Click", "3"};
    EXPECT_EQ(line.split(QLatin1Char(';')), expected);
    EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')));
}

class LogErrorTest : public TempEnvTest
{
protected:
    QString logPath() const { return env.appFolder() + QStringLiteral("LogError.txt"); }
    QByteArray logBytes() const { return TestEnvironment::readFile(logPath()); }
};

TEST_F(LogErrorTest, AppendsOneLineAndClearsTheError)
{
    ErrorState::setLastDllError(5);
    ErrorState::set(RuntimeError(ErrorNumber::PathNotFound, {}, QStringLiteral("Vorlan")));
    LogError(QStringLiteral("SetWinEnabled"), 2);

    EXPECT_FALSE(ErrorState::isSet());
    EXPECT_EQ(ErrorState::current().number, 0);
    EXPECT_TRUE(ErrorState::current().description.isEmpty());
    EXPECT_TRUE(ErrorState::current().source.isEmpty());
    ASSERT_TRUE(logBytes().endsWith("\r\n"));
    const QStringList fields = env.logLines().value(0).split(QLatin1Char(';'));
    ASSERT_EQ(fields.size(), 7);
    EXPECT_FALSE(fields[0].isEmpty());
    EXPECT_EQ(fields.mid(1), (QStringList{"Cesta nebyla nalezena", "5", "76", "Vorlan", "SetWinEnabled", "2"}));
}

TEST(LogErrorFailures, ALineTheLogCannotTakeGoesToStandardError)
{
    const struct
    {
        const char *name;
        std::function<void(const TestEnvironment &)> spoil;
    } cases[] = {
        // Root may write into read-only folders, so the first two always fail to open.
        {"log is a folder", [](const TestEnvironment &e) { QDir().mkpath(e.appFolder() + "LogError.txt"); }},
        {"program folder below a file",
         [](const TestEnvironment &e) { shared().AppFolder = e.writeFile("plain-file", "x") + "/Vorlan/"; }},
        {"no program folder", [](const TestEnvironment &) { shared().AppFolder.clear(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment fresh;
        c.spoil(fresh);
        ErrorState::setLastDllError(28);
        ErrorState::set(RuntimeError(ErrorNumber::DiskFull));
        testing::internal::CaptureStderr();
        LogError(QStringLiteral("Main"), 1);
        const QString written = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_FALSE(ErrorState::isSet());
        EXPECT_TRUE(written.endsWith(QStringLiteral(";Disk je plný;28;61;Vorlan;Main;1\n"))) << written.toStdString();
        EXPECT_EQ(written.count(QLatin1Char('\n')), 1);
    }
}

TEST_F(LogErrorTest, WithoutAProgramFolderNothingLandsInTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(env.root()));
    shared().AppFolder.clear();
    ErrorState::set(RuntimeError(ErrorNumber::DiskFull));
    LogError(QStringLiteral("Main"));
    EXPECT_FALSE(QFile::exists(env.root() + QStringLiteral("/LogError.txt")));
    EXPECT_FALSE(ErrorState::isSet());
    QDir::setCurrent(previous);
}
