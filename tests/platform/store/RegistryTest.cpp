#include "platform/system/ErrorState.h"
#include "platform/store/RegFileFormat.h"
#include "platform/store/Registry.h"

#include "RaisedError.h"
#include "SpecialFiles.h"
#include "TestEnvironment.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringEncoder>

#include <cerrno>

namespace {

const QString kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const QString kExplorerMain = "Software\\Microsoft\\Internet Explorer\\Main";

QByteArray sz(const QByteArray &text)
{
    return text + '\0';
}

RegValue stringValue(const QString &text)
{
    return {RegType::String, sz(text.toUtf8())};
}

QByteArray dword(quint32 number)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((number >> (8 * i)) & 0xFF);
    return bytes;
}

QString registryFile()
{
    return Registry::instance().filePath();
}

QString valueText(RegRoot root, const QString &key, const QString &name)
{
    const std::optional<RegValue> value = Registry::instance().value(root, key, name);
    if (!value || value->type != RegType::String)
        return "<none>";
    return QString::fromUtf8(value->data.left(value->data.indexOf('\0')));
}

using RegistryTest = TempEnvTest;

// ---------------------------------------------------------------- reading the file

TEST_F(RegistryTest, ReadsEveryValueFormOfTheFile)
{
    TestEnvironment::replaceFile(registryFile(), "REGEDIT4\r\n"
                                "\r\n"
                                "; a comment\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
                                "\"Text\"=\"plain text\"\r\n"
                                "\"Escaped\"=\"c:\\\\dir \\\"quoted\\\"\"\r\n"
                                "@=\"the default\"\r\n"
                                "\"Empty\"=\"\"\r\n"
                                "\"Number\"=dword:0000002a\r\n"
                                "\"Negative\"=dword:ffffffff\r\n"
                                "\"Binary\"=hex:01,ff,00\r\n"
                                "\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"
                                "\"WithNul\"=hex(1):61,62,63,00,6d,6f,\\\r\n"
                                "  72,65,00\r\n"
                                "\"Multi\"=hex(7):61,00,62,00,00\r\n"
                                "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                "\"Spaced\" = \"around the sign\"\r\n"
                                "\"Czech\"=\"Šťastný žluťoučký kůň\"\r\n");
    const struct { QString name; int type; QByteArray data; } cases[] = {
        {"Text", RegType::String, sz("plain text")},
        {"Escaped", RegType::String, sz("c:\\dir \"quoted\"")},
        {"", RegType::String, sz("the default")},
        {"Empty", RegType::String, sz("")},
        {"Number", RegType::Dword, dword(42)},
        {"Negative", RegType::Dword, dword(0xFFFFFFFF)},
        {"Binary", RegType::Binary, QByteArray("\x01\xff\x00", 3)},
        {"Expand", RegType::ExpandString, sz("%TEMP%")},
        {"WithNul", RegType::String, QByteArray("abc\0more\0", 9)},
        {"Multi", 7, QByteArray("a\0b\0\0", 5)},
        {"Quad", 0xb, QByteArray("\x01\0\0\0\0\0\0\0", 8)},
        {"Spaced", RegType::String, sz("around the sign")},
        {"Czech", RegType::String, sz("Šťastný žluťoučký kůň")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const std::optional<RegValue> value = Registry::instance().value(RegRoot::CurrentUser, "Software\\Test", c.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->data, c.data);
    }
}

TEST_F(RegistryTest, SkipsLinesThatDoNotParseAndKeysUnderUnknownRoots)
{
    TestEnvironment::replaceFile(registryFile(), "REGEDIT4\n"
                                "[HKEY_CURRENT_USER\\A]\n"
                                "\"Good\"=\"1\"\n"
                                "\"BadDword\"=dword:xyz\n"
                                "\"TooLong\"=dword:123456789\n"
                                "\"BadHex\"=hex:1g\n"
                                "\"Unterminated\"=\"abc\n"
                                "no equals sign\n"
                                "[HKEY_NOWHERE\\B]\n"
                                "\"Lost\"=\"x\"\n"
                                "[HKEY_CURRENT_USER\\C\n"
                                "\"AlsoLost\"=\"x\"\n");
    Registry &registry = Registry::instance();
    EXPECT_TRUE(registry.value(RegRoot::CurrentUser, "A", "Good").has_value());
    for (const char *name : {"BadDword", "TooLong", "BadHex", "Unterminated"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(registry.value(RegRoot::CurrentUser, "A", name).has_value());
    }
    EXPECT_FALSE(registry.value(RegRoot::CurrentUser, "A", "Lost").has_value());
    EXPECT_FALSE(registry.value(RegRoot::CurrentUser, "A", "AlsoLost").has_value());
    EXPECT_FALSE(registry.keyExists(RegRoot::CurrentUser, "C"));
}

TEST_F(RegistryTest, FileInWindows1250IsReadAsSuch)
{
    TestEnvironment::replaceFile(registryFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Name\"=\"\x8a\xe8\"\n");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "Name"), "Šč");
}

TEST_F(RegistryTest, AFileOfMixedEncodingsKeepsEveryUtf8LineThroughReadingAndWritingBack)
{
    // UTF-8 but for one value a program wrote in Windows-1250 ("Staré"="Šč"); no seeds,
    // so reading it writes it back at once.
    const QByteArray utf8Lines[] = {
        "[HKEY_CURRENT_USER\\Software\\Vorlan\\Cesty]",
        "\"Plocha\"=\"/home/uživatel/Plocha\"",
        "\"Zvíře\"=\"kůň\"",
        "[HKEY_CURRENT_USER\\Software\\Vorlan\\Klíč]",
        "\"Příliš\"=\"žluťoučký\"",
    };
    const QByteArray mixed = "REGEDIT4\n\n" + utf8Lines[0] + "\n" + utf8Lines[1] + "\n\"Star\xe9\"=\"\x8a\xe8\"\n"
        + utf8Lines[2] + "\n\n" + utf8Lines[3] + "\n" + utf8Lines[4] + "\n";
    TestEnvironment::replaceFile(registryFile(), mixed);

    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Software\\Vorlan\\Cesty", "Plocha"), "/home/uživatel/Plocha");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Software\\Vorlan\\Cesty", "Zvíře"), "kůň");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Software\\Vorlan\\Cesty", "Staré"), "Šč");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Software\\Vorlan\\Klíč", "Příliš"), "žluťoučký");
    EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value());

    const QByteArray written = TestEnvironment::readFile(registryFile());
    ASSERT_NE(written, mixed) << "the seeds were added";
    const QList<QByteArray> lines = written.split('\n');
    for (const QByteArray &line : utf8Lines)
        EXPECT_TRUE(lines.contains(line)) << line.constData() << "\n" << written.constData();
    EXPECT_TRUE(lines.contains("\"Staré\"=\"Šč\"")) << written.constData();

    Registry::resetInstance();
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Software\\Vorlan\\Cesty", "Plocha"), "/home/uživatel/Plocha");
    EXPECT_EQ(TestEnvironment::readFile(registryFile()), written) << "read as it was written";
}

// What the folder of the registry holds apart from the registry itself.
QStringList keptAside(const TestEnvironment &env)
{
    QStringList names = QDir(env.appFolder() + "windows").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.removeAll("registry.reg");
    return names;
}

TEST(RegistryUnusableFile, IsSetAsideOnceAndTheRegistryStartsFromTheSeeds)
{
    QByteArray random(3000, '\0');
    for (qsizetype i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    const struct
    {
        const char *name;
        QByteArray content; // a folder when null
    } cases[] = {
        {"no header", "[HKEY_CURRENT_USER\\A]\n\"B\"=\"x\"\n"},
        {"random bytes", random},
        {"empty", QByteArray("")},
        {"a folder in its place", QByteArray()},
        {"a key too deep", "REGEDIT4\n[HKEY_CURRENT_USER" + QByteArray("\\k").repeated(600) + "]\n"},
        {"a line of many megabytes", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"B\"=\"" + QByteArray(5 << 20, 'x') + "\"\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestEnvironment env;
        if (c.content.isNull())
            QDir().mkpath(registryFile() + "/inside");
        else
            TestEnvironment::replaceFile(registryFile(), c.content);

        EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Start Page"), "about:blank");
        EXPECT_FALSE(ErrorState::isSet());
        const std::optional<FileProblem> problem = Registry::instance().takeUnusableFile();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->path, registryFile());
        EXPECT_FALSE(problem->reason.isEmpty());
        EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value()) << "said once";

        ASSERT_EQ(keptAside(env), QStringList{QFileInfo(problem->keptAs).fileName()});
        if (c.content.isNull())
            EXPECT_TRUE(QFileInfo::exists(problem->keptAs + "/inside"));
        else
            EXPECT_EQ(TestEnvironment::readFile(problem->keptAs), c.content);
        EXPECT_TRUE(TestEnvironment::readFile(registryFile()).startsWith("REGEDIT4\n"));
        Registry::instance().setValue(RegRoot::CurrentUser, "A", "B", stringValue("x"));
        Registry::resetInstance();
        EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "B"), "x");
        EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value());
    }
}

TEST(RegistryUnusableFile, APipeOrALinkToADeviceIsSetAsideWithoutWaitingAndTheDeviceKept)
{
    for (const bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a link to a device");
        TestEnvironment env;
        QDir().mkpath(QFileInfo(registryFile()).path());
        const QString device = env.path("device");
        ASSERT_TRUE(pipe ? SpecialFiles::makePipe(registryFile())
                         : SpecialFiles::makeDevice(device) && QFile::link(device, registryFile()));
        QElapsedTimer clock;
        clock.start();
        {
            PipeRelease release(registryFile());
            EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Start Page"), "about:blank");
        }
        EXPECT_LT(clock.elapsed(), 2000);
        const std::optional<FileProblem> problem = Registry::instance().takeUnusableFile();
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->reason, pipe ? "na jeho místě je roura" : "na jeho místě je zařízení");
        EXPECT_TRUE(SpecialFiles::isRegular(registryFile()));
        if (!pipe) {
            EXPECT_TRUE(QFileInfo(problem->keptAs).isSymLink());
            EXPECT_TRUE(SpecialFiles::isDevice(device));
        }
    }
}

TEST_F(RegistryTest, AFileThatLostLinesIsCopiedBesideOnceAndToldOnce)
{
    const QByteArray damaged[] = {
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"Good\"=\"kept\"\n\"Bad\"=dword:xyz\nno value line\n",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"Good\"=\"again\"\n[HKEY_NOWHERE\\B]\n\"C\"=\"lost\"\n",
    };
    QStringList copies;
    for (const QByteArray &content : damaged) {
        TestEnvironment::replaceFile(registryFile(), content);
        Registry::resetInstance();
        EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "Good"), content == damaged[0] ? "kept" : "again");
        const std::optional<FileProblem> problem = Registry::instance().takeUnusableFile();
        ASSERT_TRUE(problem.has_value());
        EXPECT_TRUE(problem->linesLost);
        EXPECT_EQ(problem->reason, "2 řádky");
        EXPECT_TRUE(QFileInfo(problem->keptAs).fileName().startsWith("registry-kopie-")) << problem->keptAs.toStdString();
        EXPECT_EQ(TestEnvironment::readFile(problem->keptAs), content);
        EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value()) << "said once";
        copies << problem->keptAs;

        // What was read is saved; a file without damaged lines is neither copied nor told.
        Registry::instance().setValue(RegRoot::CurrentUser, "A", "New", stringValue("x"));
        Registry::resetInstance();
        EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "New"), "x");
        EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value());
    }
    QStringList names = {QFileInfo(copies[0]).fileName(), QFileInfo(copies[1]).fileName()};
    QStringList kept = keptAside(env);
    names.sort();
    kept.sort();
    EXPECT_EQ(kept, names);
    EXPECT_EQ(TestEnvironment::readFile(copies[0]), damaged[0]) << "an earlier copy is never overwritten";
}

TEST_F(RegistryTest, AFileFarBeyondAnyRealSizeIsSetAside)
{
    QDir().mkpath(QFileInfo(registryFile()).path());
    QFile big(registryFile());
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("REGEDIT4\n");
    ASSERT_TRUE(big.resize(Registry::MaxFileSize + 1)); // sparse: costs no disk
    big.close();
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Start Page"), "about:blank");
    const std::optional<FileProblem> problem = Registry::instance().takeUnusableFile();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(QFileInfo(problem->keptAs).size(), Registry::MaxFileSize + 1);
}

TEST_F(RegistryTest, ASecondUnusableFileIsKeptBesideTheFirst)
{
    TestEnvironment::replaceFile(registryFile(), "first");
    Registry::instance().value(RegRoot::CurrentUser, "A", "B");
    TestEnvironment::replaceFile(registryFile(), "second");
    Registry::instance().value(RegRoot::CurrentUser, "A", "B");
    QStringList contents;
    for (const QString &name : keptAside(env))
        contents << QString::fromUtf8(TestEnvironment::readFile(env.appFolder() + "windows/" + name));
    contents.sort();
    EXPECT_EQ(contents, (QStringList{"first", "second"}));
}

TEST_F(RegistryTest, AFileLackingSeedsGetsThemBackAndKeepsItsOwnValues)
{
    TestEnvironment::replaceFile(registryFile(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\n"
                                "\"Start Page\"=\"http://127.0.0.1/\"\n");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Start Page"), "http://127.0.0.1/");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Search Page"), "about:blank");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kShellFolders, "Favorites"), env.home() + "/Favorites");
    EXPECT_FALSE(Registry::instance().takeUnusableFile().has_value());
    const QByteArray text = TestEnvironment::readFile(registryFile());
    EXPECT_TRUE(text.contains("\"Start Page\"=\"http://127.0.0.1/\"")) << text.constData();
    EXPECT_TRUE(text.contains("\"Favorites\"=")) << text.constData();
}

// ---------------------------------------------------------------- writing

TEST_F(RegistryTest, EveryValueSurvivesWritingAndReadingBack)
{
    const struct { QString name; RegValue value; } cases[] = {
        {"Plain", stringValue("about:blank")},
        {"", stringValue("default value")},
        {"Empty", stringValue("")},
        {"Quotes \"and\" \\slashes\\", stringValue("c:\\a\\ \"b\" \\")},
        {"Czech", stringValue("Příliš žluťoučký kůň úpěl ďábelské ódy")},
        {"Lines", stringValue("one\r\ntwo\nthree")},
        {"EmbeddedNul", {RegType::String, QByteArray("abc\0more\0", 9)}},
        {"NoTerminator", {RegType::String, QByteArray("abc")}},
        {"NotUtf8", {RegType::String, QByteArray("\x8a\xe8\0", 3)}},
        {"Expand", {RegType::ExpandString, sz("%USERPROFILE%\\x")}},
        {"Dword", {RegType::Dword, dword(0x80000001)}},
        {"ShortDword", {RegType::Dword, QByteArray("\x01\x02", 2)}},
        {"Binary", {RegType::Binary, QByteArray(200, '\x5a')}},
        {"EmptyBinary", {RegType::Binary, QByteArray()}},
        {"Odd type", {0x1234, QByteArray("xyz")}},
        {"; not a comment", stringValue("[not a key]")},
    };
    for (const auto &c : cases)
        Registry::instance().setValue(RegRoot::LocalMachine, "Software\\Vorlan Test\\Values", c.name, c.value);
    Registry::resetInstance();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const std::optional<RegValue> value =
            Registry::instance().value(RegRoot::LocalMachine, "Software\\Vorlan Test\\Values", c.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, c.value.type);
        EXPECT_EQ(value->data, c.value.data);
    }
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "Software\\MixedCase", "ValueName", stringValue("1"));
    registry.setValue(RegRoot::CurrentUser, "SOFTWARE\\MIXEDCASE", "VALUENAME", stringValue("2"));
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "software\\mixedcase", "valuename"), "2");
    EXPECT_TRUE(registry.keyExists(RegRoot::CurrentUser, "sOfTwArE\\mIxEdCaSe"));
    const QByteArray text = TestEnvironment::readFile(registryFile());
    EXPECT_EQ(text.count("ValueName"), 1) << text.constData();
    EXPECT_EQ(text.toUpper().count("VALUENAME"), 1) << text.constData();
    EXPECT_TRUE(text.contains("\\MixedCase]")) << text.constData();
}

TEST_F(RegistryTest, NamesThatCannotBeStoredAreRefused)
{
    Registry &registry = Registry::instance();
    EXPECT_EQ(raised([&] { registry.setValue(RegRoot::CurrentUser, "A", "line\nbreak", stringValue("x")); }),
              ErrorNumber::IllegalCall);
    EXPECT_EQ(raised([&] { registry.setValue(RegRoot::CurrentUser, "A\r\nB", "x", stringValue("x")); }),
              ErrorNumber::IllegalCall);
    EXPECT_FALSE(registry.keyExists(RegRoot::CurrentUser, "A"));
}

TEST_F(RegistryTest, ChangeMadeByAnotherProgramIsPickedUp)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "Offline", "GlobalUserOffline", {RegType::Dword, dword(0)});
    ASSERT_EQ(registry.value(RegRoot::CurrentUser, "Offline", "GlobalUserOffline")->data, dword(0));

    // Same size, replaced as a whole.
    QByteArray text = TestEnvironment::readFile(registryFile());
    text.replace("dword:00000000", "dword:00000001");
    TestEnvironment::replaceFile(registryFile(), text);
    EXPECT_EQ(registry.value(RegRoot::CurrentUser, "Offline", "GlobalUserOffline")->data, dword(1));

    // Rewritten in place.
    text.replace("dword:00000001", "hex:01,02");
    QFile file(registryFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    EXPECT_EQ(registry.value(RegRoot::CurrentUser, "Offline", "GlobalUserOffline")->type, RegType::Binary);

    // Our next write keeps the other program's change.
    registry.setValue(RegRoot::CurrentUser, "Offline", "Other", stringValue("x"));
    Registry::resetInstance();
    EXPECT_EQ(Registry::instance().value(RegRoot::CurrentUser, "Offline", "GlobalUserOffline")->type, RegType::Binary);
}

TEST_F(RegistryTest, FileDeletedWhileRunningIsSeededAgain)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "A", "B", stringValue("x"));
    ASSERT_TRUE(QFile::remove(registryFile()));
    EXPECT_FALSE(registry.value(RegRoot::CurrentUser, "A", "B").has_value());
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Start Page"), "about:blank");
}

// ---------------------------------------------------------------- failed writes

class RegistryWriteFailureTest : public TempEnvTest, public ::testing::WithParamInterface<WriteFailureKind>
{
};

TEST_P(RegistryWriteFailureTest, FailedWriteRaisesAndKeepsTheFileAndValuesAsTheyWere)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "A", "B", stringValue("old"));
    registry.setValue(RegRoot::CurrentUser, "A", "Big", {RegType::Binary, QByteArray(1000, '\x7f')});
    const QByteArray before = TestEnvironment::readFile(registryFile());
    const QString script = env.writeFile("import.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"B\"=\"imported\"\n");
    int setError = 0;
    int createError = 0;
    int importError = 0;
    int systemError = 0;
    {
        WriteFailure failure(GetParam(), QFileInfo(registryFile()).path());
        if (!failure.effective())
            GTEST_SKIP() << "the folder stays writable for this user";
        setError = raised([&] { registry.setValue(RegRoot::CurrentUser, "A", "B", stringValue("new")); });
        systemError = ErrorState::current().lastDllError;
        createError = raised([&] { registry.createKey(RegRoot::CurrentUser, "New Key"); });
        importError = raised([&] { registry.importFile(script); });
    }
    EXPECT_EQ(setError, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(systemError, GetParam() == WriteFailureKind::ReadOnlyFolder ? EACCES : EFBIG);
    ASSERT_TRUE(registry.unsavedChanges().has_value());
    EXPECT_EQ(registry.unsavedChanges()->path, registryFile());
    EXPECT_EQ(createError, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(importError, ErrorNumber::PathFileAccessError);
    EXPECT_EQ(TestEnvironment::readFile(registryFile()), before);
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "B"), "old");
    EXPECT_FALSE(registry.keyExists(RegRoot::CurrentUser, "New Key"));
    EXPECT_EQ(QDir(QFileInfo(registryFile()).path()).entryList(QDir::Files), QStringList{"registry.reg"});

    registry.setValue(RegRoot::CurrentUser, "A", "B", stringValue("later"));
    EXPECT_FALSE(registry.unsavedChanges().has_value());
    Registry::resetInstance();
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "B"), "later");
}

// A value added to an existing key, and a key below an existing one, go again when
// the file cannot take them; the values around them stay in their order.
TEST_P(RegistryWriteFailureTest, FailedAdditionsLeaveNothingBehind)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "A", "First", stringValue("1"));
    registry.setValue(RegRoot::CurrentUser, "A", "Second", stringValue("2"));
    {
        WriteFailure failure(GetParam(), QFileInfo(registryFile()).path());
        if (!failure.effective())
            GTEST_SKIP() << "the folder stays writable for this user";
        EXPECT_EQ(raised([&] { registry.setValue(RegRoot::CurrentUser, "A", "Third", stringValue("3")); }),
                  ErrorNumber::PathFileAccessError);
        EXPECT_EQ(raised([&] { registry.setValue(RegRoot::CurrentUser, "A\\B\\C", "Deep", stringValue("4")); }),
                  ErrorNumber::PathFileAccessError);
    }
    EXPECT_EQ(registry.valueNames(RegRoot::CurrentUser, "A"), (QStringList{"First", "Second"}));
    EXPECT_FALSE(registry.keyExists(RegRoot::CurrentUser, "A\\B"));
    registry.setValue(RegRoot::CurrentUser, "A", "Third", stringValue("3"));
    EXPECT_EQ(registry.valueNames(RegRoot::CurrentUser, "A"), (QStringList{"First", "Second", "Third"}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, RegistryWriteFailureTest,
                         ::testing::Values(WriteFailureKind::ReadOnlyFolder, WriteFailureKind::NothingWritten,
                                           WriteFailureKind::CutShort),
                         [](const auto &info) { return WriteFailure::name(info.param); });

// ---------------------------------------------------------------- import

TEST_F(RegistryTest, ImportMergesKeysValuesAndDeletions)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "Keep", "Untouched", stringValue("kept"));
    registry.setValue(RegRoot::CurrentUser, "Merge", "Replaced", stringValue("old"));
    registry.setValue(RegRoot::CurrentUser, "Merge", "Deleted", stringValue("old"));
    registry.setValue(RegRoot::CurrentUser, "Merge", "Stays", stringValue("old"));
    registry.setValue(RegRoot::CurrentUser, "Gone\\Child\\Grandchild", "X", stringValue("old"));
    registry.setValue(RegRoot::CurrentUser, "Gone Not", "X", stringValue("sibling with a longer name"));
    const QString script = env.writeFile("merge.reg", "REGEDIT4\r\n"
                                                      "\r\n"
                                                      "[HKEY_CURRENT_USER\\Merge]\r\n"
                                                      "\"replaced\"=\"new\"\r\n"
                                                      "\"DELETED\"=-\r\n"
                                                      "\"Added\"=dword:00000001\r\n"
                                                      "\r\n"
                                                      "[-hkey_current_user\\gone]\r\n"
                                                      "\r\n"
                                                      "[HKEY_LOCAL_MACHINE\\Software\\New]\r\n"
                                                      "@=\"default\"\r\n"
                                                      "\r\n"
                                                      "[HKEY_CLASSES_ROOT\\.xyz]\r\n"
                                                      "@=\"kept but unused\"\r\n");
    registry.importFile(script);
    Registry::resetInstance();

    const struct { RegRoot root; QString key; QString name; QString expected; } cases[] = {
        {RegRoot::CurrentUser, "Keep", "Untouched", "kept"},
        {RegRoot::CurrentUser, "Merge", "Replaced", "new"},
        {RegRoot::CurrentUser, "Merge", "Deleted", "<none>"},
        {RegRoot::CurrentUser, "Merge", "Stays", "old"},
        {RegRoot::CurrentUser, "Gone\\Child\\Grandchild", "X", "<none>"},
        {RegRoot::CurrentUser, "Gone Not", "X", "sibling with a longer name"},
        {RegRoot::LocalMachine, "Software\\New", "", "default"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.key + "|" + c.name).toStdString());
        EXPECT_EQ(valueText(c.root, c.key, c.name), c.expected);
    }
    EXPECT_EQ(Registry::instance().value(RegRoot::CurrentUser, "Merge", "Added")->data, dword(1));
    for (const char *key : {"Gone", "Gone\\Child", "Gone\\Child\\Grandchild"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(Registry::instance().keyExists(RegRoot::CurrentUser, key));
    }
    EXPECT_TRUE(TestEnvironment::readFile(registryFile()).contains("[HKEY_CLASSES_ROOT\\.xyz]"));
}

TEST_F(RegistryTest, ImportReadsVersion5FilesInUtf16)
{
    const QString text = "Windows Registry Editor Version 5.00\r\n\r\n"
                         "[HKEY_CURRENT_USER\\Unicode]\r\n"
                         "\"Name\"=\"Žluťoučký\"\r\n"
                         "\"Path\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n";
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QString script = env.writeFile("v5.reg", QByteArray("\xFF\xFE") + QByteArray(utf16(text)));
    Registry::instance().importFile(script);
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "Unicode", "Name"), "Žluťoučký");
    const std::optional<RegValue> path = Registry::instance().value(RegRoot::CurrentUser, "Unicode", "Path");
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->type, RegType::ExpandString);
    EXPECT_EQ(path->data, sz("%TEMP%"));
}

TEST_F(RegistryTest, ImportOfAFileThatIsNoScriptChangesNothing)
{
    Registry &registry = Registry::instance();
    registry.setValue(RegRoot::CurrentUser, "A", "B", stringValue("x"));
    const QByteArray before = TestEnvironment::readFile(registryFile());
    const QString notAScript = env.writeFile("plain.reg", "[HKEY_CURRENT_USER\\A]\n\"B\"=-\n");
    EXPECT_EQ(raised([&] { registry.importFile(notAScript); }), ErrorNumber::IllegalCall);
    EXPECT_EQ(raised([&] { registry.importFile(env.path("missing.reg")); }), ErrorNumber::FileNotFound);
    EXPECT_EQ(valueText(RegRoot::CurrentUser, "A", "B"), "x");
    EXPECT_EQ(TestEnvironment::readFile(registryFile()), before);
}

// ---------------------------------------------------------------- first use

TEST_F(RegistryTest, FirstUseSeedsShellFoldersAndBrowserValues)
{
    const struct { QString key; QString name; QString expected; } cases[] = {
        {kShellFolders, "Desktop", QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)},
        {kShellFolders, "Personal", env.home()},
        {kShellFolders, "Favorites", env.home() + "/Favorites"},
        {kShellFolders, "Cache", env.home() + "/.cache/Vorlan"},
        {kExplorerMain, "Start Page", "about:blank"},
        {kExplorerMain, "Search Page", "about:blank"},
        {kExplorerMain, "Local Page", "about:blank"},
        {kExplorerMain, "Disable Script Debugger", "yes"},
        {kExplorerMain, "Display Inline Images", "yes"},
        {kExplorerMain, "Display Inline Videos", "yes"},
        {kExplorerMain, "Play_Animations", "yes"},
        {kExplorerMain, "Play_Background_Sounds", "yes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(valueText(RegRoot::CurrentUser, c.key, c.name), c.expected);
    }
    EXPECT_TRUE(QFileInfo::exists(registryFile()));
    EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).startsWith(env.home()));
}

TEST_F(RegistryTest, SeedsServeTheRunEvenWhenTheyCannotBeStored)
{
    // A file where the windows folder should be makes the folder impossible to create.
    TestEnvironment::replaceFile(env.appFolder() + "windows", "in the way");
    EXPECT_EQ(valueText(RegRoot::CurrentUser, kExplorerMain, "Local Page"), "about:blank");
    EXPECT_FALSE(ErrorState::isSet());
    EXPECT_EQ(raised([] { Registry::instance().setValue(RegRoot::CurrentUser, "A", "B", stringValue("x")); }),
              ErrorNumber::PathFileAccessError);
}

} // namespace
