#include "Waits.h"
#include "app/TerminationSignals.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/SettingsStore.h"
#include "platform/controls/StatusBar.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>

namespace {

constexpr int kDeadlineMs = 30000;

bool waitUntil(const std::function<bool()> &condition)
{
    return waitFor(condition, kDeadlineMs);
}

// Real browser windows whose pages open their own dialogs; the dialogs are the real
// ones, so that their event loops run inside the engine's calls as they do for a user.
class PageDialogs : public MainWindowTest
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
        MainWindowTest::TearDown();
        DialogLoops::reset();
        EngineProfile::resetInstance();
    }

    frmWeb *open(const char *name, const QByteArray &html, const QString &title)
    {
        return openWindow(env.writeFile(QStringLiteral("pages/") + QString::fromLatin1(name), html), title);
    }

    // A dialog modal to the program, or a page's box (modal to its page alone).
    static QWidget *shownDialog()
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            return modal;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox *>(widget) && widget->isVisible())
                return widget;
        }
        return nullptr;
    }

    // Runs the action from inside the dialog's own event loop as soon as a modal
    // dialog shows; a dialog still open long after that is closed here, so that a
    // failing program cannot hang the test, and counted.
    void whenDialogShows(std::function<void()> action)
    {
        auto *poll = new QTimer(qApp);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action, step = 0]() mutable {
            QWidget *modal = shownDialog();
            if (step == 0 && modal) {
                step = 1;
                action();
            } else if (step > 0 && modal && ++step > 250) {
                ++dialogsLeftOpen;
                modal->close();
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    box->done(0);
            } else if (step > 0 && !modal) {
                poll->deleteLater();
            }
        });
        poll->start();
    }

    int dialogsLeftOpen = 0;
};

TEST_F(PageDialogs, ExitWithAPageAlertOpenClosesTheAlertFirstAndSaves)
{
    frmWeb *window = open("alert.html", "<title>Alert</title><p>x</p>", QStringLiteral("Alert"));
    ASSERT_NE(window, nullptr);
    whenDialogShows([this] { main->mnuFileExit_Click(); });
    window->Web->runScript(QStringLiteral("alert('ahoj')"));
    ASSERT_TRUE(waitUntil([] { return !Forms::isLoaded<frmMain>(); }));
    EXPECT_EQ(dialogsLeftOpen, 0);
    EXPECT_EQ(shownDialog(), nullptr);
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_FALSE(GetSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth")).isEmpty());
}

TEST_F(PageDialogs, ATerminationSignalClosesAnOpenMessageBoxAndEndsAsKonecDoes)
{
    endOnTerminationSignals(*qApp);
    // The program's handlers are set once per process; the test puts the default ones
    // back when it ends, and a repeated run puts the program's back first.
    static const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    static struct sigaction programs[3];
    static bool saved = false;
    for (int i = 0; i < 3; ++i) {
        if (saved)
            ::sigaction(kSignals[i], &programs[i], nullptr);
        else
            ::sigaction(kSignals[i], nullptr, &programs[i]);
    }
    saved = true;
    frmWeb *window = open("term.html", "<title>Term</title>", QStringLiteral("Term"));
    ASSERT_NE(window, nullptr);
    whenDialogShows([] { ::raise(SIGTERM); });
    bool processed = false;
    // The refusal of a script address shows a box inside the window's own handler.
    window->WebBrw_NewWindow(QStringLiteral("javascript:alert(1)"), 0, {}, {}, {}, processed);
    ASSERT_TRUE(waitUntil([] { return !Forms::isLoaded<frmMain>(); }));
    EXPECT_EQ(dialogsLeftOpen, 0);
    EXPECT_EQ(shared().WindowCount, 0);
    EXPECT_FALSE(GetSetting(QStringLiteral("Settings"), QStringLiteral("MainWidth")).isEmpty());
    // Nothing may hold up the end any more, the page's own dialogs included.
    EXPECT_EQ(MsgBox(QStringLiteral("Ještě něco?"), MsgBoxStyle::YesNo), MsgBoxResult::No);
    for (int signal : kSignals)
        ::signal(signal, SIG_DFL);
}

TEST_F(PageDialogs, ClosingAWindowWhosePageAsksClosesTheQuestionAndTheWindow)
{
    frmWeb *first = open("stay.html", "<title>Stay</title>", QStringLiteral("Stay"));
    frmWeb *second = open("ask.html", "<title>Ask</title>", QStringLiteral("Ask"));
    ASSERT_NE(second, nullptr);
    QPointer<frmWeb> closing(second);
    whenDialogShows([closing] { closing->close(); });
    QVariant answer;
    second->Web->runScript(QStringLiteral("confirm('Smazat?')"), [&](const QVariant &value) { answer = value; });
    ASSERT_TRUE(waitUntil([&] { return closing.isNull() && !shownDialog(); }));
    EXPECT_EQ(dialogsLeftOpen, 0);
    EXPECT_EQ(shared().WindowCount, 1);
    // The other window and the engine go on as before.
    EXPECT_EQ(evaluate(first, QStringLiteral("6 * 7")).toInt(), 42);
    EXPECT_TRUE(Forms::isLoaded<frmMain>());
}

TEST_F(PageDialogs, ClosingAWindowWhileItsPrintDialogRunsClosesTheDialog)
{
    frmWeb *window = open("print.html", "<title>Print</title>", QStringLiteral("Print"));
    ASSERT_NE(window, nullptr);
    QPointer<frmWeb> closing(window);
    whenDialogShows([closing] { closing->close(); });
    window->Web->printWithDialog();
    EXPECT_TRUE(closing.isNull());
    EXPECT_EQ(dialogsLeftOpen, 0);
    EXPECT_EQ(shownDialog(), nullptr);
}

TEST_F(PageDialogs, AlertConfirmAndPromptAreTheProgramsOwnBoxesAndAnswerThePage)
{
    ScriptedMessageBoxes boxes;
    frmWeb *window = open("dialogs.html", "<title>Dialogs</title>", QStringLiteral("Dialogs"));
    ASSERT_NE(window, nullptr);
    const QString pageName = window->Web->LocationURL();

    evaluate(window, QStringLiteral("alert('Pozor'); 1"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Pozor"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Zpráva ze stránky ") + QUrl(pageName).toDisplayString());
    EXPECT_EQ(boxes.shown[0].buttons(), MsgBoxStyle::OKOnly);

    boxes.answers = {MsgBoxResult::Cancel, MsgBoxResult::OK};
    EXPECT_EQ(evaluate(window, QStringLiteral("confirm('Smazat?')")), QVariant(false));
    EXPECT_EQ(evaluate(window, QStringLiteral("confirm('Smazat?')")), QVariant(true));
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.shown[1].prompt, QStringLiteral("Smazat?"));
    EXPECT_TRUE(boxes.shown[1].title.startsWith(QStringLiteral("Otázka ze stránky ")));
    EXPECT_EQ(boxes.shown[1].buttons(), MsgBoxStyle::OKCancel);

    boxes.answers = {MsgBoxResult::OK, MsgBoxResult::Cancel};
    boxes.typed = {QStringLiteral("Jana")};
    EXPECT_EQ(evaluate(window, QStringLiteral("prompt('Jméno?', 'Petr')")), QVariant(QStringLiteral("Jana")));
    EXPECT_EQ(evaluate(window, QStringLiteral("String(prompt('Jméno?', 'Petr'))")), QVariant(QStringLiteral("null")));
    ASSERT_EQ(boxes.shown.size(), 5);
    EXPECT_TRUE(boxes.shown[3].title.startsWith(QStringLiteral("Dotaz ze stránky ")));
    EXPECT_EQ(boxes.shown[3].prompt, QStringLiteral("Jméno?"));
}

TEST_F(PageDialogs, AScriptLinkForANewWindowIsRefusedAndOpensNothingWhileOneWhoseScriptOpensAWindowGetsIt)
{
    ScriptedMessageBoxes boxes;
    env.writeFile(QStringLiteral("pages/other.html"), "<title>Other</title>");
    frmWeb *window = open("links.html", R"html(<title>Links</title><body style="margin:0">
        <a id="js" href="JavaScript:alert(1)" target="_blank" style="display:block;height:100px">skript</a>
        <a id="other" href="other.html" target="_blank" style="display:block;height:100px">jinam</a>
        <a id="opens" href="javascript:void(window.open('').document.write('<title>Okénko</title>Napsáno'))"
           style="display:block;height:100px">okénko</a></body>)html",
                          QStringLiteral("Links"));
    ASSERT_NE(window, nullptr);
    QWidget *view = window->Web->focusProxy();
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    // A user's click: the pointer moves onto the link first.
    auto clickAt = [&](QPoint point) {
        QTest::mouseMove(target, point);
        QTest::qWait(200);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    };

    clickAt(QPoint(50, 50));
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown.isEmpty(); }));
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("This type of link should not be opened in new window, because it will probably terminate the program."));
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);

    // From the keyboard, the pointer elsewhere: refused as well.
    QTest::mouseMove(target, QPoint(50, 400));
    ASSERT_TRUE(waitUntil([&] { return main->sbStatusBar->panel(1).text().isEmpty(); }));
    evaluate(window, QStringLiteral("document.getElementById('js').focus(); 1"));
    QTest::keyClick(target, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return boxes.shown.size() == 2; }));
    EXPECT_EQ(boxes.shown[1].prompt, boxes.shown[0].prompt);
    QTest::qWait(300);
    EXPECT_EQ(shared().WindowCount, 1);

    clickAt(QPoint(50, 150));
    ASSERT_TRUE(waitUntil([] { return shared().WindowCount == 2; }));
    EXPECT_TRUE(waitUntil([this] { return windowTable().slot(windowTable().WindowNumber)->windowTitle() == "Other"; }));

    // A script link without a target whose script opens a window: the window is the
    // script's, shown with what it wrote, clicked or from the keyboard.
    main->windowArea()->setActiveSubWindow(window);
    clickAt(QPoint(50, 250));
    ASSERT_TRUE(waitUntil([] { return shared().WindowCount == 3; }));
    EXPECT_TRUE(waitUntil([this] { return windowTable().slot(windowTable().WindowNumber)->windowTitle() == QStringLiteral("Okénko"); }));
    main->windowArea()->setActiveSubWindow(window);
    QTest::mouseMove(target, QPoint(50, 400));
    evaluate(window, QStringLiteral("document.getElementById('opens').focus(); 1"));
    QTest::keyClick(target, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([] { return shared().WindowCount == 4; }));
    EXPECT_TRUE(waitUntil([this] { return windowTable().slot(windowTable().WindowNumber)->windowTitle() == QStringLiteral("Okénko"); }));
    QTest::qWait(300);
    EXPECT_EQ(shared().WindowCount, 4);
    EXPECT_EQ(boxes.shown.size(), 2);
}

// A new window on an address the engine cannot show would stay blank: it is not opened,
// and the user learns why as for a typed address.
TEST_F(PageDialogs, ALinkForANewWindowOnAnAddressTheEngineRefusesOpensNothingAndSaysSo)
{
    ScriptedMessageBoxes boxes;
    frmWeb *window = open("ftp.html", R"html(<title>Ftp</title><body style="margin:0">
        <a href="ftp://127.0.0.1/pub" target="_blank" style="display:block;height:100px">ftp</a></body>)html",
                          QStringLiteral("Ftp"));
    ASSERT_NE(window, nullptr);
    const QString address = main->txtAddress->currentText();
    QWidget *view = window->Web->focusProxy();
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseMove(target, QPoint(50, 50));
    QTest::qWait(200);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown.isEmpty(); })) << "windows: " << shared().WindowCount;
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Adresu „ftp://127.0.0.1/pub“ program nedokáže otevřít."));
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
    QTest::qWait(500);
    EXPECT_EQ(shared().WindowCount, 1);
    EXPECT_EQ(main->ActiveForm(), window);
    EXPECT_EQ(main->txtAddress->currentText(), address);
    EXPECT_EQ(boxes.shown.size(), 1);
}

} // namespace
