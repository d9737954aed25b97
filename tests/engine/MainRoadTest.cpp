#include "Waits.h"
#include "BrowserEventLog.h"

#include "app/FindBar.h"
#include "app/Icons.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QAction>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kDeadlineMs = 30000;

bool waitUntil(const std::function<bool()> &condition)
{
    return waitFor(condition, kDeadlineMs);
}

// The main window with real browser windows, driven as the user drives it.
class MainRoad : public MainWindowTest
{
protected:
    QString page(const QString &name, const QByteArray &html) { return env.writeFile(QStringLiteral("pages/") + name, html); }

    void typeAddress(const QString &text)
    {
        // As a user does: click into the combo, type over its selected text, press Enter.
        QApplication::setActiveWindow(main);
        QLineEdit *field = main->txtAddress->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QCoreApplication::processEvents();
        // A click into a field that has the keyboard already only places the cursor.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    QString panel(const ItemRef &key) const { return main->sbStatusBar->panel(key).text(); }

    ScriptedMessageBoxes boxes;
};

TEST_F(MainRoad, EnterLoadsTheTypedAddressAndTheWindowFollowsItsEvents)
{
    const QString first = page(QStringLiteral("first.html"), "<title>Prvni</title><p>1</p>");
    const QString second = page(QStringLiteral("second.html"), "<title>Druha stranka s dlouhym titulkem</title><p>2</p>");
    frmWeb *window = openWindow(first, QStringLiteral("Prvni"));
    ASSERT_NE(window, nullptr);
    auto *log = new BrowserEventLog(window->Web);

    typeAddress(second);
    ASSERT_TRUE(waitUntil([&] { return log->count(QStringLiteral("DownloadComplete")) == 1; })) << log->describe();
    const QString title = QStringLiteral("Druha stranka s dlouhym titulkem");
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == title; }));

    const int before = log->indexOf(QStringLiteral("BeforeNavigate"));
    const int progress = log->indexOf(QStringLiteral("ProgressChange"));
    const int complete = log->indexOf(QStringLiteral("NavigateComplete"));
    const int done = log->indexOf(QStringLiteral("DownloadComplete"));
    EXPECT_TRUE(before == 0 && before < progress && progress < complete && complete < done) << log->describe();
    EXPECT_EQ(log->events()[static_cast<size_t>(before)].text, QUrl::fromLocalFile(second).toString());

    const QString key = WindowTabKey(window->number());
    EXPECT_EQ(main->tbsWindows->caption(key), title.left(20));
    EXPECT_EQ(main->tbsWindows->toolTip(key), title);
    EXPECT_EQ(panel(QStringLiteral("prg")), QStringLiteral("Hotovo"));
    EXPECT_EQ(window->ProgressText, QStringLiteral("Hotovo"));
    EXPECT_EQ(main->txtAddress->currentText(), second);
    EXPECT_EQ(main->txtAddress->count(), 0) << "local files stay out of the history";
    EXPECT_FALSE(window->picWhite->isVisible());
}

TEST_F(MainRoad, TheAddressHistoryShowsThePageImageBesideEachAddress)
{
    LoopbackServer server("<html><head><title>Web</title></head><body>web</body></html>");
    ASSERT_TRUE(server.isListening());
    frmWeb *window = openWindow(server.address(QStringLiteral("/a.html")), QStringLiteral("Web"));
    ASSERT_NE(window, nullptr);
    typeAddress(server.address(QStringLiteral("/b.html")));
    QComboBox *combo = main->txtAddress;
    ASSERT_TRUE(waitUntil([&] { return combo->count() == 2; }));

    // The drop-down opens as the user opens it: a click on the combo's arrow.
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 6, combo->height() / 2));
    ASSERT_TRUE(waitUntil([&] { return combo->view()->isVisible(); }));
    const QImage page = Icons::icon(QStringLiteral("htm")).pixmap(16).toImage();
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const auto shown = combo->view()->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(shown.pixmap(16).toImage(), page);
    }
    combo->hidePopup();
}

// Keys with Alt or Ctrl are commands, never text: the address stays as it is.
TEST_F(MainRoad, KeysWithAltOrCtrlLeaveTheTypedAddressAlone)
{
    const QString first = page(QStringLiteral("keep.html"), "<title>Keep</title>");
    frmWeb *window = openWindow(first, QStringLiteral("Keep"));
    ASSERT_NE(window, nullptr);
    auto *log = new BrowserEventLog(window->Web);
    QApplication::setActiveWindow(main);
    QLineEdit *field = main->txtAddress->lineEdit();
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
    QCoreApplication::processEvents();
    const QString address = main->txtAddress->currentText();
    ASSERT_FALSE(address.isEmpty());

    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_D, Qt::AltModifier}, {Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_D, Qt::ControlModifier | Qt::AltModifier}, {Qt::Key_Q, Qt::ControlModifier}};
    for (const auto &[key, modifiers] : keys) {
        SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString() + " " + QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        EXPECT_EQ(main->txtAddress->currentText().toStdString(), address.toStdString());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return log->count(QStringLiteral("DownloadComplete")) == 1; })) << log->describe();
    EXPECT_EQ(window->Web->LocationURL(), QUrl::fromLocalFile(first).toString());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(MainRoad, BackAndForwardFollowTheHistory)
{
    const QString first = page(QStringLiteral("a.html"), "<title>A</title>");
    const QString second = page(QStringLiteral("b.html"), "<title>B</title>");
    frmWeb *window = openWindow(first, QStringLiteral("A"));
    ASSERT_NE(window, nullptr);
    QAction *back = main->menuItem(QStringLiteral("mnuGoBack"));
    QAction *forward = main->menuItem(QStringLiteral("mnuGoForward"));

    typeAddress(second);
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("B") && back->isEnabled(); }));
    EXPECT_TRUE(window->back->isEnabled());
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("back")).isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    main->mnuGoBack_Click();
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("A") && forward->isEnabled(); }));
    EXPECT_TRUE(window->forward->isEnabled());
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("forward")).isEnabled());

    main->mnuGoForward_Click();
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("B") && !forward->isEnabled(); }));
}

TEST_F(MainRoad, AShortcutFileOpensItsAddressInsteadAndAnEmptyOneChangesNothing)
{
    const QString first = page(QStringLiteral("one.html"), "<title>One</title>");
    const QString target = page(QStringLiteral("target.html"), "<title>Target</title>");
    const QString shortcut = env.writeFile(QStringLiteral("pages/Cil.URL"),
                                           "[InternetShortcut]\r\nURL=" + QUrl::fromLocalFile(target).toEncoded() + "\r\n");
    const QString empty = env.writeFile(QStringLiteral("pages/Prazdny.url"), "[InternetShortcut]\r\n");
    frmWeb *window = openWindow(first, QStringLiteral("One"));
    ASSERT_NE(window, nullptr);
    auto *log = new BrowserEventLog(window->Web);

    main->sbStatusBar->panel(QStringLiteral("prg")).setText(QStringLiteral("unchanged"));
    typeAddress(empty);
    ASSERT_TRUE(waitUntil([&] { return log->count(QStringLiteral("BeforeNavigate")) == 1; }));
    // A refused navigation raises nothing more; the next one is the barrier.
    typeAddress(target);
    ASSERT_TRUE(waitUntil([&] { return log->count(QStringLiteral("DownloadComplete")) == 1; })) << log->describe();
    EXPECT_LT(log->indexOf(QStringLiteral("BeforeNavigate"), 1), log->indexOf(QStringLiteral("ProgressChange")))
        << log->describe();
    EXPECT_EQ(log->events()[0].text, QUrl::fromLocalFile(empty).toString());

    log->clear();
    typeAddress(first);
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("One") && !window->Web->Busy(); }));
    typeAddress(shortcut);
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("Target"); })) << log->describe();
    EXPECT_EQ(window->Web->LocationURL(), QUrl::fromLocalFile(target).toString());
}

TEST_F(MainRoad, NewWindowRequestsForJavascriptAreRefused)
{
    frmWeb *window = openWindow(page(QStringLiteral("js.html"), "<title>JS</title>"), QStringLiteral("JS"));
    ASSERT_NE(window, nullptr);
    bool processed = false;
    window->WebBrw_NewWindow(QStringLiteral("JavaScript:alert(1)"), 0, {}, {}, {}, processed);
    EXPECT_TRUE(processed);
    // The engine waits for the handler: the box comes once it has returned.
    EXPECT_TRUE(boxes.shown.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return boxes.shown.size() == 1; }));
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("This type of link should not be opened in new window, because it will probably terminate the program."));
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_FALSE(windowTable().WindowSwitchDone);

    // A frame's request is not checked.
    processed = false;
    window->WebBrw_FrameNewWindow(QStringLiteral("javascript:void(0)"), 0, {}, {}, {}, processed);
    EXPECT_TRUE(processed);
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(windowTable().WindowSwitchDone);
}

TEST_F(MainRoad, WithBackgroundPressedTheRequestingWindowStaysActive)
{
    frmWeb *window = openWindow(page(QStringLiteral("bg.html"), "<title>BG</title>"), QStringLiteral("BG"));
    ASSERT_NE(window, nullptr);
    main->tbToolbar[3]->button(QStringLiteral("background")).setValue(1);
    bool processed = false;
    window->WebBrw_NewWindow(page(QStringLiteral("new.html"), "<title>New</title>"), 0, {}, {}, {}, processed);
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(main->ActiveForm(), window);
    EXPECT_TRUE(main->isActiveByTab(window));
}

TEST_F(MainRoad, ABackgroundWindowRecordsItsStateAndShowsItWhenActivated)
{
    frmWeb *first = openWindow(page(QStringLiteral("w1.html"), "<title>W1</title>"), QStringLiteral("W1"));
    ASSERT_NE(first, nullptr);
    frmWeb *second = openWindow(page(QStringLiteral("w2.html"), "<title>W2</title>"), QStringLiteral("W2"));
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(main->isActiveByTab(second));
    main->txtAddress->setEditText(QStringLiteral("typed"));
    main->sbStatusBar->panel(1).setText(QStringLiteral("status"));
    const QString shownProgress = panel(QStringLiteral("prg"));

    first->WebBrw_StatusTextChange(QStringLiteral("background text"));
    first->WebBrw_ProgressChange(45, 100);
    first->WebBrw_CommandStateChange(BrowserCommand::Back, true);
    first->WebBrw_NavigateComplete(QString());
    EXPECT_EQ(panel(1), QStringLiteral("status"));
    EXPECT_EQ(panel(QStringLiteral("prg")), shownProgress);
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("typed"));
    EXPECT_FALSE(main->menuItem(QStringLiteral("mnuGoBack"))->isEnabled());
    EXPECT_EQ(first->ProgressText, QStringLiteral("45 %"));
    EXPECT_TRUE(first->back->isEnabled());

    main->mdiArea->setActiveSubWindow(first);
    EXPECT_TRUE(main->isActiveByTab(first));
    EXPECT_EQ(panel(QStringLiteral("prg")), QStringLiteral("45 %"));
    EXPECT_TRUE(main->menuItem(QStringLiteral("mnuGoBack"))->isEnabled());
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("back")).isEnabled());
}

// A file page is titled with its name as it is on disk, never percent-encoded, while
// characters that can make one name pass for another stay escaped in the title and in
// the address field.
TEST_F(MainRoad, AFilePageShowsItsNameAsOnDiskAndDeceptiveCharactersEscaped)
{
    frmWeb *window = openWindow(page(QStringLiteral("start.html"), "<title>Start</title>"), QStringLiteral("Start"));
    ASSERT_NE(window, nullptr);
    const QString key = WindowTabKey(window->number());
    const struct
    {
        QString name;
        QString title;
    } cases[] = {
        {QStringLiteral("x#y#z.txt"), QStringLiteral("x#y#z.txt")},
        {QStringLiteral("quest?.txt"), QStringLiteral("quest?.txt")},
        // Would read "fakturatxt.fdp"; a file the engine shows rather than downloads.
        {QStringLiteral("faktura\u202Epdf.txt"), QStringLiteral("faktura%E2%80%AEpdf.txt")},
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.title.toStdString());
        const QString path = page(line.name, "text");
        if (line.name.contains(QChar(0x202E))) {
            // A key that types the control character, as an input method would.
            QApplication::setActiveWindow(main);
            QLineEdit *field = main->txtAddress->lineEdit();
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
            QCoreApplication::processEvents();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            const QStringList parts = path.split(QChar(0x202E));
            QTest::keyClicks(QApplication::focusWidget(), parts[0]);
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(QChar(0x202E)), {});
            QTest::keyClicks(QApplication::focusWidget(), parts[1]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            typeAddress(path);
        }
        ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == line.title; })) << window->windowTitle().toStdString();
        EXPECT_EQ(main->tbsWindows->toolTip(key), line.title);
        const QString shown = main->txtAddress->currentText();
        EXPECT_FALSE(shown.contains(QChar(0x202E)));
        EXPECT_EQ(QUrl::fromUserInput(shown, QStringLiteral("/")).toLocalFile(), path) << shown.toStdString();
    }
}

TEST_F(MainRoad, AnEmptyTitleShowsTheLocationName)
{
    frmWeb *window = openWindow(page(QStringLiteral("t.html"), "<title>T</title>"), QStringLiteral("T"));
    ASSERT_NE(window, nullptr);
    window->WebBrw_TitleChange(QString());
    EXPECT_EQ(window->windowTitle(), window->Web->LocationName());
    EXPECT_EQ(main->tbsWindows->caption(WindowTabKey(window->number())), window->Web->LocationName().left(20));
}

TEST_F(MainRoad, TheQuitRequestClosesTheWindow)
{
    frmWeb *window = openWindow(page(QStringLiteral("q.html"), "<title>Q</title>"), QStringLiteral("Q"));
    ASSERT_NE(window, nullptr);
    // Pages may close only windows their scripts opened; the control's event stands in.
    emit window->Web->Quit();
    EXPECT_TRUE(waitUntil([&] { return shared().WindowCount == 0; }));
}

TEST_F(MainRoad, FindOnPageOpensAFindBarOverThePageAndReloadLoadsAgain)
{
    frmWeb *window = openWindow(page(QStringLiteral("find.html"), "<title>F</title><p>hledana jehla</p>"), QStringLiteral("F"));
    ASSERT_NE(window, nullptr);
    QApplication::setActiveWindow(main);
    main->mnuSearchFindonPage_Click();
    auto *bar = window->Web->findChild<FindBar *>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(waitUntil([&] { return QApplication::focusWidget() == bar->txtFind; }));

    bar->txtFind->setText(QStringLiteral("jehla"));
    bar->findNext(false);
    bar->txtFind->setText(QStringLiteral("nic takoveho"));
    bar->findNext(false);
    EXPECT_TRUE(waitUntil([&] { return !bar->txtFind->styleSheet().isEmpty(); })) << "a miss is shown";
    bar->txtFind->setText(QStringLiteral("jehla"));
    bar->findNext(true);
    EXPECT_TRUE(waitUntil([&] { return bar->txtFind->styleSheet().isEmpty(); })) << "a match clears it";
    QTest::keyClick(bar->txtFind, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());

    auto *log = new BrowserEventLog(window->Web);
    main->mnuPageReload_Click();
    EXPECT_TRUE(waitUntil([&] { return log->count(QStringLiteral("DownloadComplete")) == 1; })) << log->describe();
    EXPECT_EQ(log->events().front().name, QStringLiteral("BeforeNavigate"));
}

} // namespace
