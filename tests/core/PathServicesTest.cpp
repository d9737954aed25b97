#include "core/PathServices.h"

#include "core/SharedState.h"
#include "platform/system/DiskInfo.h"
#include "platform/system/ErrorState.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct TextCase { const char *input; const char *expected; };

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(GetFileExtension, TakesTheLowerCasedTextAfterTheLastDotOfTheLastComponent)
{
    const TextCase cases[] = {
        {"Page.HTM", "htm"},
        {"archive.tar.gz", "gz"},
        {"README", "${other}"},
        {"name.", ""},
        {"/home/user/Page.Html", "html"},
        // A dot in a folder name is no extension of the file below it.
        {"/my.dir/file", "${other}"},
        {"my.dir/file", "${other}"},
        {"/my.dir/", "${other}"},
        {".bashrc", "bashrc"},
        // "\" is an ordinary character in a Linux name.
        {"c:\\my.dir\\file", "dir\\file"},
        {"", "${other}"},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.input);
        const QString name = text(c.input);
        EXPECT_EQ(GetFileExtension(name), text(c.expected));
        EXPECT_EQ(name, text(c.input));
    }
}

TEST(GetParentPath, ReturnsTheTextBeforeTheLastSeparator)
{
    const TextCase cases[] = {
        {"/dir/file.txt", "/dir"},
        {"/dir/sub/file.txt", "/dir/sub"},
        {"/dir/", "/dir"},
        // A file in the root belongs to the root folder, not to no folder.
        {"/file.txt", "/"},
        // The root has no parent, so walking up ends.
        {"/", ""},
        {"name.txt", ""},
        {"", ""},
        {"dir/file", "dir"},
        {"c:\\dir\\file.txt", ""},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(GetParentPath(text(c.input)), text(c.expected));
    }
}

TEST(GetFileName, RemovesOneTrailingSeparatorInPlaceAndReturnsTheLastPart)
{
    const struct { const char *input; const char *result; const char *leftBehind; } cases[] = {
        {"/dir/file.txt", "file.txt", "/dir/file.txt"},
        {"/dir/", "dir", "/dir"},
        {"/dir//", "", "/dir/"},
        {"name.txt", "", "name.txt"},
        {"dir/", "", "dir"},
        // The root stays the root: an empty text would name no folder at all.
        {"/", "", "/"},
        {"", "", ""},
        {"c:\\dir\\file.txt", "", "c:\\dir\\file.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        QString path = text(c.input);
        EXPECT_EQ(GetFileName(path), text(c.result));
        EXPECT_EQ(path, text(c.leftBehind));
    }
}

TEST(SanitizeFileName, ReplacesForbiddenCharactersInPlaceKeepingTheLength)
{
    const TextCase cases[] = {
        {"a/b: <d>|e", "a#b# «d»;e"},
        {"Say \"hello\"", "Say 'hello'"},
        {"line one\r\nline two", "line one¶\nline two"},
        {"a\\b?c*d", "a#b#c#d"},
        {"tab\there", "tab\there"},
        {"Příliš žluťoučký kůň", "Příliš žluťoučký kůň"},
        {"", ""},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.input);
        QString name = text(c.input);
        const qsizetype length = name.size();
        EXPECT_EQ(SanitizeFileName(name), text(c.expected));
        EXPECT_EQ(name, text(c.expected));
        EXPECT_EQ(name.size(), length);
    }
}

using FileExistsTest = TempEnvTest;

TEST_F(FileExistsTest, AnswersForExactlyThatPath)
{
    const QString file = env.writeFile(QStringLiteral("dir/file.txt"), "x");
    const QString hidden = env.writeFile(QStringLiteral("dir/.hidden"), "x");
    const QString star = env.writeFile(QStringLiteral("stars/*"), "x");
    QFile::setPermissions(env.writeFile(QStringLiteral("dir/readonly.txt"), "x"), QFile::ReadOwner);
    const QString dangling = env.path(QStringLiteral("dir/dangling"));
    ASSERT_TRUE(QFile::link(env.root() + QStringLiteral("/nowhere"), dangling));

    const struct { QString path; bool exists; } cases[] = {
        {file, true},
        {hidden, true},
        {env.root() + QStringLiteral("/dir/readonly.txt"), true},
        {env.root() + QStringLiteral("/dir"), true},
        {env.root() + QStringLiteral("/dir/"), true},
        {QStringLiteral("/"), true},
        // A link whose target is gone is still an entry of its folder.
        {dangling, true},
        {star, true},
        {env.root() + QStringLiteral("/dir/missing.txt"), false},
        // Wildcards are ordinary characters on Linux.
        {env.root() + QStringLiteral("/dir/*"), false},
        {env.root() + QStringLiteral("/dir/file.tx?"), false},
        {file + QStringLiteral("/below"), false},
        // A NUL must not cut the name short and so test the folder in front of it.
        {env.root() + QStringLiteral("/dir") + QChar(0) + QStringLiteral("junk"), false},
        {QString(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileExists(c.path), c.exists);
    }
    EXPECT_FALSE(ErrorState::isSet());
}

using DiskServicesTest = TempEnvTest;

TEST_F(DiskServicesTest, FreeSpaceIsCountedBeyondA32BitNumber)
{
    // Only meaningful on a volume with 2 GiB or more free; the result must then not wrap.
    if (DiskInfo::freeBytes(env.root()) <= Q_INT64_C(2147483647))
        GTEST_SKIP() << "the temporary folder's volume has less than 2 GiB free";
    EXPECT_GT(GetDiskFree(env.root()), Q_INT64_C(2147483647));
}

using WindowsFoldersTest = TempEnvTest;

TEST_F(WindowsFoldersTest, CreatesTheFoldersUnderTheProgramFolder)
{
    const struct
    {
        QString (*function)();
        const char *relative;
    } cases[] = {
        {&WindowsDirectory, "windows"},
        {&WindowsSystemDirectory, "windows/system"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.relative);
        const QString expected = env.appFolder() + QString::fromLatin1(c.relative);
        EXPECT_EQ(c.function(), expected);
        EXPECT_TRUE(QFileInfo(expected).isDir());
        // A second call finds the folder in place.
        EXPECT_EQ(c.function(), expected);
    }
    EXPECT_FALSE(QFile::exists(env.appFolder() + QStringLiteral("LogError.txt")));
}

TEST_F(WindowsFoldersTest, LongProgramFolderPathsAreNotCutOff)
{
    const QString longFolder = env.root() + QLatin1Char('/') + QString(120, QLatin1Char('a')) + QLatin1Char('/')
        + QString(120, QLatin1Char('b')) + QStringLiteral("/Vorlan/");
    shared().AppFolder = longFolder;
    EXPECT_EQ(WindowsSystemDirectory(), longFolder + QStringLiteral("windows/system"));
    EXPECT_TRUE(QFileInfo(longFolder + QStringLiteral("windows/system")).isDir());
}

TEST_F(WindowsFoldersTest, FailureIsLoggedUnderTheFunctionsNameWithThePath)
{
    // A file where the folder belongs: the folder cannot be made, whoever runs the test.
    env.writeFile(QStringLiteral("home/.local/share/Vorlan/windows"), "in the way");
    const struct
    {
        QString (*function)();
        const char *procedure;
        const char *relative;
    } cases[] = {
        {&WindowsDirectory, "WindowsDirectory", "windows"},
        {&WindowsSystemDirectory, "WindowsSystemDirectory", "windows/system"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.procedure);
        const QString expected = env.appFolder() + QString::fromLatin1(c.relative);
        EXPECT_EQ(c.function(), expected);
        EXPECT_FALSE(ErrorState::isSet());
        const QStringList fields = env.logLines().value(env.logLines().size() - 1).split(QLatin1Char(';'));
        ASSERT_EQ(fields.size(), 7);
        EXPECT_EQ(fields[3], QString::number(ErrorNumber::PathFileAccessError));
        EXPECT_EQ(fields[5], QString::fromLatin1(c.procedure));
        EXPECT_EQ(fields[6], expected);
    }
    EXPECT_EQ(env.logLines().size(), 2);
}

TEST_F(WindowsFoldersTest, WithoutAProgramFolderNothingIsCreatedInTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(env.root()));
    shared().AppFolder.clear();
    EXPECT_EQ(WindowsDirectory(), QString());
    EXPECT_FALSE(QFileInfo::exists(env.root() + QStringLiteral("/windows")));
    EXPECT_FALSE(ErrorState::isSet());
    QDir::setCurrent(previous);
}

TEST(PresetTargetPath, OneSeparatorBeforeTheNameAndNoneWithoutAFolder)
{
    EXPECT_EQ(presetTargetPath(text("/data/Cíl/"), text("a.txt")), text("/data/Cíl/a.txt"));
    EXPECT_EQ(presetTargetPath(text("/data/Cíl"), text("a.txt")), text("/data/Cíl/a.txt"));
    EXPECT_EQ(presetTargetPath(QString(), text("a.txt")), std::nullopt) << "the root is never a preset's target";
}
