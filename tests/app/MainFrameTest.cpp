#include "app/MainGeometry.h"
#include "app/frmMain.h"
#include "platform/controls/TreeView.h"

#include "MainWindowTest.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

namespace {

// The main window shown in its normal state, as the panel tests use it.
class MainFrame : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        main->setGeometry(40, 30, 900, 700);
        QCoreApplication::processEvents();
    }

    // The user drags the splitter's grip to x pixels right of the grip's left edge.
    void dragSplitterBy(int x)
    {
        QWidget *grip = main->imgSplitter;
        QTest::mousePress(grip, Qt::LeftButton, Qt::NoModifier, QPoint(1, 5));
        const QPointF to(x, 5);
        QMouseEvent move(QEvent::MouseMove, to, grip->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grip, &move);
        QTest::mouseRelease(grip, Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
        QTest::qWait(100);
    }
};

TEST_F(MainFrame, DraggingTheSplitterToTheRightEdgeNeverWidensTheWindow)
{
    const QSize before = main->size();
    dragSplitterBy(5000);
    // The bar stops 690 twips (46 pixels) short of the window's right edge.
    EXPECT_EQ(main->picMain->width(), before.width() - 46 + 4);
    EXPECT_EQ(main->size(), before);
    EXPECT_LE(main->minimumSize().width(), before.width());
    EXPECT_GT(main->mdiArea->width(), 0) << "the window area keeps what the panel leaves";
    EXPECT_EQ(main->mdiArea->geometry().right(), main->centralWidget()->width() - 1);
}

TEST_F(MainFrame, TheSplitterGripTakesTheEventsThatAreNoMouseButtons)
{
    QWidget *grip = main->imgSplitter;
    // Entering, hovering and leaving the grip as the pointer does on its way across.
    QTest::mouseMove(grip, QPoint(1, 5));
    QEnterEvent enter(QPointF(1, 5), grip->mapTo(main, QPointF(1, 5)), grip->mapToGlobal(QPointF(1, 5)));
    QCoreApplication::sendEvent(grip, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(grip, &leave);
    QTest::mouseMove(main->mdiArea, QPoint(20, 20));
    EXPECT_FALSE(main->SplitterMoving);
    EXPECT_TRUE(main->picSplitter->isHidden());
}

TEST_F(MainFrame, F12InTheFavoritesTreeMovesOnAndCtrlF12HidesThePanel)
{
    QTreeWidget *tree = main->trwFavorites->treeWidget();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    main->mnuViewPane_Click(1);
    ASSERT_EQ(QApplication::focusWidget(), tree) << "choosing the pane gives its tree the keyboard";
    QTest::keyClick(tree, Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(main->shownPane(), 1) << "Shift+F12 does nothing";
    QTest::keyClick(tree, Qt::Key_F12);
    EXPECT_EQ(main->shownPane(), 2);

    main->mnuViewPane_Click(1);
    QTest::keyClick(tree, Qt::Key_F12, Qt::ControlModifier);
    EXPECT_TRUE(main->picMain->isHidden());
    EXPECT_EQ(main->shownPane(), 1) << "the pane stays chosen while the panel is hidden";
}

// Qt gives a shown window a new native window when its surface has to change (the
// first page view does that); the window manager takes the state only from the
// window it maps.
class NativeWindowSwap : public QWidget
{
public:
    void replaceNativeWindow()
    {
        destroy();
        create();
    }
};

TEST(WindowState, MinimisedAndMaximisedSurviveANewNativeWindow)
{
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        SCOPED_TRACE(state);
        NativeWindowSwap window;
        window.setGeometry(50, 60, 300, 200);
        MainGeometry::keepStateOnNewNativeWindows(&window);
        window.setWindowState(state);
        window.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.windowHandle()->windowStates() & state);
        window.replaceNativeWindow();
        EXPECT_TRUE(window.windowHandle()->windowStates() & state);
        EXPECT_EQ(window.normalGeometry().size(), QSize(300, 200));
    }
}

} // namespace
