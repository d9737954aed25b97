#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/ToolbarButton.h"
#include "platform/controls/TreeView.h"
#include "platform/engine/BrowserControl.h"

#include "MainWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The main window's keyboard as a user without a mouse meets it, and the active
// browser window as the panel's commands must leave it.
class KeyboardRound : public MainWindowTest
{
protected:
    QString page(const char *name, const char *title)
    {
        return env.writeFile(QStringLiteral("pages/") + QLatin1String(name),
                             QByteArray("<title>") + title + "</title><p>" + title + "</p>");
    }

    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "nothing has the keyboard";
        QTest::keyClick(focus, Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }

    bool inAddressField() const
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus && (focus == main->txtAddress || main->txtAddress->isAncestorOf(focus));
    }
    bool inWindow(const frmWeb *window) const
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus && window->Web->isAncestorOf(focus);
    }
    bool inFavorites() const { return QApplication::focusWidget() == main->trwFavorites->treeWidget(); }

    int active() const { return main->ActiveForm() ? main->ActiveForm()->number() : 0; }
};

TEST_F(KeyboardRound, TabLeavesTheEmptyPanelForTheAddressFieldAndAnAddressLoads)
{
    frmWeb *window = openWindow(page("start.html", "Start"), QStringLiteral("Start"));
    ASSERT_NE(window, nullptr);
    QApplication::setActiveWindow(main);
    main->picMain->setFocus(); // where the window's load leaves the keyboard
    QCoreApplication::processEvents();

    int presses = 0;
    while (!inAddressField() && presses < 4) {
        press(Qt::Key_Tab);
        ++presses;
    }
    ASSERT_TRUE(inAddressField()) << "four Tabs from the empty panel never reached the address field";
    EXPECT_EQ(presses, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QUrl::fromLocalFile(page("typed.html", "Typed")).toString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(waitFor([&] { return window->windowTitle() == QStringLiteral("Typed"); }, 30000));

    // The round: the address field, the browser window, the shown pane's list, and back.
    main->mnuViewPane_Click(1);
    ASSERT_TRUE(inFavorites());
    press(Qt::Key_Tab);
    EXPECT_TRUE(inAddressField());
    press(Qt::Key_Tab);
    EXPECT_TRUE(inWindow(window)) << QApplication::focusWidget()->metaObject()->className() << " "
                                  << QApplication::focusWidget()->objectName().toStdString();
    // The page answers Shift+Tab itself and, with nothing of its own left to reach, hands
    // the keyboard back.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(waitFor([&] { return inAddressField(); }, 5000));
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(inFavorites());
}

TEST_F(KeyboardRound, HidingAndSwitchingThePanelKeepTheActiveWindow)
{
    for (const char *name : {"Prvni", "Druha", "Treti"})
        ASSERT_NE(openWindow(page((QByteArray(name) + ".html").constData(), name), QString::fromLatin1(name)), nullptr);
    QApplication::setActiveWindow(main);
    main->mdiArea->setActiveSubWindow(windowTable().slot(2));
    ASSERT_EQ(active(), 2);

    main->mnuViewPane_Click(1);
    ASSERT_TRUE(inFavorites());
    press(Qt::Key_F12, Qt::ControlModifier);
    ASSERT_FALSE(main->picMain->isVisible());
    EXPECT_EQ(active(), 2) << "Ctrl+F12 made another window active";
    EXPECT_TRUE(inWindow(windowTable().slot(2)));

    main->mnuViewPane_Click(1);
    ASSERT_TRUE(inFavorites());
    QToolButton *close = main->tbToolbar[0]->button(QStringLiteral("close")).widget();
    QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
    QCoreApplication::processEvents();
    ASSERT_FALSE(main->picMain->isVisible());
    EXPECT_EQ(active(), 2) << "the panel's close button made another window active";

    main->mnuViewPane_Click(1);
    ASSERT_TRUE(inFavorites());
    main->mnuViewPane_Click(3);
    EXPECT_EQ(active(), 2) << "switching panes made another window active";
    EXPECT_TRUE(main->lstResults->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == main->lstResults);
    EXPECT_FALSE(main->txtAddress->lineEdit()->hasSelectedText()) << "the keyboard passed through the address field";
    main->mnuViewPane_Click(4);
    EXPECT_EQ(active(), 2);
}

} // namespace
