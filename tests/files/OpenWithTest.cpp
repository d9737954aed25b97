#include "files/OpenWith.h"

#include "core/SharedState.h"
#include "platform/files/FileNames.h"
#include "platform/store/SettingsStore.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

namespace {

class OpenWithTest : public TempEnvTest
{
protected:
    void SetUp() override
    {
        shared().AppDir = env.appFolder();
        shared().PersonalDir = env.path("Dokumenty");
        file = env.writeFile("data/My File.TXT", "text");
        record = env.path("args.txt");
        program = env.writeFile("bin/Prog", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + record.toUtf8()
                                              + ".part\" && mv \"" + record.toUtf8() + ".part\" \"" + record.toUtf8() + "\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The arguments the stand-in program received, one per line.
    QStringList recorded() const
    {
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(record) && !deadline.hasExpired())
            QThread::msleep(10);
        QString text = QString::fromUtf8(TestEnvironment::readFile(record));
        text.chop(1);
        return text.split(QLatin1Char('\n'));
    }

    QString file, record, program;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(OpenWithTest, ALineKeepsItsCaseAndPassesTheFileAsOneArgument)
{
    SaveSetting(PresetSections::OpenWith, "3", program + " %1 ${APP}");
    OpenWithProgram(nullptr, file, QString(), QString(), QString(), QString(), 3);
    EXPECT_EQ(recorded(), QStringList({file, env.appFolder()}));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(OpenWithTest, MacrosMatchInAnyCaseBeforeTheFileGoesIn)
{
    struct Case { const char *line; const char *parameters; const char *file; QStringList arguments; };
    const QString personal = shared().PersonalDir, app = env.appFolder();
    const Case cases[] = {
        {"Edit \"%1\" -d ${Personal}", "", "/a/b c.TXT", {"Edit", "/a/b c.TXT", "-d", personal}},
        {"edit ${app}x %1", "", "/f/${app}.txt", {"edit", app + "x", "/f/${app}.txt"}},
        {"Edit ${WINDIR}%1", "", "/f", {"Edit", "/f"}},
        // With parameters the line, the parameters and the file go as they are.
        {"Edit ${app}", "-a %1", "/F.txt", {"Edit", "${app}", "-a", "%1", "/F.txt"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(OpenWithArguments(c.line, c.parameters, c.file), c.arguments);
    }
}

TEST_F(OpenWithTest, AProgramThatCannotStartIsReportedWithTheSystemsReason)
{
    SaveSetting(PresetSections::OpenWith, "1", env.path("bin") + "/Chybí %1");
    OpenWithProgram(nullptr, file, QString(), QString(), QString(), QString(), 1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].prompt.startsWith("Program nelze spustit: " + env.path("bin") + "/Chybí %1\n"));
    EXPECT_GT(boxes.shown[0].prompt.size(), ("Program nelze spustit: " + env.path("bin") + "/Chybí %1\n").size());
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
}

TEST_F(OpenWithTest, AFileWhoseNameIsNoUtf8ReachesTheProgramAsItsBytes)
{
    const QByteArray bytes = QFile::encodeName(env.path("data")) + "/spatne\xff\xfe.TXT";
    ASSERT_EQ(::close(::open(bytes.constData(), O_CREAT | O_WRONLY, 0600)), 0);
    const QString odd = decodeFileName(bytes);
    SaveSetting(PresetSections::OpenWith, "2", program + " %1");
    OpenWithProgram(nullptr, odd, QString(), QString(), QString(), QString(), 2);
    recorded();
    EXPECT_EQ(TestEnvironment::readFile(record), bytes + "\n");
    EXPECT_TRUE(boxes.shown.isEmpty());
}
