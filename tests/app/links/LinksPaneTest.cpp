#include "app/OpenSave.h"
#include "app/panel/frmPM.h"
#include "app/frmMain.h"
#include "browser/LinkSnapshot.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/Toolbar.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QFile>
#include <QKeySequence>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

// A main window without browser windows; lstLinks is filled from hand-built documents.
class LinksPane : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        list = main->lstLinks;
        OpenSave::setDialog([this](const SaveDialogRequest &request) {
            asked.append(request);
            if (answers.isEmpty())
                return SaveDialogAnswer{};
            return answers.takeFirst();
        });
    }

    void TearDown() override
    {
        OpenSave::setDialog({});
        MainWindowTest::TearDown();
    }

    void add(const QList<QString> &hrefs, const QString &url = QStringLiteral("http://h/page.htm"))
    {
        DocumentSnapshot doc{QStringLiteral("BODY"), url, {}};
        for (const QString &href : hrefs)
            doc.links.append({href, href.left(href.indexOf(QLatin1Char(':')) + 1), QStringLiteral("T ") + href, {}});
        main->CaptureLinksEx(LinkCaptureMode::All, doc, QStringLiteral("Zdroj"));
    }

    QStringList urls() const
    {
        QStringList result;
        for (int i = 1; i <= list->count(); ++i)
            result.append(list->item(i).subItem(1));
        return result;
    }

    ListView *list = nullptr;
    ScriptedMessageBoxes boxes;
    QList<SaveDialogRequest> asked;
    QList<SaveDialogAnswer> answers;
};

const QString kMail1 = QStringLiteral("mailto:a@h.test");
const QString kMail2 = QStringLiteral("mailto:b@h.test");
const QString kWeb1 = QStringLiteral("http://h/1");
const QString kWeb2 = QStringLiteral("https://h/2");
const QString kFtp = QStringLiteral("ftp://h/3");

} // namespace

TEST_F(LinksPane, NoLinkIsDroppedAfterRemovals)
{
    add({kWeb1, kWeb2, kFtp});
    list->remove(1); // two rows left: the next key, "ftp://h/32", is still taken
    add({kFtp});
    EXPECT_EQ(urls(), (QStringList{kWeb2, kFtp, kFtp}));
}

TEST_F(LinksPane, EmailRemovalEmptiesEmailLinksInARow)
{
    add({kMail1, kMail2, kWeb1, kMail1, kMail2, kWeb2});
    main->tbLinks_ButtonMenuClick(2, QStringLiteral("removeemail"));
    EXPECT_EQ(urls(), (QStringList{kWeb1, kWeb2}));
}

TEST_F(LinksPane, HeaderClicksSortAndTurnTheDirection)
{
    add({kWeb2, kFtp, kWeb1});
    main->lstLinks_ColumnClick(2);
    EXPECT_TRUE(list->sorted());
    EXPECT_EQ(list->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(urls(), (QStringList{kWeb2, kWeb1, kFtp}));
    main->lstLinks_ColumnClick(2);
    EXPECT_EQ(urls(), (QStringList{kFtp, kWeb1, kWeb2}));
    main->lstLinks_ColumnClick(1);
    EXPECT_EQ(list->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(list->sortKey(), 0);
    add({QStringLiteral("http://h/0")});
    EXPECT_EQ(list->item(1).subItem(1), kWeb2) << "new rows take their sorted place";
}

TEST_F(LinksPane, AScriptRowIsRefusedWithAMessageThatFitsAClickInPlace)
{
    add({QStringLiteral("javascript:alert(1)")});
    shared().WindowCount = 1; // the refusal comes before the window is touched
    main->lstLinks_MouseDown(Qt::LeftButton);
    main->lstLinks_ItemClick(list->item(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.isEmpty(); }, 5000));
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Tento odkaz nelze otevřít: je to skript (javascript:), "
                                                     "který by se spustil v právě zobrazené stránce."));
    EXPECT_EQ(boxes.shown[0].style, 48);
    EXPECT_FALSE(list->item(1).bold());
    shared().WindowCount = 0;
}

TEST_F(LinksPane, ARightClickDoesNotOpen)
{
    add({kWeb1});
    shared().WindowCount = 1;
    main->lstLinks_MouseUp(Qt::RightButton);
    main->lstLinks_ItemClick(list->item(1));
    EXPECT_FALSE(list->item(1).bold());
    shared().WindowCount = 0;
    // The right button brought up the pane's pop-up menu; the user leaves it with Esc.
    QWidget *menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
}

TEST_F(LinksPane, SavingWritesThePageAndRemembersTheFolder)
{
    add({kMail1, kWeb1, kMail2, kWeb2, kFtp});
    const QString folder = env.path(QStringLiteral("saved"));
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/links.htm");
    answers = {{true, target, 1}};
    main->tbLinks_ButtonMenuClick(1, QStringLiteral("saveemail"));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].title, QStringLiteral("Save Captured Links"));
    EXPECT_EQ(asked[0].initDir, QDir::homePath());
    EXPECT_TRUE(asked[0].fileName.startsWith(QStringLiteral("links ")));
    EXPECT_FALSE(asked[0].fileName.contains(QLatin1Char(':')));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("SaveLinksInitDir")), folder);
    const QByteArray bytes = TestEnvironment::readFile(target);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF<!--saved by Vorlan"));
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6); // header, title, two links, end, and the empty rest
    EXPECT_EQ(lines[2], QStringLiteral("<A href=\"mailto:a@h.test\">Zdroj: T mailto:a@h.test</A><BR>"));

    // Cancelling keeps the remembered folder; No at the overwrite question asks again.
    main->SaveCapturedLinks(1);
    EXPECT_TRUE(shared().SaveDialogCancelled);
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("SaveLinksInitDir")), folder);
    answers = {{true, target, 1}, {true, target, 1}};
    boxes.answers = {7, 6};
    main->SaveCapturedLinks(8);
    EXPECT_EQ(asked.size(), 4);
    EXPECT_EQ(asked[3].initDir, folder);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Soubor již existuje. Chcete jej nahradit?"));
    EXPECT_EQ(boxes.shown[0].style, 3 + 32 + 256);
    EXPECT_EQ(QString::fromUtf8(TestEnvironment::readFile(target)).count(QStringLiteral("<BR>")), 3);
}

TEST_F(LinksPane, ReadOnlyTargetIsAskedAboutAndWriteFailuresAreShown)
{
    add({kWeb1});
    const QString target = env.writeFile(QStringLiteral("ro/links.htm"), "old");
    QFile::setPermissions(target, QFileDevice::ReadOwner);
    answers = {{true, target, 1}};
    boxes.answers = {6, 7}; // replace it, but not when it is read-only
    main->SaveCapturedLinks(1);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].prompt, QStringLiteral("Soubor je pouze ke čtení. Chcete jej přesto nahradit?"));
    EXPECT_EQ(TestEnvironment::readFile(target), QByteArray("old"));

    answers = {{true, env.root() + QStringLiteral("/missing/links.htm"), 1}};
    boxes.shown.clear();
    main->SaveCapturedLinks(1);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Přístup k souboru byl zamítnut."));
    EXPECT_EQ(boxes.shown[0].style, 16);
}

TEST_F(LinksPane, F2InTheListEditsTheCaptionThoughTheFileMenuHasTheKey)
{
    add({kWeb1, kWeb2});
    QAction *rename = main->findChild<QAction *>(QStringLiteral("mnuFastRename"));
    ASSERT_TRUE(rename && rename->isEnabled() && rename->shortcut() == QKeySequence(Qt::Key_F2));
    int renames = 0;
    QObject::connect(rename, &QAction::triggered, [&] { ++renames; });
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    main->mnuViewPane_Click(4);
    ASSERT_EQ(QApplication::focusWidget(), list->treeWidget());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    ASSERT_EQ(list->selectedItem().index(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    ASSERT_NE(QApplication::focusWidget(), list->treeWidget()) << "an editor holds the caption";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Moje stranka"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    EXPECT_TRUE(QTest::qWaitFor([&] { return list->item(1).text() == QStringLiteral("Moje stranka"); }, 5000))
        << list->item(1).text().toStdString();
    EXPECT_EQ(renames, 0);
}

namespace {

// The links pop-up, opened by real clicks on the list.
class LinksPopUp : public LinksPane
{
protected:
    void TearDown() override
    {
        pm->mnuLinks->hide();
        pm->mnuLinksAdd->hide();
        shared().WindowCount = 0;
        windowTable().CreatingWindow = false;
        LinksPane::TearDown();
    }

    void rightClick(int row = 0)
    {
        QTreeWidget *widget = list->treeWidget();
        QPoint point(10, widget->viewport()->height() - 5);
        if (row > 0)
            point = widget->visualItemRect(widget->topLevelItem(row - 1)).center();
        QTest::mouseClick(widget->viewport(), Qt::RightButton, {}, point);
    }
    void clickHeader(int column)
    {
        QHeaderView *header = list->treeWidget()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    frmPM *pm = Forms::get<frmPM>();
};

TEST_F(LinksPopUp, AnEmptyListOffersOnlyTheCaptureItemsAFilledOneTheWholeMenu)
{
    rightClick();
    EXPECT_FALSE(pm->mnuLinks->isVisible());
    ASSERT_TRUE(pm->mnuLinksAdd->isVisible());
    EXPECT_EQ(pm->mnuLinksAdd->defaultAction(), pm->mnuLinksAddAll);
    pm->mnuLinksAdd->hide();

    add({kWeb1});
    rightClick(1);
    ASSERT_TRUE(pm->mnuLinks->isVisible());
    EXPECT_EQ(pm->mnuLinks->defaultAction(), pm->mnuLinksOpen);
    EXPECT_FALSE(list->item(1).bold());
}

TEST_F(LinksPopUp, SortItemsSetTheFlagTheChecksAndTheKey)
{
    add({kWeb2, kFtp, kWeb1});
    const struct { QAction *item; bool sorted; int key; bool caption, url, source; } steps[] = {
        {pm->mnuLinksOrderByURL, true, 1, false, true, false},
        {pm->mnuLinksOrderBySource, true, 2, false, false, true},
        {pm->mnuLinksOrderByCaption, true, 0, true, false, false},
        {pm->mnuLinksOrderByNone, false, 0, false, false, false},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.item->objectName().toStdString());
        step.item->trigger();
        EXPECT_EQ(list->sorted(), step.sorted);
        EXPECT_EQ(list->sortKey(), step.key);
        EXPECT_EQ(pm->mnuLinksOrderByCaption->isChecked(), step.caption);
        EXPECT_EQ(pm->mnuLinksOrderByURL->isChecked(), step.url);
        EXPECT_EQ(pm->mnuLinksOrderBySource->isChecked(), step.source);
    }
    pm->mnuLinksOrderByURL->trigger();
    EXPECT_EQ(urls(), (QStringList{kFtp, kWeb1, kWeb2}));
}

// Pixels drawn where a check mark goes (a square at the start of the item's row) that
// differ from the row's background, and the rectangle they cover.
int marksAtRowStart(const QImage &shot, const QRect &itemRect, QRect &drawn)
{
    const QRect row = itemRect.adjusted(1, 1, -1, -1);
    const QRgb background = shot.pixel(row.right() - 2, row.center().y());
    int marked = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = row.left(); x < row.left() + row.height(); ++x) {
            if (shot.pixel(x, y) != background) {
                ++marked;
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    return marked;
}

TEST_F(LinksPopUp, SortItemsShowACheckMarkWhenCheckedAndNoBoxOtherwise)
{
    add({kWeb1});
    pm->mnuLinksOrderByURL->trigger();
    rightClick(1);
    ASSERT_TRUE(pm->mnuLinks->isVisible());
    QMenu *sortMenu = pm->mnuLinksOrderBy;
    sortMenu->popup(pm->mnuLinks->geometry().topRight());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sortMenu));
    const QImage shot = sortMenu->grab().toImage();
    sortMenu->hide();
    const std::pair<QAction *, bool> rows[] = {{pm->mnuLinksOrderByNone, false}, {pm->mnuLinksOrderByCaption, false},
                                               {pm->mnuLinksOrderByURL, true}, {pm->mnuLinksOrderBySource, false},
                                               {pm->mnuLinksOrderByDesc, true}};
    for (const auto &[item, checked] : rows) {
        SCOPED_TRACE(item->objectName().toStdString());
        const QRect rect = sortMenu->actionGeometry(item);
        QRect drawn;
        const int marked = marksAtRowStart(shot, rect, drawn);
        if (checked) {
            EXPECT_GT(marked, 0) << "the check mark";
            EXPECT_LE(drawn.height(), rect.height() / 2) << "only the mark, no box round it";
        } else {
            EXPECT_EQ(marked, 0) << "no empty box";
        }
    }
}

TEST_F(LinksPopUp, AscendingTogglesTwiceBackAndFollowsTheHeaderOnOpening)
{
    add({kWeb1, kWeb2});
    ASSERT_TRUE(pm->mnuLinksOrderByDesc->isChecked());
    pm->mnuLinksOrderByDesc->trigger();
    EXPECT_FALSE(pm->mnuLinksOrderByDesc->isChecked());
    EXPECT_EQ(list->sortOrder(), Qt::DescendingOrder);
    EXPECT_FALSE(list->sorted()) << "the direction alone never sorts";
    pm->mnuLinksOrderByDesc->trigger();
    EXPECT_TRUE(pm->mnuLinksOrderByDesc->isChecked());
    EXPECT_EQ(list->sortOrder(), Qt::AscendingOrder);

    pm->mnuLinksOrderByURL->trigger();
    clickHeader(0); // by caption, and the direction turns round
    EXPECT_EQ(list->sortKey(), 0);
    rightClick(1);
    ASSERT_TRUE(pm->mnuLinks->isVisible());
    EXPECT_FALSE(pm->mnuLinksOrderByDesc->isChecked()) << "re-read from the list's direction";
    EXPECT_TRUE(pm->mnuLinksOrderByURL->isChecked()) << "the header leaves the column checks alone";
    EXPECT_FALSE(pm->mnuLinksOrderByCaption->isChecked());
}

TEST_F(LinksPopUp, AScriptIconIsRefusedButAnAddressMerelyContainingItOpens)
{
    add({QStringLiteral("javascript:alert(1)"), QStringLiteral("http://h/?q=javascript:x")});
    ASSERT_EQ(list->item(1).smallIcon(), QStringLiteral("javascript:"));
    // A window being created turns NewWindow into nothing: the item's mark shows the
    // menu let the address through.
    windowTable().CreatingWindow = true;
    shared().WindowCount = 1;
    const struct { int row; QAction *item; const char *message; } cases[] = {
        {1, pm->mnuLinksOpenNewWin, "This type of link should not be opened in new window, because it will probably terminate the program."},
        {1, pm->mnuLinksOpen, "Tento odkaz nelze otevřít: je to skript (javascript:), který by se spustil v právě zobrazené stránce."},
        {2, pm->mnuLinksOpenNewWin, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item->objectName().toStdString());
        boxes.shown.clear();
        list->item(c.row).setSelected(true);
        c.item->trigger();
        if (c.message) {
            ASSERT_EQ(boxes.shown.size(), 1);
            EXPECT_EQ(boxes.shown[0].prompt, QString::fromUtf8(c.message));
            EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
            EXPECT_FALSE(list->item(c.row).bold());
        } else {
            EXPECT_TRUE(boxes.shown.isEmpty());
            EXPECT_TRUE(list->item(c.row).bold());
        }
    }
}

TEST_F(LinksPopUp, ALinkWithoutAnAddressIsNotAddedToTheFavorites)
{
    shared().FavoritesDir = env.path(QStringLiteral("Favorites"));
    add({kWeb1});
    list->item(1).setSubItem(1, QString());
    list->item(1).setSelected(true);
    int dialogs = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++dialogs;
            modal->close();
        }
    });
    poll.start(5);
    pm->mnuLinksAddToFav->trigger();
    EXPECT_EQ(dialogs, 0);
    list->item(1).setSubItem(1, kWeb1);
    pm->mnuLinksAddToFav->trigger();
    EXPECT_EQ(dialogs, 1) << "an address asks for the favorite's name";
}

} // namespace
