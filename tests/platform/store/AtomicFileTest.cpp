#include "platform/store/AtomicFile.h"
#include "platform/system/ErrorState.h"

#include "SpecialFiles.h"
#include "TestEnvironment.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <utime.h>

namespace {

using AtomicFileTest = TempEnvTest;

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

TEST_F(AtomicFileTest, AFailedWriteCarriesTheSystemErrorAndLeavesTheOldFile)
{
    const struct
    {
        const char *name;
        QString path;
        int systemError;
        std::function<void()> prepare;
    } cases[] = {
        {"missing folder", env.path("files") + "/missing/a.txt", ENOENT, [] {}},
        {"a file in the way of the folder", env.path("files") + "/plain/a.txt", ENOTDIR,
         [&] { env.writeFile("files/plain", "in the way"); }},
        {"a folder in place of the file", env.path("files") + "/folder", EISDIR,
         [&] { QDir().mkpath(env.path("files/folder/inside")); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        const QStringList before = entries(env.path("files"));
        ErrorState::setLastDllError(0);
        int raised = 0;
        int systemError = 0;
        QString source;
        try {
            writeFileAtomically(c.path, "new content");
        } catch (const RuntimeError &error) {
            raised = error.number();
            systemError = error.systemError();
            source = error.source();
        }
        EXPECT_EQ(raised, ErrorNumber::PathFileAccessError);
        EXPECT_EQ(systemError, c.systemError);
        EXPECT_EQ(ErrorState::current().lastDllError, c.systemError);
        EXPECT_EQ(source, c.path);
        EXPECT_EQ(entries(env.path("files")), before) << "nothing half-written remains";
    }
}

TEST_F(AtomicFileTest, AWriteCutShortLeavesTheOldFileAndSaysWhy)
{
    const QString path = env.writeFile("files/a.txt", "old content");
    int systemError = 0;
    {
        WriteFailure failure(WriteFailureKind::CutShort, env.path("files"));
        runIgnoringErrors([&] { writeFileAtomically(path, QByteArray(4096, 'n')); });
        systemError = ErrorState::current().lastDllError;
    }
    EXPECT_EQ(systemError, EFBIG);
    EXPECT_EQ(ErrorState::current().number, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(TestEnvironment::readFile(path), "old content");
    EXPECT_EQ(entries(env.path("files")), QStringList{"a.txt"});
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsPermissionsAndLinksStayLinks)
{
    const QString target = env.writeFile("files/target.txt", "old");
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = env.path("files/link.txt");
    ASSERT_TRUE(QFile::link(target, link));
    writeFileAtomically(link, "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TestEnvironment::readFile(target), "new");
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AtomicFileTest, OnlyARegularFileIsEverReplacedOrOpened)
{
    const QString device = env.path("files/device");
    const QString pipe = env.path("files/pipe");
    ASSERT_TRUE(SpecialFiles::makeDevice(device));
    ASSERT_TRUE(SpecialFiles::makePipe(pipe));
    const struct
    {
        const char *name;
        QString path;
        QString reason;
    } cases[] = {
        {"a device", device, "na jeho místě je zařízení"},
        {"a link to a device", env.path("files/to-device"), "na jeho místě je zařízení"},
        {"a pipe", pipe, "na jeho místě je roura"},
        {"a link to a pipe", env.path("files/to-pipe"), "na jeho místě je roura"},
    };
    ASSERT_TRUE(QFile::link(device, env.path("files/to-device")));
    ASSERT_TRUE(QFile::link(pipe, env.path("files/to-pipe")));
    PipeRelease release(pipe);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer clock;
        clock.start();
        QString reason;
        int systemError = 0;
        EXPECT_FALSE(readWholeFile(c.path, 1024, reason, systemError).has_value());
        EXPECT_LT(clock.elapsed(), 2000) << "a pipe is not waited on";
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(systemError, EEXIST);
        int raised = 0;
        try {
            writeFileAtomically(c.path, "new content");
        } catch (const RuntimeError &error) {
            raised = error.systemError();
        }
        EXPECT_EQ(raised, EEXIST);
        EXPECT_EQ(notRegularFileReason(c.path), c.reason);
    }
    EXPECT_TRUE(SpecialFiles::isDevice(device));
    EXPECT_TRUE(QFileInfo(pipe).isFile() == false && QFileInfo(pipe).exists());
    EXPECT_EQ(entries(env.path("files")), (QStringList{"device", "pipe", "to-device", "to-pipe"}));

    // A start file that stands for a device is moved aside, the link itself, never the device.
    const std::optional<FileProblem> problem = setAsideUnlessRegular(env.path("files/to-device"));
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->reason, "na jeho místě je zařízení");
    EXPECT_TRUE(QFileInfo(problem->keptAs).isSymLink());
    EXPECT_TRUE(SpecialFiles::isDevice(device));
    EXPECT_FALSE(setAsideUnlessRegular(env.path("files/to-device")).has_value()) << "nothing is there any more";
}

TEST_F(AtomicFileTest, MovingAsideNeverReplacesAnything)
{
    const QString path = env.path("files/registry.reg");
    QStringList kept;
    for (const char *content : {"first", "second", "third"}) {
        env.writeFile("files/registry.reg", content);
        kept << moveAside(path);
    }
    kept.removeDuplicates();
    ASSERT_EQ(kept.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(QFileInfo(kept[i]).fileName().startsWith("registry-nečitelný-")) << kept[i].toStdString();
        EXPECT_TRUE(kept[i].endsWith(".reg"));
    }
    EXPECT_EQ(TestEnvironment::readFile(kept[2]), "third");
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(AtomicFileTest, LeftoversOfInterruptedSavesGoAndEverythingElseStays)
{
    const auto age = [&](const QString &name) {
        const QString path = env.writeFile("files/" + name, "x");
        utimbuf old{time(nullptr) - 60, time(nullptr) - 60};
        utime(QFile::encodeName(path).constData(), &old);
    };
    for (const char *name : {"registry.reg.aB3xY9", "online.reg.000000", "registry.reg.lock.rmlock"})
        age(name);
    const QStringList kept = {"registry.reg", "registry-nečitelný-20250101-000000.reg", "registry.reg.toolong",
                              "registry.reg.bak", "notes.txt.aB3xY9"};
    for (const QString &name : kept)
        age(name);
    env.writeFile("files/registry.reg.Young1", "a save running right now");
    removeInterruptedSaves(env.path("files"), "*.reg");
    QStringList expected = kept;
    expected << "registry.reg.Young1";
    expected.sort();
    EXPECT_EQ(entries(env.path("files")), expected);
}

} // namespace
