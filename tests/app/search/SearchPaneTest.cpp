#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "core/SharedState.h"
#include "files/FileSearch.h"
#include "files/frmSelectDir.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ListView.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/Toolbar.h"
#include "platform/system/Units.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The search pane of a main window without browser windows, over a documents folder
// of its own, walking only the volume that holds the temporary folder.
class SearchPane : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        docs = env.path("home/Documents");
        env.writeFile("home/Documents/a/x.html",
                      "<html><title>Příliš žluťoučký kůň</title>" + QByteArray(2048 - 60, ' '));
        env.writeFile("home/Documents/y.html", "<title>Okno</title> p\xF8\xEDli\x9A" + QByteArray(9 * 1024 - 40, ' '));
        env.writeFile("home/Documents/z.html", "<title>Zet</title>" + QByteArray(10 * 1024 - 20, ' '));
        shared().PersonalDir = docs;
        Volume volume;
        volume.mountPath = QStorageInfo(env.root()).rootPath();
        volume.kind = QStringLiteral("drive");
        volumes = {volume};
        main->searchVolumes = [this] { return VolumeTable::fromVolumes(volumes); };
        QApplication::setActiveWindow(main);
        main->mnuViewPane_Click(3);
    }
    void TearDown() override
    {
        release = true;
        MainWindowTest::TearDown();
    }

    void search(const QString &text)
    {
        QLineEdit *field = main->comText->lineEdit();
        field->setFocus();
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    bool waitIdle() { return QTest::qWaitFor([this] { return !main->SearchRunning; }, 20000); }
    // Holds the walk at its first file until released.
    void holdWalk()
    {
        release = false;
        held = false;
        main->fileSearch->setStepHook([this](FileSearch::Step step, const QString &) {
            if (step != FileSearch::Step::File)
                return;
            held = true;
            while (!release)
                std::this_thread::yield();
        });
    }
    QStringList names() const
    {
        QStringList list;
        for (int i = 1; i <= main->lstResults->count(); ++i)
            list << main->lstResults->item(i).text();
        return list;
    }
    bool buttonShown(const char *key) const { return main->tbSearch->button(QString::fromLatin1(key)).isVisible(); }
    QString status() const { return main->sbFindFileBar->panel(QStringLiteral("text")).text(); }
    int topTwips(QWidget *widget) const { return Units::pixelsToTwips(widget->y()); }

    QString docs;
    QList<Volume> volumes;
    std::atomic<bool> release{true};
    std::atomic<bool> held{false};
};

// Types text as the keyboard does, a key for each character; a character beyond ASCII
// comes as a key with its text, as a keyboard layout delivers it.
void typeText(QWidget *field, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(field, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

TEST_F(SearchPane, EnterInTheTextFindsUtf8AndWindows1250PagesWithTheirTitles)
{
    search(QStringLiteral("PŘÍLIŠ"));
    ASSERT_TRUE(waitIdle());
    QStringList found = names();
    found.sort();
    EXPECT_EQ(found, QStringList({"x.html", "y.html"}));
    const ListItem x = main->lstResults->item(docs + "/a/x.html");
    EXPECT_EQ(x.subItem(1), QStringLiteral("Příliš žluťoučký kůň"));
    EXPECT_EQ(x.subItem(2), docs + "/a");
    EXPECT_EQ(x.subItem(4), QStringLiteral("2 kB"));
    EXPECT_EQ(x.smallIcon(), QStringLiteral("html"));
    EXPECT_EQ(status(), QStringLiteral("Hotovo. Nalezeno 2 z 3 souborů."));
    EXPECT_EQ(main->lblLookIn->text(), QStringLiteral("&Prohledat:  [Hotovo. Nalezeno 2 z 3 souborů.]"));
}

TEST_F(SearchPane, TheFieldsSearchWhatWasTypedNotAnItemThatBeginsWithIt)
{
    env.writeFile("home/Documents/b.txt", "b");
    env.writeFile("home/Documents/c.htm", "c");
    env.writeFile("home/Documents/.skryty.txt", "s");
    // Types into a field as the keyboard does, then Enter.
    const auto type = [this](QComboBox *combo, const QString &text) {
        QLineEdit *field = combo->lineEdit();
        field->setFocus();
        QTest::keySequence(field, QKeySequence::SelectAll);
        QTest::keyClick(field, Qt::Key_Delete);
        typeText(field, text);
        EXPECT_EQ(field->text(), text);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(waitIdle());
        QStringList found = names();
        found.sort();
        main->mnuToolsClearResults_Click();
        return found;
    };
    // The list holds "*.*htm;*.html" and "*.htm*;*.txt;*.asp;*.mht*", which begin
    // with these patterns.
    EXPECT_EQ(type(main->comWhat, QStringLiteral("*.*")), QStringList({"b.txt", "c.htm", "x.html", "y.html", "z.html"}));
    EXPECT_EQ(type(main->comWhat, QStringLiteral("*.htm")), QStringList({"c.htm"}));
    // A text remembered in the field is not put in place of a shorter one typed.
    main->comWhat->lineEdit()->setText(QStringLiteral("*.*"));
    main->comText->addItem(QStringLiteral("Zet a Okno"));
    EXPECT_EQ(type(main->comText, QStringLiteral("Zet")), QStringList({"z.html"}));
}

TEST_F(SearchPane, ZastavitHledaniFromTheToolsMenuStopsARun)
{
    holdWalk();
    search(QString());
    ASSERT_TRUE(QTest::qWaitFor([this] { return held.load(); }, 20000));
    // Through the menu bar, as the mouse does: Nástroje, Hledat soubory, Zastavit hledání.
    QMenuBar *bar = main->menuBar();
    QMenu *tools = main->findChild<QMenu *>(QStringLiteral("mnuTools"));
    QMenu *files = main->findChild<QMenu *>(QStringLiteral("mnuToolsSearchFiles"));
    QAction *stop = main->menuItem("mnuToolsSearchFilesStop");
    ASSERT_TRUE(tools && files && stop);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(tools->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tools));
    const QPoint filesItem = tools->actionGeometry(files->menuAction()).center();
    QTest::mouseMove(tools, filesItem);
    QTest::mouseClick(tools, Qt::LeftButton, {}, filesItem);
    ASSERT_TRUE(QTest::qWaitFor([files] { return files->isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(files));
    EXPECT_TRUE(stop->isVisible());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_FALSE(main->menuItem("mnuToolsSearchFilesStart")->isVisible());
    QTest::mouseMove(files, files->actionGeometry(stop).center());
    QTest::mouseClick(files, Qt::LeftButton, {}, files->actionGeometry(stop).center());
    EXPECT_FALSE(main->SearchRunning);
    EXPECT_TRUE(buttonShown("find"));
    // The run is still unwinding: no figures until they are known.
    EXPECT_FALSE(status().contains(QStringLiteral("Nalezeno")));
    release = true;
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(QTest::qWaitFor([this, stop] { return !stop->isVisible() && status() == QStringLiteral("Hotovo. Nalezeno 3 souborů."); }, 20000));
}

TEST_F(SearchPane, EscStopsARunStartedFromTheKeyboardWhichThenGoesBackToTheField)
{
    holdWalk();
    QLineEdit *field = main->comText->lineEdit();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return held.load(); }, 20000));
    QWidget *keyboard = QApplication::focusWidget();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_EQ(keyboard, main->tbSearch->button(QStringLiteral("stop")).widget()) << "the keyboard stays on Zastavit";
    QTest::keyClick(keyboard, Qt::Key_Escape);
    EXPECT_FALSE(main->SearchRunning);
    EXPECT_TRUE(buttonShown("find"));
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([this] { return status().startsWith(QStringLiteral("Hotovo")); }, 20000));
    EXPECT_TRUE(field->hasFocus() || main->comText->hasFocus());
    EXPECT_FALSE(main->txtAddress->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(SearchPane, TheEndLineCountsTheFoldersThatCouldNotBeRead)
{
    env.writeFile("home/Documents/zavrena/a.html", "a");
    env.writeFile("home/Documents/zavrena2/b.html", "b");
    env.writeFile("home/Documents/zavrena3/c.html", "c");
    for (const char *closed : {"zavrena", "zavrena2"})
        ASSERT_EQ(::chmod(QFile::encodeName(docs + "/" + closed).constData(), 0), 0);
    for (const char *open : {"", "/home"})
        ::chmod(QFile::encodeName(env.root() + open).constData(), 0755);
    // Root reads every folder: the run's threads, made by this one, run as nobody. The
    // raw call changes this thread alone.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::syscall(SYS_setresuid, -1, 65534, -1), 0);
    }
    search(QString());
    if (asRoot) {
        ASSERT_EQ(::syscall(SYS_setresuid, -1, 0, -1), 0);
    }
    ASSERT_TRUE(waitIdle());
    ASSERT_TRUE(QTest::qWaitFor([this] { return status().startsWith(QStringLiteral("Hotovo")); }, 20000));
    for (const char *closed : {"zavrena", "zavrena2"})
        ::chmod(QFile::encodeName(docs + "/" + closed).constData(), 0755);
    EXPECT_EQ(status(), QStringLiteral("Hotovo. Nalezeno 4 souborů. 2 složky nelze přečíst."));
}

TEST_F(SearchPane, DecomposedNamesAndTextAreTakenComposed)
{
    const QString decomposed = QStringLiteral("nfd-čeština.txt").normalized(QString::NormalizationForm_D);
    env.writeFile(QStringLiteral("home/Documents/") + decomposed, "Kůň");
    env.writeFile("home/Documents/nfc-čeština.txt", "Kůň");
    QLineEdit *pattern = main->comWhat->lineEdit();
    pattern->setFocus();
    QTest::keySequence(pattern, QKeySequence::SelectAll);
    typeText(pattern, QStringLiteral("*čeština*"));
    search(QString());
    ASSERT_TRUE(waitIdle());
    QStringList found = names();
    found.sort();
    EXPECT_EQ(found, QStringList({QStringLiteral("nfc-čeština.txt"), decomposed}));
    EXPECT_EQ(main->lstResults->item(docs + "/" + decomposed).subItem(2), docs);

    // A text typed decomposed is taken composed, and finds the composed content.
    main->mnuToolsClearResults_Click();
    QLineEdit *text = main->comText->lineEdit();
    text->setFocus();
    text->clear();
    typeText(text, QStringLiteral("kůň").normalized(QString::NormalizationForm_D));
    ASSERT_NE(text->text(), QStringLiteral("kůň"));
    QTest::keyClick(text, Qt::Key_Return);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(main->lstResults->count(), 2);
}

TEST_F(SearchPane, AStartFolderEndingInASeparatorShowsAndKeepsFoldersWithoutIt)
{
    search(QString());
    ASSERT_TRUE(waitIdle());
    main->comWhere->setItemText(QStringLiteral("custom"), docs + "/");
    main->comWhere->select(QStringLiteral("custom"));
    env.writeFile("home/Documents/w.txt", "w");
    QLineEdit *pattern = main->comWhat->lineEdit();
    pattern->setText(QStringLiteral("*.*"));
    search(QString());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(main->lstResults->count(), 4);
    for (const char *name : {"y.html", "z.html", "w.txt"})
        EXPECT_EQ(main->lstResults->item(docs + "/" + name).subItem(2), docs) << name;
    EXPECT_EQ(main->lstResults->item(docs + "/a/x.html").subItem(2), docs + "/a");
}

TEST_F(SearchPane, ARunHidesTheListBehindTheFrameAndStopIdlesThePaneAtOnce)
{
    holdWalk();
    search(QString());
    EXPECT_TRUE(main->SearchRunning);
    EXPECT_TRUE(main->lstResults->isHidden());
    EXPECT_FALSE(main->fraResults->isHidden());
    EXPECT_EQ(main->fraResults->geometry(), main->lstResults->geometry());
    EXPECT_TRUE(buttonShown("stop"));
    EXPECT_FALSE(buttonShown("find"));
    EXPECT_FALSE(main->comWhat->isEnabled());
    EXPECT_FALSE(main->menuItem("mnuToolsSearchFilesStart")->isVisible());
    EXPECT_TRUE(main->menuItem("mnuToolsSearchFilesStop")->isVisible());
    EXPECT_TRUE(Forms::get<frmPM>()->mnuFindFilesStop->isVisible());

    // Esc in a criteria field, the walk at a file: the pane is idle before the walk
    // has ended.
    ASSERT_TRUE(QTest::qWaitFor([this] { return held.load(); }, 20000));
    main->comWhat->setEnabled(true);
    main->comWhat->lineEdit()->setFocus();
    QTest::keyClick(main->comWhat->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(main->SearchRunning);
    EXPECT_TRUE(buttonShown("find"));
    EXPECT_FALSE(main->lstResults->isHidden());
    EXPECT_TRUE(main->fraResults->isHidden());
    // The run is still unwinding: no figures until they are known.
    EXPECT_FALSE(status().contains(QStringLiteral("Nalezeno")));
    release = true;
    // The files of the folder being walked, and of the folders above it, still come;
    // the walk's end writes the status line again.
    EXPECT_TRUE(QTest::qWaitFor([this] { return status() == QStringLiteral("Hotovo. Nalezeno 3 souborů."); }, 20000));
    EXPECT_EQ(main->lstResults->count(), 3);
}

TEST_F(SearchPane, AnOldRunsEndNeverResetsANewRun)
{
    // Each run holds at its first file on a flag of its own.
    std::atomic<bool> firstHeld{false}, releaseFirst{false}, releaseSecond{false};
    const auto holdOn = [](std::atomic<bool> &held, std::atomic<bool> &go) {
        return [&held, &go](FileSearch::Step step, const QString &) {
            if (step != FileSearch::Step::File)
                return;
            held = true;
            while (!go)
                std::this_thread::yield();
        };
    };
    std::atomic<bool> secondHeld{false};
    main->fileSearch->setStepHook(holdOn(firstHeld, releaseFirst));
    search(QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstHeld.load(); }, 20000));
    main->StopSearch();
    main->fileSearch->setStepHook(holdOn(secondHeld, releaseSecond));
    search(QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondHeld.load(); }, 20000));

    // The first walk ends: the pane goes on showing the second one's run.
    QObject receiver;
    int ended = 0;
    QObject::connect(main->fileSearch, &FileSearch::finished, &receiver, [&] { ++ended; });
    releaseFirst = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, 20000));
    EXPECT_TRUE(main->SearchRunning);
    EXPECT_TRUE(buttonShown("stop"));
    EXPECT_TRUE(main->lstResults->isHidden());
    releaseSecond = true;
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(main->lstResults->count(), 3);
    EXPECT_EQ(status(), QStringLiteral("Hotovo. Nalezeno 3 souborů."));
}

TEST_F(SearchPane, ARerunAddsNoDuplicatesAndAClearDuringARunKeepsAddingRows)
{
    search(QString());
    ASSERT_TRUE(waitIdle());
    // A listed file's row is written again, not added again.
    TestEnvironment::replaceFile(docs + "/z.html", QByteArray(20 * 1024, 'z'));
    search(QString());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(main->lstResults->count(), 3);
    EXPECT_EQ(main->lstResults->item(docs + "/z.html").subItem(4), QStringLiteral("20 kB"));
    EXPECT_EQ(main->lstResults->item(docs + "/z.html").subItem(1), QStringLiteral("[untitled]"));

    holdWalk();
    search(QString());
    main->menuItem("mnuToolsClearResults")->trigger();
    EXPECT_EQ(main->lstResults->count(), 0);
    EXPECT_EQ(main->lblLookIn->text(), QStringLiteral("&Prohledat: "));
    release = true;
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(main->lstResults->count(), 3);
}

TEST_F(SearchPane, HidingTheCriteriaMovesTheListOverThemAndARunKeepsThemDisabled)
{
    const int paneHeight = Units::pixelsToTwips(main->picUn[3]->height()) - 300;
    QToolButton *hide = main->tbSearch->button("hide").widget();
    QTest::mouseClick(hide, Qt::LeftButton);
    EXPECT_NEAR(topTwips(main->lstResults), 370, 15);
    EXPECT_NEAR(Units::pixelsToTwips(main->lstResults->height()), paneHeight - 355, 15);
    EXPECT_FALSE(main->comText->isEnabled());
    EXPECT_TRUE(buttonShown("show"));
    EXPECT_FALSE(buttonShown("hide"));

    holdWalk();
    main->StartSearch();
    QTest::mouseClick(main->tbSearch->button("show").widget(), Qt::LeftButton);
    EXPECT_NEAR(topTwips(main->lstResults), 2400, 15);
    EXPECT_NEAR(Units::pixelsToTwips(main->lstResults->height()), paneHeight - 2370, 15);
    EXPECT_EQ(main->fraResults->geometry(), main->lstResults->geometry());
    EXPECT_FALSE(main->comText->isEnabled());
    release = true;
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(main->comText->isEnabled());
}

TEST_F(SearchPane, SizesSortAsTextAndHeaderClicksLeaveTheMenuMarks)
{
    search(QString());
    ASSERT_TRUE(waitIdle());
    frmPM *pm = Forms::get<frmPM>();
    pm->mnuFindFilesOrderBySize->trigger();
    EXPECT_TRUE(pm->mnuFindFilesOrderBySize->isChecked());
    EXPECT_EQ(names(), QStringList({"z.html", "x.html", "y.html"})); // "10 kB" < "2 kB" < "9 kB"
    pm->mnuFindFilesOrderByAsc->trigger();
    EXPECT_FALSE(pm->mnuFindFilesOrderByAsc->isChecked());
    EXPECT_EQ(names(), QStringList({"y.html", "x.html", "z.html"}));

    // A header click reverses the order and moves the sort, marks untouched.
    QHeaderView *header = main->lstResults->treeWidget()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(main->lstResults->sortKey(), 0);
    EXPECT_EQ(main->lstResults->sortOrder(), Qt::AscendingOrder);
    EXPECT_FALSE(pm->mnuFindFilesOrderByAsc->isChecked());
    EXPECT_TRUE(pm->mnuFindFilesOrderBySize->isChecked());
    EXPECT_FALSE(pm->mnuFindFilesOrderByName->isChecked());
}

TEST_F(SearchPane, TheRightButtonOpensTheMenuWithItsDefaultByTheRows)
{
    QTreeWidget *list = main->lstResults->treeWidget();
    frmPM *pm = Forms::get<frmPM>();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitFor([pm] { return pm->mnuFindFiles->isVisible(); }, 5000));
    EXPECT_EQ(pm->mnuFindFiles->defaultAction(), pm->mnuFindFilesStart);
    EXPECT_FALSE(pm->mnuFindFilesOpen->isEnabled());
    EXPECT_FALSE(pm->mnuFindFilesClear->isEnabled());
    pm->mnuFindFiles->hide();

    search(QString());
    ASSERT_TRUE(waitIdle());
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    ASSERT_TRUE(QTest::qWaitFor([pm] { return pm->mnuFindFiles->isVisible(); }, 5000));
    EXPECT_EQ(pm->mnuFindFiles->defaultAction(), pm->mnuFindFilesOpen);
    EXPECT_TRUE(pm->mnuFindFilesOpen->isEnabled());
    EXPECT_EQ(main->ResultsMouseButton, 2);
    pm->mnuFindFiles->hide();
}

TEST_F(SearchPane, F12InTheFieldsShowsTheLinksPaneAndCtrlF12HidesThePanel)
{
    for (QWidget *field : {static_cast<QWidget *>(main->comText->lineEdit()), static_cast<QWidget *>(main->comWhere)}) {
        main->mnuViewPane_Click(3);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F12);
        EXPECT_FALSE(main->picUn[4]->isHidden());
        main->mnuViewPane_Click(3);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F12, Qt::ControlModifier);
        EXPECT_TRUE(main->picMain->isHidden());
        main->mnuViewMainPanel_Click();
    }
    // Enter in the place field starts nothing.
    main->comWhere->setFocus();
    QTest::keyClick(main->comWhere, Qt::Key_Return);
    EXPECT_FALSE(main->SearchRunning);
}

TEST_F(SearchPane, ASingleVolumeThatIsNotReadySaysSo)
{
    Volume gone;
    gone.mountPath = QStringLiteral("/media/u/STICK");
    gone.kind = QStringLiteral("drive");
    gone.device = QStringLiteral("/dev/sdb1");
    gone.ready = false;
    volumes.append(gone);
    // The places are read once, on the pane's first showing: a new window reads them.
    main->close();
    main = Forms::get<frmMain>();
    main->tmrNW->stop();
    main->searchVolumes = [this] { return VolumeTable::fromVolumes(volumes); };
    shared().SearchPaneReady = false;
    main->show();
    QApplication::setActiveWindow(main);
    main->mnuViewPane_Click(3);
    const int item = main->comWhere->indexOfKey(QStringLiteral("disk/media/u/STICK"));
    ASSERT_NE(item, 0);
    EXPECT_EQ(main->comWhere->itemText(item), QStringLiteral("sdb1 (/media/u/STICK)"));
    main->comWhere->select(item);
    ScriptedMessageBoxes boxes;
    search(QString());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Disk není nyní přístupný."));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Nastala chyba aplikace."));
}

TEST_F(SearchPane, ChoosingAFolderMakesItTheCustomPlace)
{
    // The dialog, once shown, is answered with the folder a.
    QTimer::singleShot(0, [this] {
        ASSERT_TRUE(QTest::qWaitFor([] { return Forms::isLoaded<frmSelectDir>() && Forms::get<frmSelectDir>()->isVisible(); }));
        frmSelectDir *dialog = Forms::get<frmSelectDir>();
        dialog->lblPath->setText(docs + "/a");
        QTest::mouseClick(dialog->cmdNav[7], Qt::LeftButton);
    });
    main->comWhere->setFocus();
    main->comWhere->select(QStringLiteral("choose"));
    emit main->comWhere->activated(main->comWhere->currentIndex());
    EXPECT_EQ(main->comWhere->selectedKey(), QStringLiteral("custom"));
    EXPECT_EQ(main->comWhere->itemText(QStringLiteral("custom")), docs + "/a");
    QTest::mouseClick(main->tbSearch->button("find").widget(), Qt::LeftButton);
    EXPECT_TRUE(main->SearchRunning);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(names(), QStringList({"x.html"}));
}

TEST_F(SearchPane, TheLineShowsTheFolderWalkedAndAfterAStopOnlyTheRunsOwnFigures)
{
    search(QString());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(status(), QStringLiteral("Hotovo. Nalezeno 3 souborů."));
    // Twenty pages walked first, one holding the text; then the walk turns in "a" to
    // its sub-folder, and is held there while the walk's own thread reads ahead.
    for (int i = 0; i < 20; ++i)
        env.writeFile(QStringLiteral("home/Documents/m/p%1.html").arg(i), i == 7 ? "hledaný text" : "nic");
    env.writeFile("home/Documents/a/b/c.html", "hledaný text");
    env.writeFile("home/Documents/a/b/d/e.html", "hledaný text");
    const QString a = docs + "/a";
    main->fileSearch->setStepHook([this, a](FileSearch::Step step, const QString &path) {
        if (step != FileSearch::Step::Folder || path != a)
            return;
        held = true;
        while (!release)
            std::this_thread::yield();
    });
    release = false;
    search(QStringLiteral("hledaný"));
    // Never the last run's line.
    EXPECT_FALSE(status().contains(QStringLiteral("Nalezeno")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return held.load(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == a; }, 10000)) << qPrintable(status());
    EXPECT_EQ(main->sbFindFileBar->panel(QStringLiteral("text")).toolTip(), a);
    EXPECT_EQ(main->lblLookIn->text(), QStringLiteral("&Prohledat: [") + a + QLatin1Char(']'));

    // "Zastavit": the pane idles at once, the line waits for the run's end.
    QTest::mouseClick(main->tbSearch->button("stop").widget(), Qt::LeftButton);
    EXPECT_TRUE(buttonShown("find"));
    EXPECT_EQ(status(), a);
    EXPECT_FALSE(main->lblLookIn->text().contains(QStringLiteral("Nalezeno")));
    release = true;
    // Stopped as "a" turned to a sub-folder: nothing below it is examined.
    EXPECT_TRUE(QTest::qWaitFor([this] { return status().startsWith(QStringLiteral("Hotovo")); }, 20000));
    EXPECT_EQ(status(), QStringLiteral("Hotovo. Nalezeno 4 z 20 souborů."));
    EXPECT_EQ(main->lblLookIn->text(), QStringLiteral("&Prohledat:  [Hotovo. Nalezeno 4 z 20 souborů.]"));
}
