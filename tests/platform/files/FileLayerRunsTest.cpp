// What the file layer leaves behind a run that ended mid-way, how it names over disks
// without the no-replace rename, how it opens a source, and the bits a copy gets.
#include "platform/files/FileJournal.h"
#include "platform/files/FileSystem.h"
#include "platform/files/StagingFolder.h"
#include "platform/system/ProcessOwner.h"

#include "support/FaultMount.h"
#include "support/FaultyFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

// The layer with a step of the test's own at the hooks, and a copy that can stop the
// process part-way, as a kill -9 would.
class HookedFileSystem : public FaultyFileSystem
{
public:
    std::function<void(const QByteArray &)> beforeSource;
    std::function<void(int, const QByteArray &)> atReservation;
    std::function<void(const QByteArray &from, const QByteArray &to)> atRename;
    bool killMidCopy = false;

protected:
    void beforeOpeningSource(const QByteArray &path) override
    {
        if (beforeSource)
            beforeSource(path);
    }
    void reservationMade(int folder, const QByteArray &name) override
    {
        if (atReservation)
            atReservation(folder, name);
    }
    int renameWithFlag(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to) override
    {
        if (atRename)
            atRename(from, to);
        return FaultyFileSystem::renameWithFlag(fromFolder, from, toFolder, to);
    }
    int copyData(int fromFd, int toFd, qint64 size, FailedSide &side) override
    {
        if (killMidCopy) {
            char half[4096] = {};
            const ssize_t got = ::read(fromFd, half, sizeof half);
            if (got > 0 && ::write(toFd, half, size_t(got)) == got)
                ::fsync(toFd);
            ::kill(::getpid(), SIGKILL);
        }
        return FaultyFileSystem::copyData(fromFd, toFd, size, side);
    }
};

class FileLayerRuns : public TempEnvTest
{
protected:
    void SetUp() override
    {
        FileJournal::setFolder(env.path(QStringLiteral("journal")));
        PosixFileSystem::forgetSweptFolders();
    }
    void TearDown() override { FileJournal::setFolder(QString()); }

    HookedFileSystem layer;

    QStringList namesIn(const QString &path)
    {
        QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    QStringList journal() { return namesIn(FileJournal::folder()); }

    // Runs the step in a child process that ends in it (killed, as by kill -9), then
    // forgets what this run swept, as the next start of the program would.
    void inChildKilled(const std::function<void()> &step)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            step();
            ::_exit(0); // the step was to end the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended in its step";
        PosixFileSystem::forgetSweptFolders();
    }
};

mode_t umaskNow()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

TEST_F(FileLayerRuns, ASourceSwappedForALinkBeforeItsOpenNeverOpensAFifoOrDevice)
{
    // A folder that holds a file, swapped for a link to a folder of special files of
    // the same name right before the source is opened: none of them is ever opened.
    env.writeFile(QStringLiteral("src/soubor"), "data");
    const QString special = env.path(QStringLiteral("special"));
    QDir().mkpath(special);
    const QByteArray fifo = QFile::encodeName(special + QStringLiteral("/soubor"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
    const QByteArray device = QFile::encodeName(special + QStringLiteral("/zarizeni"));
    const bool withDevice = ::mknod(device.constData(), S_IFCHR | 0644, makedev(1, 5)) == 0; // /dev/zero, as root
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, fifo.constData(), IN_OPEN | IN_ACCESS), 0);
    if (withDevice)
        ASSERT_GE(::inotify_add_watch(watch, device.constData(), IN_OPEN | IN_ACCESS), 0);
    const QString src = env.path(QStringLiteral("src"));
    layer.beforeSource = [&](const QByteArray &) {
        QDir().rename(src, env.path(QStringLiteral("src-odlozena")));
        QFile::link(special, src);
    };
    FileSystem &files = FileSystem::current();
    for (const QString &name : {QStringLiteral("soubor"), QStringLiteral("zarizeni")}) {
        SCOPED_TRACE(name.toStdString());
        if (name == QStringLiteral("zarizeni") && !withDevice)
            continue;
        QFile::remove(src);
        QDir().rename(env.path(QStringLiteral("src-odlozena")), src);
        SourceFile source;
        EXPECT_EQ(files.openSource(src + QLatin1Char('/') + name, LastStep::FollowLink, source), EINVAL);
        EXPECT_FALSE(source.isOpen());
    }
    // A move across disks opens its source by name after the rename was refused: a
    // FIFO put at the name in between is not opened either.
    const QString moved = env.writeFile(QStringLiteral("m/soubor"), "data");
    QDir().mkpath(env.path(QStringLiteral("cil")));
    layer.renameError = EXDEV;
    layer.atRename = [&](const QByteArray &, const QByteArray &) {
        QFile::remove(moved);
        QFile::rename(QFile::decodeName(fifo), moved);
    };
    EXPECT_NE(files.move(moved, env.path(QStringLiteral("cil/soubor"))), 0);
    EXPECT_FALSE(QFileInfo::exists(env.path(QStringLiteral("cil/soubor"))));
    layer.atRename = {};
    layer.renameError = 0;
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "a special file was opened";
    ::close(watch);

    // The checked copy follows a link to a file on purpose; RefuseLink refuses one.
    layer.beforeSource = {};
    QFile::remove(src);
    QDir().rename(env.path(QStringLiteral("src-odlozena")), src);
    const QString link = env.path(QStringLiteral("odkaz"));
    ASSERT_TRUE(QFile::link(src + QStringLiteral("/soubor"), link));
    SourceFile followed, refused;
    EXPECT_EQ(files.openSource(link, LastStep::FollowLink, followed), 0);
    EXPECT_EQ(followed.status().size, 4);
    EXPECT_EQ(files.openSource(link, LastStep::RefuseLink, refused), ELOOP);
}

TEST_F(FileLayerRuns, ACopyTakesTheUmaskAndAMoveAcrossDisksKeepsTheBits)
{
    const mode_t before = ::umask(022);
    const QString source = env.writeFile(QStringLiteral("a/sdileny.txt"), "sdílený");
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::WriteGroup | QFileDevice::ReadOther
                                                  | QFileDevice::WriteOther)); // 0666
    QDir().mkpath(env.path(QStringLiteral("b")));
    FileSystem &files = FileSystem::current();
    FileStatus status;
    ASSERT_EQ(files.copy(source, env.path(QStringLiteral("b/kopie.txt"))), 0);
    files.stat(env.path(QStringLiteral("b/kopie.txt")), status);
    EXPECT_EQ(status.mode, 0644u);
    ASSERT_EQ(files.writeNew(env.path(QStringLiteral("b/novy.txt")), "nový"), 0);
    files.stat(env.path(QStringLiteral("b/novy.txt")), status);
    EXPECT_EQ(status.mode, 0644u);
    ::umask(077);
    ASSERT_EQ(files.copyUnsynced(source, env.path(QStringLiteral("b/soukroma.txt"))), 0);
    files.stat(env.path(QStringLiteral("b/soukroma.txt")), status);
    EXPECT_EQ(status.mode, 0600u);
    EXPECT_EQ(umaskNow(), mode_t(077)) << "the layer left the umask as it was";
    // A move is the same file in another place: its bits go with it, as mv keeps them.
    layer.renameError = EXDEV;
    ASSERT_EQ(files.move(source, env.path(QStringLiteral("b/presunuty.txt"))), 0);
    files.stat(env.path(QStringLiteral("b/presunuty.txt")), status);
    EXPECT_EQ(status.mode, 0666u);
    ::umask(before);
}

TEST_F(FileLayerRuns, ACopyKilledMidWayOntoExfatLeavesNoTemporaryPastTheNextCopy)
{
    const QString dir = env.path(QStringLiteral("exfat"));
    FaultMount disk(FaultKind::RefusesNames, dir); // exFAT through FUSE: no nameless files
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString source = env.writeFile(QStringLiteral("zdroj.bin"), QByteArray(100000, 'x'));
    inChildKilled([&] {
        layer.killMidCopy = true;
        FileSystem::current().copy(source, dir + QStringLiteral("/kopie.bin"));
    });
    const QStringList left = namesIn(dir);
    ASSERT_EQ(left.size(), 1) << left.join(u' ').toStdString();
    EXPECT_TRUE(left[0].startsWith(QStringLiteral(".vorlan-"))) << "the killed copy left its temporary";

    // A temporary of a run still going (this one) is never touched.
    const QString running = dir + QStringLiteral("/.vorlan-") + QString::fromLatin1(ProcessOwner::tag())
                            + QStringLiteral("-bezi");
    env.writeFile(QStringLiteral("exfat/.vorlan-") + QString::fromLatin1(ProcessOwner::tag()) + QStringLiteral("-bezi"),
                  "běží");
    ASSERT_EQ(FileSystem::current().copy(source, dir + QStringLiteral("/kopie.bin")), 0);
    EXPECT_EQ(namesIn(dir), QStringList({QFileInfo(running).fileName(), QStringLiteral("kopie.bin")}));
    EXPECT_EQ(TestEnvironment::readFile(dir + QStringLiteral("/kopie.bin")), QByteArray(100000, 'x'));
    EXPECT_TRUE(journal().isEmpty());
}

TEST_F(FileLayerRuns, AFilePutInPlaceOfTheReservationOnExfatIsKeptAndTheFailureTold)
{
    const QString dir = env.path(QStringLiteral("exfat"));
    FaultMount disk(FaultKind::RefusesNames, dir);
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString source = env.writeFile(QStringLiteral("zdroj.txt"), "moje kopie");
    int reservations = 0;
    layer.atReservation = [&](int folder, const QByteArray &name) {
        ++reservations;
        EXPECT_EQ(journal().size(), 1) << "the reservation is recorded while it stands";
        // Another writer takes the name from under the reservation.
        ASSERT_EQ(::unlinkat(folder, name.constData(), 0), 0);
        const int fd = ::openat(folder, name.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "cizí", 5), 5);
        ::close(fd);
    };
    FileSystem &files = FileSystem::current();
    EXPECT_EQ(files.copy(source, dir + QStringLiteral("/cil.txt")), EEXIST);
    EXPECT_EQ(reservations, 1);
    EXPECT_EQ(TestEnvironment::readFile(dir + QStringLiteral("/cil.txt")), QByteArray("cizí", 5));
    EXPECT_EQ(namesIn(dir), QStringList({QStringLiteral("cil.txt")}));
    EXPECT_TRUE(journal().isEmpty());

    // Left alone, the copy goes onto its own reservation and nothing else stays.
    layer.atReservation = {};
    EXPECT_EQ(files.copy(source, dir + QStringLiteral("/jiny.txt")), 0);
    EXPECT_EQ(TestEnvironment::readFile(dir + QStringLiteral("/jiny.txt")), "moje kopie");
    EXPECT_EQ(namesIn(dir), QStringList({QStringLiteral("cil.txt"), QStringLiteral("jiny.txt")}));
    EXPECT_TRUE(journal().isEmpty());
    // A folder is renamed onto a folder it reserved.
    QDir().mkpath(dir + QStringLiteral("/slozka"));
    EXPECT_EQ(files.rename(dir + QStringLiteral("/slozka"), dir + QStringLiteral("/jina")), 0);
    EXPECT_EQ(files.rename(dir + QStringLiteral("/jina"), dir + QStringLiteral("/jiny.txt")), EEXIST);
    EXPECT_EQ(namesIn(dir), QStringList({QStringLiteral("cil.txt"), QStringLiteral("jina"), QStringLiteral("jiny.txt")}));
}

TEST_F(FileLayerRuns, AnEmptyReservationLeftByAKillGoesAtTheNextStartAndOneWrittenToStays)
{
    const QString dir = env.path(QStringLiteral("exfat"));
    FaultMount disk(FaultKind::RefusesNames, dir);
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QString source = env.writeFile(QStringLiteral("zdroj.txt"), "obsah");
    for (const char *name : {"prazdna.txt", "zapsana.txt"}) {
        inChildKilled([&] {
            layer.atReservation = [](int, const QByteArray &) { ::kill(::getpid(), SIGKILL); };
            FileSystem::current().copy(source, dir + QLatin1Char('/') + QLatin1String(name));
        });
    }
    ASSERT_EQ(journal().size(), 2);
    // The user writes into one of them before the next start: it is the user's now.
    {
        QFile written(dir + QStringLiteral("/zapsana.txt"));
        ASSERT_TRUE(written.open(QIODevice::WriteOnly | QIODevice::Append));
        written.write("uživatel");
    }
    EXPECT_EQ(FileJournal::recover(), 2);
    QStringList left = namesIn(dir);
    left.removeIf([](const QString &name) { return name.startsWith(QStringLiteral(".vorlan-")); }); // swept at a write
    EXPECT_EQ(left, QStringList({QStringLiteral("zapsana.txt")}));
    EXPECT_EQ(TestEnvironment::readFile(dir + QStringLiteral("/zapsana.txt")), "uživatel");
    EXPECT_TRUE(journal().isEmpty());
}

TEST_F(FileLayerRuns, ACaseRenameKilledBetweenItsStepsLeavesTheFileUnderARealNameAfterTheNextStart)
{
    const QString dir = env.path(QStringLiteral("c"));
    env.writeFile(QStringLiteral("c/b.txt"), "bbb");
    layer.foldsCase = true;
    inChildKilled([&] {
        layer.atRename = [](const QByteArray &from, const QByteArray &) {
            if (from.startsWith("~vorlan-"))
                ::kill(::getpid(), SIGKILL);
        };
        FileSystem::current().rename(dir + QStringLiteral("/b.txt"), dir + QStringLiteral("/B.txt"));
    });
    ASSERT_EQ(namesIn(dir).size(), 1);
    ASSERT_TRUE(namesIn(dir)[0].startsWith(QStringLiteral("~vorlan-"))) << namesIn(dir).join(u' ').toStdString();
    EXPECT_EQ(FileJournal::recover(), 1);
    EXPECT_EQ(namesIn(dir), QStringList({QStringLiteral("b.txt")}));
    EXPECT_EQ(TestEnvironment::readFile(dir + QStringLiteral("/b.txt")), "bbb");
    EXPECT_TRUE(journal().isEmpty());
    // A rename that ran through leaves no record.
    EXPECT_EQ(FileSystem::current().rename(dir + QStringLiteral("/b.txt"), dir + QStringLiteral("/B.txt")), 0);
    EXPECT_EQ(namesIn(dir), QStringList({QStringLiteral("B.txt")}));
    EXPECT_TRUE(journal().isEmpty());
}

TEST_F(FileLayerRuns, TheStagingAreaIsPrivateAndItsFoldersOfEndedRunsGoAtTheNextStart)
{
    const QString area = env.path(QStringLiteral("program/staging"));
    QDir().mkpath(env.path(QStringLiteral("program")));
    StagingFolder running;
    ASSERT_EQ(running.make(area), 0);
    env.writeFile(QFileInfo(running.path()).fileName().prepend(QStringLiteral("program/staging/")) + QStringLiteral("/a.part"), "a");
    QString killed;
    inChildKilled([&] {
        StagingFolder staging;
        if (staging.make(area) == 0) {
            QFile part(staging.filePath(QStringLiteral("b.part")));
            part.open(QIODevice::WriteOnly);
            part.write("b");
        }
        ::kill(::getpid(), SIGKILL);
    });
    FileStatus status;
    FileSystem::current().stat(area, status);
    EXPECT_EQ(status.mode, 0700u);
    ASSERT_EQ(namesIn(area).size(), 2);
    EXPECT_EQ(StagingFolder::sweep(area), 1);
    EXPECT_EQ(namesIn(area), QStringList({QFileInfo(running.path()).fileName()}));
    EXPECT_EQ(running.remove(), 0);
    EXPECT_TRUE(namesIn(area).isEmpty());

    // An area that is a link is refused: nothing is made where it leads.
    const QString elsewhere = env.path(QStringLiteral("cizi"));
    QDir().mkpath(elsewhere);
    const QString linked = env.path(QStringLiteral("program/odkaz"));
    ASSERT_TRUE(QFile::link(elsewhere, linked));
    StagingFolder refused;
    EXPECT_NE(refused.make(linked), 0);
    EXPECT_TRUE(namesIn(elsewhere).isEmpty());
}
