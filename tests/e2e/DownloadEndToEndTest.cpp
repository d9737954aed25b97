#include "LoopbackServer.h"
#include "ProgramRun.h"

#include <QDirIterator>

namespace {

// Every file below the folder whose name is the given one, hidden folders included.
QStringList filesNamed(const QString &folder, const QString &name)
{
    QStringList found;
    QDirIterator it(folder, {name}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

// A user saves a file from a slow server and ends the program while it still comes:
// the program ends cleanly and leaves no part of the file anywhere.
TEST_F(TempEnvTest, EndingTheProgramDuringADownloadEndsCleanlyAndLeavesNothing)
{
    LoopbackServer server("<title>Nic</title>");
    server.route("/pomalu.bin", [](const QByteArray &) {
        LoopbackResponse response;
        response.headers = {"Content-Type: application/octet-stream",
                            "Content-Disposition: attachment; filename=\"pomalu.bin\""};
        response.body = QByteArray(256 * 1024, 'x');
        response.announcedLength = 100 * 1024 * 1024;
        response.keepOpen = true;
        return response;
    });
    ProgramRun program(env);
    ASSERT_TRUE(program.start({server.address(QStringLiteral("/pomalu.bin"))}));
    ASSERT_TRUE(program.waitForWindow(QStringLiteral("^Uložit jako$")));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    ASSERT_TRUE(program.waitFor([&] { return !filesNamed(env.root(), QStringLiteral("pomalu.bin*")).isEmpty(); }))
        << "the download never started";
    ASSERT_TRUE(program.close()) << program.exitSummary().toStdString() << "\n" << program.output().toStdString();
    EXPECT_EQ(filesNamed(env.root(), QStringLiteral("pomalu.bin*")), QStringList());
}

} // namespace
