#include "core/RegistryServices.h"
#include "platform/system/ErrorState.h"

#include "TestEnvironment.h"


namespace {

const QString kTestKey = "Software\\Vorlan Test";

// Values of every kind the functions meet, as another program would leave them.
const char kValues[] = "REGEDIT4\n"
                       "\n"
                       "[HKEY_CURRENT_USER\\Software\\Vorlan Test]\n"
                       "\"Text\"=\"plain\"\n"
                       "\"Empty\"=\"\"\n"
                       "\"WithNul\"=hex(1):61,62,63,00,6d,6f,72,65,00\n"
                       "\"NoNul\"=hex(1):61,62,63\n"
                       "\"Expand\"=hex(2):25,54,45,4d,50,25,00\n"
                       "\"Number\"=dword:0000002a\n"
                       "\"Negative\"=dword:fffffffe\n"
                       "\"NumberAsText\"=\"1\"\n"
                       "\"Binary4\"=hex:2a,00,00,00\n"
                       "\"ShortDword\"=hex(4):2a,00\n"
                       "\"Czech\"=\"Složky a soubory\"\n";

void writeRegistry(const QByteArray &text)
{
    TestEnvironment::replaceFile(Registry::instance().filePath(), text);
}

class RegistryServicesTest : public TempEnvTest
{
protected:
    void SetUp() override { writeRegistry(kValues); }
};

TEST_F(RegistryServicesTest, RegGetStringReadsOnlyTextValues)
{
    const struct { QString key; QString name; QString expected; } cases[] = {
        {kTestKey, "Text", "plain"},
        {kTestKey, "text", "plain"},
        {kTestKey, "Empty", ""},
        {kTestKey, "WithNul", "abc"},
        {kTestKey, "NoNul", "abc"},
        {kTestKey, "Czech", "Složky a soubory"},
        {kTestKey, "Expand", "default"},
        {kTestKey, "Number", "default"},
        {kTestKey, "Binary4", "default"},
        {kTestKey, "Missing", "default"},
        {"Software\\Missing Key", "Text", "default"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, c.key, c.name, "default"), c.expected);
    }
}

TEST_F(RegistryServicesTest, RegGetDwordReadsOnlyNumberValues)
{
    const struct { QString name; qint32 expected; } cases[] = {
        {"Number", 42},
        {"Negative", -2},
        {"NumberAsText", 77},
        {"Binary4", 77},
        {"ShortDword", 77},
        {"Text", 77},
        {"Missing", 77},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(RegGetDword(HKEY_CURRENT_USER, kTestKey, c.name, 77), c.expected);
    }
    EXPECT_EQ(RegGetDword(HKEY_CURRENT_USER, kTestKey, "Missing"), 0);
}

TEST_F(RegistryServicesTest, RegSetStringCreatesTheKeyUnderEveryRoot)
{
    const RegRoot roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    for (const RegRoot root : roots)
        RegSetString(root, ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\Main", "Display Inline Images", "no");
    Registry::resetInstance();
    for (const RegRoot root : roots) {
        SCOPED_TRACE(int(root));
        EXPECT_EQ(RegGetString(root, ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\Main", "Display Inline Images"),
                  "no");
    }
}

TEST_F(RegistryServicesTest, TextWithANulReadsBackUpToTheNul)
{
    RegSetString(HKEY_CURRENT_USER, kTestKey, "Nul", QString("abc") + QChar(0) + "more");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, kTestKey, "Nul", "default"), "abc");
}

// A registry that cannot be read or written: the functions still neither raise nor
// disturb the error the caller may be about to log.
TEST_F(RegistryServicesTest, FailuresAreSilentAndLeaveTheCurrentErrorAlone)
{
    // A file where the registry's folder should be: nothing can be read or written there.
    const QString folder = QFileInfo(Registry::instance().filePath()).path();
    QFile::remove(Registry::instance().filePath());
    QDir().rmdir(folder);
    env.writeFile(folder.mid(env.root().size() + 1), "in the way\n");
    Registry::resetInstance();
    for (const int preset : {0, ErrorNumber::FileNotFound}) {
        SCOPED_TRACE(preset);
        ErrorState::clear();
        if (preset)
            ErrorState::set(RuntimeError(preset));
        EXPECT_NO_THROW({
            EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, kTestKey, "Text", "default"), "default");
            EXPECT_EQ(RegGetDword(HKEY_CURRENT_USER, kTestKey, "Number", 5), 5);
            RegSetString(HKEY_CURRENT_USER, kTestKey, "Text", "new");
            RegSetString(HKEY_CURRENT_USER, "Bad\nName", "Text", "new");
        });
        EXPECT_EQ(ErrorState::current().number, preset);
    }
    EXPECT_EQ(TestEnvironment::readFile(folder), "in the way\n");
}

} // namespace
