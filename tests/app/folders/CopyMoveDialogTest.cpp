#include "app/frmMain.h"
#include "core/FileSettings.h"
#include "core/OptionsSettings.h"
#include "core/SharedState.h"
#include "files/ChooseFolderTree.h"
#include "files/frmSelectDir.h"
#include "options/PresetListPage.h"
#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"

#include "FaultyFileSystem.h"
#include "ListClicks.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// The folders-and-files pane over a desktop with alfa.txt and documents with an empty
// "Cíl", and the choose-folder dialog driven by real clicks and keys while it shows.
class CopyMoveDialog : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        desktop = env.path("home/Plocha");
        docs = env.path("home/Dokumenty");
        env.writeFile("home/Plocha/alfa.txt", "alfa");
        QDir().mkpath(docs + "/Cíl");
        shared().DesktopDir = desktop;
        shared().PersonalDir = docs;
        FileSettings::Pattern.save("*.txt");
        frmSelectDir::setVolumeSource([] {
            return VolumeTable::fromMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                              "3 1 0:5 / /mnt/ram rw - tmpfs tmpfs rw\n"
                                              "5 1 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n");
        });
        main->mnuViewPane_Click(2);
        QApplication::setActiveWindow(main);
        main->trwPath->node(desktop).setExpanded(true);
    }
    void TearDown() override
    {
        frmSelectDir::setVolumeSource({});
        Forms::unload<frmSelectDir>();
        MainWindowTest::TearDown();
        Forms::unload<frmOptions>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QRect rectOf(TreeView *tree, const QString &text)
    {
        QTreeWidget *widget = tree->treeWidget();
        return widget->visualItemRect(widget->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0));
    }
    static void click(TreeView *tree, const QString &text)
    {
        QTest::mouseClick(tree->treeWidget()->viewport(), Qt::LeftButton, {}, rectOf(tree, text).center());
    }
    // Runs the steps once the dialog shows; whatever they leave open is cancelled.
    static void whenShown(std::function<void(frmSelectDir *)> steps)
    {
        QTimer::singleShot(0, [steps] {
            frmSelectDir *dialog = Forms::isLoaded<frmSelectDir>() ? Forms::get<frmSelectDir>() : nullptr;
            if (!dialog || !dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is not showing";
                return;
            }
            steps(dialog);
            if (Forms::isLoaded<frmSelectDir>())
                Forms::get<frmSelectDir>()->cmdNav_Click(6);
        });
    }
    void pressOnFile(const QString &name, int key)
    {
        QApplication::setActiveWindow(main);
        click(main->trwPath, name);
        QTest::keyClick(main->trwPath->treeWidget(), Qt::Key(key), Qt::ControlModifier);
    }
    static bool shows(frmSelectDir *dialog) { return Forms::isLoaded<frmSelectDir>() && dialog->isVisible(); }
    // Shows the dialog in mode 6 for the key, with the steps run while it shows.
    static void chooseFolder(const QString &key, std::function<void(frmSelectDir *)> steps)
    {
        shared().SelectDirMode = 6;
        shared().SelectDirKey = key;
        whenShown(std::move(steps));
        Forms::get<frmSelectDir>()->showModal(nullptr);
    }

    QString desktop, docs;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(CopyMoveDialog, CtrlKThenOkAtOnceCopiesIntoTheDocumentsFolder)
{
    QString title, prompt;
    whenShown([&](frmSelectDir *dialog) {
        title = dialog->windowTitle();
        prompt = dialog->lblPathS->text();
        EXPECT_TRUE(dialog->fraCopyMove->isVisible());
        EXPECT_FALSE(dialog->fraSelectDir->isVisible());
        EXPECT_EQ(dialog->lblPath->text(), docs);
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
        EXPECT_FALSE(shows(dialog));
    });
    pressOnFile("alfa.txt", Qt::Key_K);
    EXPECT_EQ(title, "Kopírovat soubor ");
    EXPECT_EQ(prompt, "Kopírovat soubor alfa.txt to:");
    EXPECT_EQ(TestEnvironment::readFile(docs + "/alfa.txt"), "alfa");
    EXPECT_TRUE(QFile::exists(desktop + "/alfa.txt"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(CopyMoveDialog, ATakenNameAsksForAnotherWhichIsSanitisedAndTakenWithEnter)
{
    env.writeFile("home/Dokumenty/Cíl/alfa.txt", "jiná");
    env.writeFile("home/Dokumenty/dopis.txt", "dopis");
    whenShown([&](frmSelectDir *dialog) {
        click(dialog->trwPath, "Dokumenty");
        QTest::keyClick(dialog->trwPath->treeWidget(), Qt::Key_Right);
        EXPECT_TRUE(dialog->trwPath->contains(docs + "/Cíl"));
        EXPECT_FALSE(dialog->trwPath->contains(docs + "/dopis.txt"));
        click(dialog->trwPath, "Cíl");
        EXPECT_EQ(dialog->lblPath->text(), docs + "/Cíl/");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
        ASSERT_TRUE(shows(dialog));
        EXPECT_TRUE(dialog->chkNewName->isChecked());
        EXPECT_TRUE(dialog->txtName->isEnabled());
        EXPECT_EQ(dialog->focusWidget(), dialog->txtName);
        EXPECT_EQ(dialog->txtName->selectedText(), "alfa.txt");
        QTest::keyClicks(dialog->txtName, "a/b");
        QTest::keyClick(dialog->txtName, Qt::Key_Return);
        EXPECT_FALSE(shows(dialog));
    });
    pressOnFile("alfa.txt", Qt::Key_K);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, "Soubor " + docs + "/Cíl//alfa.txt již existuje.");
    EXPECT_EQ(boxes.shown[0].title, "Uživatelská chyba");
    EXPECT_EQ(TestEnvironment::readFile(docs + "/Cíl/alfa.txt"), "jiná");
    EXPECT_EQ(TestEnvironment::readFile(docs + "/Cíl/a#b"), "alfa");
}

TEST_F(CopyMoveDialog, WithoutSpaceACopyStaysOpenAndAMoveClosesAndLeavesTheNode)
{
    FaultyFileSystem files;
    files.copyError = ENOSPC;
    files.renameError = EXDEV;
    bool copyStayed = false, moveStayed = true;
    whenShown([&](frmSelectDir *dialog) {
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
        copyStayed = shows(dialog);
    });
    pressOnFile("alfa.txt", Qt::Key_K);
    whenShown([&](frmSelectDir *dialog) {
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
        moveStayed = shows(dialog);
    });
    pressOnFile("alfa.txt", Qt::Key_M);
    EXPECT_TRUE(copyStayed);
    EXPECT_FALSE(moveStayed);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].prompt, "Na vybraném disku není dostatek místa.");
    EXPECT_TRUE(QDir(docs).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(main->trwPath->contains(desktop + "/alfa.txt"));

    files.copyError = 0;
    whenShown([&](frmSelectDir *dialog) { QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton); });
    pressOnFile("alfa.txt", Qt::Key_M);
    EXPECT_EQ(TestEnvironment::readFile(docs + "/alfa.txt"), "alfa");
    EXPECT_FALSE(main->trwPath->contains(desktop + "/alfa.txt"));
}

TEST_F(CopyMoveDialog, ChoosingAFolderStoresItAndItsLastPartUnlessACaptionExists)
{
    chooseFolder("Options\\QCopy\\3", [&](frmSelectDir *dialog) {
        EXPECT_TRUE(dialog->fraSelectDir->isVisible());
        click(dialog->trwPathSel, "Dokumenty");
        QTest::keyClick(dialog->trwPathSel->treeWidget(), Qt::Key_Right);
        click(dialog->trwPathSel, "Cíl");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
    });
    EXPECT_EQ(GetSetting("Options\\QCopy", "3"), docs + "/Cíl/");
    EXPECT_EQ(GetSetting("Options\\QCopy", "Caption3"), "Cíl");

    chooseFolder("Options\\QCopy\\3", [&](frmSelectDir *dialog) {
        click(dialog->trwPathSel, "sda1 (/)");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
    });
    EXPECT_EQ(GetSetting("Options\\QCopy", "3"), "/");
    EXPECT_EQ(GetSetting("Options\\QCopy", "Caption3"), "Cíl");

    chooseFolder("Options\\Save\\1", [&](frmSelectDir *dialog) {
        click(dialog->trwPathSel, "sda1 (/)");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
    });
    EXPECT_EQ(GetSetting("Options\\Save", "Caption1"), "/");

    chooseFolder("Main\\FindPath", [&](frmSelectDir *dialog) { QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton); });
    EXPECT_EQ(GetSetting("Main", "FindPath"), docs);
    EXPECT_FALSE(SettingsStore::instance().contains("Main", "CaptionFindPath"));
}

TEST_F(CopyMoveDialog, OpeningStoresTheOptionsAsStoredNotEditsThatWereCancelled)
{
    OptionsSettings::NavFiles.save("1");
    frmOptions *options = Forms::get<frmOptions>();
    options->chkFiles->setChecked(false);
    chooseFolder("Main\\FindPath", [](frmSelectDir *) {});
    EXPECT_EQ(GetSetting("Main", "NavFiles"), "1");
}

TEST_F(CopyMoveDialog, TreesShowTheirOwnVolumesAndTheStoreWhileItsCounterIsAboveZero)
{
    const QString store = shared().AppFolder + "deleted";
    for (const char *counter : {"", "0"}) {
        SCOPED_TRACE(counter);
        if (*counter)
            FileSettings::CountDelFiles.save(counter);
        chooseFolder("Main\\FindPath", [&](frmSelectDir *dialog) {
            EXPECT_TRUE(dialog->trwPath->contains("/"));
            EXPECT_FALSE(dialog->trwPath->contains("/media/cd"));
            EXPECT_FALSE(dialog->trwPath->contains("/mnt/ram"));
            EXPECT_TRUE(dialog->trwPathSel->contains("/media/cd"));
            EXPECT_FALSE(dialog->trwPath->contains(store));
            EXPECT_EQ(dialog->trwPathSel->contains(store), !*counter);
        });
    }
}

TEST_F(CopyMoveDialog, EnterReloadsTheDialogTreesOwnLastFolderNotTheMainTrees)
{
    click(main->trwPath, "alfa.txt");
    chooseFolder("Main\\FindPath", [&](frmSelectDir *dialog) {
        dialog->trwPathSel->treeWidget()->setFocus();
        // Enter reloads the last clicked folder without expanding it.
        QTest::keyClick(dialog->trwPathSel->treeWidget(), Qt::Key_Return);
        EXPECT_TRUE(dialog->trwPathSel->contains(docs + "/Cíl"));
    });
    EXPECT_EQ(shared().LastNodeKey, desktop + "/alfa.txt");
}

TEST_F(CopyMoveDialog, EnterPressesTheFocusedButtonAndNoneWhileTheTreeHasIt)
{
    click(main->trwPath, "alfa.txt");
    bool open = false;
    chooseFolder("Main\\FindPath", [&](frmSelectDir *dialog) {
        click(dialog->trwPathSel, "Dokumenty");
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(shows(dialog)) << "a button took the tree's Enter";
        dialog->cmdNav[6]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        open = shows(dialog);
    });
    EXPECT_FALSE(open) << "Enter on Storno left the dialog open";
    EXPECT_FALSE(SettingsStore::instance().contains("Main", "FindPath"));
}

TEST_F(CopyMoveDialog, F2RenamesAFolderOfTheDialogTreeOnDisk)
{
    whenShown([&](frmSelectDir *dialog) {
        click(dialog->trwPath, "Dokumenty");
        QTest::keyClick(dialog->trwPath->treeWidget(), Qt::Key_Right);
        click(dialog->trwPath, "Cíl");
        QTest::keyClick(dialog->trwPath->treeWidget(), Qt::Key_F2);
        auto *editor = dialog->trwPath->treeWidget()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr) << "no label edit started";
        editor->setText("Nový");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        ASSERT_TRUE(dialog->trwPath->contains(docs + "/Nový"));
        // The Enter that ended the edit reloaded nothing: the folder keeps its expander.
        EXPECT_EQ(dialog->trwPath->node(docs + "/Nový").children(), 1);
        // Right reads the renamed folder under its new name.
        QDir().mkpath(docs + "/Nový/pod");
        QTest::keyClick(dialog->trwPath->treeWidget(), Qt::Key_Right);
        EXPECT_TRUE(dialog->trwPath->contains(docs + "/Nový/pod"));
    });
    pressOnFile("alfa.txt", Qt::Key_K);
    EXPECT_TRUE(QFileInfo(docs + "/Nový").isDir());
    EXPECT_FALSE(QFileInfo::exists(docs + "/Cíl"));
}

namespace {

// The options dialog's folder pickers over the real choose-folder dialog.
class PresetPicker : public CopyMoveDialog
{
protected:
    frmOptions *openOptionsOn(int page)
    {
        frmOptions *options = Forms::get<frmOptions>();
        options->openOnPage(page);
        options->show();
        QApplication::setActiveWindow(options);
        return options;
    }
};

} // namespace

TEST_F(PresetPicker, CancellingThePickerAndTheOptionsKeepsTheEditsThePickerStored)
{
    frmOptions *options = openOptionsOn(8);
    clickListRow(options->lstHome, 1);
    QTest::keyClicks(options->HomePage->captionBox(), "Moje");
    options->openOnPage(4);
    clickListRow(options->lstQMove, 2);
    bool shown = false;
    whenShown([&](frmSelectDir *dialog) {
        shown = dialog->fraSelectDir->isVisible();
        QTest::mouseClick(dialog->cmdNav[6], Qt::LeftButton);
    });
    QTest::mouseClick(options->QMovePage->picker(), Qt::LeftButton);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(options->lstQMove->item(2).selected());
    QTest::mouseClick(options->cmdNav[6], Qt::LeftButton);
    EXPECT_EQ(GetSetting("Options\\Home", "Caption1"), "Moje");
    EXPECT_TRUE(GetSetting("Options\\QMove", "2").isEmpty());
}

TEST_F(PresetPicker, AFolderChosenForAnEmptyRowIsStoredWithItsLastPartAndShownInThatRow)
{
    frmOptions *options = openOptionsOn(4);
    clickListRow(options->lstQMove, 1);
    whenShown([&](frmSelectDir *dialog) {
        click(dialog->trwPathSel, "Dokumenty");
        QTest::keyClick(dialog->trwPathSel->treeWidget(), Qt::Key_Right);
        click(dialog->trwPathSel, "Cíl");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
    });
    QTest::mouseClick(options->QMovePage->picker(), Qt::LeftButton);
    EXPECT_EQ(GetSetting("Options\\QMove", "1"), docs + "/Cíl/");
    EXPECT_EQ(GetSetting("Options\\QMove", "Caption1"), "Cíl");
    EXPECT_TRUE(options->lstQMove->item(1).selected());
    EXPECT_EQ(options->QMovePage->captionBox()->text(), "Cíl");
    EXPECT_EQ(options->QMovePage->valueBox()->text(), docs + "/Cíl/");
    // The picker stored the folder at once: cancelling the options keeps it.
    QTest::mouseClick(options->cmdNav[6], Qt::LeftButton);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(GetSetting("Options\\QMove", "1"), docs + "/Cíl/");
}
