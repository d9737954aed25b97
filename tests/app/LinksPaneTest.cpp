#include "app/OpenSave.h"
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
