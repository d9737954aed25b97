// What a page asks of the user through the program: whether to leave it, and its own
// dialogs, answered with real clicks on the real boxes over pages from a loopback server.
#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/ToolbarButton.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"
#include "platform/engine/PageProcessGuard.h"
#include "platform/store/SettingsStore.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>
#include <signal.h>

namespace {

constexpr int kDeadlineMs = 30000;

bool waitUntil(const std::function<bool()> &condition)
{
    return waitFor(condition, kDeadlineMs);
}

// A page with a text area whose leave handler asks before the page goes.
const QByteArray kLeavePage = R"html(<title>Psaní</title><body style="margin:0">
<textarea id="text" style="width:400px;height:200px"></textarea>
<script>addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = ''; });</script>)html";

class PageQuestions : public MainWindowTest
{
protected:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        EngineProfile::resetInstance();
        DialogLoops::reset();
        MainWindowTest::SetUp();
    }

    void TearDown() override
    {
        for (const QPointer<QTimer> &poll : m_pending) {
            if (poll)
                ADD_FAILURE() << "a message box the test was to act on never showed";
            delete poll.data();
        }
        failOnOpenDialogs("when the test ended");
        DialogLoops::endAll();
        MainWindowTest::TearDown();
        DialogLoops::reset();
        EngineProfile::resetInstance();
    }

    // The message box on the screen, if any.
    static QMessageBox *shownBox()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                return box;
        }
        return nullptr;
    }

    // Acts on the next message box that shows, as a user does: from inside the box's own
    // event loop, which runs within the engine's call that asked. The box is then passed
    // on to the action. No box within the deadline fails the test.
    void onNextBox(std::function<void(QMessageBox *)> action)
    {
        auto *poll = new QTimer(qApp);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action, waited = 0]() mutable {
            QMessageBox *box = shownBox();
            // Stopped as well as deleted: a deletion waits for the loop it was asked in,
            // and the action may run a loop of its own.
            if (box && !box->property("handled").toBool()) {
                box->setProperty("handled", true);
                poll->stop();
                poll->deleteLater();
                action(box);
            } else if (++waited * 20 > kDeadlineMs) {
                poll->stop();
                poll->deleteLater();
                ADD_FAILURE() << "no message box showed within " << kDeadlineMs << " ms";
            }
        });
        poll->start();
        m_pending.append(poll);
    }

    // Waits until every box asked for has been acted on and none shows any more.
    bool boxesAnswered()
    {
        return waitUntil([this] {
            for (const QPointer<QTimer> &poll : m_pending) {
                if (poll)
                    return false;
            }
            return !shownBox();
        });
    }

    QList<QPointer<QTimer>> m_pending;

    static void clickButton(QMessageBox *box, const QString &caption)
    {
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == caption) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
    }

    // The widget of the page that takes the mouse and the keys.
    static QWidget *pageInput(frmWeb *window)
    {
        QWidget *view = window->Web->focusProxy();
        return view->focusProxy() ? view->focusProxy() : view;
    }

    // Types into the page's text area as a user does: a click into it, then the keys.
    void typeIntoPage(frmWeb *window, const QString &text)
    {
        activateMain();
        main->mdiArea->setActiveSubWindow(window);
        window->Web->setFocusToPage();
        const QString focused = QStringLiteral("document.activeElement && document.activeElement.id");
        EXPECT_TRUE(waitUntil([&] {
            QTest::mouseClick(pageInput(window), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
            QTest::qWait(100);
            return evaluate(window, focused).toString() == QStringLiteral("text");
        }));
        QTest::keyClicks(pageInput(window), text);
        EXPECT_TRUE(waitUntil([&] {
            return evaluate(window, QStringLiteral("document.getElementById('text').value")).toString() == text;
        }));
    }

    // The user brings the main window to the front.
    void activateMain()
    {
        main->activateWindow();
        EXPECT_TRUE(waitFor([this] { return QApplication::activeWindow() == main; }, 5000));
    }

    // Ctrl+F9, "Zavřít okno", pressed in the main window.
    void pressCloseWindow()
    {
        activateMain();
        QTest::keyClick(main->windowHandle(), Qt::Key_F9, Qt::ControlModifier);
    }

    // The user clicks a menu of the menu bar and then one of its items.
    void chooseFromMenu(const char *menuName, const char *itemName)
    {
        QMenu *menu = main->menu(QString::fromLatin1(menuName));
        QAction *item = main->menuItem(QString::fromLatin1(itemName));
        ASSERT_TRUE(menu && item);
        QMenuBar *bar = main->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(waitFor([menu] { return menu->isVisible(); }, 5000)) << menuName << " did not open";
        QTest::qWait(100);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    }

    // Types an address into the address field and presses Enter.
    void typeAddress(const QString &address)
    {
        activateMain();
        main->txtAddress->setFocus();
        main->txtAddress->lineEdit()->selectAll();
        QTest::keyClicks(main->txtAddress, address);
        QTest::keyClick(main->txtAddress, Qt::Key_Return);
    }

    // The page's leave question shows on a typed address; close is how the user then
    // closes the window, from inside the question's loop. The program goes on with the
    // other window and what was typed into it.
    void closeWindowUnderItsLeaveQuestion(const std::function<void(QMessageBox *)> &close)
    {
        LoopbackServer server(kLeavePage);
        ASSERT_TRUE(server.isListening());
        frmWeb *other = openWindow(server.address(QStringLiteral("/jine")), QStringLiteral("Psaní"));
        frmWeb *window = openWindow(server.address(QStringLiteral("/psani")), QStringLiteral("Psaní"));
        ASSERT_TRUE(other && window);
        QPointer<frmWeb> watched(window);
        typeIntoPage(other, QStringLiteral("jiny dopis"));
        typeIntoPage(window, QStringLiteral("rozepsany dopis"));

        QString question;
        onNextBox([&](QMessageBox *box) {
            question = box->text();
            close(box);
        });
        typeAddress(server.address(QStringLiteral("/jinam")));
        EXPECT_TRUE(waitUntil([&] { return watched.isNull(); })) << "the window could not be closed";
        EXPECT_TRUE(boxesAnswered());
        EXPECT_EQ(question, QStringLiteral("Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy."));
        // What the question's answer posts would reach the control that is gone.
        QTest::qWait(500);
        ASSERT_TRUE(Forms::isLoaded<frmMain>());
        EXPECT_EQ(shared().WindowCount, 1);
        EXPECT_EQ(evaluate(other, QStringLiteral("document.getElementById('text').value")).toString(),
                  QStringLiteral("jiny dopis"));
        EXPECT_EQ(server.requestsFor("/jinam"), 0);
    }
};

TEST_F(PageQuestions, ClosingAWindowAsksAPageTheUserTypedIntoAndStaysOnZrusit)
{
    LoopbackServer server(kLeavePage);
    ASSERT_TRUE(server.isListening());
    frmWeb *window = openWindow(server.address(QStringLiteral("/psani")), QStringLiteral("Psaní"));
    ASSERT_NE(window, nullptr);
    QPointer<frmWeb> watched(window);
    typeIntoPage(window, QStringLiteral("rozepsany dopis"));

    QString question, title;
    onNextBox([&](QMessageBox *box) {
        question = box->text();
        title = box->windowTitle();
        clickButton(box, QStringLiteral("Zrušit"));
    });
    pressCloseWindow();
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(question, QStringLiteral("Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy."))
        << "the window closed without asking";
    EXPECT_EQ(title, QStringLiteral("Otázka ze stránky 127.0.0.1"));
    QTest::qWait(500);
    ASSERT_FALSE(watched.isNull());
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_EQ(evaluate(window, QStringLiteral("document.getElementById('text').value")).toString(),
              QStringLiteral("rozepsany dopis"));

    // A typed address the user leaves the page for asks too; staying shows the page's
    // own address again.
    onNextBox([&](QMessageBox *box) { clickButton(box, QStringLiteral("Zrušit")); });
    main->txtAddress->setFocus();
    main->txtAddress->lineEdit()->selectAll();
    QTest::keyClicks(main->txtAddress, server.address(QStringLiteral("/jinam")));
    QTest::keyClick(main->txtAddress, Qt::Key_Return);
    ASSERT_TRUE(boxesAnswered());
    EXPECT_TRUE(waitUntil([&] { return main->txtAddress->currentText() == server.address(QStringLiteral("/psani")); }))
        << main->txtAddress->currentText().toStdString();

    // The user writes on and then closes the window after all.
    activateMain();
    window->Web->setFocusToPage();
    QTest::keyClicks(pageInput(window), QStringLiteral(" konec"));
    ASSERT_TRUE(waitUntil([&] {
        return evaluate(window, QStringLiteral("document.getElementById('text').value")).toString().contains(QStringLiteral("konec"));
    }));
    bool askedAgain = false;
    onNextBox([&](QMessageBox *box) {
        askedAgain = true;
        clickButton(box, QStringLiteral("OK"));
    });
    pressCloseWindow();
    EXPECT_TRUE(waitUntil([&] { return watched.isNull(); }));
    EXPECT_TRUE(askedAgain);
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_TRUE(Forms::isLoaded<frmMain>());
}

TEST_F(PageQuestions, QuittingAsksEveryPageTheUserTypedIntoAndZrusitKeepsEverything)
{
    LoopbackServer plain("<title>Jiná</title><p>Nic k uložení</p>");
    LoopbackServer asking(kLeavePage);
    frmWeb *first = openWindow(asking.address(QStringLiteral("/prvni")), QStringLiteral("Psaní"));
    frmWeb *other = openWindow(plain.address(QStringLiteral("/")), QStringLiteral("Jiná"));
    frmWeb *second = openWindow(asking.address(QStringLiteral("/druhy")), QStringLiteral("Psaní"));
    ASSERT_TRUE(first && other && second);
    typeIntoPage(first, QStringLiteral("prvni"));
    typeIntoPage(second, QStringLiteral("druhy"));
    main->mdiArea->setActiveSubWindow(other);

    frmWeb *firstAsked = nullptr;
    frmWeb *secondAsked = nullptr;
    onNextBox([&](QMessageBox *box) {
        // The page that asks is the one shown.
        firstAsked = main->ActiveForm();
        onNextBox([&](QMessageBox *next) {
            secondAsked = main->ActiveForm();
            clickButton(next, QStringLiteral("Zrušit"));
        });
        clickButton(box, QStringLiteral("OK"));
    });
    main->mnuFileExit_Click();
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(firstAsked, first) << "the program ended without asking";
    EXPECT_EQ(secondAsked, second) << "only one page was asked";
    QTest::qWait(500);
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_EQ(shared().WindowCount, 3);

    // Next time both pages are asked again, one after the other, and then the program ends.
    int asked = 0;
    std::function<void(QMessageBox *)> agree = [&](QMessageBox *box) {
        if (++asked < 2)
            onNextBox(agree);
        clickButton(box, QStringLiteral("OK"));
    };
    onNextBox(agree);
    main->mnuFileExit_Click();
    EXPECT_TRUE(waitUntil([] { return !Forms::isLoaded<frmMain>(); }));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_FALSE(GetSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth")).isEmpty());
}

TEST_F(PageQuestions, AWindowWhosePageShowsAnAlertCanBeClosedAndTheOthersWorkOn)
{
    LoopbackServer server("<title>Upozornění</title><p>x</p>");
    frmWeb *other = openWindow(server.address(QStringLiteral("/jina")), QStringLiteral("Upozornění"));
    frmWeb *window = openWindow(server.address(QStringLiteral("/alert")), QStringLiteral("Upozornění"));
    ASSERT_TRUE(other && window);
    QPointer<frmWeb> watched(window);
    // The user closes the window with Ctrl+F9 while the box, in front, has the keyboard:
    // the window keys still reach the window the box belongs to.
    bool boxHadTheKeyboard = false;
    onNextBox([&](QMessageBox *box) {
        box->activateWindow();
        boxHadTheKeyboard = waitFor([box] { return QApplication::activeWindow() == box; }, 5000);
        QTest::keyClick(box->windowHandle(), Qt::Key_F9, Qt::ControlModifier);
    });
    window->Web->runScript(QStringLiteral("alert('Pozor')"));
    EXPECT_TRUE(waitUntil([&] { return watched.isNull(); })) << "the window could not be closed";
    EXPECT_TRUE(boxHadTheKeyboard);
    EXPECT_TRUE(boxesAnswered());
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_EQ(evaluate(other, QStringLiteral("6 * 7")).toInt(), 42);
    EXPECT_TRUE(Forms::isLoaded<frmMain>());
}

TEST_F(PageQuestions, ClosingAWindowByTheWindowMenuUnderItsLeaveQuestionKeepsTheProgramAndTheOthers)
{
    closeWindowUnderItsLeaveQuestion([this](QMessageBox *) { chooseFromMenu("mnuwindow", "mnuWindowClose"); });
}

TEST_F(PageQuestions, ClosingAWindowByCtrlF9UnderItsLeaveQuestionKeepsTheProgramAndTheOthers)
{
    closeWindowUnderItsLeaveQuestion([](QMessageBox *box) {
        box->activateWindow();
        EXPECT_TRUE(waitFor([box] { return QApplication::activeWindow() == box; }, 5000));
        QTest::keyClick(box->windowHandle(), Qt::Key_F9, Qt::ControlModifier);
    });
}

// Quitting while one window's page shows an alert closes the alert and still asks the
// page with typed text in the other window; "Zrušit" there keeps the program and both.
TEST_F(PageQuestions, QuittingWithAnAlertOpenStillAsksThePageWithTypedTextAndZrusitKeepsBoth)
{
    LoopbackServer asking(kLeavePage);
    LoopbackServer alerting("<title>Upozornění</title><p>x</p>");
    frmWeb *typedInto = openWindow(asking.address(QStringLiteral("/psani")), QStringLiteral("Psaní"));
    frmWeb *alert = openWindow(alerting.address(QStringLiteral("/alert")), QStringLiteral("Upozornění"));
    ASSERT_TRUE(typedInto && alert);
    typeIntoPage(typedInto, QStringLiteral("rozepsany dopis"));
    main->mdiArea->setActiveSubWindow(alert);

    QString question;
    frmWeb *asked = nullptr;
    onNextBox([&](QMessageBox *) {
        onNextBox([&](QMessageBox *leave) {
            question = leave->text();
            asked = main->ActiveForm();
            clickButton(leave, QStringLiteral("Zrušit"));
        });
        chooseFromMenu("mnuFile", "mnuFileExit");
    });
    alert->Web->runScript(QStringLiteral("setTimeout(function () { alert('Pozor'); }, 0)"));
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(question, QStringLiteral("Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy."))
        << "the program ended without asking";
    EXPECT_EQ(asked, typedInto);
    QTest::qWait(500);
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_EQ(shared().WindowCount, 2);
    EXPECT_EQ(evaluate(typedInto, QStringLiteral("document.getElementById('text').value")).toString(),
              QStringLiteral("rozepsany dopis"));
    EXPECT_EQ(evaluate(alert, QStringLiteral("6 * 7")).toInt(), 42);
}

// A page's own confirmation that says what the engine's leave question says is the
// page's dialog: shown as written, with the check box from the second one on, so a page
// asking it in a loop can be stopped. The engine's real question still shows in Czech.
TEST_F(PageQuestions, APagesOwnConfirmInTheLeaveQuestionsWordsIsAPageDialogAndTheRealOneStillAsks)
{
    const QString engineSentence =
        QStringLiteral("Are you sure you want to leave this page? Changes that you made may not be saved.");
    const QString czech = QStringLiteral("Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy.");
    LoopbackServer server(kLeavePage + R"html(<script>
        var answers = [];
        function pose() {
            answers.push(confirm('Are you sure you want to leave this page? Changes that you made may not be saved.'));
            for (var i = 0; i < 30; i++)
                answers.push(confirm('Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy.'));
        }
        </script>)html");
    frmWeb *window = openWindow(server.address(QStringLiteral("/past")), QStringLiteral("Psaní"));
    ASSERT_NE(window, nullptr);
    typeIntoPage(window, QStringLiteral("rozepsany dopis"));

    QString firstText, secondText;
    bool firstOffersStop = true, ticked = false;
    onNextBox([&](QMessageBox *box) {
        firstText = box->text();
        firstOffersStop = box->checkBox() != nullptr;
        onNextBox([&](QMessageBox *second) {
            secondText = second->text();
            if (QCheckBox *stop = second->checkBox()) {
                QTest::mouseClick(stop, Qt::LeftButton, Qt::NoModifier, QPoint(5, stop->height() / 2));
                ticked = stop->isChecked();
            }
            clickButton(second, QStringLiteral("OK"));
        });
        clickButton(box, QStringLiteral("OK"));
    });
    window->Web->runScript(QStringLiteral("setTimeout(pose, 0)"));
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(firstText, engineSentence) << "the page's confirmation was shown as the program's question";
    EXPECT_FALSE(firstOffersStop);
    EXPECT_EQ(secondText, czech);
    EXPECT_TRUE(ticked) << "the page's second confirmation offered no check box";
    // The rest of the loop is answered unseen.
    EXPECT_TRUE(waitUntil([&] { return evaluate(window, QStringLiteral("answers.length")).toInt() == 31; }));
    EXPECT_EQ(shownBox(), nullptr);
    EXPECT_EQ(evaluate(window, QStringLiteral("answers.slice(2).indexOf(true)")).toInt(), -1);

    // The engine's own question, after the page's dialogs were stopped, still asks.
    QString question;
    bool questionOffersStop = true;
    onNextBox([&](QMessageBox *box) {
        question = box->text();
        questionOffersStop = box->checkBox() != nullptr;
        clickButton(box, QStringLiteral("Zrušit"));
    });
    typeAddress(server.address(QStringLiteral("/jinam")));
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(question, czech);
    EXPECT_FALSE(questionOffersStop);
    QTest::qWait(300);
    EXPECT_EQ(server.requestsFor("/jinam"), 0);
    EXPECT_EQ(evaluate(window, QStringLiteral("document.getElementById('text').value")).toString(),
              QStringLiteral("rozepsany dopis"));
}

// Quitting while a page's leave question is open for a typed address: the question
// closes as "Zrušit" and the quit asks the page again; "Zrušit" keeps the program.
TEST_F(PageQuestions, QuittingUnderALeaveQuestionAsksThePageAgain)
{
    LoopbackServer server(kLeavePage);
    frmWeb *window = openWindow(server.address(QStringLiteral("/psani")), QStringLiteral("Psaní"));
    ASSERT_TRUE(window);
    typeIntoPage(window, QStringLiteral("rozepsany dopis"));
    bool askedAgain = false;
    onNextBox([&](QMessageBox *) {
        onNextBox([&](QMessageBox *again) {
            askedAgain = true;
            clickButton(again, QStringLiteral("Zrušit"));
        });
        chooseFromMenu("mnuFile", "mnuFileExit");
    });
    typeAddress(server.address(QStringLiteral("/jinam")));
    EXPECT_TRUE(waitUntil([&] { return askedAgain || !Forms::isLoaded<frmMain>(); }));
    EXPECT_TRUE(boxesAnswered());
    EXPECT_TRUE(askedAgain) << "the program ended without asking again";
    QTest::qWait(500);
    ASSERT_TRUE(Forms::isLoaded<frmMain>());
    EXPECT_EQ(shared().WindowCount, 1);
}

// A page whose alert waits for the user runs no script until it is answered: Zastavit
// meanwhile never takes it for a hung page, however long the user takes.
TEST_F(PageQuestions, APageWaitingForItsAlertIsNeverTakenForAHungOne)
{
    LoopbackServer server("<title>Upozornění</title><p>x</p>");
    frmWeb *window = openWindow(server.address(QStringLiteral("/ceka")), QStringLiteral("Upozornění"));
    ASSERT_TRUE(window);
    QWebEnginePage *page = window->Web->findChild<QWebEngineView *>()->page();
    const qint64 pid = page->renderProcessPid();
    bool keptWhileWaiting = false;
    onNextBox([&](QMessageBox *box) {
        QToolButton *stop = main->tbToolbar[1]->button(QStringLiteral("stop")).widget();
        QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
        QTest::qWait(PageProcessGuard::kAnswerMs + 1500);
        keptWhileWaiting = page->renderProcessPid() == pid && ::kill(static_cast<pid_t>(pid), 0) == 0;
        clickButton(box, QStringLiteral("OK"));
    });
    window->Web->runScript(QStringLiteral("alert('Čekám')"));
    EXPECT_TRUE(boxesAnswered());
    EXPECT_TRUE(keptWhileWaiting) << "the page's process was ended while its alert waited";
    EXPECT_EQ(evaluate(window, QStringLiteral("6 * 7")).toInt(), 42);
}

// A page showing alerts without end: the second offers to stop them, and once that is
// ticked no more come while the page keeps calling.
TEST_F(PageQuestions, APageAlertingInALoopIsStoppedByTheCheckBoxOfItsSecondAlert)
{
    LoopbackServer server(R"html(<title>Smyčka</title><script>
        var calls = 0;
        function again() { alert('Zpráva ' + (calls + 1)); calls++; setTimeout(again, 20); }
        </script>)html");
    frmWeb *window = openWindow(server.address(QStringLiteral("/smycka")), QStringLiteral("Smyčka"));
    ASSERT_NE(window, nullptr);

    QString firstText, secondText, stopText;
    bool firstOffersStop = true, programBlocked = true, ticked = false;
    onNextBox([&](QMessageBox *box) {
        firstText = box->text();
        firstOffersStop = box->checkBox() != nullptr;
        programBlocked = QApplication::activeModalWidget() != nullptr;
        onNextBox([&](QMessageBox *second) {
            secondText = second->text();
            if (QCheckBox *stop = second->checkBox()) {
                stopText = stop->text();
                QTest::mouseClick(stop, Qt::LeftButton, Qt::NoModifier, QPoint(5, stop->height() / 2));
                ticked = stop->isChecked();
            }
            clickButton(second, QStringLiteral("OK"));
        });
        clickButton(box, QStringLiteral("OK"));
    });
    window->Web->runScript(QStringLiteral("setTimeout(again, 0)"));
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(firstText, QStringLiteral("Zpráva 1"));
    EXPECT_FALSE(firstOffersStop) << "a page's first dialog offers no stop";
    EXPECT_FALSE(programBlocked) << "the box holds the whole program";
    EXPECT_EQ(secondText, QStringLiteral("Zpráva 2"));
    EXPECT_EQ(stopText, QStringLiteral("Další dialogy této stránky nezobrazovat"));
    EXPECT_TRUE(ticked);

    // The page goes on calling alert; nothing shows.
    EXPECT_TRUE(waitUntil([&] { return evaluate(window, QStringLiteral("calls")).toInt() >= 10; }));
    EXPECT_EQ(shownBox(), nullptr);

    // Another address lets the page ask again.
    LoopbackServer next(R"html(<title>Další</title><script>setTimeout(function () { alert('Nová'); }, 0)</script>)html");
    QString nextText;
    onNextBox([&](QMessageBox *box) {
        nextText = box->text();
        clickButton(box, QStringLiteral("OK"));
    });
    window->Web->Navigate(next.address(QStringLiteral("/")));
    ASSERT_TRUE(boxesAnswered());
    EXPECT_EQ(nextText, QStringLiteral("Nová"));
}

// A page reloading itself every 10 ms while the user types an address: the typing
// stays and Enter loads it; Esc or leaving the field brings back the page's address.
TEST_F(PageQuestions, AnAddressBeingTypedSurvivesAPageThatReloadsItself)
{
    LoopbackServer reloading(R"html(<title>Znovu</title><script>setTimeout(function () { location.reload(); }, 10)</script>)html");
    LoopbackServer target("<title>Cíl</title><p>Došli jste</p>");
    NewWindow(reloading.address(QStringLiteral("/znovu")));
    frmWeb *window = windowTable().slot(windowTable().WindowNumber);
    ASSERT_NE(window, nullptr);
    const QString pageAddress = reloading.address(QStringLiteral("/znovu"));
    ASSERT_TRUE(waitUntil([&] { return reloading.requests().size() > 1; }));

    activateMain();
    QLineEdit *edit = main->txtAddress->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::qWait(200);
    ASSERT_TRUE(main->txtAddress->hasFocus());
    edit->selectAll();
    const QString typed = target.address(QStringLiteral("/cil"));
    for (const QChar c : typed) {
        QTest::keyClicks(main->txtAddress, QString(c));
        QTest::qWait(15);
    }
    const qsizetype reloads = reloading.requests().size();
    ASSERT_TRUE(waitUntil([&] { return reloading.requests().size() > reloads + 2; }));
    EXPECT_EQ(main->txtAddress->currentText(), typed);
    QTest::keyClick(main->txtAddress, Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("Cíl"); }));
    EXPECT_EQ(target.requests().size(), 1);

    // Back on the reloading page, Esc drops what was typed.
    window->Web->Navigate(pageAddress);
    ASSERT_TRUE(waitUntil([&] { return window->windowTitle() == QStringLiteral("Znovu"); }));
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::qWait(200);
    QTest::keyClicks(main->txtAddress, QStringLiteral("neco"));
    QTest::qWait(300);
    EXPECT_TRUE(main->txtAddress->currentText().endsWith(QStringLiteral("neco")));
    QTest::keyClick(main->txtAddress, Qt::Key_Escape);
    EXPECT_EQ(main->txtAddress->currentText(), pageAddress);

    // Leaving the field with Tab does the same.
    QTest::keyClicks(main->txtAddress, QStringLiteral("jinam"));
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("jinam"));
    QTest::keyClick(main->txtAddress, Qt::Key_Tab);
    EXPECT_FALSE(main->txtAddress->hasFocus());
    EXPECT_EQ(main->txtAddress->currentText(), pageAddress);
}

} // namespace
