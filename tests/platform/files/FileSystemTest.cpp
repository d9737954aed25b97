#include "platform/files/FileSystem.h"
#include "platform/files/WalkFolder.h"

#include "platform/system/ErrorState.h"
#include "support/FaultMount.h"
#include "support/FaultyFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileLayerTest : public TempEnvTest
{
protected:
    FaultyFileSystem layer;

    QString file(const QString &name, const QByteArray &bytes) { return env.writeFile(name, bytes); }
    QString folder(const QString &name)
    {
        QDir().mkpath(env.path(name));
        return env.path(name);
    }
    QString link(const QString &name, const QString &target)
    {
        const QString path = env.path(name);
        EXPECT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
        return path;
    }
    QStringList namesIn(const QString &path)
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // The names as the folder stores them, in the order of their bytes.
    QStringList storedNamesIn(const QString &path)
    {
        QStringList names = namesIn(path);
        names.sort(Qt::CaseSensitive);
        return names;
    }
};

} // namespace

TEST_F(FileLayerTest, RenameNeverReplacesATakenName)
{
    struct Case { const char *what; int injected; };
    for (const Case c : {Case{"with the flag", 0}, Case{"refused flag, fallback", EINVAL}}) {
        for (const char *taken : {"file", "folder", "link"}) {
            for (const char *source : {"file", "folder"}) {
                SCOPED_TRACE(std::string(c.what) + ": " + source + " onto " + taken);
                layer.renameError = c.injected;
                QDir(env.path("t")).removeRecursively();
                const QString from = QStringLiteral("t/from");
                const QString to = QStringLiteral("t/to");
                const QString fromPath = qstrcmp(source, "file") == 0 ? file(from, "zdroj") : folder(from);
                if (qstrcmp(taken, "file") == 0)
                    file(to, "cil");
                else if (qstrcmp(taken, "folder") == 0)
                    folder(to);
                else
                    link(to, env.path("nikam"));
                EXPECT_EQ(FileSystem::current().rename(fromPath, env.path(to)), EEXIST);
                EXPECT_TRUE(QFileInfo::exists(fromPath));
                if (qstrcmp(source, "file") == 0) {
                    EXPECT_EQ(TestEnvironment::readFile(fromPath), "zdroj");
                }
                if (qstrcmp(taken, "file") == 0) {
                    EXPECT_EQ(TestEnvironment::readFile(env.path(to)), "cil");
                }
                EXPECT_EQ(QFileInfo(env.path(to)).isSymLink(), qstrcmp(taken, "link") == 0);
                // A free name is taken as asked.
                EXPECT_EQ(FileSystem::current().rename(fromPath, env.path("t/free")), 0);
                EXPECT_FALSE(QFileInfo::exists(fromPath));
                EXPECT_TRUE(QFileInfo::exists(env.path("t/free")));
            }
        }
    }
}

// A disk that folds case finds "B.txt" when "b.txt" is there: the rename to it is the
// file's own, and the folder shows the new name afterwards; any other file keeps its
// name, and so does a second hard link on a disk that tells case.
TEST_F(FileLayerTest, ARenameChangingOnlyLetterCaseIsDoneWhereTheDiskFoldsCase)
{
    const QString dir = folder("c");
    file("c/b.txt", "bbb");
    file("c/c.txt", "ccc");
    folder("c/sub");
    layer.foldsCase = true;
    FileSystem &files = FileSystem::current();
    EXPECT_EQ(files.rename(dir + "/b.txt", dir + "/B.txt"), 0);
    EXPECT_EQ(files.rename(dir + "/sub", dir + "/Sub"), 0);
    EXPECT_EQ(storedNamesIn(dir), QStringList({"B.txt", "Sub", "c.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(dir + "/B.txt"), "bbb");

    EXPECT_EQ(files.rename(dir + "/B.txt", dir + "/C.TXT"), EEXIST);
    EXPECT_EQ(storedNamesIn(dir), QStringList({"B.txt", "Sub", "c.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(dir + "/c.txt"), "ccc");

    layer.foldsCase = false;
    ASSERT_EQ(::link(QFile::encodeName(dir + "/c.txt").constData(), QFile::encodeName(dir + "/C.txt").constData()), 0);
    EXPECT_EQ(files.rename(dir + "/c.txt", dir + "/C.txt"), EEXIST);
    EXPECT_EQ(storedNamesIn(dir), QStringList({"B.txt", "C.txt", "Sub", "c.txt"}));
}

TEST_F(FileLayerTest, ARenameChangingOnlyLetterCaseOnARealExfatDisk)
{
    const QString dir = env.path("exfat");
    FaultMount disk(FaultKind::RefusesNames, dir); // an exFAT disk, which also folds case
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    file("exfat/b.txt", "bbb");
    file("exfat/c.txt", "ccc");
    ASSERT_TRUE(QFileInfo::exists(dir + "/B.TXT")) << "the disk folds case";
    FileSystem &files = FileSystem::current();
    EXPECT_EQ(files.rename(dir + "/b.txt", dir + "/B.txt"), 0);
    EXPECT_EQ(files.rename(dir + "/B.txt", dir + "/C.txt"), EEXIST);
    EXPECT_EQ(storedNamesIn(dir), QStringList({"B.txt", "c.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(dir + "/B.txt"), "bbb");
    EXPECT_EQ(TestEnvironment::readFile(dir + "/c.txt"), "ccc");
}

TEST_F(FileLayerTest, MoveAcrossFileSystemsKeepsDataModeAndTime)
{
    const QString source = file("a/dopis.txt", QByteArray(300000, 'x'));
    ::chmod(QFile::encodeName(source).constData(), 0640);
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1500000000);
    {
        QFile f(source);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    folder("b");
    layer.renameError = EXDEV;
    EXPECT_EQ(FileSystem::current().move(source, env.path("b/dopis.txt")), 0);
    EXPECT_FALSE(QFileInfo::exists(source));
    FileStatus status;
    ASSERT_EQ(FileSystem::current().stat(env.path("b/dopis.txt"), status), 0);
    EXPECT_EQ(status.kind, FileKind::File);
    EXPECT_EQ(status.size, 300000);
    EXPECT_EQ(status.mode, 0640u);
    EXPECT_EQ(status.modified, stamp);
}

TEST_F(FileLayerTest, FailedMoveAcrossLeavesTheSourceAndNoCopy)
{
    struct Case { const char *what; int copyError; int unlinkError; };
    const Case cases[] = {
        {"disk full part-way", ENOSPC, 0},
        {"input/output error", EIO, 0},
        {"source on a read-only medium", 0, EROFS},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString source = file("a/velky.bin", QByteArray(100000, 'y'));
        QDir(env.path("b")).removeRecursively();
        folder("b");
        layer.renameError = EXDEV;
        layer.copyError = c.copyError;
        layer.copyErrorAfter = 4096;
        layer.unlinkError = c.unlinkError;
        const int expected = c.copyError ? c.copyError : c.unlinkError;
        EXPECT_EQ(FileSystem::current().move(source, env.path("b/velky.bin")), expected);
        EXPECT_EQ(TestEnvironment::readFile(source), QByteArray(100000, 'y'));
        EXPECT_EQ(namesIn(env.path("b")), QStringList());
    }
}

TEST_F(FileLayerTest, MoveAcrossRefusesATakenName)
{
    const QString source = file("a/x.txt", "novy");
    file("b/x.txt", "stary");
    layer.renameError = EXDEV;
    EXPECT_EQ(FileSystem::current().move(source, env.path("b/x.txt")), EEXIST);
    EXPECT_EQ(TestEnvironment::readFile(source), "novy");
    EXPECT_EQ(TestEnvironment::readFile(env.path("b/x.txt")), "stary");
    EXPECT_EQ(namesIn(env.path("b")), QStringList({"x.txt"}));
}

TEST_F(FileLayerTest, ALinkMovesAsALink)
{
    const QString target = file("cil.txt", "obsah");
    for (const int injected : {0, EXDEV}) {
        SCOPED_TRACE(injected);
        layer.renameError = injected;
        const QString from = link("a/odkaz", target);
        folder("b");
        EXPECT_EQ(FileSystem::current().move(from, env.path("b/odkaz")), 0);
        EXPECT_FALSE(QFileInfo(from).isSymLink());
        EXPECT_EQ(QFileInfo(env.path("b/odkaz")).symLinkTarget(), target);
        EXPECT_EQ(TestEnvironment::readFile(target), "obsah");
        EXPECT_EQ(FileSystem::current().remove(env.path("b/odkaz")), 0);
    }
    EXPECT_EQ(TestEnvironment::readFile(target), "obsah");
}

TEST_F(FileLayerTest, CopyAndWriteNewNeverReplaceAndTakeRegularFilesOnly)
{
    const QString source = file("zdroj.txt", "data");
    const QString taken = file("cil.txt", "puvodni");
    EXPECT_EQ(FileSystem::current().copy(source, taken), EEXIST);
    EXPECT_EQ(FileSystem::current().writeNew(taken, "nove"), EEXIST);
    EXPECT_EQ(TestEnvironment::readFile(taken), "puvodni");
    EXPECT_EQ(FileSystem::current().copy(source, env.path("kopie.txt")), 0);
    EXPECT_EQ(TestEnvironment::readFile(env.path("kopie.txt")), "data");
    EXPECT_EQ(FileSystem::current().writeNew(env.path("novy.txt"), "ahoj"), 0);
    EXPECT_EQ(TestEnvironment::readFile(env.path("novy.txt")), "ahoj");

    const QString fifo = env.path("roura");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(FileSystem::current().copy(fifo, env.path("z-roury")), EINVAL);
    EXPECT_EQ(FileSystem::current().copy(link("odkaz", source), env.path("z-odkazu")), ELOOP);
    EXPECT_EQ(FileSystem::current().copy(folder("slozka"), env.path("ze-slozky")), EISDIR);
    EXPECT_EQ(namesIn(env.root()),
              QStringList({"cil.txt", "home", "kopie.txt", "novy.txt", "odkaz", "roura", "slozka", "zdroj.txt"}));
}

TEST_F(FileLayerTest, ACopyThatFailsLeavesNothingUnderTheName)
{
    const QString source = file("zdroj.bin", QByteArray(50000, 'z'));
    layer.copyError = ENOSPC;
    layer.copyErrorAfter = 1000;
    EXPECT_EQ(FileSystem::current().copy(source, env.path("cil.bin")), ENOSPC);
    EXPECT_FALSE(QFileInfo::exists(env.path("cil.bin")));
    EXPECT_EQ(namesIn(env.root()), QStringList({"home", "zdroj.bin"}));
}

namespace {

// The data ranges of a file as the file system reports them.
std::vector<std::pair<off_t, off_t>> dataRangesOf(const QString &path)
{
    std::vector<std::pair<off_t, off_t>> ranges;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    for (off_t start; fd >= 0 && (start = ::lseek(fd, ranges.empty() ? 0 : ranges.back().second, SEEK_DATA)) >= 0;)
        ranges.emplace_back(start, ::lseek(fd, start, SEEK_HOLE));
    if (fd >= 0)
        ::close(fd);
    return ranges;
}

} // namespace

TEST_F(FileLayerTest, ACopyKeepsTheHolesOfASparseFileAndAllItsBytes)
{
    constexpr off_t MiB = 1024 * 1024;
    const QString source = env.path("disk.img");
    {
        const int fd = ::open(QFile::encodeName(source).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0640);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, QByteArray(64 * 1024, 'a').constData(), 64 * 1024, 1 * MiB), 64 * 1024);
        ASSERT_EQ(::pwrite(fd, QByteArray(4096, 'b').constData(), 4096, 5 * MiB), 4096);
        ASSERT_EQ(::ftruncate(fd, 9 * MiB), 0); // ends in a hole
        ::close(fd);
    }
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1500000000);
    {
        QFile f(source);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    const auto sourceRanges = dataRangesOf(source);
    if (sourceRanges.empty() || sourceRanges.front().first == 0)
        GTEST_SKIP() << "the temporary folder's file system keeps no holes";

    // Between file systems the kernel may refuse to copy, and the data goes through a
    // buffer; a memory file system keeps holes too.
    QTemporaryDir otherFileSystem(QStringLiteral("/dev/shm/vorlan-test-XXXXXX"));
    struct Case { const char *what; int seekDataError; bool holesKept; QString folder; };
    const Case cases[] = {
        {"data ranges", 0, true, env.root()},
        {"data ranges into another file system", 0, true, otherFileSystem.isValid() ? otherFileSystem.path() : QString()},
        {"no SEEK_DATA: every byte", EINVAL, false, env.root()},
        {"no SEEK_DATA, another errno", EOPNOTSUPP, false, env.root()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder.isEmpty())
            continue;
        layer.seekDataError = c.seekDataError;
        const QString target = c.folder + QStringLiteral("/kopie-%1.img").arg(c.seekDataError);
        ASSERT_EQ(FileSystem::current().copy(source, target), 0);
        EXPECT_TRUE(TestEnvironment::readFile(target) == TestEnvironment::readFile(source));
        FileStatus status;
        ASSERT_EQ(FileSystem::current().stat(target, status), 0);
        EXPECT_EQ(status.size, 9 * MiB);
        EXPECT_EQ(status.mode, 0640u);
        EXPECT_EQ(status.modified, stamp);
        if (!c.holesKept)
            continue;
        // Where the source has no data, neither has the copy.
        const auto copyRanges = dataRangesOf(target);
        EXPECT_FALSE(copyRanges.empty());
        for (const auto &[start, end] : copyRanges) {
            SCOPED_TRACE(std::to_string(start) + ".." + std::to_string(end));
            const bool withinSourceData = std::any_of(sourceRanges.begin(), sourceRanges.end(), [&](const auto &r) {
                return r.first <= start && end <= r.second;
            });
            EXPECT_TRUE(withinSourceData);
        }
    }
}

TEST_F(FileLayerTest, ACopyWhoseDataCannotBeFoundFailsAndLeavesNothing)
{
    const QString source = file("zdroj.bin", QByteArray(50000, 'z'));
    layer.seekDataError = EIO;
    EXPECT_EQ(FileSystem::current().copy(source, env.path("cil.bin")), EIO);
    EXPECT_EQ(namesIn(env.root()), QStringList({"home", "zdroj.bin"}));
}

TEST_F(FileLayerTest, ReadFileHeadReadsAtMostTheLimitOfRegularFilesOnly)
{
    const QString path = file("stranka.html", "<title>Ahoj</title> a dál");
    QByteArray head;
    EXPECT_EQ(FileSystem::current().readFileHead(path, 12, head), 0);
    EXPECT_EQ(head, "<title>Ahoj<");
    EXPECT_EQ(FileSystem::current().readFileHead(path, 1000, head), 0);
    EXPECT_EQ(head, TestEnvironment::readFile(path));
    // A FIFO nobody writes would block a plain read forever.
    const QString fifo = env.path("roura");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(FileSystem::current().readFileHead(fifo, 100, head), EINVAL);
    EXPECT_EQ(FileSystem::current().readFileHead(folder("slozka"), 100, head), EISDIR);
    EXPECT_EQ(FileSystem::current().readFileHead(env.path("chybi"), 100, head), ENOENT);
}

TEST_F(FileLayerTest, MakeWritableAddsOwnerWriteAndLeavesLinkTargetsAlone)
{
    const QString target = file("cil.txt", "x");
    ::chmod(QFile::encodeName(target).constData(), 0444);
    EXPECT_EQ(FileSystem::current().makeWritable(link("odkaz", target)), 0);
    FileStatus status;
    FileSystem::current().stat(target, status);
    EXPECT_EQ(status.mode, 0444u);
    EXPECT_EQ(FileSystem::current().makeWritable(target), 0);
    FileSystem::current().stat(target, status);
    EXPECT_EQ(status.mode, 0644u);
    EXPECT_EQ(FileSystem::current().makeWritable(env.path("chybi")), ENOENT);
}

TEST_F(FileLayerTest, RemoveEntryTakesFilesAndLinksByTheirBytesAndNeverAFolder)
{
    const QString target = file("cil.txt", "zustava");
    folder("d/sub");
    file("d/sub/uvnitr.txt", "u");
    folder("d/prazdna");
    link("d/odkaz", target);
    const QByteArray bad = QFile::encodeName(env.path("d/")) + "zl\xff.txt";
    ASSERT_EQ(::close(::open(bad.constData(), O_CREAT | O_WRONLY, 0600)), 0);
    FileSystem &files = FileSystem::current();
    const QString d = env.path("d");

    EXPECT_EQ(files.removeEntry(d, "zl\xff.txt"), 0);
    struct stat info {};
    EXPECT_NE(::lstat(bad.constData(), &info), 0);
    EXPECT_EQ(files.removeEntry(d, "odkaz"), 0);
    EXPECT_FALSE(QFileInfo(env.path("d/odkaz")).isSymLink());
    EXPECT_EQ(TestEnvironment::readFile(target), "zustava");
    EXPECT_EQ(files.removeEntry(d, "sub"), EISDIR);
    EXPECT_EQ(files.removeEntry(d, "prazdna"), EISDIR) << "an empty folder stays too";
    EXPECT_EQ(files.removeEntry(d, "chybi"), ENOENT);
    for (const QByteArray &name : {QByteArray("sub/uvnitr.txt"), QByteArray(".."), QByteArray()})
        EXPECT_EQ(files.removeEntry(d, name), EINVAL) << name.constData();
    EXPECT_EQ(TestEnvironment::readFile(env.path("d/sub/uvnitr.txt")), "u");
    EXPECT_TRUE(QFileInfo(env.path("d/prazdna")).isDir());
    ::unlink(bad.constData()); // a name no text names stops the folder's clean-up
}

TEST_F(FileLayerTest, ListMatchesNamesAndNamesBytesThatAreNoUtf8)
{
    file("d/a.txt", "");
    file("d/B.TXT", "");
    file("d/c.png", "");
    folder("d/sub.txt");
    link("d/odkaz.txt", env.path("nikam"));
    const QByteArray bad = QFile::encodeName(env.path("d/")) + "zl\xff.txt";
    ASSERT_EQ(::close(::open(bad.constData(), O_CREAT | O_WRONLY, 0600)), 0);

    FolderListing listing;
    const WildcardPattern pattern(QStringLiteral("*.txt"));
    ASSERT_EQ(FileSystem::current().list(env.path("d"), listing, &pattern), 0);
    QMap<QString, FileKind> seen;
    for (const FolderEntry &entry : listing.entries)
        seen.insert(entry.name, entry.kind);
    const QString undecoded = QStringLiteral("zl") + QChar(0xDCFF) + QStringLiteral(".txt");
    EXPECT_EQ(seen, (QMap<QString, FileKind>{{"B.TXT", FileKind::File},
                                             {"a.txt", FileKind::File},
                                             {"odkaz.txt", FileKind::Link},
                                             {"sub.txt", FileKind::Folder},
                                             {undecoded, FileKind::File}}));
    // The listed text names the file: the layer finds and removes it by its bytes.
    FileStatus status;
    ASSERT_EQ(FileSystem::current().stat(env.path("d/") + undecoded, status), 0);
    EXPECT_EQ(status.kind, FileKind::File);
    ASSERT_EQ(FileSystem::current().remove(env.path("d/") + undecoded), 0);
    EXPECT_NE(::access(bad.constData(), F_OK), 0);
    EXPECT_EQ(FileSystem::current().list(env.path("chybi"), listing), ENOENT);
}

TEST(FileErrors, ErrnoMapsToRuntimeErrors)
{
    // Each failure told as what it is: the input or output error only for EIO.
    const struct { int systemError; int number; const char *description; } cases[] = {
        {EACCES, 75, "Chyba přístupu k cestě nebo souboru"},
        {EPERM, 75, "Chyba přístupu k cestě nebo souboru"},
        {EROFS, 75, "Chyba přístupu k cestě nebo souboru"},
        {EBUSY, 75, "Chyba přístupu k cestě nebo souboru"},
        {ENOENT, 53, "Soubor nebyl nalezen"},
        {EEXIST, 58, "Soubor již existuje"},
        {ENOSPC, 61, "Disk je plný"},
        {EDQUOT, 61, "Disk je plný"},
        {EFBIG, 61, "Disk je plný"},
        {EIO, 57, "Chyba vstupu nebo výstupu zařízení"},
        {EXDEV, 74, "Nelze přejmenovat na jinou jednotku"},
        {ENAMETOOLONG, 52, "Název souboru nebo cesta je příliš dlouhá"},
        {ELOOP, 52, "Příliš mnoho úrovní symbolických odkazů"},
        {EINVAL, 52, "Neplatný argument"},
        {ENOTDIR, 76, "Část cesty není složka"},
        {ENOTEMPTY, 75, "Složka není prázdná"},
        {EMLINK, 5, "Too many links"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.systemError);
        EXPECT_EQ(runtimeErrorOf(c.systemError), c.number);
        try {
            raiseFileError(c.systemError);
            ADD_FAILURE();
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), c.number);
            EXPECT_EQ(error.description(), QString::fromUtf8(c.description));
            EXPECT_EQ(error.systemError(), c.systemError);
        }
    }
}

TEST_F(FileLayerTest, ANameThatBeginsWithAByteOrderMarkKeepsIt)
{
    // Two files whose names differ only by a leading mark: both listed, each by its own
    // name, and each name reaches its own file.
    const QString marked = QString(QChar(0xFEFF)) + QStringLiteral("znacka.txt");
    file("d/" + marked, "se znackou");
    file("d/znacka.txt", "bez znacky");
    ASSERT_EQ(QFile::encodeName(marked).left(3), QByteArray("\xEF\xBB\xBF"));

    FolderListing listing;
    ASSERT_EQ(FileSystem::current().list(env.path("d"), listing), 0);
    QStringList names;
    for (const FolderEntry &entry : listing.entries)
        names.append(entry.name);
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("znacka.txt"), marked}));

    std::vector<FolderEntry> walked;
    WalkFolder folder;
    ASSERT_EQ(folder.open(env.path("d")), 0);
    ASSERT_EQ(folder.list(walked), 0);
    QStringList walkedNames;
    for (const FolderEntry &entry : walked)
        walkedNames.append(entry.name);
    walkedNames.sort();
    EXPECT_EQ(walkedNames, names);

    EXPECT_EQ(FileSystem::current().removeEntry(env.path("d"), QFile::encodeName(marked)), 0);
    EXPECT_EQ(TestEnvironment::readFile(env.path("d/znacka.txt")), "bez znacky");
}

TEST_F(FileLayerTest, RemoveEmptyFolderTakesOnlyTheFolderItIdentifiedWhileEmpty)
{
    FileSystem &files = FileSystem::current();
    const QString target = file("cil.txt", "zustava");
    FolderIdentity identity;
    EXPECT_EQ(files.identifyFolder(link("odkaz", folder("jinam")), identity), ENOTDIR);
    EXPECT_EQ(files.identifyFolder(env.path("chybi"), identity), ENOENT);

    // What may stand at the name once the folder was identified, and what the removal
    // then says; all of it stays.
    struct Case
    {
        const char *what;
        std::function<void(const QString &)> put;
        int failure;
    };
    const Case cases[] = {
        {"a file inside", [&](const QString &d) { file("d/uvnitr.txt", "u"); (void)d; }, ENOTEMPTY},
        {"a file instead", [&](const QString &d) { QDir().rmdir(d); file("d", "obsah"); }, ENOTDIR},
        {"a link instead", [&](const QString &d) { QDir().rmdir(d); link("d", target); }, ENOTDIR},
        {"a new folder instead", [&](const QString &d) { QDir().rmdir(d); folder("d"); }, ESTALE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString d = folder("d");
        ASSERT_EQ(files.identifyFolder(d, identity), 0);
        const QStringList before = namesIn(env.path(""));
        c.put(d);
        EXPECT_EQ(files.removeEmptyFolder(d, identity), c.failure);
        EXPECT_EQ(namesIn(env.path("")), before);
        EXPECT_TRUE(QFileInfo(d).exists() || QFileInfo(d).isSymLink());
        EXPECT_EQ(TestEnvironment::readFile(target), "zustava");
        QFile::remove(d);
        QDir(d).removeRecursively();
    }

    const QString d = folder("d/");
    ASSERT_EQ(files.identifyFolder(d, identity), 0);
    EXPECT_EQ(files.removeEmptyFolder(d, identity), 0);
    EXPECT_FALSE(QFileInfo::exists(d));
    EXPECT_EQ(files.removeEmptyFolder(d, identity), ENOENT);
}

namespace {

// The injected layer with a step run while a copy's data moves: the moment another
// process changes a folder under a copy that takes a while.
class ChangedDuringCopy : public FaultyFileSystem
{
public:
    std::function<void()> duringCopy;

protected:
    int copyData(int fromFd, int toFd, qint64 size, FailedSide &side) override
    {
        if (duringCopy)
            std::exchange(duringCopy, nullptr)();
        return FaultyFileSystem::copyData(fromFd, toFd, size, side);
    }
};

class OpenFolderTest : public TempEnvTest
{
protected:
    ChangedDuringCopy layer;

    QStringList namesIn(const QString &path)
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // Renames the folder away and puts a link to another folder at its name.
    void swapForLink(const QString &folder, const QString &to)
    {
        ASSERT_EQ(::rename(QFile::encodeName(folder).constData(), QFile::encodeName(folder + ".old").constData()), 0);
        ASSERT_EQ(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(folder).constData()), 0);
    }
    void reset()
    {
        for (const char *name : {"a", "d", "elsewhere"}) {
            QFile::remove(env.path(name));
            QDir(env.path(name)).removeRecursively();
            QDir(env.path(name) + ".old").removeRecursively();
        }
    }
};

} // namespace

TEST_F(OpenFolderTest, ACopyOrMoveLandsInTheFolderItOpenedThoughALinkTookItsPlaceMidCopy)
{
    const QByteArray content(100000, 'c');
    struct Case { const char *what; bool move; int namelessError; };
    const Case cases[] = {
        {"copy", false, 0},
        {"copy under a temporary name", false, EOPNOTSUPP},
        {"move across file systems", true, 0},
        {"move across under a temporary name", true, EOPNOTSUPP},
    };
    for (const Case &c : cases) {
        for (const char *swapped : {"d", "a"}) {
            SCOPED_TRACE(std::string(c.what) + ", swapped " + swapped);
            reset();
            const QString source = env.writeFile("a/zdroj.bin", content);
            QDir().mkpath(env.path("d"));
            env.writeFile("elsewhere/zdroj.bin", "someone else's");
            layer.renameError = c.move ? EXDEV : 0;
            layer.namelessError = c.namelessError;
            layer.duringCopy = [&] { swapForLink(env.path(swapped), env.path("elsewhere")); };
            const int failure = c.move ? FileSystem::current().move(source, env.path("d/kopie.bin"))
                                       : FileSystem::current().copy(source, env.path("d/kopie.bin"));
            layer.renameError = layer.namelessError = 0;
            EXPECT_EQ(failure, 0);
            EXPECT_EQ(namesIn(env.path("elsewhere")), QStringList{"zdroj.bin"});
            EXPECT_EQ(TestEnvironment::readFile(env.path("elsewhere/zdroj.bin")), "someone else's");
            const QString targetFolder = env.path("d") + (qstrcmp(swapped, "d") == 0 ? ".old" : "");
            const QString sourceFolder = env.path("a") + (qstrcmp(swapped, "a") == 0 ? ".old" : "");
            EXPECT_EQ(namesIn(targetFolder), QStringList{"kopie.bin"}) << "no temporary name is left";
            EXPECT_EQ(TestEnvironment::readFile(targetFolder + "/kopie.bin"), content);
            EXPECT_EQ(namesIn(sourceFolder), c.move ? QStringList{} : QStringList{"zdroj.bin"});
        }
    }
}

TEST_F(OpenFolderTest, AMoveAcrossRemovesOnlyTheFileItCopied)
{
    const QByteArray content(100000, 'm');
    struct Case { const char *what; std::function<void(const QString &)> change; int failure; bool copyStays; };
    const Case cases[] = {
        {"another file put at the name", [](const QString &source) {
             QFile::rename(source, source + ".moved");
             QFile file(source);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("new file");
         }, ESTALE, false},
        {"the source removed", [](const QString &source) { QFile::remove(source); }, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        reset();
        const QString source = env.writeFile("a/zdroj.bin", content);
        QDir().mkpath(env.path("d"));
        layer.renameError = EXDEV;
        layer.duringCopy = [&] { c.change(source); };
        EXPECT_EQ(FileSystem::current().move(source, env.path("d/zdroj.bin")), c.failure);
        layer.renameError = 0;
        EXPECT_EQ(namesIn(env.path("d")), c.copyStays ? QStringList{"zdroj.bin"} : QStringList{});
        if (c.copyStays) {
            EXPECT_EQ(TestEnvironment::readFile(env.path("d/zdroj.bin")), content);
        } else {
            EXPECT_EQ(TestEnvironment::readFile(source), "new file");
            EXPECT_EQ(TestEnvironment::readFile(source + ".moved"), content);
        }
    }
}

TEST_F(OpenFolderTest, EveryCallThroughAnOpenedFolderStaysInItAndALinkCanBeRefused)
{
    reset();
    env.writeFile("d/00001stary.txt", "stary");
    env.writeFile("a/novy.txt", "novy");
    env.writeFile("elsewhere/00001stary.txt", "someone else's");
    ASSERT_EQ(::symlink(QFile::encodeName(env.path("d")).constData(), QFile::encodeName(env.path("odkaz")).constData()), 0);
    FileSystem &files = FileSystem::current();

    OpenFolder folder;
    const int refused = files.openFolder(env.path("odkaz"), folder, LastStep::RefuseLink);
    EXPECT_TRUE(refused == ELOOP || refused == ENOTDIR) << refused;
    EXPECT_FALSE(folder.isOpen());
    const int refusedWithSlash = files.openFolder(env.path("odkaz/"), folder, LastStep::RefuseLink);
    EXPECT_TRUE(refusedWithSlash == ELOOP || refusedWithSlash == ENOTDIR) << "a final / follows no link either";
    EXPECT_EQ(files.openFolder(env.path("odkaz"), folder), 0) << "followed when allowed";
    // Only the last step is refused: a link on the way is followed.
    EXPECT_EQ(files.openFolder(env.path("odkaz/../d"), folder, LastStep::RefuseLink), 0);
    ASSERT_EQ(files.openFolder(env.path("d"), folder, LastStep::RefuseLink), 0);
    OpenFolder from;
    ASSERT_EQ(files.openFolder(env.path("a"), from), 0);
    swapForLink(env.path("d"), env.path("elsewhere"));

    FolderListing listing;
    ASSERT_EQ(files.list(folder, listing), 0);
    ASSERT_EQ(listing.entries.size(), 1u);
    FileStatus status;
    ASSERT_EQ(files.stat(from, QStringLiteral("novy.txt"), status), 0);
    FileStatus other;
    ASSERT_EQ(files.stat(folder, QStringLiteral("00001stary.txt"), other), 0);
    EXPECT_EQ(files.moveInto(from, QStringLiteral("novy.txt"), folder, QStringLiteral("00002novy.txt"), &other), ESTALE)
        << "the name holds another file than the one checked";
    EXPECT_EQ(files.moveInto(from, QStringLiteral("novy.txt"), folder, QStringLiteral("00002novy.txt"), &status), 0);
    EXPECT_EQ(files.removeEntry(folder, "00001stary.txt"), 0);
    EXPECT_EQ(files.writeNew(folder, QStringLiteral("zapsany.txt"), "z"), 0);
    EXPECT_EQ(files.makeFolder(folder, QStringLiteral("sub")), 0);
    EXPECT_EQ(files.removeEntry(folder, "sub"), EISDIR);
    EXPECT_EQ(files.stat(folder, QStringLiteral("../a"), status), EINVAL) << "one step only";

    EXPECT_EQ(namesIn(env.path("d.old")), QStringList({"00002novy.txt", "sub", "zapsany.txt"}));
    EXPECT_EQ(TestEnvironment::readFile(env.path("d.old/00002novy.txt")), "novy");
    EXPECT_EQ(namesIn(env.path("elsewhere")), QStringList{"00001stary.txt"});
    EXPECT_EQ(TestEnvironment::readFile(env.path("elsewhere/00001stary.txt")), "someone else's");
    EXPECT_TRUE(folder.stillLinked());
    ASSERT_EQ(files.remove(env.path("d.old/sub")), 0);
    for (const char *name : {"00002novy.txt", "zapsany.txt"})
        ASSERT_EQ(files.removeEntry(folder, name), 0);
    ASSERT_EQ(::rmdir(QFile::encodeName(env.path("d.old")).constData()), 0);
    EXPECT_FALSE(folder.stillLinked()) << "a removed folder has no name left";
}

namespace {

// Every byte a file gives, read until a read finds nothing: what the system says of
// its length is not asked.
QByteArray readToEnd(const QString &path)
{
    QByteArray bytes;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t got; fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, got);
    if (fd >= 0)
        ::close(fd);
    return bytes;
}

// The roads a copy's bytes can take: the kernel's copy of the data ranges, the
// ranges through a buffer (the kernel refuses between these file systems), every
// byte through a buffer (no data ranges known), and a copy under a temporary name.
struct CopyRoad
{
    const char *what;
    int copyRangeError;
    int seekDataError;
    int namelessError;
};

const CopyRoad copyRoads[] = {
    {"kernel copy of data ranges", 0, 0, 0},
    {"data ranges through a buffer", EXDEV, 0, 0},
    {"every byte, no data ranges", 0, EINVAL, 0},
    {"every byte through a buffer, temporary name", EXDEV, EINVAL, EOPNOTSUPP},
};

} // namespace

TEST_F(OpenFolderTest, FilesWhoseLengthTheSystemDoesNotKnowAreCopiedByteForByte)
{
    // /proc reports a length of 0 and has no data ranges; /sys reports 4096 for a
    // line of text, all of it "data".
    int copied = 0;
    for (const char *special : {"/proc/sys/kernel/ostype", "/sys/class/net/lo/address"}) {
        const QString path = QString::fromLatin1(special);
        const QByteArray expected = readToEnd(path);
        if (expected.isEmpty()) {
            std::printf("%s is not here to be copied\n", special);
            continue;
        }
        FileStatus reported;
        ASSERT_EQ(FileSystem::current().stat(path, reported), 0);
        ASSERT_NE(reported.size, expected.size()) << special << " should report a length that is not its own";
        for (const CopyRoad &road : copyRoads) {
            SCOPED_TRACE(std::string(special) + ", " + road.what);
            layer.copyRangeError = road.copyRangeError;
            layer.seekDataError = road.seekDataError;
            layer.namelessError = road.namelessError;
            const QString target = env.path("kopie");
            QFile::remove(target);
            EXPECT_EQ(FileSystem::current().copy(path, target), 0);
            EXPECT_EQ(TestEnvironment::readFile(target), expected);
            FileStatus status;
            ASSERT_EQ(FileSystem::current().stat(target, status), 0);
            EXPECT_EQ(status.size, expected.size());
            ++copied;
        }
    }
    layer.copyRangeError = layer.seekDataError = layer.namelessError = 0;
    if (copied == 0)
        GTEST_SKIP() << "neither /proc/sys/kernel/ostype nor /sys/class/net/lo/address is here";
}

TEST_F(OpenFolderTest, ASourceThatEndsBeforeItsLengthIsCopiedAsFarAsItWasRead)
{
    // Cut to a third while the copy begins: on every road a read that finds nothing
    // ends the copy, whose length is what was read, never padded to the old length.
    const QByteArray content = QByteArray(300000, 'k');
    for (const CopyRoad &road : copyRoads) {
        SCOPED_TRACE(road.what);
        reset();
        const QString source = env.writeFile("a/roste.bin", content);
        QDir().mkpath(env.path("d"));
        layer.copyRangeError = road.copyRangeError;
        layer.seekDataError = road.seekDataError;
        layer.namelessError = road.namelessError;
        layer.duringCopy = [&] { ASSERT_EQ(::truncate(QFile::encodeName(source).constData(), 100000), 0); };
        EXPECT_EQ(FileSystem::current().copy(source, env.path("d/kopie.bin")), 0);
        EXPECT_EQ(TestEnvironment::readFile(env.path("d/kopie.bin")), content.left(100000));
    }
    layer.copyRangeError = layer.seekDataError = layer.namelessError = 0;
}

TEST_F(FileLayerTest, RemoveOwnFolderTakesItsTreeAndNothingALinkLeadsTo)
{
    FileSystem &files = FileSystem::current();
    const QString precious = file("cizi/cenny.txt", "zustava");
    FolderIdentity identity;

    // A tree of its own, with a link inside to a folder of someone else's: the tree
    // goes, the link goes as a link, what it leads to stays.
    const QString own = folder("vlastni");
    file("vlastni/stranka.htm", "s");
    file("vlastni/stranka_files/obrazek.png", "o");
    link("vlastni/stranka_files/odkaz", env.path("cizi"));
    ASSERT_EQ(files.identifyFolder(own, identity), 0);
    EXPECT_EQ(files.removeOwnFolder(own, identity), 0);
    EXPECT_FALSE(QFileInfo::exists(own));
    EXPECT_EQ(TestEnvironment::readFile(precious), "zustava");

    // A link put at its name, or another folder there: nothing is removed.
    folder("vlastni");
    ASSERT_EQ(files.identifyFolder(own, identity), 0);
    ASSERT_TRUE(QDir().rmdir(own));
    link("vlastni", env.path("cizi"));
    EXPECT_EQ(files.removeOwnFolder(own, identity), ENOTDIR);
    EXPECT_EQ(TestEnvironment::readFile(precious), "zustava");
    ASSERT_TRUE(QFile::remove(own));
    file("vlastni/jiny.txt", "j");
    EXPECT_EQ(files.removeOwnFolder(own, identity), ESTALE);
    EXPECT_EQ(TestEnvironment::readFile(env.path("vlastni/jiny.txt")), "j");
}
