#include "app/frmMain.h"
#include "app/panel/frmPM.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/controls/ButtonMenu.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/Toolbar.h"

#include "ScriptedMessageBoxes.h"
#include "MainWindowTest.h"

#include <QAction>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

// A main window without browser windows, shown on the offscreen platform.
class MainPanel : public MainWindowTest
{
protected:
    int pressed(const char *key) const { return main->tbToolbar[1]->button(QString::fromLatin1(key)).value(); }
    QString title() const { return main->tbMainPane->text(); }
    bool ticked(int pane) const { return main->mnuViewPane[size_t(pane)]->isChecked(); }
    bool popupTicked(int pane) const { return Forms::get<frmPM>()->mnuPaneViewItem[size_t(pane)]->isChecked(); }

    ScriptedMessageBoxes boxes;
};

TEST_F(MainPanel, ChoosingAPaneBuildsItOnce)
{
    const struct { int pane; bool nav; const char *title; bool SharedState::*built; } cases[] = {
        {1, true, "Oblíbené", &SharedState::FavoritesLoaded},
        {2, false, "Složky a soubory (uzamčeno)", &SharedState::FileTreeLoaded},
        {2, true, "Složky a soubory", &SharedState::FileTreeLoaded},
        {3, true, "Hledat soubory", &SharedState::SearchPaneReady},
        {4, true, "Odkazy", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        shared().NavOnSelect = c.nav;
        main->mnuViewPane_Click(c.pane);
        EXPECT_EQ(main->shownPane(), c.pane);
        EXPECT_EQ(title(), QString::fromUtf8(c.title));
        EXPECT_EQ(pressed("favorites"), c.pane == 1 ? 1 : 0);
        EXPECT_EQ(pressed("folders"), c.pane == 2 ? 1 : 0);
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(ticked(i), i == c.pane);
            EXPECT_EQ(popupTicked(i), i == c.pane);
        }
        if (c.built) {
            EXPECT_TRUE(shared().*c.built);
        }
    }
}

// How much of a widget shows: its rectangle cut by every container up to the window.
QRect shownPart(const QWidget *widget)
{
    QRect shown = widget->rect();
    for (const QWidget *w = widget; w->parentWidget() && !w->isWindow(); w = w->parentWidget())
        shown = QRect(w->mapToParent(shown.topLeft()), shown.size()).intersected(w->parentWidget()->rect());
    return shown;
}

TEST_F(MainPanel, TheFilePanesStatusBarShowsWholeWithItsTickUnderTheTree)
{
    main->mnuViewPane_Click(2);
    StatusBar *bar = main->sbFileBar;
    StatusPanel &nav = bar->panel(QStringLiteral("nav"));
    for (const QSize size : {QSize(800, 600), QSize(1024, 768), QSize(1280, 1000)}) {
        SCOPED_TRACE(size.width());
        main->resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(shownPart(bar).size(), bar->size()) << "the status bar is cut";
        EXPECT_LE(main->trwPath->geometry().bottom(), bar->geometry().top() - 1) << "the tree covers the bar";
        QLabel *tick = nullptr;
        for (QLabel *label : nav.findChildren<QLabel *>()) {
            if (!label->pixmap().isNull())
                tick = label;
        }
        ASSERT_NE(tick, nullptr);
        const QSize picture = tick->pixmap().deviceIndependentSize().toSize();
        EXPECT_GE(tick->contentsRect().width(), picture.width()) << "the tick is cut";
        EXPECT_GE(tick->contentsRect().height(), picture.height()) << "the tick is cut";
        EXPECT_TRUE(nav.contentsRect().contains(tick->geometry())) << "the tick runs past its panel";
        EXPECT_EQ(shownPart(tick).size(), tick->size()) << "the tick is cut";
    }
}

TEST_F(MainPanel, F12AndTheTitleFollowThePaneCycle)
{
    const std::pair<int, int> steps[] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}};
    for (const auto &[from, to] : steps) {
        SCOPED_TRACE(from);
        main->mnuViewPane_Click(from);
        main->showNextPane();
        EXPECT_EQ(main->shownPane(), to);
        main->mnuViewPane_Click(from);
        main->tbMainPane_DblClick();
        EXPECT_EQ(main->shownPane(), to);
    }
}

TEST_F(MainPanel, ButtonTextIsSwitchedAndRemembered)
{
    QAction *item = main->menuItem(QStringLiteral("mnuViewShowText"));
    ToolbarButton &back = main->tbToolbar[1]->button(QStringLiteral("back"));
    ASSERT_TRUE(item->isChecked());
    main->mnuViewShowText_Click();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(back.caption(), QString());
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("ButtonText")), QStringLiteral("False"));

    TearDown();
    SetUp();
    QAction *reopened = main->menuItem(QStringLiteral("mnuViewShowText"));
    EXPECT_FALSE(reopened->isChecked()) << "a user who switched the text off starts without it";
    EXPECT_EQ(main->tbToolbar[1]->button(QStringLiteral("back")).caption(), QString());
    reopened->trigger();
    EXPECT_TRUE(reopened->isChecked());
    EXPECT_EQ(main->tbToolbar[1]->button(QStringLiteral("back")).caption(), QStringLiteral("Zpět"));
    EXPECT_EQ(GetSetting(QStringLiteral("Main"), QStringLiteral("ButtonText")), QStringLiteral("True"));
}

void sendMouse(QWidget *target, QEvent::Type type, int x, Qt::MouseButtons buttons)
{
    const QPointF local(x, 2);
    QMouseEvent event(type, local, target->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

TEST_F(MainPanel, TheSplitterStopsNearTheEdges)
{
    QWidget *grip = main->imgSplitter;
    const int gripLeftTwips = grip->x() * 15;
    sendMouse(grip, QEvent::MouseButtonPress, 0, Qt::LeftButton);
    EXPECT_TRUE(main->SplitterMoving);
    EXPECT_FALSE(main->picSplitter->isHidden());
    // 500 twips from the panel's left edge.
    sendMouse(grip, QEvent::MouseMove, (500 - gripLeftTwips) / 15, Qt::LeftButton);
    sendMouse(grip, QEvent::MouseMove, (500 - gripLeftTwips) / 15, Qt::LeftButton);
    EXPECT_EQ(grip->toolTip(), QStringLiteral("Šířka: 46 pixelů"));
    sendMouse(grip, QEvent::MouseButtonRelease, 0, Qt::NoButton);
    EXPECT_FALSE(main->SplitterMoving);
    EXPECT_TRUE(main->picSplitter->isHidden());
    EXPECT_EQ(main->picMain->width(), 750 / 15);
}

} // namespace

TEST_F(MainPanel, PaneItemsShowTheBulletBesideTheChosenPaneAndNothingBesideTheOthers)
{
    main->mnuViewPane_Click(3);
    QMenu *view = main->findChild<QMenu *>(QStringLiteral("mnuView"));
    ASSERT_NE(view, nullptr);
    const std::pair<QMenu *, std::array<QAction *, 7>> menus[] = {
        {view, main->mnuViewPane}, {Forms::get<frmPM>()->mnuPaneView, Forms::get<frmPM>()->mnuPaneViewItem}};
    for (const auto &[menu, items] : menus) {
        SCOPED_TRACE(menu->objectName().toStdString());
        menu->popup(QPoint(0, 0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        const QImage shot = menu->grab().toImage();
        menu->hide();
        for (int pane = 1; pane <= 4; ++pane) {
            SCOPED_TRACE(pane);
            const QRect row = menu->actionGeometry(items[size_t(pane)]).adjusted(1, 1, -1, -1);
            const QRgb background = shot.pixel(row.right() - 2, row.center().y());
            // The place of a check mark: a square at the row's start.
            int marked = 0;
            QRect drawn;
            for (int y = row.top(); y <= row.bottom(); ++y) {
                for (int x = row.left(); x < row.left() + row.height(); ++x) {
                    if (shot.pixel(x, y) != background) {
                        ++marked;
                        drawn |= QRect(x, y, 1, 1);
                    }
                }
            }
            if (pane == 3) {
                EXPECT_GT(marked, 0) << "the bullet";
                EXPECT_LE(drawn.height(), row.height() / 2) << "only the bullet, no frame round it";
            } else {
                EXPECT_EQ(marked, 0) << "no box for an unchosen pane";
            }
        }
    }
}
