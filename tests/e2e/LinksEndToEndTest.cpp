#include "Waits.h"
#include "app/OpenSave.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Toolbar.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace {

// The real main window and browser engine in this process: a user's way through the
// links pane, from the pane's own button to a link followed on the saved page.
class LinksEndToEnd : public MainWindowTest
{
protected:
    static constexpr int kDeadlineMs = 30000;

    void TearDown() override
    {
        OpenSave::setDialog({});
        MainWindowTest::TearDown();
    }

    BrowserControl *web() const { return main->ActiveForm() ? main->ActiveForm()->Web : nullptr; }

    bool shows(const QString &fileName)
    {
        return waitFor([&] { return web() && web()->LocationURL().endsWith(fileName) && !web()->Busy(); }, kDeadlineMs);
    }

    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(LinksEndToEnd, CaptureSaveOpenTheSavedPageAndFollowALink)
{
    env.writeFile(QStringLiteral("pages/target.htm"), "<html><head><title>Target</title></head><body>here</body></html>");
    const QString page = env.writeFile(QStringLiteral("pages/start.htm"),
        "<html><head><title>Start &amp; co</title></head><body>"
        "<a href=\"target.htm\">Go &lt;there&gt;</a> <a href=\"mailto:a@b.test\">Mail</a></body></html>");
    NewWindow(QUrl::fromLocalFile(page).toString());
    ASSERT_TRUE(shows(QStringLiteral("start.htm")));

    main->mnuViewPane_Click(4);
    QSignalSpy captured(main, &frmMain::linksCaptureFinished);
    QTest::mouseClick(main->tbLinks[0]->button(QStringLiteral("add")).widget(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return captured.count() == 1; }, kDeadlineMs));
    ASSERT_EQ(main->lstLinks->count(), 2);
    EXPECT_EQ(main->lstLinks->item(1).text(), QStringLiteral("Go <there>"));
    EXPECT_EQ(main->lstLinks->item(1).subItem(2), QStringLiteral("Start & co"));

    // A left click on a row opens its link in the active window and marks the row.
    QTreeWidget *tree = main->lstLinks->treeWidget();
    const QPoint firstRow = tree->visualItemRect(tree->topLevelItem(0)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, firstRow);
    ASSERT_TRUE(shows(QStringLiteral("target.htm")));
    EXPECT_TRUE(main->lstLinks->item(1).bold());
    EXPECT_FALSE(main->lstLinks->item(2).bold());

    const QString saved = env.path(QStringLiteral("saved/links.htm"));
    OpenSave::setDialog([&](const SaveDialogRequest &) { return SaveDialogAnswer{true, saved, 1}; });
    QTest::mouseClick(main->tbLinks[1]->button(QStringLiteral("save")).widget(), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(saved));
    EXPECT_TRUE(boxes.shown.isEmpty());

    web()->Navigate(saved);
    ASSERT_TRUE(shows(QStringLiteral("links.htm")));
    // The saved page shows the caption as text, not as markup, and its link works.
    bool answered = false;
    QString text;
    web()->runScript(QStringLiteral("document.body.innerText"), [&](const QVariant &v) { text = v.toString(); answered = true; });
    ASSERT_TRUE(waitFor([&] { return answered; }, kDeadlineMs));
    EXPECT_TRUE(text.contains(QStringLiteral("Start & co: Go <there>"))) << text.toStdString();
    web()->runScript(QStringLiteral("document.links[0].click()"));
    ASSERT_TRUE(shows(QStringLiteral("target.htm")));
    EXPECT_EQ(web()->LocationName(), QStringLiteral("Target"));
}
