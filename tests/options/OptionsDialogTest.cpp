#include "OptionsDialogFixture.h"

#include "options/frmOptions.h"

#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryKeys.h"
#include "platform/store/SettingsStore.h"
#include "core/RegistryServices.h"

#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"
#include "WriteFailure.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

namespace {

const QString kMain = RegKeys::ExplorerMain;

QString browserValue(const char *name)
{
    return RegGetString(HKEY_CURRENT_USER, kMain, QString::fromLatin1(name), QStringLiteral("(none)"));
}

TEST_F(OptionsDialog, TheFirstOpeningShowsFileTypesWithTheTreeExpanded)
{
    frmOptions *options = open();
    EXPECT_EQ(options->windowTitle(), QStringLiteral("Možnosti"));
    EXPECT_EQ(options->size(), QSize(558, 475));
    EXPECT_EQ(options->shownPage(), 1);
    EXPECT_TRUE(options->trwOptions->node(QStringLiteral("k2")).expanded());
    EXPECT_TRUE(options->trwOptions->node(QStringLiteral("k5")).expanded());
    EXPECT_FALSE(options->cmdNav[5]->isEnabled());
    for (int box : {1, 2, 3, 16, 17})
        EXPECT_TRUE(options->chkFiletypes[size_t(box)]->isChecked()) << box;
    EXPECT_FALSE(options->chkFiletypes[5]->isChecked());
    EXPECT_TRUE(options->chkFiles->isChecked());
    EXPECT_FALSE(options->chkDirs->isChecked());
    const struct
    {
        ListView *list;
        int rows;
        const char *valueColumn;
    } lists[] = {{options->lstQCopyPaths, 10, "Cesta"}, {options->lstQMove, 10, "Cesta"},
                 {options->lstSaveto, 5, "Cesta"},      {options->lstHome, 30, "URL adresa"},
                 {options->lstSearch, 30, "URL adresa"}, {options->lstOpenWith, 15, "Program"}};
    for (const auto &line : lists) {
        SCOPED_TRACE(line.list->objectName().toStdString());
        EXPECT_EQ(line.list->count(), line.rows);
        EXPECT_EQ(line.list->columnText(1), QStringLiteral("Název"));
        EXPECT_EQ(line.list->columnText(2), QString::fromUtf8(line.valueColumn));
    }
}

// At the dialog's fixed size every caption on every page is read whole: no box or label
// is narrower than its text needs, nor reaches past its page.
TEST_F(OptionsDialog, EveryCaptionIsReadWholeAtTheFixedSize)
{
    frmOptions *options = open();
    for (int page : {1, 2, 3, 4, 5, 6, 8, 9, 11}) {
        SCOPED_TRACE(page);
        clickNode(frmOptions::pageKey(page));
        QWidget *shown = options->Frame->currentWidget();
        ASSERT_EQ(options->shownPage(), page);
        QCoreApplication::processEvents();
        QList<QWidget *> captioned;
        for (QAbstractButton *button : shown->findChildren<QAbstractButton *>())
            captioned.append(button);
        for (QLabel *label : shown->findChildren<QLabel *>())
            captioned.append(label);
        for (QWidget *widget : captioned) {
            if (!widget->isVisible())
                continue;
            const QString text = widget->property("text").toString();
            SCOPED_TRACE(text.toStdString());
            if (qobject_cast<QPushButton *>(widget))
                EXPECT_GE(widget->width(), widget->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&'))));
            else if (!widget->property("wordWrap").toBool())
                EXPECT_GE(widget->width(), widget->sizeHint().width());
            const QRect inPage(widget->mapTo(shown, QPoint(0, 0)), widget->size());
            EXPECT_TRUE(shown->rect().contains(inPage));
        }
    }
}

// The dialog is fixed: the window manager may offer to minimise it, but it stays in view
// over the window it blocks.
TEST_F(OptionsDialog, AMinimisedDialogComesBackAtOnce)
{
    frmOptions *options = open();
    EXPECT_EQ(options->minimumSize(), options->maximumSize());
    EXPECT_FALSE(options->windowFlags() & Qt::WindowMinMaxButtonsHint);
    options->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !options->isMinimized(); }, 2000));
    EXPECT_TRUE(options->isVisible());
}

TEST_F(OptionsDialog, AClickOnANodeShowsItsOwnPage)
{
    open();
    for (int page : {5, 9, 2, 11, 1}) {
        clickNode(frmOptions::pageKey(page));
        EXPECT_EQ(dialog()->shownPage(), page);
    }
}

TEST_F(OptionsDialog, LoadThenApplyOnAnEmptyStoreWritesOnlyWhatTheDialogOwns)
{
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Display Inline Videos"), QStringLiteral("YES"));
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Local Page"), QString());
    open();
    click(dialog()->cmdNav[7]);

    // The registry starts with its seeds: "yes" switches and "about:blank" pages.
    EXPECT_EQ(browserValue("Local Page"), QStringLiteral("about:blank"));
    EXPECT_EQ(browserValue("Display Inline Videos"), QStringLiteral("no"));
    for (const char *name : {"Disable Script Debugger", "Display Inline Images", "Play_Animations"})
        EXPECT_EQ(browserValue(name), QStringLiteral("yes")) << name;
    EXPECT_EQ(RegGetString(HKEY_USERS, QStringLiteral(".DEFAULT\\") + kMain, QStringLiteral("Display Inline Images")),
              QStringLiteral("yes"));

    const QString pattern =
        QStringLiteral("*.html;*.htm;*.xml;*.sht*;*.sgm*;*.asp;*.asa;*.txt;*.inc;*.jpg;*.jpeg;*.jpe;*.gif");
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("Pattern")), pattern);
    EXPECT_EQ(shared().FilesPattern, pattern);
    QStringList main = keysOf(QStringLiteral("Main"));
    main.sort();
    EXPECT_EQ(main, (QStringList{"NavDirs", "NavDrives", "NavFiles", "Pattern"}));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("NavFiles")), QStringLiteral("1"));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("NavDirs")), QStringLiteral("0"));
    EXPECT_TRUE(shared().NavFiles);
    EXPECT_FALSE(shared().NavDirs);
    QStringList options = keysOf(QStringLiteral("Options"));
    options.sort();
    EXPECT_EQ(options, (QStringList{"UseUserFT", "UserFileTypes"}));
    const struct
    {
        QString section;
        int rows;
    } lists[] = {{PresetSections::QCopy, 10}, {PresetSections::QMove, 10}, {PresetSections::Save, 5},
                 {PresetSections::Home, 30},  {PresetSections::Search, 30}, {PresetSections::OpenWith, 15}};
    for (const auto &line : lists)
        EXPECT_EQ(keysOf(line.section).size(), 2 * line.rows) << line.section.toStdString();
}

// The settings reach the disk in one write: when it fails, none of them is stored,
// while single writes would have stored the first keys before the file grew too large.
TEST_F(OptionsDialog, AnApplyThatCannotBeWrittenStoresNothing)
{
    SaveSetting(QStringLiteral("Settings"), QStringLiteral("Width"), 800);
    open();
    {
        WriteFailure failure(WriteFailureKind::CutShort, QFileInfo(SettingsStore::instance().filePath()).path());
        click(dialog()->cmdNav[7]);
    }
    SettingsStore::resetInstance();
    EXPECT_FALSE(SettingsStore::instance().contains(QStringLiteral("Main"), QStringLiteral("Pattern")));
    EXPECT_EQ(GetSetting(QStringLiteral("Settings"), QStringLiteral("Width")), QStringLiteral("800"));
}

TEST_F(OptionsDialog, EachBoxShowsWhetherItsWholeGroupIsStored)
{
    const struct
    {
        const char *stored;
        std::vector<int> boxes;
        bool all;
        bool none;
    } cases[] = {
        {"*.GIF;*.txt;*.inc", {3, 17}, false, false},
        {"*.html;*.htm", {}, false, false},
        {"*.pngx", {}, false, false},
        {"*.*", {}, true, false},
        {"zqx.zqx", {}, false, true},
    };
    open();
    for (const auto &line : cases) {
        SCOPED_TRACE(line.stored);
        SaveSetting(QStringLiteral("Main"), QStringLiteral("Pattern"), QString::fromLatin1(line.stored));
        dialog()->hide();
        dialog()->show();
        for (int box = 1; box <= 22; ++box) {
            const bool expected = std::find(line.boxes.begin(), line.boxes.end(), box) != line.boxes.end();
            EXPECT_EQ(dialog()->chkFiletypes[size_t(box)]->isChecked(), expected) << box;
            EXPECT_EQ(dialog()->chkFiletypes[size_t(box)]->isEnabled(), !line.all && !line.none) << box;
        }
        EXPECT_EQ(dialog()->chkFiletypesAll->isChecked(), line.all);
        EXPECT_EQ(dialog()->chkFiletypesNo->isChecked(), line.none);
    }
    // A stored "*.*" survives an apply.
    SaveSetting(QStringLiteral("Main"), QStringLiteral("Pattern"), QStringLiteral("*.*"));
    dialog()->hide();
    dialog()->show();
    click(dialog()->cmdNav[7]);
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("Pattern")), QStringLiteral("*.*"));
}

TEST_F(OptionsDialog, AllFilesAndNoFilesExcludeEachOtherAndLockTheTypeBoxes)
{
    frmOptions *options = open();
    click(options->chkFiletypesNo);
    click(options->chkFiletypesAll);
    EXPECT_TRUE(options->chkFiletypesAll->isChecked());
    EXPECT_FALSE(options->chkFiletypesNo->isChecked());
    EXPECT_FALSE(options->chkFiletypes[4]->isEnabled());
    EXPECT_TRUE(options->chkFiletypes[1]->isChecked());
    EXPECT_TRUE(options->chkFiletypesCust->isEnabled());
    click(options->chkFiletypesAll);
    EXPECT_TRUE(options->chkFiletypes[4]->isEnabled());
    EXPECT_FALSE(options->chkFiletypesNo->isChecked());
}

TEST_F(OptionsDialog, ALongerStoredStartPageSurvivesWhileTypingStopsAtOneHundred)
{
    const QString longAddress = QStringLiteral("http://127.0.0.1/") + QString(133, QLatin1Char('a'));
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Start Page"), longAddress);
    frmOptions *options = open();
    clickNode(QStringLiteral("k5"));
    options->txtHomePage->setFocus();
    QTest::keyClick(options->txtHomePage, Qt::Key_End);
    QTest::keyClicks(options->txtHomePage, QStringLiteral("bc"));
    click(options->cmdNav[7]);
    EXPECT_EQ(browserValue("Start Page"), longAddress);

    typeInto(options->txtSearchPage, QString(120, QLatin1Char('s')));
    EXPECT_EQ(options->txtSearchPage->text().size(), 100);
}

TEST_F(OptionsDialog, CancelDiscardsEditsAndApplyKeepsThem)
{
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Search Page"), QStringLiteral("http://old/"));
    frmOptions *options = open();
    clickNode(QStringLiteral("k5"));
    typeInto(options->txtSearchPage, QStringLiteral("http://typed/"));
    click(options->chkFiletypes[8]);
    click(options->cmdNav[6]);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(browserValue("Search Page"), QStringLiteral("http://old/"));
    open();
    EXPECT_EQ(options->shownPage(), 5);
    EXPECT_EQ(options->txtSearchPage->text(), QStringLiteral("http://old/"));
    EXPECT_FALSE(options->chkFiletypes[8]->isChecked());

    typeInto(options->txtSearchPage, QStringLiteral("http://applied/"));
    click(options->cmdNav[7]);
    EXPECT_TRUE(options->isVisible());
    click(options->cmdNav[6]);
    open();
    EXPECT_EQ(options->txtSearchPage->text(), QStringLiteral("http://applied/"));
}

TEST_F(OptionsDialog, EnterInATextBoxActsAsOk)
{
    frmOptions *options = open();
    clickNode(QStringLiteral("k5"));
    typeInto(options->txtHomePage, QStringLiteral("http://127.0.0.1:1/"));
    QTest::keyClick(options->txtHomePage, Qt::Key_Return);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(browserValue("Start Page"), QStringLiteral("http://127.0.0.1:1/"));
}

TEST_F(OptionsDialog, EnterOnAFocusedButtonPressesThatButton)
{
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Start Page"), QStringLiteral("http://old/"));
    frmOptions *options = open();
    clickNode(QStringLiteral("k5"));
    typeInto(options->txtHomePage, QStringLiteral("http://typed/"));
    options->cmdNav[6]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(options->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(browserValue("Start Page"), QStringLiteral("http://old/")) << "Enter on Storno applied the edits";
}

TEST_F(OptionsDialog, OpeningOnAPageKeepsThatPageForTheNextPlainOpening)
{
    frmOptions *options = Forms::get<frmOptions>();
    options->openOnPage(8);
    open();
    EXPECT_EQ(options->shownPage(), 8);
    EXPECT_TRUE(options->trwOptions->node(QStringLiteral("k8")).selected());
    click(options->cmdNav[8]);
    open();
    EXPECT_EQ(options->shownPage(), 8);
}

TEST_F(OptionsDialog, RestoreNoKeepsThePageAndTheEdits)
{
    ScriptedMessageBoxes boxes;
    boxes.answers = {MsgBoxResult::No};
    frmOptions *options = open();
    clickNode(QStringLiteral("k2"));
    click(options->chkDirs);
    click(options->cmdRestore);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt,
              QStringLiteral("Tato funkce obnoví všechna původní nastavení programu. Chcete pokračovat?"));
    EXPECT_EQ(boxes.shown[0].style, 4404);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->shownPage(), 2);
    EXPECT_TRUE(options->chkDirs->isChecked());
}

TEST_F(OptionsDialog, RestoreYesRemovesEverySectionAndUnloadsTheDialog)
{
    for (const QString &section : {QStringLiteral("Main"), QStringLiteral("Options"), PresetSections::Home,
                                   QStringLiteral("Settings"), QStringLiteral("Somebody Else")})
        SaveSetting(section, QStringLiteral("Key"), QStringLiteral("value"));
    RegSetString(HKEY_CURRENT_USER, kMain, QStringLiteral("Start Page"), QStringLiteral("http://kept/"));
    ScriptedMessageBoxes boxes;
    boxes.answers = {MsgBoxResult::Yes};
    frmOptions *options = open();
    clickNode(QStringLiteral("k2"));
    click(options->cmdRestore);
    EXPECT_FALSE(Forms::isLoaded<frmOptions>());
    EXPECT_FALSE(options->isVisible());
    const QByteArray file = TestEnvironment::readFile(SettingsStore::instance().filePath());
    EXPECT_FALSE(file.contains('[')) << file.constData();
    EXPECT_EQ(browserValue("Start Page"), QStringLiteral("http://kept/"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open()->shownPage(), 1);
}

} // namespace

namespace {

TEST_F(OptionsDialog, TheCloseBoxUnloadsTheDialogWithoutApplying)
{
    frmOptions *options = open();
    clickNode(QStringLiteral("k2"));
    click(options->chkDirs);
    options->windowHandle()->close();
    EXPECT_FALSE(Forms::isLoaded<frmOptions>());
    EXPECT_FALSE(SettingsStore::instance().contains(QStringLiteral("Main"), QStringLiteral("NavDirs")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open()->shownPage(), 1);
}

} // namespace
