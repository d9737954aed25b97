#include "files/DeletedStore.h"

#include "core/FileSettings.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "support/FaultMount.h"
#include "support/FaultyFileSystem.h"
#include "support/RaisedError.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QSet>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kRefused = QStringLiteral("You cannot delete this file due to forbidden access.");

class DeletedStoreTest : public TempEnvTest
{
protected:
    void SetUp() override { QDir().mkpath(store()); }

    QString store() const { return env.appFolder() + QStringLiteral("deleted/"); }
    QStringList stored() const
    {
        return QDir(store()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                       QDir::Name);
    }
    QString counter() const { return SettingsStore::instance().get("Main", "CountDelFiles", "absent"); }
    QString link(const QString &path, const QString &target)
    {
        EXPECT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
        return path;
    }

    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(DeletedStoreTest, NumbersFilesByTheCounterFromItsLeadingDigits)
{
    struct Case { const char *stored; const char *name; const char *next; };
    const Case cases[] = {
        {nullptr, "00001dopis.txt", "2"}, // first deletion ever
        {"0", "00000dopis.txt", "1"},     // right after an emptying
        {"abc", "00000dopis.txt", "1"},
        {"", "00000dopis.txt", "1"},
        {"12ab", "00012dopis.txt", "13"},
        {"1234567", "34567dopis.txt", "1234568"}, // six digits and more keep the last five
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(absent)");
        QDir(store()).removeRecursively();
        QDir().mkpath(store());
        if (c.stored)
            FileSettings::CountDelFiles.save(QString::fromLatin1(c.stored));
        else
            runIgnoringErrors([] { DeleteSetting("Main", "CountDelFiles"); });
        const QString path = env.writeFile("docs/dopis.txt", "text");
        MoveToDeletedStore(path);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(stored(), QStringList({c.name}));
        EXPECT_EQ(TestEnvironment::readFile(store() + c.name), "text");
        EXPECT_EQ(counter(), QString::fromLatin1(c.next));
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST(DeletedStoreNames, ALongNameLosesTheEndOfItsStemToFitTheLimit)
{
    const QString a246 = QString(246, QLatin1Char('a'));
    const QString cz = QString(125, QChar(0x10D)); // "č", two bytes each
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x84"); // four bytes, two UTF-16 units
    struct Case { const char *what; QString name; int limit; QString stored; };
    const Case cases[] = {
        {"fits exactly", a246 + ".txt", 255, "00001" + a246 + ".txt"},
        {"one byte over", a246 + "a.txt", 255, "00001" + a246 + ".txt"},
        {"two-byte characters", "x" + cz + ".txt", 255, "00001x" + cz.left(122) + ".txt"},
        {"four-byte characters", "y" + QString(emoji).repeated(62) + ".txt", 255,
         "00001y" + QString(emoji).repeated(61) + ".txt"},
        {"no extension", QString(255, QLatin1Char('b')), 255, "00001" + QString(250, QLatin1Char('b'))},
        {"an extension longer than the room", "a." + QString(253, QLatin1Char('e')), 255,
         "00001a." + QString(248, QLatin1Char('e'))},
        {"a leading dot is no extension", "." + QString(254, QLatin1Char('h')), 255,
         "00001." + QString(249, QLatin1Char('h'))},
        {"a smaller file system", QString::fromUtf8("dlouhý název souboru.txt"), 20,
         QString::fromUtf8("00001dlouhý ná.txt")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString stored = DeletedStore::storedName(1, QStringLiteral("/home/u/") + c.name, c.limit);
        EXPECT_EQ(stored, c.stored);
        EXPECT_LE(stored.toUtf8().size(), c.limit);
        EXPECT_EQ(QString::fromUtf8(stored.toUtf8()), stored) << "no character split";
    }
}

TEST_F(DeletedStoreTest, FilesWithNamesUpToTheLimitGoIntoTheStore)
{
    for (const int length : {250, 251, 255}) {
        SCOPED_TRACE(length);
        const QString name = QString(length - 4, QLatin1Char('n')) + QStringLiteral(".txt");
        const QString path = env.writeFile("docs/" + name, QByteArray::number(length));
        const QString counterBefore = counter();
        MoveToDeletedStore(path);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(counter().toInt(), (counterBefore == "absent" ? 1 : counterBefore.toInt()) + 1);
    }
    const QStringList names = stored();
    ASSERT_EQ(names.size(), 3);
    for (const QString &name : names) {
        EXPECT_LE(QFile::encodeName(name).size(), 255);
        EXPECT_TRUE(name.endsWith(QStringLiteral("nnn.txt"))) << name.toStdString();
    }
    EXPECT_EQ(TestEnvironment::readFile(store() + names[2]), "255");
    EXPECT_EQ(names[0].size(), 255) << "five digits and a 250-byte name fit as they are";
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(DeletedStoreTest, AMissingFileLeavesTheCounterAlone)
{
    FileSettings::CountDelFiles.save(7);
    EXPECT_EQ(raised([&] { MoveToDeletedStore(env.path("chybi.txt")); }), ErrorNumber::FileNotFound);
    EXPECT_EQ(counter(), "7");
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(DeletedStoreTest, ATakenStoreNameIsKeptAndTheFileTakesTheNextFreeNumber)
{
    // Names an emptying left behind: a file it could not remove, and a folder it skips.
    env.writeFile(QStringLiteral("home/.local/share/Vorlan/deleted/00005dopis.txt"), "ulozeny drive");
    QDir().mkpath(store() + "00006dopis.txt");
    FileSettings::CountDelFiles.save(5);
    const QString path = env.writeFile("docs/dopis.txt", "novy");
    EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), 0);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(TestEnvironment::readFile(store() + "00005dopis.txt"), "ulozeny drive");
    EXPECT_EQ(TestEnvironment::readFile(store() + "00007dopis.txt"), "novy");
    EXPECT_EQ(counter(), "8") << "past the number used";
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(DeletedStoreTest, WhenEveryStoredNameIsTakenTheDeleteGivesUpAndSaysSo)
{
    // The five digits come round after 100,000 numbers: past them every name is taken.
    // The store answers that every name it is asked about is taken.
    struct EveryNameTaken : FaultyFileSystem
    {
        using FaultyFileSystem::stat;
        int stat(const OpenFolder &folder, const QString &name, FileStatus &out) override
        {
            ++asked;
            names.insert(name.left(5));
            FaultyFileSystem::stat(folder, name, out);
            out.kind = FileKind::Folder;
            return 0;
        }
        int asked = 0;
        QSet<QString> names;
    } layer;
    FileSettings::CountDelFiles.save(42);
    const QString path = env.writeFile("docs/x.txt", "x");
    EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(layer.asked, 100000);
    EXPECT_EQ(layer.names.size(), 100000) << "every five-digit name was tried once";
    EXPECT_EQ(TestEnvironment::readFile(path), "x");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor x.txt se nepodařilo přesunout do složky smazaných souborů: "
                                                    "všech 100\u00A0000 čísel pro jeho uložený název je obsazeno."));
    EXPECT_EQ(counter(), "100042");
}

TEST_F(DeletedStoreTest, TwoFilesOfOneNameAreBothKept)
{
    MoveToDeletedStore(env.writeFile("a/x.txt", "a"));
    MoveToDeletedStore(env.writeFile("b/x.txt", "b"));
    EXPECT_EQ(stored(), QStringList({"00001x.txt", "00002x.txt"}));
}

TEST_F(DeletedStoreTest, AReadOnlyFileIsStoredWritableAndALinkAsALink)
{
    const QString readOnly = env.writeFile("docs/ro.txt", "r");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    const QString target = env.writeFile("cil.txt", "cil");
    ::chmod(QFile::encodeName(target).constData(), 0444);
    const QString odkaz = link(env.path("docs/odkaz"), target);
    for (const int injected : {0, EXDEV}) {
        SCOPED_TRACE(injected);
        FaultyFileSystem layer;
        layer.renameError = injected;
        const QString file = injected ? env.writeFile("docs/ro2.txt", "r") : readOnly;
        ::chmod(QFile::encodeName(file).constData(), 0444);
        MoveToDeletedStore(file);
        MoveToDeletedStore(injected ? link(env.path("docs/odkaz2"), target) : odkaz);
    }
    EXPECT_EQ(stored(), QStringList({"00001ro.txt", "00002odkaz", "00003ro2.txt", "00004odkaz2"}));
    for (const char *name : {"00001ro.txt", "00003ro2.txt"})
        EXPECT_TRUE(QFileInfo(store() + name).permissions() & QFileDevice::WriteOwner) << name;
    EXPECT_EQ(QFileInfo(store() + "00004odkaz2").symLinkTarget(), target);
    EXPECT_FALSE(QFileInfo(target).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(TestEnvironment::readFile(target), "cil");
}

TEST_F(DeletedStoreTest, FailedMovesLeaveTheSourceAndNoCopy)
{
    // Every failure is told: the user's file otherwise silently stays where it was.
    struct Case { const char *what; int renameError; int copyError; int unlinkError; int raised; const char *told; };
    const Case cases[] = {
        {"access refused", EACCES, 0, 0, 0, nullptr},
        {"disk full on another file system", EXDEV, ENOSPC, 0, ErrorNumber::DiskFull, "Na disku není dost místa"},
        {"I/O error on another file system", EXDEV, EIO, 0, ErrorNumber::DeviceIoError, "Chyba vstupu nebo výstupu"},
        {"source on a read-only medium", EXDEV, 0, EROFS, 0, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FaultyFileSystem layer;
        layer.renameError = c.renameError;
        layer.copyError = c.copyError;
        layer.copyErrorAfter = 100;
        layer.unlinkError = c.unlinkError;
        boxes.shown.clear();
        const QString path = env.writeFile("docs/velky.bin", QByteArray(20000, 'v'));
        EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), c.raised);
        EXPECT_EQ(TestEnvironment::readFile(path), QByteArray(20000, 'v'));
        EXPECT_TRUE(stored().isEmpty());
        ASSERT_EQ(boxes.shown.size(), 1);
        if (!c.told) {
            EXPECT_EQ(boxes.shown[0].prompt, kRefused);
            EXPECT_EQ(boxes.shown[0].style, 0);
            EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
        } else {
            EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor velky.bin se nepodařilo přesunout do složky "
                                                            "smazaných souborů: ")
                                                     + QString::fromUtf8(c.told) + QLatin1Char('.'));
            EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
        }
    }
}

TEST_F(DeletedStoreTest, EmptyingRemovesFilesAndLinksOnly)
{
    const QString outside = env.writeFile("cil.txt", "zustava");
    env.writeFile("home/.local/share/Vorlan/deleted/00001a.txt", "a");
    env.writeFile("home/.local/share/Vorlan/deleted/.00002skryty", "s");
    env.writeFile("home/.local/share/Vorlan/deleted/slozka/uvnitr.txt", "u");
    link(store() + "00003odkaz", outside);
    link(store() + "00004slozka-odkaz", env.path("docs"));
    QDir().mkpath(env.path("docs"));
    env.writeFile("docs/nesmazat.txt", "n");
    DeletedStore::empty();
    EXPECT_EQ(stored(), QStringList({"slozka"}));
    EXPECT_EQ(TestEnvironment::readFile(store() + "slozka/uvnitr.txt"), "u");
    EXPECT_EQ(TestEnvironment::readFile(outside), "zustava");
    EXPECT_EQ(TestEnvironment::readFile(env.path("docs/nesmazat.txt")), "n");
    // Nothing left to remove counts as a failure, as a file pattern matching nothing does.
    EXPECT_EQ(raised([] { DeletedStore::empty(); }), ErrorNumber::FileNotFound);
}

TEST_F(DeletedStoreTest, EmptyingRemovesNamesThatAreNoTextByTheirBytes)
{
    const QByteArray folder = QFile::encodeName(store());
    const QByteArray file = folder + "00001zl\xff.txt";
    const QByteArray badLink = folder + "00002\xfe\xfeodkaz";
    const QByteArray badFolder = folder + "slo\xffzka";
    const QString outside = env.writeFile("cil.txt", "zustava");
    ASSERT_EQ(::close(::open(file.constData(), O_CREAT | O_WRONLY, 0600)), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), badLink.constData()), 0);
    ASSERT_EQ(::mkdir(badFolder.constData(), 0700), 0);
    env.writeFile("home/.local/share/Vorlan/deleted/00003a.txt", "a");

    DeletedStore::empty();
    struct stat info {};
    EXPECT_NE(::lstat(file.constData(), &info), 0) << "a file named by no text is gone";
    EXPECT_NE(::lstat(badLink.constData(), &info), 0) << "so is a link";
    ASSERT_EQ(::lstat(badFolder.constData(), &info), 0) << "a folder stays";
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_FALSE(QFileInfo::exists(store() + "00003a.txt"));
    EXPECT_EQ(TestEnvironment::readFile(outside), "zustava");

    // Only the folder is left, so the next emptying has nothing to remove.
    EXPECT_EQ(raised([] { DeletedStore::empty(); }), ErrorNumber::FileNotFound);
    ::unlink(file.constData()); // a name no text names stops the folder's clean-up
    ::unlink(badLink.constData());
    ::rmdir(badFolder.constData());
}

// A store that is a link to a folder holding someone else's files, or a file: nothing
// goes into it, nothing of it is removed, the counter stays, and the user is told
// where the store is.
TEST_F(DeletedStoreTest, AStoreThatIsALinkOrNoFolderIsNeitherFilledNorEmptied)
{
    const QString storePath = env.appFolder() + QStringLiteral("deleted");
    for (const bool isLink : {true, false}) {
        SCOPED_TRACE(isLink ? "a link to another folder" : "a file");
        QDir(env.path("cizi")).removeRecursively();
        env.writeFile("cizi/precious.txt", "p");
        env.writeFile("cizi/00001stary.txt", "s");
        env.writeFile("cizi/sub/s.txt", "ss");
        QDir(storePath).removeRecursively();
        QFile::remove(storePath);
        if (isLink)
            link(storePath, env.path("cizi"));
        else
            env.writeFile(storePath.mid(env.root().size() + 1), "store");
        const QMap<QString, QByteArray> foreign = FaultMount::contents(env.path("cizi"));
        const QString path = env.writeFile("docs/x.txt", "x");
        boxes.shown.clear();

        EXPECT_NE(raised([&] { MoveToDeletedStore(path); }), 0);
        EXPECT_NE(raised([] { DeletedStore::empty(); }), 0);

        EXPECT_EQ(TestEnvironment::readFile(path), "x");
        EXPECT_EQ(FaultMount::contents(env.path("cizi")), foreign);
        EXPECT_EQ(counter(), "absent");
        if (!isLink)
            EXPECT_EQ(TestEnvironment::readFile(storePath), "store");
        ASSERT_EQ(boxes.shown.size(), 2);
        for (const MessageBoxRequest &box : std::as_const(boxes.shown)) {
            EXPECT_TRUE(box.prompt.contains(storePath + QLatin1Char(' '))) << box.prompt.toStdString();
            EXPECT_EQ(box.icon(), MsgBoxStyle::Critical);
        }
    }
}

TEST_F(DeletedStoreTest, WithoutAnAbsoluteProgramFolderNothingIsTouched)
{
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(env.root()));
    env.writeFile("deleted/00001cizi.txt", "cizi");
    const QString path = env.writeFile("docs/x.txt", "x");
    for (const char *appDir : {"", "relativni/"}) {
        SCOPED_TRACE(appDir);
        shared().AppDir = QString::fromLatin1(appDir);
        shared().AppFolder = shared().AppDir;
        EXPECT_EQ(raised([] { DeletedStore::empty(); }), ErrorNumber::PathNotFound);
        EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), ErrorNumber::PathNotFound);
    }
    QDir::setCurrent(working);
    EXPECT_EQ(TestEnvironment::readFile(env.path("deleted/00001cizi.txt")), "cizi");
    EXPECT_EQ(TestEnvironment::readFile(path), "x");
    EXPECT_EQ(counter(), "absent");
}

TEST_F(DeletedStoreTest, RealFaultsKeepTheSource)
{
    {
        SCOPED_TRACE("source on a read-only medium");
        const QString path = env.writeFile("ro/dopis.txt", "d");
        FaultMount readOnly(FaultKind::ReadOnly, env.path("ro"));
        if (!readOnly.skipReason().isEmpty())
            GTEST_SKIP() << readOnly.skipReason().toStdString();
        EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), 0);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown[0].prompt, kRefused);
        EXPECT_EQ(TestEnvironment::readFile(path), "d");
        EXPECT_TRUE(stored().isEmpty());
    }
    {
        SCOPED_TRACE("store on a full disk");
        const QString path = env.writeFile("docs/velky.bin", QByteArray(256 * 1024, 'v'));
        FaultMount full(FaultKind::FullDisk, store());
        if (!full.skipReason().isEmpty())
            GTEST_SKIP() << full.skipReason().toStdString();
        EXPECT_EQ(raised([&] { MoveToDeletedStore(path); }), ErrorNumber::DiskFull);
        EXPECT_EQ(TestEnvironment::readFile(path), QByteArray(256 * 1024, 'v'));
        EXPECT_EQ(stored(), QStringList({FaultMount::fillerName()}));
    }
}
