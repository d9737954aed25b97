#include "app/OpenSave.h"

#include "TestEnvironment.h"
#include "core/SharedState.h"
#include "platform/ErrorState.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// Installs a dialog that records what it was asked and answers as told.
class ScriptedSaveDialog
{
public:
    ScriptedSaveDialog()
    {
        OpenSave::setDialog([this](const SaveDialogRequest &request) {
            asked.append(request);
            return answer;
        });
    }
    ~ScriptedSaveDialog() { OpenSave::setDialog({}); }

    SaveDialogAnswer answer;
    QList<SaveDialogRequest> asked;
};

class OpenSaveTest : public TempEnvTest
{
protected:
    ScriptedSaveDialog dialog;
};

} // namespace

TEST(OpenSaveFilter, RoundTrips)
{
    const struct
    {
        QString written;
        QString stored;
        QString read;
    } cases[] = {
        {QStringLiteral("A|*.a"), QString::fromUtf8("A\0*.a\0\0", 7), QStringLiteral("A|*.a")},
        {QStringLiteral("A|*.a|"), QString::fromUtf8("A\0*.a\0\0", 7), QStringLiteral("A|*.a")},
        {QStringLiteral("A|*.a||"), QString::fromUtf8("A\0*.a\0\0", 7), QStringLiteral("A|*.a")},
        {QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*"),
         QString::fromUtf8("HTML Page (*.htm)\0*.htm\0All Files (*.*)\0*.*\0\0", 45),
         QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        OpenSave dialog;
        dialog.setFilter(c.written);
        EXPECT_EQ(dialog.storedFilter(), c.stored);
        EXPECT_EQ(dialog.Filter(), c.read);
    }
}

TEST(OpenSaveFilter, BecomesTheDialogsNameFilters)
{
    EXPECT_EQ(nameFiltersFromFilter(QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*")),
              (QStringList{QStringLiteral("HTML Page (*.htm)"), QStringLiteral("All Files (*.*)")}));
    EXPECT_EQ(nameFiltersFromFilter(QStringLiteral("Web|*.htm;*.html")), QStringList{QStringLiteral("Web (*.htm *.html)")});
}

TEST(OpenSaveExtension, OffsetOfTheExtensionInThePath)
{
    EXPECT_EQ(fileExtensionOffset(QStringLiteral("/a/b.htm")), 5);
    EXPECT_EQ(fileExtensionOffset(QStringLiteral("/a.d/b")), 0);
}

TEST_F(OpenSaveTest, NewInstanceAsksWithTheDefaults)
{
    OpenSave save;
    save.ShowSave();
    ASSERT_EQ(dialog.asked.size(), 1);
    EXPECT_EQ(dialog.asked[0].initDir, QDir::homePath());
    EXPECT_EQ(dialog.asked[0].nameFilters, QStringList{QStringLiteral("All Files (*.*)")});
    EXPECT_EQ(dialog.asked[0].fileName, QString());
    EXPECT_EQ(dialog.asked[0].filterIndex, 1);
    EXPECT_EQ(save.MaxFileSize(), 260);
}

TEST_F(OpenSaveTest, CancelLeavesTheProposalAndSetsTheFlag)
{
    OpenSave save;
    save.setFileName(QStringLiteral("links 1.htm"));
    save.setInitDir(QStringLiteral("/somewhere"));
    save.ShowSave();
    EXPECT_TRUE(shared().SaveDialogCancelled);
    EXPECT_EQ(save.FileName(), QStringLiteral("links 1.htm"));
    EXPECT_EQ(save.FileTitle(), QString());
    EXPECT_EQ(save.FileExt(), 0);
}

TEST_F(OpenSaveTest, ChoosingAFileGivesItsPathTitleAndExtension)
{
    shared().SaveDialogCancelled = true;
    dialog.answer = {true, QStringLiteral(" /tmp/x/links.htm "), 2};
    OpenSave save;
    save.setDefaultExt(QStringLiteral("*.htm"));
    save.setFilter(QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*"));
    save.ShowSave();
    EXPECT_FALSE(shared().SaveDialogCancelled);
    EXPECT_EQ(dialog.asked[0].defaultSuffix, QStringLiteral("htm"));
    EXPECT_EQ(save.FileName(), QStringLiteral("/tmp/x/links.htm"));
    EXPECT_EQ(save.FileTitle(), QStringLiteral("links.htm"));
    EXPECT_EQ(save.FileExt(), 13);
    EXPECT_EQ(save.FilterIndex(), 2);
    EXPECT_EQ(save.Flags(), OpenSave::HideReadOnly);
    EXPECT_EQ(save.Filter(), QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*"));
}

TEST_F(OpenSaveTest, AProposalLongerThanTheBufferFailsBeforeTheDialog)
{
    OpenSave save;
    save.setMaxFileSize(5);
    save.setFileName(QStringLiteral("123456"));
    EXPECT_NO_THROW(save.ShowSave());
    save.setFileName(QStringLiteral("1234567"));
    try {
        save.ShowSave();
        FAIL() << "no error";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), 5);
    }
    EXPECT_EQ(dialog.asked.size(), 1);
}
