#include "files/FileSearch.h"

#include "files/ContentMatcher.h"
#include "platform/files/FileNames.h"
#include "platform/files/WalkFolder.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QStorageInfo>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <atomic>
#include <thread>
#include <string>
#include <set>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Outcome
{
    QStringList paths; // in the order reported
    qint64 examined = -1;
    bool unavailable = false;
    int unreadable = -1;
    QList<SearchRow> rows;
};

class FileSearchTest : public TempEnvTest
{
protected:
    // Builds files from "path=content" lines (a path ending in "/" is a folder) under
    // the temporary root.
    void files(std::initializer_list<std::pair<const char *, QByteArray>> tree)
    {
        for (const auto &[path, bytes] : tree) {
            const QString relative = QString::fromUtf8(path);
            if (relative.endsWith(QLatin1Char('/')))
                QDir().mkpath(env.path(relative));
            else
                env.writeFile(relative, bytes);
        }
    }
    QString root(const QString &relative = {}) const
    {
        return relative.isEmpty() ? env.root() : env.path(relative);
    }
    // The volume that holds the temporary root, as the only one a walk may enter.
    VolumeTable volumes() const
    {
        Volume volume;
        volume.mountPath = QStorageInfo(env.root()).rootPath();
        volume.kind = QStringLiteral("drive");
        return VolumeTable::fromVolumes({volume});
    }
    SearchRequest request(const QString &start, const QString &pattern = QStringLiteral("*.*"),
                          const QString &text = {}) const
    {
        return {{{start, false}}, pattern, text, volumes()};
    }
    // Runs a search to its end, the way the window receives it.
    Outcome run(FileSearch &search, const SearchRequest &request)
    {
        Collector collector(search, env.root());
        collector.start(request);
        collector.wait();
        return collector.outcome;
    }
    // Gathers what one run reports; connected before the run starts, since a report
    // reaches only the receivers connected when the walk sends it.
    struct Collector
    {
        Collector(FileSearch &search, const QString &root)
            : search(search)
        {
            QObject::connect(&search, &FileSearch::rowsFound, &receiver,
                             [this, root](quint64 run, const QList<SearchRow> &rows, qint64) {
                                 if (run != number)
                                     return;
                                 for (const SearchRow &row : rows) {
                                     outcome.paths << row.path.mid(root.size() + 1);
                                     outcome.rows << row;
                                 }
                             });
            QObject::connect(&search, &FileSearch::finished, &receiver,
                             [this](quint64 run, qint64 examined, bool unavailable, int unreadable) {
                                 if (run != number)
                                     return;
                                 outcome.examined = examined;
                                 outcome.unavailable = unavailable;
                                 outcome.unreadable = unreadable;
                                 ended = true;
                                 if (waiting)
                                     waiting->quit();
                             });
        }
        void start(const SearchRequest &request) { number = search.start(request); }
        // A signal spy would take the walk's report on the walking thread; an event
        // loop takes it where the window does.
        void wait()
        {
            QEventLoop loop;
            QTimer::singleShot(20000, &loop, &QEventLoop::quit);
            waiting = &loop;
            if (!ended)
                loop.exec();
            waiting = nullptr;
            EXPECT_TRUE(ended);
        }
        FileSearch &search;
        quint64 number = 0;
        QObject receiver;
        Outcome outcome;
        bool ended = false;
        QEventLoop *waiting = nullptr;
    };
    static bool isRoot() { return ::geteuid() == 0; }
};

} // namespace

TEST_F(FileSearchTest, SubFoldersLastToFirstEachWholeThenTheFolderItself)
{
    files({{"A/a.txt", "a"}, {"A/B/b.txt", "b"}, {"A/B/D/d.txt", "d"}, {"A/C/c.txt", "c"}});
    FileSearch search;
    EXPECT_EQ(run(search, request(root("A"))).paths,
              QStringList({"A/C/c.txt", "A/B/D/d.txt", "A/B/b.txt", "A/a.txt"}));
}

TEST_F(FileSearchTest, RowsCarryNameFolderSizeInKilobytesAndPageTitles)
{
    files({{"w/x.html", "<html><title>Pokus</title>" + QByteArray(2048, ' ')},
           {"w/y.txt", QByteArray(1025, 'y')},
           {"w/z.TXT", ""},
           {"w/.skryty.txt", "x"}});
    FileSearch search;
    Outcome outcome = run(search, request(root("w"), QStringLiteral("*.html;*.txt")));
    std::sort(outcome.rows.begin(), outcome.rows.end(), [](const SearchRow &a, const SearchRow &b) { return a.name < b.name; });
    ASSERT_EQ(outcome.rows.size(), 3);
    struct Expected { const char *name, *title, *size, *extension; bool page; };
    const Expected expected[] = {{"x.html", "Pokus", "3 kB", "html", true},
                                 {"y.txt", "", "2 kB", "txt", false},
                                 {"z.TXT", "", "0 kB", "txt", false}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].name);
        const SearchRow &row = outcome.rows[i];
        EXPECT_EQ(row.name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(row.path, root("w/") + row.name);
        EXPECT_EQ(row.folder, root("w"));
        EXPECT_EQ(row.title, QString::fromUtf8(expected[i].title));
        EXPECT_EQ(row.sizeText, QString::fromUtf8(expected[i].size));
        EXPECT_EQ(row.extension, QString::fromUtf8(expected[i].extension));
        EXPECT_EQ(row.page, expected[i].page);
        EXPECT_FALSE(row.dateText.isEmpty());
    }
    EXPECT_EQ(outcome.examined, 3);
}

TEST_F(FileSearchTest, TheFolderColumnNeverEndsInASeparator)
{
    files({{"w/a.txt", "a"}, {"w/s/b.txt", "b"}});
    FileSearch search;
    // A start folder written with separators at its end: its own files and those
    // below it show their folders as a start written without them does.
    for (const QString &start : {root("w"), root("w/"), root("w//")}) {
        SCOPED_TRACE(start.toStdString());
        Outcome outcome = run(search, request(start, QStringLiteral("*.txt")));
        ASSERT_EQ(outcome.rows.size(), 2);
        for (const SearchRow &row : outcome.rows) {
            SCOPED_TRACE(row.name.toStdString());
            EXPECT_EQ(row.folder, row.name == QLatin1String("a.txt") ? root("w") : root("w/s"));
            // One key for the file, whichever way its start was written.
            EXPECT_EQ(row.path, row.folder + QLatin1Char('/') + row.name);
        }
    }
}

TEST_F(FileSearchTest, DecomposedNamesAreFoundByTheirComposedPatternAndKeepTheirOwnName)
{
    const QString composed = QStringLiteral("nfc-čeština.txt");
    const QString decomposed = QStringLiteral("nfd-čeština.txt").normalized(QString::NormalizationForm_D);
    env.writeFile(QStringLiteral("n/") + composed, "a");
    env.writeFile(QStringLiteral("n/") + decomposed, "b");
    env.writeFile(QStringLiteral("n/cestina.txt"), "c");
    FileSearch search;
    Outcome outcome = run(search, request(root("n"), QStringLiteral("*čeština*")));
    ASSERT_EQ(outcome.rows.size(), 2);
    std::sort(outcome.rows.begin(), outcome.rows.end(), [](const SearchRow &a, const SearchRow &b) { return a.name < b.name; });
    EXPECT_EQ(outcome.rows[0].name, composed);
    // The row names the file as it is stored, so that opening it finds it.
    EXPECT_EQ(outcome.rows[1].name, decomposed);
    EXPECT_EQ(outcome.rows[1].path, root("n/") + decomposed);
    EXPECT_TRUE(QFile::exists(outcome.rows[1].path));
}

TEST_F(FileSearchTest, NamesThatAreNoUtf8AreWalkedFoundAndKeptByTheirBytes)
{
    // A folder and a file named in Windows-1250, as archives made on Windows bring them.
    const QByteArray base = QFile::encodeName(root());
    ASSERT_EQ(::mkdir(base + "/P\xf8\xedloha", 0700), 0);
    for (const QByteArray &name : {QByteArray("/P\xf8\xedloha/a.txt"), QByteArray("/P\xf8\xedloha/spatne\xff\xfe" "bajty.txt")}) {
        const int fd = ::open(base + name, O_CREAT | O_WRONLY, 0600);
        ASSERT_EQ(::write(fd, "x", 1), 1);
        ::close(fd);
    }
    FileSearch search;
    // By name (each entry looked at) and by content (each file opened and read).
    for (const QString &text : {QString(), QStringLiteral("x")}) {
        SCOPED_TRACE(text.toStdString());
        Outcome outcome = run(search, request(root(), QStringLiteral("*.txt"), text));
        ASSERT_EQ(outcome.rows.size(), 2);
        std::sort(outcome.rows.begin(), outcome.rows.end(),
                  [](const SearchRow &a, const SearchRow &b) { return a.path < b.path; });
        const QString folder = root() + "/P" + QChar(0xDCF8) + QChar(0xDCED) + "loha";
        EXPECT_EQ(outcome.rows[0].path, folder + "/a.txt");
        EXPECT_EQ(outcome.rows[1].path, folder + "/spatne" + QChar(0xDCFF) + QChar(0xDCFE) + "bajty.txt");
        // Shown as read in Windows-1250 and marked; the key keeps the bytes.
        EXPECT_EQ(outcome.rows[1].name, QStringLiteral("spatne˙ţbajty.txt [není UTF-8]"));
        EXPECT_EQ(outcome.rows[0].folder, root() + QStringLiteral("/Příloha [není UTF-8]"));
        EXPECT_EQ(encodeFileName(outcome.rows[1].path), base + "/P\xf8\xedloha/spatne\xff\xfe" "bajty.txt");
    }
}

TEST_F(FileSearchTest, TextInAnyCaseUtf8OrWindows1250)
{
    // "č" and "Č" in UTF-8 (C4 8D, C4 8C) and in Windows-1250 (E8, C8).
    files({{"t/utf8-small.txt", "ko\xC4\x8Dka"},
           {"t/utf8-capital.txt", "KO\xC4\x8CKA"},
           {"t/cp-small.txt", "ko\xE8ka"},
           {"t/cp-capital.txt", "KO\xC8KA"},
           // Valid UTF-8 that holds the byte E8 inside another letter.
           {"t/utf8-other.txt", "\xE8\x80\x80 nic"},
           // Not UTF-8, so read as Windows-1250: C4 8D reads as two other letters.
           {"t/cp-other.txt", "\xFF \xC4\x8D"},
           {"t/none.txt", "kocka"}});
    FileSearch search;
    for (const char *text : {"č", "Č"}) {
        SCOPED_TRACE(text);
        Outcome outcome = run(search, request(root("t"), QStringLiteral("*.txt"), QString::fromUtf8(text)));
        outcome.paths.sort();
        EXPECT_EQ(outcome.paths, QStringList({"t/cp-capital.txt", "t/cp-small.txt", "t/utf8-capital.txt", "t/utf8-small.txt"}));
        EXPECT_EQ(outcome.examined, 7);
    }
}

TEST_F(FileSearchTest, TextAcrossAChunkBorder)
{
    const QByteArray czech = QStringLiteral("Příliš").toUtf8();
    for (qsizetype before : {qsizetype(1), qsizetype(3), czech.size() - 1}) {
        SCOPED_TRACE(before);
        QDir(root("c")).removeRecursively();
        const qsizetype padding = ContentMatcher::ChunkSize - before;
        files({{"c/utf8.txt", QByteArray(padding, 'x') + czech + "\n"},
               {"c/cp.txt", QByteArray(padding, '\xFF') + QByteArray("P\xF8\xED" "li\x9A") + "\n"},
               {"c/ascii.txt", QByteArray(padding, 'x') + "ZLUTY" + QByteArray(ContentMatcher::ChunkSize, 'x')},
               {"c/late.txt", QByteArray(3 * ContentMatcher::ChunkSize, 'x') + czech}});
        FileSearch search;
        Outcome outcome = run(search, request(root("c"), QStringLiteral("*.txt"), QStringLiteral("PŘÍLIŠ")));
        outcome.paths.sort();
        EXPECT_EQ(outcome.paths, QStringList({"c/cp.txt", "c/late.txt", "c/utf8.txt"}));
        EXPECT_EQ(run(search, request(root("c"), QStringLiteral("*.txt"), QStringLiteral("zluty"))).paths,
                  QStringList({"c/ascii.txt"}));
    }
}

TEST_F(FileSearchTest, FifoAndDeviceAreSkippedWithoutWaiting)
{
    files({{"f/a.html", "<title>A</title> text"}});
    ASSERT_EQ(::mkfifo(QFile::encodeName(root("f/x.html")).constData(), 0644), 0);
    const bool device = isRoot() && ::mknod(QFile::encodeName(root("f/y.html")).constData(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    FileSearch search;
    for (const char *text : {"", "text"}) {
        SCOPED_TRACE(text);
        const Outcome outcome = run(search, request(root("f"), QStringLiteral("*.html"), QString::fromUtf8(text)));
        EXPECT_EQ(outcome.paths, QStringList({"f/a.html"}));
        EXPECT_EQ(outcome.examined, 1);
    }
    if (!device)
        GTEST_SKIP() << "a device file needs root; the FIFO was tested";
}

TEST_F(FileSearchTest, StopEndsTheRunInsideALargeFile)
{
    // Four sparse 2 GiB files: read whole, each takes seconds; a stop must not wait
    // for the file being read, nor have the others of its folder read.
    files({{"big/", ""}});
    for (int i = 0; i < 4; ++i) {
        const int fd = ::open(QFile::encodeName(root(QStringLiteral("big/%1.bin").arg(i))).constData(),
                              O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, qint64(2) << 30), 0);
        ::close(fd);
    }
    FileSearch search;
    std::atomic<bool> reading{false};
    search.setStepHook([&](FileSearch::Step step, const QString &) {
        if (step == FileSearch::Step::File)
            reading = true;
    });
    Collector collector(search, root());
    collector.start(request(root("big"), QStringLiteral("*.bin"), QStringLiteral("nikde")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reading.load(); }, 20000));
    QTest::qWait(300);
    QElapsedTimer stopped;
    stopped.start();
    search.stop();
    collector.wait();
    EXPECT_LT(stopped.elapsed(), 1000);
    EXPECT_LT(collector.outcome.examined, 4) << "a file whose reading was cut is not counted as examined";
}

TEST_F(FileSearchTest, FoldersThatCannotBeReadAreCountedOthersPassedOverAreNot)
{
    files({{"u/a.txt", "a"}, {"u/zavrena/b.txt", "b"}, {"u/zavrena2/c.txt", "c"}, {"u/otevrena/d.txt", "d"},
           {"elsewhere/e.txt", "e"}});
    // A link is passed over on purpose, never counted.
    ASSERT_EQ(::symlink(QFile::encodeName(root("elsewhere")).constData(), QFile::encodeName(root("u/odkaz")).constData()), 0);
    for (const char *closed : {"u/zavrena", "u/zavrena2"})
        ASSERT_EQ(::chmod(QFile::encodeName(root(closed)).constData(), 0), 0);
    ::chmod(QFile::encodeName(root()).constData(), 0755);
    FileSearch search;
    Collector collector(search, root());
    {
        // Root reads every folder: the run's threads, made by this one, run as nobody.
        // The raw call changes this thread alone; the test's other threads stay root.
        const bool asRoot = isRoot();
        if (asRoot) {
            ASSERT_EQ(::syscall(SYS_setresuid, -1, 65534, -1), 0);
        }
        collector.start(request(root("u")));
        if (asRoot) {
            ASSERT_EQ(::syscall(SYS_setresuid, -1, 0, -1), 0);
        }
    }
    collector.wait();
    for (const char *closed : {"u/zavrena", "u/zavrena2"})
        ::chmod(QFile::encodeName(root(closed)).constData(), 0755);
    EXPECT_EQ(collector.outcome.paths, QStringList({"u/otevrena/d.txt", "u/a.txt"}));
    EXPECT_EQ(collector.outcome.unreadable, 2);
}

TEST_F(FileSearchTest, LinksAreNeitherFollowedNorListed)
{
    files({{"l/in/a.txt", "a"}, {"outside/b.txt", "b"}});
    ASSERT_EQ(::symlink(QFile::encodeName(root("outside")).constData(), QFile::encodeName(root("l/dir")).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(root("outside/b.txt")).constData(), QFile::encodeName(root("l/c.txt")).constData()), 0);
    FileSearch search;
    EXPECT_EQ(run(search, request(root("l"))).paths, QStringList({"l/in/a.txt"}));
}

TEST_F(FileSearchTest, StopStillExaminesTheCurrentFolderAndItsAncestors)
{
    files({{"A/a.txt", "a"}, {"A/B/b.txt", "b"}, {"A/C/c1.txt", "c"}, {"A/C/c2.txt", "c"}, {"A/C/E/e.txt", "e"}});
    FileSearch search;
    // Stopped while the first file of C is examined: C's files and A's still come;
    // B, not yet entered, never does.
    search.setStepHook([&](FileSearch::Step step, const QString &path) {
        if (step == FileSearch::Step::File && path.endsWith(QLatin1String("/C/c1.txt")))
            search.stop();
    });
    Outcome outcome = run(search, request(root("A")));
    EXPECT_EQ(outcome.paths, QStringList({"A/C/E/e.txt", "A/C/c1.txt", "A/C/c2.txt", "A/a.txt"}));
    EXPECT_EQ(outcome.examined, 4);

    // Stopped as a folder turns to a sub-folder: the walk unwinds without files.
    search.setStepHook([&](FileSearch::Step step, const QString &path) {
        if (step == FileSearch::Step::Folder && path.endsWith(QLatin1String("/C")))
            search.stop();
    });
    outcome = run(search, request(root("A")));
    EXPECT_TRUE(outcome.paths.isEmpty());
    EXPECT_EQ(outcome.examined, 0);
}

TEST_F(FileSearchTest, ANewRunEndsTheOldOnesExaminingAndKeepsItsOwnNumber)
{
    files({{"n/a.txt", "a"}, {"n/b.txt", "b"}, {"n/c.txt", "c"}});
    FileSearch search;
    std::atomic<int> examinedByFirst{0};
    std::atomic<bool> release{false};
    search.setStepHook([&](FileSearch::Step step, const QString &) {
        if (step != FileSearch::Step::File || examinedByFirst++ != 0)
            return;
        while (!release)
            std::this_thread::yield();
    });
    Collector old(search, env.root());
    old.start(request(root("n")));
    while (examinedByFirst == 0)
        std::this_thread::yield();
    search.setStepHook({});
    Collector current(search, env.root());
    current.start(request(root("n")));
    EXPECT_NE(current.number, old.number);
    release = true;
    old.wait();
    current.wait();
    EXPECT_EQ(old.outcome.examined, 1);
    EXPECT_EQ(current.outcome.examined, 3);
    EXPECT_EQ(current.outcome.paths.size(), 3);
}

TEST_F(FileSearchTest, NothingOutsideTheVolumeTableIsRead)
{
    files({{"v/a.txt", "a"}, {"v/m/b.txt", "b"}});
    FileSearch search;
    // A start folder on no listed volume is not walked, and says so.
    Volume elsewhere;
    elsewhere.mountPath = QStringLiteral("/nonexistent-volume");
    Outcome outcome = run(search, {{{root("v"), false}}, QStringLiteral("*.*"), {}, VolumeTable::fromVolumes({elsewhere})});
    EXPECT_TRUE(outcome.paths.isEmpty());
    EXPECT_TRUE(outcome.unavailable);
    Volume notReady;
    notReady.mountPath = QStorageInfo(env.root()).rootPath();
    notReady.ready = false;
    outcome = run(search, {{{root("v"), false}}, QStringLiteral("*.*"), {}, VolumeTable::fromVolumes({notReady})});
    EXPECT_TRUE(outcome.paths.isEmpty());
    EXPECT_TRUE(outcome.unavailable);

    if (!isRoot())
        GTEST_SKIP() << "mounting needs root";
    // A mount below the start folder that the table leaves out.
    const QByteArray mountPoint = QFile::encodeName(root("v/m"));
    ASSERT_EQ(::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m"), 0);
    env.writeFile(QStringLiteral("v/m/hidden.txt"), "h");
    outcome = run(search, request(root("v")));
    // Nor is a start folder on it walked.
    const Outcome inside = run(search, request(root("v/m")));
    ::umount2(mountPoint.constData(), MNT_DETACH);
    EXPECT_EQ(outcome.paths, QStringList({"v/a.txt"}));
    EXPECT_TRUE(inside.paths.isEmpty());
    EXPECT_TRUE(inside.unavailable);
}

TEST_F(FileSearchTest, AnAncestorBoundBelowItselfIsWalkedOnce)
{
    if (!isRoot())
        GTEST_SKIP() << "bind mounts need root";
    files({{"b/a.txt", "a"}, {"b/s/s.txt", "s"}, {"b/s/loop/", ""}});
    const QByteArray target = QFile::encodeName(root("b/s/loop"));
    ASSERT_EQ(::mount(QFile::encodeName(root("b")).constData(), target.constData(), nullptr, MS_BIND, nullptr), 0);
    FileSearch search;
    SearchRequest listed = request(root("b"));
    // Even with the loop's own mount listed as a volume the walk may enter.
    Volume loop;
    loop.mountPath = root("b/s/loop");
    QList<Volume> both = listed.volumes.volumes();
    both.append(loop);
    listed.volumes = VolumeTable::fromVolumes(both);
    const Outcome outcome = run(search, listed);
    ::umount2(target.constData(), MNT_DETACH);
    EXPECT_EQ(outcome.paths, QStringList({"b/s/s.txt", "b/a.txt"}));
}

TEST_F(FileSearchTest, OwnVolumeWalksStayOnTheirMount)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting needs root";
    files({{"o/a.txt", "a"}, {"o/m/", ""}});
    const QByteArray mountPoint = QFile::encodeName(root("o/m"));
    ASSERT_EQ(::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m"), 0);
    env.writeFile(QStringLiteral("o/m/b.txt"), "b");
    SearchRequest walkAll = request(root("o"));
    Volume inner;
    inner.mountPath = root("o/m");
    QList<Volume> both = walkAll.volumes.volumes();
    both.append(inner);
    walkAll.volumes = VolumeTable::fromVolumes(both);
    FileSearch search;
    const Outcome crossing = run(search, walkAll);
    walkAll.starts = {{root("o"), true}};
    const Outcome own = run(search, walkAll);
    ::umount2(mountPoint.constData(), MNT_DETACH);
    EXPECT_EQ(crossing.paths, QStringList({"o/m/b.txt", "o/a.txt"}));
    EXPECT_EQ(own.paths, QStringList({"o/a.txt"}));
}

TEST_F(FileSearchTest, MountsThatHoldFilesAreWalkedPseudoFileSystemsAreNot)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting needs root";
    files({{"home/u/Documents/a.txt", "a"}, {"home/u/Documents/data/", ""}, {"home/u/Documents/proc/", ""}});
    const QByteArray data = QFile::encodeName(root("home/u/Documents/data"));
    const QByteArray proc = QFile::encodeName(root("home/u/Documents/proc"));
    ASSERT_EQ(::mount("tmpfs", data.constData(), "tmpfs", 0, "size=1m"), 0);
    if (::mount("proc", proc.constData(), "proc", 0, nullptr) != 0) {
        ::umount2(data.constData(), MNT_DETACH);
        GTEST_SKIP() << "proc cannot be mounted here";
    }
    env.writeFile(QStringLiteral("home/u/Documents/data/d.txt"), "d");
    env.writeFile(QStringLiteral("home/u/Documents/data/sub/e.txt"), "e");
    // The mount table as the system would hand it in: the disk under the temporary
    // folder, a RAM disk under the home folder and a proc, with their real numbers.
    const auto line = [](const QString &path, const char *type) {
        WalkFolder folder;
        EXPECT_EQ(folder.open(path), 0) << qPrintable(path);
        return QByteArray::number(folder.mountId()) + " 1 " + QByteArray::number(folder.device() >> 32) + ':'
               + QByteArray::number(folder.device() & 0xFFFFFFFF) + " / " + QFile::encodeName(path) + " rw - " + type
               + ' ' + type + " rw\n";
    };
    const QByteArray disk = line(QStorageInfo(env.root()).rootPath(), "ext4");
    const QByteArray table = disk + line(root("home/u/Documents/data"), "tmpfs") + line(root("home/u/Documents/proc"), "proc");
    const auto search = [&](const QString &start, const QByteArray &mounts) {
        FileSearch search;
        return run(search, {{{start, false}}, QStringLiteral("*.*"), {}, VolumeTable::fromMountInfo(mounts)});
    };
    const Outcome documents = search(root("home/u/Documents"), table);
    const Outcome ramDisk = search(root("home/u/Documents/data"), table);
    const Outcome kernel = search(root("home/u/Documents/proc"), table);
    // A mount the table does not hold is not entered.
    const Outcome unknown = search(root("home/u/Documents"), disk);
    ::umount2(proc.constData(), MNT_DETACH);
    ::umount2(data.constData(), MNT_DETACH);
    EXPECT_EQ(documents.paths, QStringList({"home/u/Documents/data/sub/e.txt", "home/u/Documents/data/d.txt",
                                            "home/u/Documents/a.txt"}));
    EXPECT_FALSE(documents.unavailable);
    EXPECT_EQ(ramDisk.paths, QStringList({"home/u/Documents/data/sub/e.txt", "home/u/Documents/data/d.txt"}));
    EXPECT_FALSE(ramDisk.unavailable);
    EXPECT_TRUE(kernel.paths.isEmpty());
    EXPECT_EQ(kernel.examined, 0);
    EXPECT_TRUE(kernel.unavailable);
    EXPECT_EQ(unknown.paths, QStringList({"home/u/Documents/a.txt"}));
}

TEST_F(FileSearchTest, AKernelViewUnderANumberTheTableGaveADiskIsNotWalked)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting needs root";
    // Mount numbers are reused: the table read when the run started may give the
    // number of a mount that has since become a view of the kernel. Such a table is
    // handed in, naming a bind of /proc and one of /dev (a devtmpfs, which calls itself
    // tmpfs) as disks, beside a RAM disk that really is one.
    files({{"k/a.txt", "a"}, {"k/proc/", ""}, {"k/dev/", ""}, {"k/ram/", ""}});
    const QByteArray proc = QFile::encodeName(root("k/proc"));
    const QByteArray dev = QFile::encodeName(root("k/dev"));
    const QByteArray ram = QFile::encodeName(root("k/ram"));
    // Unmounted whatever happens: the temporary folder's removal must never reach
    // into /proc or /dev.
    struct Mounted
    {
        QByteArray at;
        bool ok = false;
        ~Mounted()
        {
            if (ok)
                ::umount2(at.constData(), MNT_DETACH);
        }
    } procBind{proc}, devBind{dev}, ramDisk{ram};
    procBind.ok = ::mount("/proc", proc.constData(), nullptr, MS_BIND, nullptr) == 0;
    devBind.ok = ::mount("/dev", dev.constData(), nullptr, MS_BIND, nullptr) == 0;
    ramDisk.ok = ::mount("tmpfs", ram.constData(), "tmpfs", 0, "size=1m") == 0;
    if (!procBind.ok || !devBind.ok || !ramDisk.ok)
        GTEST_SKIP() << "/proc, /dev or a RAM disk cannot be mounted here";
    env.writeFile(QStringLiteral("k/ram/r.txt"), "r");
    QList<Volume> stale;
    for (const QString &path : {QStorageInfo(env.root()).rootPath(), root("k/proc"), root("k/dev"), root("k/ram")}) {
        Volume volume;
        volume.mountPath = path;
        volume.kind = QStringLiteral("drive");
        volume.type = QStringLiteral("ext4");
        stale << volume;
    }
    QStringList entered; // folders the walk turned in, written on the run's thread
    const auto search = [&](std::function<VolumeTable()> readVolumes) {
        FileSearch search;
        entered.clear();
        search.setStepHook([&](FileSearch::Step step, const QString &path) {
            if (step == FileSearch::Step::Folder)
                entered << path;
        });
        SearchRequest request{{{root("k"), false}}, QStringLiteral("*"), {}, VolumeTable::fromVolumes(stale)};
        request.readVolumes = std::move(readVolumes);
        return run(search, request);
    };
    const Outcome once = search({});
    const Outcome again = search([] { return VolumeTable::fromSystem(); });
    const QStringList enteredAgain = entered;
    // proc says what it is on the folder opened, whatever the table held.
    for (const QString &path : once.paths)
        EXPECT_FALSE(path.startsWith(QLatin1String("k/proc/"))) << qPrintable(path);
    // The devtmpfs is told by the mount table, read again for a number not met before.
    EXPECT_EQ(again.paths, QStringList({"k/ram/r.txt", "k/a.txt"}));
    for (const QString &path : enteredAgain)
        EXPECT_FALSE(path.startsWith(root("k/dev"))) << qPrintable(path);
}

TEST_F(FileSearchTest, EveryFileOfAVeryDeepTreeIsFoundUnderALowOpenFileLimit)
{
    // 3,000 nested folders, deeper than the whole path a name may have, with a file at
    // seven of the levels; built and removed level by level, relative to each folder.
    constexpr int levels = 3000;
    const std::set<int> withFile = {1, 2, 500, 1000, 1999, 2500, levels};
    QDir().mkpath(root("deep"));
    int fd = ::open(QFile::encodeName(root("deep")).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 1; level <= levels; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int sub = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(fd = sub, 0);
        if (withFile.count(level)) {
            const int file = ::openat(fd, "f.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(file, 0);
            ::close(file);
        }
    }
    // Far below the depth: one descriptor per level cannot be had.
    struct rlimit usual {};
    ::getrlimit(RLIMIT_NOFILE, &usual);
    struct rlimit low = usual;
    low.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    FileSearch search;
    const Outcome outcome = run(search, request(root("deep"), QStringLiteral("*.txt")));
    const Outcome text = run(search, request(root("deep"), QStringLiteral("*.txt"), QStringLiteral("x")));
    ::setrlimit(RLIMIT_NOFILE, &usual);
    for (int level = levels; level >= 1; --level) {
        if (withFile.count(level))
            ::unlinkat(fd, "f.txt", 0);
        const int up = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = up;
        ::unlinkat(fd, "d", AT_REMOVEDIR);
    }
    ::close(fd);
    ASSERT_EQ(outcome.paths.size(), qsizetype(withFile.size()));
    // Deepest first, each path whole.
    QString expected = QStringLiteral("deep");
    for (int level = 1; level <= levels; ++level)
        expected += QStringLiteral("/d");
    EXPECT_EQ(outcome.paths.front(), expected + QStringLiteral("/f.txt"));
    EXPECT_EQ(outcome.paths.back(), QStringLiteral("deep/d/f.txt"));
    EXPECT_EQ(outcome.examined, qint64(withFile.size()));
    EXPECT_EQ(text.examined, qint64(withFile.size()));
}

// A tree wide and deep enough for the walk to run ahead of what it lists, read by
// every worker the machine gives a run.
class WideTreeTest : public FileSearchTest
{
protected:
    void SetUp() override
    {
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 6; ++b) {
                for (int f = 0; f < 12; ++f) {
                    const QString name = QStringLiteral("w/a%1/b%2/f%3.txt").arg(a).arg(b).arg(f);
                    env.writeFile(name, f % 3 ? QByteArray(3000, 'x') + "HIT" : QByteArray("miss"));
                }
            }
            env.writeFile(QStringLiteral("w/a%1/top.txt").arg(a), "hit");
        }
    }
    // The files of a folder that hold the text, in the folder's own listing order.
    QStringList hitsOf(const QString &folder) const
    {
        QStringList hits;
        QDirIterator it(root(folder), QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && file.readAll().toLower().contains("hit"))
                hits << folder + QLatin1Char('/') + QFileInfo(path).fileName();
        }
        return hits;
    }
};

TEST_F(WideTreeTest, RowsComeInTheOrderOfAWalkOnOneThread)
{
    QStringList expected;
    for (int a = 5; a >= 0; --a) {
        for (int b = 5; b >= 0; --b)
            expected << hitsOf(QStringLiteral("w/a%1/b%2").arg(a).arg(b));
        expected << hitsOf(QStringLiteral("w/a%1").arg(a));
    }
    FileSearch search;
    for (int round = 0; round < 3; ++round) {
        const Outcome outcome = run(search, request(root("w"), QStringLiteral("*.txt"), QStringLiteral("hit")));
        EXPECT_EQ(outcome.paths, expected);
        EXPECT_EQ(outcome.examined, 6 * 6 * 12 + 6);
    }
}

TEST_F(WideTreeTest, AfterAStopOnlyTheCurrentFolderAndThoseAboveItAreListed)
{
    FileSearch search;
    // Stopped at the first file of a4/b2, while the walk has long read ahead. A stop is
    // a stop: what had been examined by then comes, no file is read after it, and
    // nothing of b1, b0 or a3 to a0 ever comes, however far ahead the walk had read.
    bool stopped = false;
    search.setStepHook([&](FileSearch::Step step, const QString &path) {
        if (step == FileSearch::Step::File && path.contains(QLatin1String("/a4/b2/")) && !stopped) {
            stopped = true;
            search.stop();
        }
    });
    const Outcome outcome = run(search, request(root("w"), QStringLiteral("*.txt"), QStringLiteral("hit")));
    QStringList passed;
    for (int b = 5; b >= 0; --b)
        passed << hitsOf(QStringLiteral("w/a5/b%1").arg(b));
    passed << hitsOf(QStringLiteral("w/a5"));
    for (int b = 5; b >= 3; --b)
        passed << hitsOf(QStringLiteral("w/a4/b%1").arg(b));
    const QStringList atMost = passed + hitsOf(QStringLiteral("w/a4/b2")) + hitsOf(QStringLiteral("w/a4"));
    // In walk order, everything the walk had passed, and of the rest only a beginning.
    EXPECT_GE(outcome.paths.size(), passed.size());
    EXPECT_LE(outcome.paths.size(), atMost.size());
    EXPECT_EQ(outcome.paths, atMost.mid(0, outcome.paths.size()));
    EXPECT_GE(outcome.examined, 6 * 12 + 1 + 3 * 12);
    EXPECT_LE(outcome.examined, 6 * 12 + 1 + 4 * 12 + 1);
}

namespace {

// The name of a file that begins with a byte-order mark, as some editors save them.
const QString kMarkedName = QStringLiteral("\uFEFFpozn\u00E1mka.txt");

// Removes a tree however deep, each entry relative to its folder.
void removeTreeAt(int parent, const char *name)
{
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        std::vector<std::string> entries;
        if (DIR *dir = ::fdopendir(::dup(fd))) {
            while (const dirent *entry = ::readdir(dir)) {
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    entries.emplace_back(entry->d_name);
            }
            ::closedir(dir);
        }
        for (const std::string &entry : entries) {
            if (::unlinkat(fd, entry.c_str(), 0) != 0)
                removeTreeAt(fd, entry.c_str());
        }
        ::close(fd);
    }
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

void writeFileAt(int folder, const QString &name)
{
    const int file = ::openat(folder, name.toUtf8().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
}

} // namespace

TEST_F(FileSearchTest, AFolderBelongsToTheMountItsNumberNamesWhateverDeviceItReports)
{
    files({{"b/a.txt", "a"}, {"b/s/t/c.txt", "c"}});
    env.writeFile(QStringLiteral("b/s/") + kMarkedName, "m");
    WalkFolder start;
    ASSERT_EQ(start.open(root("b")), 0);
    if (!start.hasMountId())
        GTEST_SKIP() << "this system numbers no mounts";
    // The table lists the mount with a device other than the one its folders report,
    // as it does for every btrfs volume.
    const quint64 listed = start.device() + 1;
    const QByteArray table = QByteArray::number(start.mountId()) + " 1 " + QByteArray::number(listed >> 32) + ':'
                             + QByteArray::number(listed & 0xFFFFFFFF) + " / "
                             + QFile::encodeName(QStorageInfo(env.root()).rootPath()) + " rw - btrfs /dev/loop9 rw\n";
    FileSearch search;
    const Outcome outcome = run(search, {{{root("b"), false}}, QStringLiteral("*.txt"), {}, VolumeTable::fromMountInfo(table)});
    EXPECT_EQ(outcome.paths, QStringList({"b/s/t/c.txt", "b/s/" + kMarkedName, "b/a.txt"}));
    EXPECT_FALSE(outcome.unavailable);
}

TEST_F(FileSearchTest, ARealBtrfsVolumeAndItsSubVolumeAreWalked)
{
    if (!isRoot())
        GTEST_SKIP() << "mounting a disk image needs root";
    const QString image = root("btrfs.img");
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(128) << 20));
    file.close();
    const auto tool = [](const QString &program, const QStringList &arguments) {
        return runTool(program, arguments).succeeded;
    };
    if (!tool(QStringLiteral("mkfs.btrfs"), {QStringLiteral("-q"), image}))
        GTEST_SKIP() << "mkfs.btrfs (btrfs-progs) is not at hand";
    QDir().mkpath(root("disk"));
    if (!tool(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, root("disk")}))
        GTEST_SKIP() << "this machine cannot mount a btrfs disk image";
    const QByteArray mountPoint = QFile::encodeName(root("disk"));
    const bool subVolume = tool(QStringLiteral("btrfs"), {QStringLiteral("subvolume"), QStringLiteral("create"), root("disk/sub")});
    env.writeFile(QStringLiteral("disk/a.txt"), "a");
    env.writeFile(QStringLiteral("disk/f/") + kMarkedName, "m");
    if (subVolume)
        env.writeFile(QStringLiteral("disk/sub/s.txt"), "s");
    // The machine's own table, as a search from the window reads it.
    FileSearch search;
    const Outcome outcome = run(search, {{{root("disk"), false}}, QStringLiteral("*.txt"), {}, VolumeTable::fromSystem()});
    ::umount2(mountPoint.constData(), MNT_DETACH);
    QStringList expected = {"disk/f/" + kMarkedName, "disk/a.txt"};
    if (subVolume)
        expected.prepend(QStringLiteral("disk/sub/s.txt"));
    EXPECT_EQ(outcome.paths, expected);
    EXPECT_FALSE(outcome.unavailable);
}

TEST_F(FileSearchTest, AStartFolderThatIsALinkIsWalkedHoweverItIsSpelt)
{
    files({{"disk/Dokumenty/a.txt", "a"}, {"disk/Dokumenty/p/q/b.txt", "b"}, {"elsewhere/x.txt", "x"}});
    env.writeFile(QStringLiteral("disk/Dokumenty/p/") + kMarkedName, "m");
    ASSERT_EQ(::symlink(QFile::encodeName(root("disk/Dokumenty")).constData(), QFile::encodeName(root("Documents")).constData()), 0);
    // A link to a link leads there too; below the start folder no link is followed.
    ASSERT_EQ(::symlink("Documents", QFile::encodeName(root("Docs")).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(root("elsewhere")).constData(), QFile::encodeName(root("disk/Dokumenty/p/out")).constData()), 0);
    FileSearch search;
    for (const char *start : {"Documents", "Documents/", "Docs"}) {
        SCOPED_TRACE(start);
        const QString spelt = QString::fromLatin1(start);
        const Outcome outcome = run(search, request(root(spelt)));
        // The rows keep the path as the user gave it.
        const QString shown = spelt.endsWith(QLatin1Char('/')) ? spelt.chopped(1) : spelt;
        EXPECT_EQ(outcome.paths, QStringList({shown + "/p/q/b.txt", shown + "/p/" + kMarkedName, shown + "/a.txt"}));
        EXPECT_EQ(outcome.examined, 3);
        EXPECT_FALSE(outcome.unavailable);
    }
}

// A tree deeper in bytes than any path may be, with a file in each folder, a name
// with a byte-order mark among them; a folder of it is moved away at a known step.
class MovedFolderTest : public FileSearchTest
{
protected:
    static constexpr int kLevels = 40;

    void SetUp() override
    {
        QDir().mkpath(root("deep"));
        top = ::open(QFile::encodeName(env.root()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(top, 0);
        int fd = ::openat(top, "deep", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        folders.push_back(fd);
        writeFileAt(fd, QStringLiteral("f.txt"));
        for (int level = 1; level <= kLevels; ++level) {
            names.push_back(levelName(level));
            const QByteArray name = names.back().toUtf8();
            ASSERT_EQ(::mkdirat(fd, name.constData(), 0755), 0);
            fd = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            folders.push_back(fd);
            writeFileAt(fd, level == 3 ? kMarkedName : QStringLiteral("f.txt"));
        }
    }
    void TearDown() override
    {
        for (int fd : folders)
            ::close(fd);
        removeTreeAt(top, "deep");
        removeTreeAt(top, "away");
        ::close(top);
    }
    static QString levelName(int level)
    {
        // About 200 bytes each: level 21 lies past the 4,096 bytes a path may have.
        return (level == 2 ? QStringLiteral("\uFEFF") : QString()) + QStringLiteral("%1-").arg(level)
               + QString(196, QLatin1Char('u'));
    }
    // The path of a level as the walk writes it, from the temporary root.
    QString pathOf(int level, const QString &start = QStringLiteral("deep")) const
    {
        QString path = start;
        for (int i = 0; i < level; ++i)
            path += QLatin1Char('/') + names[size_t(i)];
        return path;
    }
    QString fileOf(int level, const QString &start = QStringLiteral("deep")) const
    {
        return pathOf(level, start) + QLatin1Char('/') + (level == 3 ? kMarkedName : QStringLiteral("f.txt"));
    }
    // Moves a level out of the tree as the walk turns in the deepest folder but one,
    // far below it; the start folder is renamed too when asked.
    Outcome searchMovingAway(int level, bool renameStart, int renamedLevel = 0)
    {
        FileSearch search;
        const QString turn = root(pathOf(kLevels - 1));
        bool moved = false;
        search.setStepHook([&](FileSearch::Step step, const QString &path) {
            if (step != FileSearch::Step::Folder || path != turn || moved)
                return;
            moved = true;
            EXPECT_EQ(::renameat(folders[size_t(level - 1)], names[size_t(level - 1)].toUtf8().constData(), top, "away"), 0);
            if (renameStart) {
                EXPECT_EQ(::renameat(top, "deep", top, "deep-renamed"), 0);
            }
            if (renamedLevel > 0) {
                const QByteArray name = names[size_t(renamedLevel - 1)].toUtf8();
                EXPECT_EQ(::renameat(folders[size_t(renamedLevel - 1)], name.constData(),
                                     folders[size_t(renamedLevel - 1)], (name + "-renamed").constData()), 0);
            }
        });
        Outcome outcome = run(search, request(root("deep"), QStringLiteral("*.txt")));
        EXPECT_TRUE(moved);
        if (renameStart)
            ::renameat(top, "deep-renamed", top, "deep");
        return outcome;
    }

    int top = -1;
    std::vector<int> folders; // level 0 (the start folder) to kLevels, open
    std::vector<QString> names; // of levels 1 to kLevels
};

TEST_F(MovedFolderTest, TheFoldersAboveAFolderMovedAwayMidWalkAreStillExamined)
{
    // Level 25 leaves while the walk is 14 levels below it: every folder above it is
    // found again, by name from the start folder, and gives its files, deepest first.
    const Outcome outcome = searchMovingAway(25, false);
    ASSERT_GE(outcome.paths.size(), 25);
    QStringList above;
    for (int level = 24; level >= 0; --level)
        above << fileOf(level);
    EXPECT_EQ(outcome.paths.mid(outcome.paths.size() - 25), above);
    EXPECT_EQ(outcome.paths.front(), fileOf(kLevels));
    EXPECT_EQ(outcome.unreadable, 0) << "every folder was found again";
}

TEST_F(MovedFolderTest, FoldersThatCannotBeFoundAgainAreCounted)
{
    // Level 25 moved away and level 10 renamed: no road leads back to levels 10 to 24
    // (their sub-folder's parent is elsewhere, their names changed above them), so
    // their files are lost to the walk, and the run says how many folders it missed.
    const Outcome outcome = searchMovingAway(25, false, 10);
    EXPECT_EQ(outcome.unreadable, 15);
    for (int level = 10; level <= 24; ++level)
        EXPECT_FALSE(outcome.paths.contains(fileOf(level))) << level;
    EXPECT_EQ(outcome.paths.back(), fileOf(0));
    // Put back for the clean-up.
    const QByteArray name = names[9].toUtf8();
    ::renameat(folders[9], (name + "-renamed").constData(), folders[9], name.constData());
}

TEST_F(MovedFolderTest, TheStartFolderStaysOpenWhateverHappensToItsPath)
{
    // The start folder renamed and its second level moved away: no path leads to the
    // levels above the moved one, nor to the start folder, yet both give their files.
    const Outcome outcome = searchMovingAway(2, true);
    ASSERT_GE(outcome.paths.size(), 2);
    EXPECT_EQ(outcome.paths.mid(outcome.paths.size() - 2), QStringList({fileOf(1), fileOf(0)}));
}

TEST_F(FileSearchTest, TheFolderWalkedIsReportedOnceUntilTakenAsTheTakerIsAtIt)
{
    files({{"r/a/b/c.txt", "c"}, {"r/a/b/d/e.txt", "e"}, {"r/z/f.txt", "f"}});
    FileSearch search;
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    const QString a = root("r/a");
    search.setStepHook([&](FileSearch::Step step, const QString &path) {
        if (step != FileSearch::Step::Folder || path != a)
            return;
        held = true;
        while (!release)
            std::this_thread::yield();
    });
    int reports = 0;
    QObject receiver;
    QObject::connect(&search, &FileSearch::walking, &receiver, [&] { ++reports; });
    Collector collector(search, env.root());
    collector.start(request(root("r"), QStringLiteral("*.txt"), QStringLiteral("e")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.load(); }, 20000));
    // "r" turned to "z", then to "a", and "a" to "b": told once, and the folder taken
    // is the one the walk is held at, however far its own thread has gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports > 0; }, 20000));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(search.folderWalked(), a);
    release = true;
    collector.wait();
    EXPECT_EQ(collector.outcome.paths, QStringList({"r/a/b/d/e.txt"}));
}
