#include "core/ErrorLog.h"

#include "core/SharedState.h"
#include "platform/ErrorState.h"
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

TEST(ErrorLogLine, ContextValueAsText)
{
    const struct
    {
        QVariant context;
        const char *text;
    } cases[] = {
        {QVariant(), ""},
        {QVariant(true), "True"},
        {QVariant(false), "False"},
        {QVariant(0), "0"},
        {QVariant(-12), "-12"},
        {QVariant(qint64(30000)), "30000"},
        {QVariant(1.5), "1.5"},
        {QVariant(QStringLiteral("c:\\x; y")), "c:\\x; y"},
        {QVariant(QStringLiteral("Okno č. 1")), "Okno č. 1"},
        {QVariant(QString()), ""},
    };
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.context.metaType().isValid() ? c.context.metaType().name() : "invalid");
        const QString line = errorLogLine(when, ErrorInfo{}, QStringLiteral("Main"), c.context);
        const QString prefix = expectedTime(when) + QStringLiteral(";;0;0;;Main;");
        EXPECT_EQ(line, prefix + QString::fromUtf8(c.text));
    }
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
    EXPECT_EQ(fields.mid(1), (QStringList{"Path not found", "5", "76", "Vorlan", "SetWinEnabled", "2"}));
}

TEST_F(LogErrorTest, TwoCallsAppendTwoLines)
{
    env.writeFile(QStringLiteral("home/.local/share/Vorlan/LogError.txt"), "earlier line\r\n");
    ErrorState::set(RuntimeError(ErrorNumber::DiskFull));
    LogError(QStringLiteral("First"));
    ErrorState::set(RuntimeError(ErrorNumber::PermissionDenied));
    LogError(QStringLiteral("Second"), QStringLiteral("ctx"));

    const QStringList all = env.logLines();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0], QStringLiteral("earlier line"));
    EXPECT_TRUE(all[1].endsWith(QStringLiteral(";61;Vorlan;First;")));
    EXPECT_TRUE(all[2].endsWith(QStringLiteral(";70;Vorlan;Second;ctx")));
}

TEST_F(LogErrorTest, NoCurrentErrorWritesNumberZeroAndEmptyFields)
{
    LogError(QStringLiteral("MDIForm_Unload"));
    EXPECT_TRUE(logBytes().endsWith(";0;0;;MDIForm_Unload;\r\n"));
    EXPECT_EQ(env.logLines().value(0).split(QLatin1Char(';')).size(), 7);
}

TEST_F(LogErrorTest, DescriptionWithSemicolonGivesMoreFields)
{
    ErrorState::set(RuntimeError(ErrorNumber::DeviceIoError, QStringLiteral("a;b;c")));
    LogError(QStringLiteral("Main"));
    EXPECT_EQ(env.logLines().value(0).split(QLatin1Char(';')).size(), 9);
}

TEST_F(LogErrorTest, TextIsUtf8)
{
    ErrorState::set(RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("Soubor nenalezen: žluťoučký")));
    LogError(QStringLiteral("Main"), QStringLiteral("kůň"));
    EXPECT_TRUE(logBytes().contains("Soubor nenalezen: \xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd"));
    EXPECT_TRUE(logBytes().endsWith(";Main;k\xc5\xaf\xc5\x88\r\n"));
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
        EXPECT_TRUE(written.endsWith(QStringLiteral(";Disk full;28;61;Vorlan;Main;1\n"))) << written.toStdString();
        EXPECT_EQ(written.count(QLatin1Char('\n')), 1);
    }
}

TEST_F(LogErrorTest, AWrittenLineGoesNowhereElse)
{
    testing::internal::CaptureStderr();
    LogError(QStringLiteral("Main"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(env.logLines().size(), 1);
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
