#include "files/CheckedFileOps.h"

#include "support/FaultMount.h"
#include "support/FaultyFileSystem.h"
#include "support/QtPrinters.h"
#include "support/SpecialFiles.h"
#include "support/TestEnvironment.h"
#include "support/WriteFailure.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <functional>
#include <utility>
#include <random>
#include <grp.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The injected layer, plus a step run just before the change itself (after every
// check) and a record of which copies ran and what the target held when the source
// was unlinked.
class HookedFileSystem : public FaultyFileSystem
{
public:
    std::function<void()> beforeChange;
    std::function<void()> afterCopy; // run once a copy is complete, before anything else
    int syncedCopies = 0;
    int unsyncedCopies = 0;
    QString watchedTarget;
    QByteArray targetAtUnlink = "(no unlink)";

    int copyInto(const SourceFile &source, const OpenFolder &folder, const QString &name, bool sync,
                 FailedSide *side) override
    {
        ++(sync ? syncedCopies : unsyncedCopies);
        runHook();
        const int failure = PosixFileSystem::copyInto(source, folder, name, sync, side);
        if (afterCopy)
            std::exchange(afterCopy, nullptr)();
        return failure;
    }
    int moveInto(const OpenFolder &from, const QString &name, const OpenFolder &to, const QString &toName,
                 const FileStatus *checked, FailedSide *side) override
    {
        runHook();
        return PosixFileSystem::moveInto(from, name, to, toName, checked, side);
    }
    int writeNew(const OpenFolder &folder, const QString &name, const QByteArray &bytes) override
    {
        runHook();
        return PosixFileSystem::writeNew(folder, name, bytes);
    }
    int makeFolder(const OpenFolder &folder, const QString &name) override
    {
        runHook();
        return PosixFileSystem::makeFolder(folder, name);
    }

protected:
    int unlinkEntry(int folder, const QByteArray &name) override
    {
        if (!watchedTarget.isEmpty()) {
            QFile target(watchedTarget);
            targetAtUnlink = target.open(QIODevice::ReadOnly) ? target.readAll() : QByteArray("(none)");
        }
        return FaultyFileSystem::unlinkEntry(folder, name);
    }

private:
    void runHook()
    {
        if (beforeChange) {
            auto hook = std::move(beforeChange);
            hook();
        }
    }
};

enum class Op { Copy, Move, MoveAcross, Write };

const char *opName(Op op)
{
    switch (op) {
    case Op::Copy: return "Copy";
    case Op::Move: return "Move";
    case Op::MoveAcross: return "MoveAcross";
    case Op::Write: return "Write";
    }
    return "";
}

class CheckedFileOpsTest : public TempEnvTest
{
protected:
    void SetUp() override
    {
        QDir().mkpath(env.path("dst"));
        content = QByteArray(200 * 1024, 'x');
        for (int i = 0; i < content.size(); i += 7)
            content[i] = char(i);
        source = env.writeFile("src/zpráva.txt", content);
        target = env.path("dst") + "/zpráva.txt";
    }

    FileOpResult run(Op op)
    {
        switch (op) {
        case Op::Copy: return CopyFileChecked(source, target);
        case Op::Move:
        case Op::MoveAcross: return MoveFileChecked(source, target);
        case Op::Write: return WriteTextFile(QString::fromLatin1(content), target);
        }
        return {};
    }
    QByteArray written(Op op) const { return op == Op::Write ? QString::fromLatin1(content).toUtf8() + "\r\n" : content; }
    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    HookedFileSystem files;
    QByteArray content;
    QString source;
    QString target;
};

// What a step run by an unprivileged user gave back; skip says why it could not run.
struct UnprivilegedRun
{
    FileOpResult result;
    QString message;
    QString skip;
};

// Runs the operation in a child process that, when this one is root, first becomes
// the unprivileged user nobody (65534): root reads a file whatever its mode says.
UnprivilegedRun runUnprivileged(const std::function<FileOpResult()> &operation, const QString &target,
                                const QString &mustWrite)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {{}, {}, QStringLiteral("no pipe")};
    const pid_t child = ::fork();
    if (child < 0)
        return {{}, {}, QStringLiteral("no fork")};
    if (child == 0) {
        ::close(pipeFds[0]);
        QByteArray out;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            out = "skip cannot drop root's privileges";
        else if (::access(QFile::encodeName(mustWrite).constData(), W_OK | X_OK) != 0)
            out = "skip the test's folder is out of an unprivileged user's reach";
        else {
            const FileOpResult result = operation();
            out = QByteArray::number(result.code) + ' ' + QByteArray::number(result.systemError) + ' '
                + FileOpMessage(result, target).toUtf8();
        }
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], out.constData(), size_t(out.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray in;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0)
            in.append(buffer, got);
        else if (errno != EINTR)
            break;
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (in.startsWith("skip "))
        return {{}, {}, QString::fromUtf8(in.mid(5))};
    const QList<QByteArray> parts = in.split(' ');
    if (parts.size() < 3)
        return {{-1, 0}, QString::fromUtf8(in), {}};
    return {{parts[0].toInt(), parts[1].toInt()}, QString::fromUtf8(in.mid(parts[0].size() + parts[1].size() + 2)), {}};
}

} // namespace

TEST_F(CheckedFileOpsTest, ASourceThatCannotBeReadIsToldAsSuchAndTheTargetOnlyWhenItRefused)
{
    // Reachable by the unprivileged user: the test's folders and their files.
    for (const QString &folder : {env.root(), env.path("src"), env.path("dst")})
        ::chmod(QFile::encodeName(folder).constData(), 0777);
    ::chmod(QFile::encodeName(source).constData(), 0000);
    const QString readable = env.writeFile("src/citelny.txt", "citelny");
    ::chmod(QFile::encodeName(readable).constData(), 0644);
    QDir().mkpath(env.path("ro"));
    ::chmod(QFile::encodeName(env.path("ro")).constData(), 0555);
    const QString refused = QStringLiteral("Soubor „%1“ nelze přečíst (Přístup byl odepřen).").arg(source);
    const QString readOnly = QStringLiteral("Cílová cesta je pouze ke čtení.");

    struct Case
    {
        const char *what;
        std::function<FileOpResult()> operation;
        QString target;
        int code;
        int systemError;
        QString message;
    };
    const QString roTarget = env.path("ro") + "/citelny.txt";
    const QString closed = env.writeFile("zavreno/soubor.txt", "zavreno");
    ::chmod(QFile::encodeName(env.path("zavreno")).constData(), 0700);
    const QString closedRefused = QStringLiteral("Soubor „%1“ nelze přečíst (Přístup byl odepřen).").arg(closed);
    const Case cases[] = {
        {"copy of an unreadable file", [this] { return CopyFileChecked(source, target); }, target, 9, EACCES, refused},
        {"move of an unreadable file across volumes",
         [this] {
             files.renameError = EXDEV;
             return MoveFileChecked(source, target);
         },
         target, 9, EACCES, refused},
        {"copy into a folder the user may not write",
         [&] { return CopyFileChecked(readable, roTarget); }, roTarget, 7, EACCES, readOnly},
        {"move of a file in a folder the user may not enter",
         [&] { return MoveFileChecked(closed, target); }, target, 9, EACCES, closedRefused},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const UnprivilegedRun run = runUnprivileged(c.operation, c.target, env.path("dst"));
        if (!run.skip.isEmpty())
            GTEST_SKIP() << run.skip.toStdString();
        EXPECT_EQ(run.result.code, c.code);
        EXPECT_EQ(run.result.systemError, c.systemError);
        EXPECT_EQ(run.message, c.message);
        EXPECT_TRUE(entries(env.path("dst")).isEmpty());
        EXPECT_TRUE(entries(env.path("ro")).isEmpty());
        EXPECT_EQ(TestEnvironment::readFile(source), content);
        EXPECT_EQ(TestEnvironment::readFile(closed), "zavreno");
    }
    ::chmod(QFile::encodeName(env.path("ro")).constData(), 0755);
}

TEST_F(CheckedFileOpsTest, EveryFailureBecomesItsCodeAndLeavesTheFilesAsTheyWere)
{
    struct Case
    {
        Op op;
        int renameError, copyError, unlinkError;
        int code;
        bool sourceStays, targetMade;
    };
    const Case cases[] = {
        {Op::Copy, 0, 0, 0, 1, true, true},
        {Op::Copy, 0, ENOSPC, 0, 3, true, false},
        {Op::Copy, 0, EIO, 0, 6, true, false},
        {Op::Copy, 0, EROFS, 0, 7, true, false},
        {Op::Copy, 0, EPROTO, 0, 8, true, false},
        {Op::Move, 0, 0, 0, 0, false, true},
        {Op::Move, EPROTO, 0, 0, 8, true, false},
        {Op::Move, ENOSPC, 0, 0, 3, true, false},
        // A source that may not go is copied instead, and a read-only target refuses both.
        {Op::Move, EROFS, 0, 0, 1, true, true},
        {Op::Move, EACCES, EROFS, 0, 7, true, false},
        {Op::MoveAcross, EXDEV, 0, 0, 0, false, true},
        {Op::MoveAcross, EXDEV, ENOSPC, 0, 3, true, false},
        {Op::MoveAcross, EXDEV, EIO, 0, 6, true, false},
        {Op::MoveAcross, EXDEV, 0, EPERM, 1, true, true},
        {Op::MoveAcross, EXDEV, 0, EIO, 6, true, false},
        {Op::Write, 0, 0, 0, 0, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(opName(c.op)) + " rename " + std::to_string(c.renameError) + " copy "
                     + std::to_string(c.copyError) + " unlink " + std::to_string(c.unlinkError));
        QFile::remove(target);
        env.writeFile("src/zpráva.txt", content);
        files.renameError = c.renameError;
        files.copyError = c.copyError;
        files.copyErrorAfter = 4096;
        files.unlinkError = c.unlinkError;
        const FileOpResult result = run(c.op);
        files.renameError = files.copyError = files.unlinkError = 0;
        EXPECT_EQ(result.code, c.code);
        if (c.code == 8) {
            EXPECT_TRUE(FileOpMessage(result, target).startsWith("Operace se souborem se nezdařila: "));
        }
        if (c.op != Op::Write) {
            EXPECT_EQ(QFileInfo::exists(source), c.sourceStays);
        }
        if (c.sourceStays) {
            EXPECT_EQ(TestEnvironment::readFile(source), content);
        }
        if (c.targetMade) {
            EXPECT_EQ(TestEnvironment::readFile(target), written(c.op));
        }
        EXPECT_EQ(entries(env.path("dst")), c.targetMade ? QStringList{"zpráva.txt"} : QStringList{});
    }
}

TEST_F(CheckedFileOpsTest, AMoveAcrossVolumesCopiesOnceAndSyncedBeforeTheSourceGoes)
{
    files.renameError = EXDEV;
    files.watchedTarget = target;
    EXPECT_EQ(MoveFileChecked(source, target).code, 0);
    EXPECT_EQ(files.syncedCopies, 1);
    EXPECT_EQ(files.unsyncedCopies, 0);
    EXPECT_EQ(files.targetAtUnlink, content);
    EXPECT_FALSE(QFileInfo::exists(source));
}

TEST_F(CheckedFileOpsTest, WhatChangesBetweenTheChecksAndTheOperationIsNeverOverwrittenNorLost)
{
    enum class Change { TargetFile, DanglingLink, SourceGone };
    for (const Op op : {Op::Copy, Op::Move, Op::MoveAcross, Op::Write}) {
        for (const Change change : {Change::TargetFile, Change::DanglingLink, Change::SourceGone}) {
            if (op == Op::Write && change == Change::SourceGone)
                continue;
            SCOPED_TRACE(std::string(opName(op)) + " change " + std::to_string(int(change)));
            QFile::remove(target);
            env.writeFile("src/zpráva.txt", content);
            const QString aside = env.path("aside");
            QFile::remove(aside);
            files.renameError = op == Op::MoveAcross ? EXDEV : 0;
            files.beforeChange = [&] {
                if (change == Change::TargetFile)
                    env.writeFile("dst/zpráva.txt", "someone else's");
                else if (change == Change::DanglingLink)
                    ASSERT_EQ(::symlink(QFile::encodeName(aside).constData(), QFile::encodeName(target).constData()), 0);
                else
                    QFile::remove(source);
            };
            const FileOpResult result = run(op);
            files.renameError = 0;
            // A copy reads the file it opened and checked, so a source removed after
            // the checks is still copied whole; a move finds its name gone.
            const bool copiedAnyway = change == Change::SourceGone && op == Op::Copy;
            EXPECT_EQ(result.code, copiedAnyway ? 1 : change == Change::SourceGone ? 4 : 2);
            EXPECT_FALSE(QFileInfo::exists(aside));
            if (change == Change::TargetFile) {
                EXPECT_EQ(TestEnvironment::readFile(target), "someone else's");
            }
            if (change != Change::SourceGone && op != Op::Write) {
                EXPECT_EQ(TestEnvironment::readFile(source), content);
            }
            if (copiedAnyway) {
                EXPECT_EQ(TestEnvironment::readFile(target), content);
            }
            EXPECT_EQ(entries(env.path("dst")).size(), change == Change::SourceGone && !copiedAnyway ? 0 : 1);
        }
    }
}

TEST_F(CheckedFileOpsTest, AFileWrittenToWhileItIsMovedAcrossVolumesStaysWhole)
{
    // A log appended to while it is copied to another disk holds more than the copy:
    // it stays where it was with every byte, the copy goes and the user is told.
    files.renameError = EXDEV;
    files.afterCopy = [this] {
        QFile log(source);
        ASSERT_TRUE(log.open(QIODevice::Append));
        log.write("dalsi radek\n");
    };
    const FileOpResult result = MoveFileChecked(source, target);
    EXPECT_EQ(result.code, FileOpCode::Failed);
    EXPECT_EQ(result.systemError, EAGAIN);
    EXPECT_EQ(FileOpMessage(result, target),
              QStringLiteral("Operace se souborem se nezdařila: Soubor se právě mění nebo není připraven, zkuste to znovu"));
    EXPECT_EQ(TestEnvironment::readFile(source), content + "dalsi radek\n");
    EXPECT_EQ(entries(env.path("dst")), QStringList{});
    // Unchanged, the same move goes through.
    EXPECT_EQ(MoveFileChecked(source, target).code, 0);
    files.renameError = 0;
    EXPECT_EQ(TestEnvironment::readFile(target), content + "dalsi radek\n");
    EXPECT_FALSE(QFile::exists(source));
}

TEST_F(CheckedFileOpsTest, ChecksRefuseInTheirOrderBeforeAnythingIsTouched)
{
    const QString fifo = env.path("src/roura");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    env.writeFile("dst/jiný.txt", "other");
    struct Case { const char *what; std::function<FileOpResult()> call; int code; };
    const Case cases[] = {
        {"copy, no source", [&] { return CopyFileChecked(env.path("src/nic.txt"), target); }, 4},
        {"move, no source", [&] { return MoveFileChecked(env.path("src/nic.txt"), target); }, 4},
        {"copy, a pipe", [&] { return CopyFileChecked(fifo, target); }, 8},
        {"copy, no folder", [&] { return CopyFileChecked(source, env.path("dst") + "/nic/a.txt"); }, 5},
        {"move, no folder", [&] { return MoveFileChecked(source, env.path("dst") + "/nic/a.txt"); }, 5},
        {"copy, taken", [&] { return CopyFileChecked(source, env.path("dst/jiný.txt")); }, 2},
        {"move, taken", [&] { return MoveFileChecked(source, env.path("dst/jiný.txt")); }, 2},
        {"write, no text", [&] { return WriteTextFile(QString(), target); }, 4},
        {"write, taken", [&] { return WriteTextFile("text", env.path("dst/jiný.txt")); }, 2},
        {"write, no folder", [&] { return WriteTextFile("text", env.path("dst") + "/nic/a.htm"); }, 5},
        {"folder, taken", [&] { return MakeFolder(env.path("dst") + "/", "jiný.txt"); }, 2},
        {"folder, no parent", [&] { return MakeFolder(env.path("dst") + "/nic/", "a"); }, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call().code, c.code);
        EXPECT_EQ(TestEnvironment::readFile(env.path("dst/jiný.txt")), "other");
        EXPECT_EQ(entries(env.path("dst")), QStringList{"jiný.txt"});
        EXPECT_EQ(TestEnvironment::readFile(source), content);
    }
    EXPECT_EQ(files.syncedCopies + files.unsyncedCopies, 0);
}

TEST_F(CheckedFileOpsTest, APipeOrADeviceIsRefusedWithoutBeingOpened)
{
    // Opening a device acts on it, so the refusal must come before any open: the
    // system tells every open of a watched file, whatever its kind.
    const QString pipe = env.path("src/roura");
    const QString device = env.path("src/zarizeni");
    ASSERT_TRUE(SpecialFiles::makePipe(pipe));
    QStringList watched{pipe};
    if (SpecialFiles::makeDevice(device))
        watched.append(device);
    for (const QString &special : std::as_const(watched)) {
        SCOPED_TRACE(special.toStdString());
        const QString link = special + ".odkaz";
        ASSERT_TRUE(QFile::link(special, link));
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(special).constData(), IN_OPEN), 0);
        EXPECT_EQ(CopyFileChecked(special, target).code, FileOpCode::Failed);
        EXPECT_EQ(CopyFileChecked(link, target).code, FileOpCode::Failed);
        QByteArray head;
        EXPECT_EQ(FileSystem::current().readFileHead(link, 16, head), EINVAL);
        char events[4096];
        EXPECT_LT(::read(watch, events, sizeof events), 0) << "the file was opened";
        ::close(watch);
        EXPECT_TRUE(entries(env.path("dst")).isEmpty());
    }
}

TEST_F(CheckedFileOpsTest, ResultsGiveTheCopyUserWritableTextsUtf8WithCrLfAndSanitisedFolders)
{
    ::chmod(QFile::encodeName(source).constData(), 0444);
    EXPECT_EQ(CopyFileChecked(source, target).code, 1);
    EXPECT_TRUE(QFileInfo(target).permissions() & QFile::WriteOwner);
    EXPECT_FALSE(QFileInfo(source).permissions() & QFile::WriteOwner);
    EXPECT_EQ(files.unsyncedCopies, 1);

    EXPECT_EQ(WriteTextFile("řádek\r\ndruhý", env.path("dst/stránka.htm")).code, 0);
    EXPECT_EQ(TestEnvironment::readFile(env.path("dst/stránka.htm")), QString("řádek\r\ndruhý\r\n").toUtf8());

    EXPECT_EQ(MakeFolder(env.path("dst") + "/", "a/b:c").code, 0);
    EXPECT_TRUE(QFileInfo(env.path("dst/a#b#c")).isDir());

    // A link is copied as the file it names, and moved as the link it is.
    const QString link = env.path("src/odkaz");
    ASSERT_EQ(::symlink(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()), 0);
    EXPECT_EQ(CopyFileChecked(link, env.path("dst/kopie")).code, 1);
    EXPECT_FALSE(QFileInfo(env.path("dst/kopie")).isSymLink());
    EXPECT_EQ(TestEnvironment::readFile(env.path("dst/kopie")), content);
    EXPECT_EQ(MoveFileChecked(link, env.path("dst/odkaz")).code, 0);
    EXPECT_TRUE(QFileInfo(env.path("dst/odkaz")).isSymLink());
}

TEST_F(CheckedFileOpsTest, AWriteCutShortLeavesNothingAndSaysTheFileIsTooLarge)
{
    // A file larger than the target takes (4 GiB on FAT, or a size limit) is no full
    // disk: the disk may have room to spare.
    for (const Op op : {Op::Copy, Op::MoveAcross, Op::Write}) {
        SCOPED_TRACE(opName(op));
        files.renameError = op == Op::MoveAcross ? EXDEV : 0;
        FileOpResult result;
        {
            WriteFailure failure(WriteFailureKind::CutShort, env.path("dst"));
            result = run(op);
        }
        files.renameError = 0;
        EXPECT_EQ(result.code, FileOpCode::Failed);
        EXPECT_EQ(result.systemError, EFBIG);
        EXPECT_EQ(FileOpMessage(result, target), QStringLiteral("Operace se souborem se nezdařila: Soubor je příliš velký"));
        EXPECT_EQ(entries(env.path("dst")), QStringList{});
        EXPECT_EQ(TestEnvironment::readFile(source), content);
    }
}

TEST_F(CheckedFileOpsTest, ARealFullOrReadOnlyDiskRefusesAndKeepsTheSource)
{
    for (const FaultKind kind : {FaultKind::FullDisk, FaultKind::ReadOnly}) {
        SCOPED_TRACE(faultName(kind));
        FaultMount mount(kind, env.path("dst"));
        if (!mount.skipReason().isEmpty())
            GTEST_SKIP() << mount.skipReason().toStdString();
        const int code = kind == FaultKind::FullDisk ? 3 : 7;
        EXPECT_EQ(CopyFileChecked(source, target).code, code);
        EXPECT_EQ(MoveFileChecked(source, target).code, code);
        EXPECT_EQ(TestEnvironment::readFile(source), content);
        EXPECT_FALSE(QFileInfo::exists(target));
    }
}

TEST_F(CheckedFileOpsTest, ThousandSeededOperationsLoseAndCorruptNothing)
{
    enum Fault { None, NoSpace, ReadOnly, AcrossVolumes, SourceVanishes, TargetExists, IoMidCopy, FaultCount };
    std::mt19937 random(20261207);
    int lost = 0, corrupted = 0, leftOver = 0, byCode[9] = {};
    for (int i = 0; i < 1000; ++i) {
        const bool move = random() % 2;
        const Fault fault = Fault(random() % FaultCount);
        QByteArray bytes(int(random() % 65536), '\0');
        for (char &b : bytes)
            b = char(random());
        QDir(env.path("dst")).removeRecursively();
        QDir().mkpath(env.path("dst"));
        env.writeFile("src/zpráva.txt", bytes);
        const QByteArray before = "existing " + QByteArray::number(i);
        if (fault == TargetExists && random() % 2)
            env.writeFile("dst/zpráva.txt", before);
        files.renameError = fault == ReadOnly ? EROFS : fault == AcrossVolumes || fault == NoSpace ? EXDEV : 0;
        files.copyError = fault == NoSpace ? ENOSPC : fault == IoMidCopy ? EIO : fault == ReadOnly ? EROFS : 0;
        files.copyErrorAfter = bytes.isEmpty() ? 0 : qint64(random() % bytes.size());
        files.beforeChange = [&] {
            if (fault == SourceVanishes)
                QFile::remove(source);
            else if (fault == TargetExists && !QFileInfo::exists(target))
                env.writeFile("dst/zpráva.txt", before);
        };
        const FileOpResult result = move ? MoveFileChecked(source, target) : CopyFileChecked(source, target);
        files.beforeChange = nullptr;
        files.renameError = files.copyError = 0;
        ++byCode[qBound(0, result.code, 8)];

        const bool sourceThere = QFileInfo::exists(source);
        const bool targetThere = QFileInfo::exists(target);
        const QByteArray targetBytes = targetThere ? TestEnvironment::readFile(target) : QByteArray();
        if (sourceThere && TestEnvironment::readFile(source) != bytes)
            ++corrupted;
        if (targetThere && targetBytes != bytes && targetBytes != before)
            ++corrupted;
        if (fault != SourceVanishes && !sourceThere && targetBytes != bytes)
            ++lost;
        if (!sourceThere && fault != SourceVanishes && !(move && result.code == 0))
            ++lost;
        leftOver += entries(env.path("dst")).size() - (targetThere ? 1 : 0);
        leftOver += entries(env.path("src")).size() - (sourceThere ? 1 : 0);
    }
    std::printf("1000 operations: lost %d, corrupted %d, left over %d; codes 0:%d 1:%d 2:%d 3:%d 4:%d 5:%d 6:%d 7:%d 8:%d\n",
                lost, corrupted, leftOver, byCode[0], byCode[1], byCode[2], byCode[3], byCode[4], byCode[5],
                byCode[6], byCode[7], byCode[8]);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(corrupted, 0);
    EXPECT_EQ(leftOver, 0);
}

TEST_F(CheckedFileOpsTest, AFolderSwappedForALinkAfterTheChecksNeitherReceivesNorLendsAFile)
{
    // Someone who may write the folders renames one away and puts a link to a folder
    // of theirs (or one they may not write) in its place, between the checks and the
    // change: the change still lands in, and reads from, the folders that were checked.
    enum class Swap { Target, Source };
    enum class Kind { Copy, Move, MoveAcross, Write, NewFolder };
    const QString elsewhere = env.path("elsewhere");
    const auto kindName = [](Kind kind) {
        const char *names[] = {"Copy", "Move", "MoveAcross", "Write", "NewFolder"};
        return std::string(names[int(kind)]);
    };
    for (const Swap swap : {Swap::Target, Swap::Source}) {
        for (const Kind kind : {Kind::Copy, Kind::Move, Kind::MoveAcross, Kind::Write, Kind::NewFolder}) {
            if (swap == Swap::Source && (kind == Kind::Write || kind == Kind::NewFolder))
                continue;
            SCOPED_TRACE(kindName(kind) + (swap == Swap::Target ? " target swapped" : " source swapped"));
            for (const char *name : {"src", "dst", "elsewhere"}) {
                QFile::remove(env.path(name));
                QDir(env.path(name)).removeRecursively();
                QDir(env.path(name) + ".old").removeRecursively();
            }
            env.writeFile("src/zpráva.txt", content);
            QDir().mkpath(env.path("dst"));
            env.writeFile("elsewhere/zpráva.txt", "someone else's");
            const QString swapped = env.path(swap == Swap::Target ? "dst" : "src");
            files.renameError = kind == Kind::MoveAcross ? EXDEV : 0;
            files.beforeChange = [&] {
                ASSERT_EQ(::rename(QFile::encodeName(swapped).constData(), QFile::encodeName(swapped + ".old").constData()), 0);
                ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(swapped).constData()), 0);
            };
            FileOpResult result;
            switch (kind) {
            case Kind::Copy: result = CopyFileChecked(source, target); break;
            case Kind::Move:
            case Kind::MoveAcross: result = MoveFileChecked(source, target); break;
            case Kind::Write: result = WriteTextFile(QStringLiteral("text"), target); break;
            case Kind::NewFolder: result = MakeFolder(env.path("dst") + "/", QStringLiteral("nová")); break;
            }
            files.renameError = 0;
            EXPECT_EQ(result.code, kind == Kind::Copy ? 1 : 0);
            // Nothing came into the other folder, and nothing of it left or was read.
            EXPECT_EQ(entries(elsewhere), QStringList{"zpráva.txt"});
            EXPECT_EQ(TestEnvironment::readFile(elsewhere + "/zpráva.txt"), "someone else's");
            const QString targetFolder = env.path("dst") + (swap == Swap::Target ? ".old" : "");
            const QString sourceFolder = env.path("src") + (swap == Swap::Source ? ".old" : "");
            if (kind == Kind::NewFolder) {
                EXPECT_TRUE(QFileInfo(targetFolder + "/nová").isDir());
                continue;
            }
            EXPECT_EQ(TestEnvironment::readFile(targetFolder + "/zpráva.txt"), kind == Kind::Write ? "text\r\n" : content);
            EXPECT_EQ(QFileInfo::exists(sourceFolder + "/zpráva.txt"), kind == Kind::Copy || kind == Kind::Write);
        }
    }
}

TEST_F(CheckedFileOpsTest, ASourceThatFailsWhileBeingReadIsToldAsTheSourceNamedAndNothingIsLeft)
{
    struct Road { const char *what; int copyRangeError; int seekDataError; };
    const Road roads[] = {
        {"kernel copy", 0, 0},
        {"through a buffer", EXDEV, 0},
        {"every byte, no data ranges", 0, EINVAL},
    };
    const QString told = QStringLiteral("Soubor „%1“ nelze přečíst (Chyba vstupu nebo výstupu).").arg(source);
    for (const Op op : {Op::Copy, Op::MoveAcross}) {
        for (const Road &road : roads) {
            SCOPED_TRACE(std::string(opName(op)) + ", " + road.what);
            QDir(env.path("dst")).removeRecursively();
            QDir().mkpath(env.path("dst"));
            files.renameError = op == Op::MoveAcross ? EXDEV : 0;
            files.copyRangeError = road.copyRangeError;
            files.seekDataError = road.seekDataError;
            files.readError = EIO;
            files.readErrorAt = 150 * 1024;
            const FileOpResult result = run(op);
            files.readError = files.renameError = files.copyRangeError = files.seekDataError = 0;
            EXPECT_EQ(result.code, 9);
            EXPECT_EQ(result.systemError, EIO);
            EXPECT_EQ(FileOpMessage(result, target), told);
            EXPECT_EQ(entries(env.path("dst")), QStringList{});
            EXPECT_EQ(TestEnvironment::readFile(source), content);
        }
    }
    // A target that fails is still the target's: a real disk filling up is no read error.
    FaultMount full(FaultKind::FullDisk, env.path("dst"));
    if (!full.skipReason().isEmpty())
        GTEST_SKIP() << full.skipReason().toStdString();
    EXPECT_EQ(CopyFileChecked(source, target).code, 3);
}

TEST_F(CheckedFileOpsTest, ADiskThatRefusesTheUserItsBitsAndTimesStillTakesTheCopy)
{
    // exFAT mounted by root for everyone lets any user write a file but set no mode
    // nor time on it: the copy and the move are still made, whole.
    FaultMount disk(FaultKind::RefusesNames, env.path("dst"));
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << "no exFAT disk: " << disk.skipReason().toStdString();
    for (const QString &folder : {env.root(), env.path("src")})
        ::chmod(QFile::encodeName(folder).constData(), 0777);
    ::chmod(QFile::encodeName(source).constData(), 0644);
    const QString moved = env.path("src/presun.txt");
    env.writeFile("src/presun.txt", "presun");
    ::chmod(QFile::encodeName(moved).constData(), 0644);
    const UnprivilegedRun copy = runUnprivileged([this] { return CopyFileChecked(source, target); }, target,
                                                 env.path("dst"));
    if (!copy.skip.isEmpty())
        GTEST_SKIP() << copy.skip.toStdString();
    EXPECT_EQ(copy.result.code, 1) << copy.message.toStdString();
    const QString movedTarget = env.path("dst") + "/presun.txt";
    const UnprivilegedRun move = runUnprivileged([&] { return MoveFileChecked(moved, movedTarget); }, movedTarget,
                                                 env.path("dst"));
    EXPECT_EQ(move.result.code, 0) << move.message.toStdString();
    EXPECT_EQ(TestEnvironment::readFile(target), content);
    EXPECT_EQ(TestEnvironment::readFile(movedTarget), "presun");
    EXPECT_FALSE(QFile::exists(moved));
    EXPECT_EQ(entries(env.path("dst")), (QStringList{"presun.txt", "zpráva.txt"}));
}

TEST_F(CheckedFileOpsTest, ANameTheTargetDiskRefusesIsToldAsSuchWhileItsFolderIsThere)
{
    const QString refusedName = QStringLiteral("a:b.txt");
    const QString refusedTarget = env.path("dst") + "/" + refusedName;
    const QString told = QStringLiteral("Cílový disk nepovoluje název souboru „a:b.txt“.");
    for (const int refusal : {ENOENT, EILSEQ}) {
        for (const Op op : {Op::Copy, Op::Move, Op::MoveAcross, Op::Write}) {
            SCOPED_TRACE(std::string(opName(op)) + " " + std::to_string(refusal));
            env.writeFile("src/zpráva.txt", content);
            // A disk without nameless files gives every new file its name by a rename.
            files.namelessError = EOPNOTSUPP;
            files.refusedName = QFile::encodeName(refusedName);
            files.refusedNameError = refusal;
            files.renameError = op == Op::MoveAcross ? EXDEV : 0;
            const FileOpResult result = op == Op::Copy ? CopyFileChecked(source, refusedTarget)
                : op == Op::Write                      ? WriteTextFile(QStringLiteral("text"), refusedTarget)
                                                       : MoveFileChecked(source, refusedTarget);
            files.renameError = 0;
            EXPECT_EQ(result.code, 10);
            EXPECT_EQ(FileOpMessage(result, refusedTarget), told);
            EXPECT_EQ(entries(env.path("dst")), QStringList{});
            EXPECT_EQ(TestEnvironment::readFile(source), content);
        }
    }
    // The same refusal from a folder removed meanwhile is the missing folder it is.
    files.refusedNameError = ENOENT;
    files.beforeChange = [&] { ASSERT_TRUE(QDir(env.path("dst")).removeRecursively()); };
    const FileOpResult gone = CopyFileChecked(source, refusedTarget);
    EXPECT_EQ(gone.code, 5);
    EXPECT_EQ(FileOpMessage(gone, refusedTarget), QStringLiteral("Cílová cesta neexistuje."));
    files.namelessError = 0;
    files.refusedName.clear();
}

TEST_F(CheckedFileOpsTest, ARealDiskThatRefusesANameSaysSoAndTakesTheOthers)
{
    // exFAT through FUSE answers "no such file" for a name with a colon, in a folder
    // that is there; it has no nameless files and no no-replace rename either.
    FaultMount disk(FaultKind::RefusesNames, env.path("dst"));
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << "no exFAT disk: " << disk.skipReason().toStdString();
    struct statfs mounted {};
    ASSERT_EQ(::statfs(QFile::encodeName(env.path("dst")).constData(), &mounted), 0);
    ASSERT_EQ(mounted.f_type, 0x65735546) << "a FUSE file system at the target";
    const QString colon = env.path("dst") + "/a:b.txt";
    const QString question = env.path("dst") + "/what?.txt";
    const FileOpResult copied = CopyFileChecked(source, colon);
    EXPECT_EQ(copied.code, 10);
    EXPECT_EQ(FileOpMessage(copied, colon), QStringLiteral("Cílový disk nepovoluje název souboru „a:b.txt“."));
    const FileOpResult moved = MoveFileChecked(source, question);
    EXPECT_EQ(moved.code, 10);
    EXPECT_EQ(FileOpMessage(moved, question), QStringLiteral("Cílový disk nepovoluje název souboru „what?.txt“."));
    EXPECT_EQ(WriteTextFile(QStringLiteral("text"), env.path("dst") + "/a:b.htm").code, 10);
    // Bytes that are no UTF-8 name no file there (EILSEQ): told in the name's shown form.
    const QByteArray oddSource = QFile::encodeName(env.path("src")) + "/spatne\xff.txt";
    ASSERT_EQ(::close(::open(oddSource.constData(), O_CREAT | O_WRONLY, 0644)), 0);
    const QString odd = env.path("dst") + "/spatne" + QChar(0xDCFF) + ".txt";
    const FileOpResult oddCopy = CopyFileChecked(env.path("src") + "/spatne" + QChar(0xDCFF) + ".txt", odd);
    EXPECT_EQ(oddCopy.code, 10) << oddCopy.systemError;
    EXPECT_EQ(FileOpMessage(oddCopy, odd), QStringLiteral("Cílový disk nepovoluje název souboru „spatne˙.txt [není UTF-8]“."));
    ::unlink(oddSource.constData());
    EXPECT_EQ(entries(env.path("dst")), QStringList{});
    EXPECT_EQ(TestEnvironment::readFile(source), content);

    // A name it takes is copied and moved whole, with no temporary name left over.
    EXPECT_EQ(CopyFileChecked(source, env.path("dst") + "/kopie.txt").code, 1);
    EXPECT_EQ(MoveFileChecked(source, target).code, 0);
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(entries(env.path("dst")), QStringList({"kopie.txt", "zpráva.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(target), content);
    EXPECT_EQ(TestEnvironment::readFile(env.path("dst") + "/kopie.txt"), content);
    EXPECT_EQ(CopyFileChecked(target, env.path("dst") + "/kopie.txt").code, 2);
}
