#include "app/OpenSave.h"

#include "TestEnvironment.h"
#include "core/SharedState.h"
#include "platform/system/ErrorState.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

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
    const struct { QString written; QString stored; QString read; } cases[] = {
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

// Qt's own dialog, shown as the class shows it, on a folder of real files.
class SaveFileDialog : public TempEnvTest
{
protected:
    void SetUp() override
    {
        for (const char *name : {"README", "Makefile", "page.htm"})
            env.writeFile(QStringLiteral("files/") + QString::fromLatin1(name), "x");
        save.setInitDir(env.path(QStringLiteral("files")));
        save.setFilter(QStringLiteral("HTML Page (*.htm)|*.htm|All Files (*.*)|*.*"));
    }

    // The files the dialog offers (a file that does not match is hidden or greyed).
    static QStringList offered(QFileDialog &dialog, int expected)
    {
        auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
        QStringList names;
        const auto collect = [&] {
            names.clear();
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QModelIndex item = view->model()->index(row, 0, root);
                if (item.flags() & Qt::ItemIsEnabled)
                    names << item.data().toString();
            }
            return names.size() == expected;
        };
        if (!QTest::qWaitFor(collect, 3000))
            collect();
        names.sort();
        return names;
    }

    OpenSave save;
};

TEST_F(SaveFileDialog, AllFilesListsFilesWithoutADotToo)
{
    save.setFilterIndex(2);
    QFileDialog dialog;
    prepareSaveDialog(dialog, save.request());
    dialog.show();
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), QStringLiteral("HTML Page (*.htm)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(types->currentIndex(), 1);
    EXPECT_EQ(offered(dialog, 3), (QStringList{QStringLiteral("Makefile"), QStringLiteral("README"), QStringLiteral("page.htm")}));
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(types->currentIndex(), 0);
    EXPECT_EQ(offered(dialog, 1), QStringList{QStringLiteral("page.htm")});
}

TEST_F(SaveFileDialog, TheFilterChosenLastComesBack)
{
    // The user picks "All Files" and types a name without an extension.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClick(dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
        QLineEdit *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("NOTES"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    save.ShowSave();
    EXPECT_FALSE(shared().SaveDialogCancelled);
    EXPECT_EQ(save.FilterIndex(), 2);
    EXPECT_EQ(save.FileTitle(), QStringLiteral("NOTES"));
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
