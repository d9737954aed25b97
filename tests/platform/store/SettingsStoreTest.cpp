#include "platform/system/ErrorState.h"
#include "platform/store/SettingsStore.h"

#include "RaisedError.h"
#include "SpecialFiles.h"
#include "TestEnvironment.h"
#include "WriteFailure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <chrono>
#include <functional>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {

QString reopenedGet(const QString &section, const QString &key, const QVariant &defaultValue = QString())
{
    SettingsStore::resetInstance();
    return GetSetting(section, key, defaultValue);
}

// ---------------------------------------------------------------- conversions

TEST(TextToBoolTest, OtherTextIsATypeMismatch)
{
    for (const char *text : {"yes", "no", "", " ", "Truex", "1x", "on", "&H1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(raised([&] { textToBool(QString::fromUtf8(text)); }), ErrorNumber::TypeMismatch);
    }
}

TEST(TextToIntTest, RejectsOtherTextAndOutOfRangeNumbers)
{
    const struct { const char *text; int error; } cases[] = {
        {"2147483648", ErrorNumber::Overflow},
        {"-2147483649", ErrorNumber::Overflow},
        {"99999999999999999999999", ErrorNumber::Overflow},
        {"", ErrorNumber::TypeMismatch},
        {"abc", ErrorNumber::TypeMismatch},
        {"1.5", ErrorNumber::TypeMismatch},
        {"1 2", ErrorNumber::TypeMismatch},
        {"True", ErrorNumber::TypeMismatch},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(raised([&] { textToInt(QString::fromUtf8(c.text)); }), c.error);
    }
}

// ---------------------------------------------------------------- reading and writing

using SettingsStoreTest = TempEnvTest;

TEST_F(SettingsStoreTest, MissingKeyReadsAsTheDefaultConvertedToText)
{
    SaveSetting("Main", "Other", "x");
    const struct { QString section; QVariant defaultValue; QString expected; } cases[] = {
        {"Main", true, "True"},
        {"Main", false, "False"},
        {"Main", 5, "5"},
        {"Main", "c:\\", "c:\\"},
        {"NoSuchSection", QVariant(), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        EXPECT_EQ(GetSetting(c.section, "Missing", c.defaultValue), c.expected);
    }
    EXPECT_EQ(GetSetting("Main", "Missing"), "");
}

TEST_F(SettingsStoreTest, ValuesOfAnyTextComeBackUnchangedBeforeAndAfterReopening)
{
    const QString values[] = {
        "", // stored empty text is not the default
        "Složky a soubory – ěščřžýáíé ŮÚ",
        "a;b;c",
        "key=value",
        "c:\\Program Files\\x.exe \"%1\"",
        "  leading and trailing  ",
        "a,b, c",
        "@Variant(0)",
        "@",
        "#not a comment",
        "[not a section]",
        "line1\nline2\r\n",
        "tab\there",
        "%25 percent %5C",
        "'single' \"double\"",
    };
    int i = 0;
    for (const QString &value : values)
        SaveSetting("Options\\Save", QString::number(++i), value);
    for (const bool reopened : {false, true}) {
        if (reopened)
            SettingsStore::resetInstance();
        i = 0;
        for (const QString &value : values) {
            SCOPED_TRACE(value.toStdString() + (reopened ? " reopened" : ""));
            EXPECT_EQ(GetSetting("Options\\Save", QString::number(++i), "zqx.zqx"), value);
        }
    }
}

TEST_F(SettingsStoreTest, SectionAndKeyNamesIgnoreLetterCase)
{
    SaveSetting("Main", "NavFiles", "1");
    EXPECT_EQ(GetSetting("MAIN", "navfiles"), "1");
    SaveSetting("main", "NAVFILES", "0");
    EXPECT_EQ(reopenedGet("Main", "NavFiles"), "0");
    DeleteSetting("Main", "NavFiles");
    EXPECT_FALSE(SettingsStore::instance().contains("main", "navfiles"));
}

TEST_F(SettingsStoreTest, ReadsAFileWrittenByHand)
{
    TestEnvironment::replaceFile(SettingsStore::instance().filePath(),
                                 "; kept by hand\r\n[Main]\r\nWidth=4000\r\n\r\n"
                                 "[Options\\QCopy]\r\n1=/home/user/Dokumenty\r\nCaption1=Dokumenty a obr\xc3\xa1zky\r\n");
    SettingsStore::resetInstance();
    EXPECT_EQ(GetSetting("Main", "Width"), "4000");
    EXPECT_EQ(GetSetting(PresetSections::QCopy, "1"), "/home/user/Dokumenty");
    EXPECT_EQ(GetSetting(PresetSections::QCopy, "Caption1"), "Dokumenty a obrázky");
    EXPECT_EQ(GetSetting("Options", "1", "none"), "none");
}

TEST_F(SettingsStoreTest, ASaveKeepsWhatAnotherInstanceSavedSinceTheFileWasRead)
{
    SaveSetting("Main", "Width", "1");
    SaveSetting("Main", "Height", "1");
    // Another instance saves its own change in between.
    TestEnvironment::replaceFile(SettingsStore::instance().filePath(), "[Main]\nWidth=1\nHeight=2\n[Options]\nUseUserFT=1\n");
    SaveSetting("Main", "Width", "3");
    DeleteSetting("Main", "Height");
    EXPECT_EQ(reopenedGet("Main", "Width"), "3");
    EXPECT_EQ(GetSetting("Options", "UseUserFT"), "1");
    EXPECT_FALSE(SettingsStore::instance().contains("Main", "Height"));
}

// ---------------------------------------------------------------- sections and deletion

TEST_F(SettingsStoreTest, SectionsWithBackslashesAreFlatAndSurviveDeletingTheirParent)
{
    const QString sections[] = {"Options\\QCopy", "Options\\Home", "Options\\Deeper\\Still", "Options/Slash",
                                "Options%5CQCopy"};
    SaveSetting("Options", "NotWarnQCopy", true);
    for (const QString &section : sections)
        SaveSetting(section, "1", section);

    DeleteSetting("Options");

    EXPECT_FALSE(SettingsStore::instance().contains("Options", "NotWarnQCopy"));
    SettingsStore::resetInstance();
    EXPECT_FALSE(SettingsStore::instance().contains("Options", "NotWarnQCopy"));
    for (const QString &section : sections) {
        SCOPED_TRACE(section.toStdString());
        EXPECT_EQ(GetSetting(section, "1"), section);
    }
}

TEST_F(SettingsStoreTest, DeletingWhatDoesNotExistRaisesInvalidCall)
{
    SaveSetting("Options", "UseUserFT", "1");
    const struct { QString section; QString key; } cases[] = {
        {"Main", ""},
        {"Options\\QCopy", ""},
        {"Options", "Missing"},
        {"Main", "Width"},
        {"", "UseUserFT"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.section + "|" + c.key).toStdString());
        EXPECT_EQ(raised([&] { DeleteSetting(c.section, c.key); }), ErrorNumber::IllegalCall);
    }
    EXPECT_EQ(GetSetting("Options", "UseUserFT"), "1");
    DeleteSetting();
    EXPECT_EQ(raised([] { DeleteSetting(); }), ErrorNumber::IllegalCall);
}

// ---------------------------------------------------------------- failed writes

class SettingsStoreWriteFailureTest : public TempEnvTest, public ::testing::WithParamInterface<WriteFailureKind>
{
};

TEST_P(SettingsStoreWriteFailureTest, FailedWriteRaisesAndKeepsTheFileAndValuesAsTheyWere)
{
    SaveSetting("Main", "Width", "100");
    SaveSetting("Options", "UseUserFT", "1");
    SaveSetting("Options\\Home", "1", QString(2000, 'h'));
    const QString file = SettingsStore::instance().filePath();
    const QByteArray before = TestEnvironment::readFile(file);
    int saveError = 0;
    int deleteError = 0;
    int deleteAllError = 0;
    int systemError = 0;
    {
        WriteFailure failure(GetParam(), QFileInfo(file).path());
        if (!failure.effective())
            GTEST_SKIP() << "the folder stays writable for this user";
        saveError = raised([] { SaveSetting("Main", "Width", "200"); });
        systemError = ErrorState::current().lastDllError;
        deleteError = raised([] { DeleteSetting("Options"); });
        // An empty file fits under a limit that cuts a longer one short.
        if (GetParam() != WriteFailureKind::CutShort)
            deleteAllError = raised([] { DeleteSetting(); });
    }
    EXPECT_EQ(saveError, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(systemError, GetParam() == WriteFailureKind::ReadOnlyFolder ? EACCES : EFBIG);
    ASSERT_TRUE(SettingsStore::instance().unsavedChanges().has_value());
    EXPECT_EQ(SettingsStore::instance().unsavedChanges()->path, file);
    EXPECT_EQ(deleteError, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(deleteAllError, GetParam() != WriteFailureKind::CutShort ? ErrorNumber::PathFileAccessError : 0);
    EXPECT_EQ(TestEnvironment::readFile(file), before);
    EXPECT_EQ(GetSetting("Main", "Width"), "100");
    EXPECT_EQ(GetSetting("Options", "UseUserFT"), "1");
    EXPECT_EQ(QDir(QFileInfo(file).path()).entryList(QDir::Files), QStringList{"Vorlan.conf"});

    // Once the folder can be written again, so can the store.
    SaveSetting("Main", "Width", "300");
    EXPECT_FALSE(SettingsStore::instance().unsavedChanges().has_value());
    EXPECT_EQ(reopenedGet("Main", "Width"), "300");
    EXPECT_EQ(GetSetting("Options", "UseUserFT"), "1");
}

INSTANTIATE_TEST_SUITE_P(Kinds, SettingsStoreWriteFailureTest,
                         ::testing::Values(WriteFailureKind::ReadOnlyFolder, WriteFailureKind::NothingWritten,
                                           WriteFailureKind::CutShort),
                         [](const auto &info) { return WriteFailure::name(info.param); });

// ---------------------------------------------------------------- saving in one batch

TEST_F(SettingsStoreTest, ABatchReachesTheFileInOneWriteAtItsEnd)
{
    SaveSetting("Main", "Width", "1");
    const QString file = SettingsStore::instance().filePath();
    const QByteArray before = TestEnvironment::readFile(file);
    SettingsStore &store = SettingsStore::instance();
    store.beginBatch();
    for (int i = 0; i < 31; ++i)
        SaveSetting("Settings", QStringLiteral("Key%1").arg(i), i);
    DeleteSetting("Main", "Width");
    EXPECT_EQ(GetSetting("Settings", "Key30"), "30");
    EXPECT_EQ(TestEnvironment::readFile(file), before) << "nothing written before the batch ends";
    store.endBatch();
    EXPECT_EQ(reopenedGet("Settings", "Key30"), "30");
    EXPECT_EQ(GetSetting("Main", "Width", "gone"), "gone");
}

TEST_F(SettingsStoreTest, AFailedBatchUndoesEveryChangeOfIt)
{
    SaveSetting("Main", "Width", "1");
    SaveSetting("Main", "Panel", "True");
    const QString file = SettingsStore::instance().filePath();
    const QByteArray before = TestEnvironment::readFile(file);
    SettingsStore &store = SettingsStore::instance();
    int number = 0;
    int systemError = 0;
    {
        WriteFailure failure(WriteFailureKind::NothingWritten, QFileInfo(file).path());
        // An earlier failure must not take the batch's own reason away.
        raised([] { SaveSetting("Main", "Width", "9"); });
        store.beginBatch();
        SaveSetting("Main", "Width", "2");
        SaveSetting("Main", "Width", "3");
        SaveSetting("Main", "New", "x");
        DeleteSetting("Main", "Panel");
        try {
            store.endBatch();
        } catch (const RuntimeError &error) {
            number = error.number();
            systemError = error.systemError();
        }
    }
    EXPECT_EQ(number, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(systemError, EFBIG);
    EXPECT_EQ(GetSetting("Main", "Width"), "1");
    EXPECT_EQ(GetSetting("Main", "Panel"), "True");
    EXPECT_FALSE(store.contains("Main", "New"));
    EXPECT_EQ(TestEnvironment::readFile(file), before);
    SaveSetting("Main", "Width", "4");
    EXPECT_EQ(reopenedGet("Main", "Width"), "4");
}

// ---------------------------------------------------------------- what earlier runs left

void setAge(const QString &path, int seconds)
{
    const timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

TEST(SettingsStoreLocks, ALockNoLiveInstanceHereHoldsCostsAtMostAMoment)
{
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const struct
    {
        const char *name;
        QByteArray content;
        int age; // seconds; negative for a date in the future
        bool rmlock;
    } cases[] = {
        {"empty, left by a kill", "", 5, false},
        {"its holder is gone", "2147483646\nvorlan\n" + host + "\n", 5, false},
        {"young, with content that is no lock's", "\x8b\x01 not a lock \xff", 0, false},
        {"held on another machine", QByteArray::number(::getpid()) + "\nvorlan\nsome-other-host\n", 0, false},
        {"empty, beside an empty removal marker", "", 0, true},
        {"empty, dated in the future", "", -10, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment env;
        SaveSetting("Main", "Width", "1");
        const QString lock = SettingsStore::instance().filePath() + ".lock";
        env.writeFile(lock.mid(env.root().size() + 1), c.content);
        setAge(lock, c.age);
        if (c.rmlock)
            env.writeFile(lock.mid(env.root().size() + 1) + ".rmlock", "");
        SettingsStore::resetInstance();
        QElapsedTimer clock;
        clock.start();
        SaveSetting("Main", "Width", "2");
        EXPECT_LT(clock.elapsed(), 2500);
        EXPECT_EQ(reopenedGet("Main", "Width"), "2");
        EXPECT_FALSE(QFile::exists(lock));
    }
}

TEST(SettingsStoreLocks, ALockThatIsNoFileIsSetAside)
{
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a folder");
        TestEnvironment env;
        SaveSetting("Main", "Width", "1");
        const QString lock = SettingsStore::instance().filePath() + ".lock";
        ASSERT_TRUE(pipe ? SpecialFiles::makePipe(lock) : QDir().mkpath(lock + "/inside"));
        SettingsStore::resetInstance();
        PipeRelease release(lock);
        QElapsedTimer clock;
        clock.start();
        SaveSetting("Main", "Width", "2");
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(reopenedGet("Main", "Width"), "2");
        EXPECT_FALSE(QFileInfo::exists(lock));
    }
}

TEST(SettingsStoreLocks, ALiveInstancesLockIsWaitedForAMomentThenTheSaveFailsSayingWhy)
{
    TestEnvironment env;
    SaveSetting("Main", "Width", "1");
    QLockFile held(SettingsStore::instance().filePath() + ".lock");
    ASSERT_TRUE(held.tryLock(0));
    setAge(held.fileName(), 5);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        held.unlock();
    });
    QElapsedTimer clock;
    clock.start();
    SaveSetting("Main", "Width", "3");
    const qint64 waited = clock.elapsed();
    release.join();
    EXPECT_GE(waited, 300) << "a live instance's lock is waited for";
    EXPECT_EQ(reopenedGet("Main", "Width"), "3");

    ASSERT_TRUE(held.tryLock(0));
    clock.restart();
    EXPECT_EQ(raised([] { SaveSetting("Main", "Width", "4"); }), ErrorNumber::PathFileAccessError);
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_GE(clock.elapsed(), 1500);
    const std::optional<FileProblem> unsaved = SettingsStore::instance().unsavedChanges();
    ASSERT_TRUE(unsaved.has_value());
    EXPECT_EQ(unsaved->reason, "právě ho ukládá jiná spuštěná instance programu");
    EXPECT_EQ(GetSetting("Main", "Width"), "3");
    clock.restart();
    EXPECT_EQ(raised([] { SaveSetting("Main", "Height", "4"); }), ErrorNumber::PathFileAccessError);
    EXPECT_LT(clock.elapsed(), 500) << "once given up, a save does not wait again";
    held.unlock();
    SaveSetting("Main", "Width", "5");
    EXPECT_EQ(reopenedGet("Main", "Width"), "5");
}

TEST_F(SettingsStoreTest, LeftoversOfInterruptedSavesAreRemovedAtOpening)
{
    SaveSetting("Main", "Width", "1");
    const QString folder = QFileInfo(SettingsStore::instance().filePath()).path() + "/";
    for (const char *name : {"Vorlan.conf.aB3xY9", "Vorlan.conf.lock.rmlock"}) {
        env.writeFile(QString(folder + name).mid(env.root().size() + 1), "left behind");
        setAge(folder + name, 60);
    }
    env.writeFile(QString(folder + "Vorlan.conf.Young1").mid(env.root().size() + 1), "being saved right now");
    SettingsStore::resetInstance();
    EXPECT_EQ(GetSetting("Main", "Width"), "1");
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Vorlan.conf", "Vorlan.conf.Young1"}));
}

TEST(SettingsStoreUnusableFile, IsSetAsideOnceAndTheStoreStartsEmpty)
{
    const struct
    {
        const char *name;
        std::function<void(TestEnvironment &, const QString &)> place;
        QString reason;
    } cases[] = {
        {"far beyond any real size",
         [](TestEnvironment &env, const QString &file) {
             const QString written = env.writeFile(file.mid(env.root().size() + 1), "[Main]\nWidth=1\n");
             ASSERT_TRUE(QFile::resize(written, SettingsStore::MaxFileSize + 1));
         },
         {}},
        {"a folder in its place", [](TestEnvironment &, const QString &file) { QDir().mkpath(file + "/inside"); },
         "na jeho místě je složka"},
        {"a link to a device",
         [](TestEnvironment &env, const QString &file) {
             ASSERT_TRUE(SpecialFiles::makeDevice(env.path("device")));
             QDir().mkpath(QFileInfo(file).path());
             ASSERT_TRUE(QFile::link(env.path("device"), file));
         },
         "na jeho místě je zařízení"},
        {"a pipe",
         [](TestEnvironment &, const QString &file) {
             QDir().mkpath(QFileInfo(file).path());
             ASSERT_TRUE(SpecialFiles::makePipe(file));
         },
         "na jeho místě je roura"},
        {"UTF-16 text",
         [](TestEnvironment &env, const QString &file) {
             const QString text = "[Main]\r\nWidth=1\r\n";
             env.writeFile(file.mid(env.root().size() + 1),
                           QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
         },
         "není to textový soubor"},
        {"random bytes",
         [](TestEnvironment &env, const QString &file) {
             env.writeFile(file.mid(env.root().size() + 1), QByteArray("\x8b\x01\x9c[Main]\x00\x13Width=1\xff"));
         },
         "není to textový soubor"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment env;
        const QString file = SettingsStore::instance().filePath();
        SettingsStore::resetInstance();
        c.place(env, file);
        QElapsedTimer clock;
        clock.start();
        {
            PipeRelease release(file);
            EXPECT_EQ(GetSetting("Main", "Width", "default"), "default");
        }
        EXPECT_LT(clock.elapsed(), 2000);
        const std::optional<FileProblem> problem = SettingsStore::instance().takeUnusableFile();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->path, file);
        EXPECT_FALSE(problem->reason.isEmpty());
        if (!c.reason.isEmpty())
            EXPECT_EQ(problem->reason, c.reason);
        EXPECT_TRUE(QFileInfo(problem->keptAs).fileName().startsWith("Vorlan-nečitelný-")) << problem->keptAs.toStdString();
        EXPECT_FALSE(SettingsStore::instance().takeUnusableFile().has_value()) << "said once";
        SaveSetting("Main", "Width", "2");
        EXPECT_TRUE(SpecialFiles::isRegular(file));
        EXPECT_EQ(reopenedGet("Main", "Width"), "2");
        EXPECT_FALSE(SettingsStore::instance().takeUnusableFile().has_value());
        if (QFileInfo(problem->keptAs).isSymLink())
            EXPECT_TRUE(SpecialFiles::isDevice(env.path("device"))) << "the device is kept";
    }
}

} // namespace
