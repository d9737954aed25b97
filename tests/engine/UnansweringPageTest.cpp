#include "Waits.h"
#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/ToolbarButton.h"
#include "platform/controls/LoginDialog.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/PageProcessGuard.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedSaveDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <signal.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Generous beside the seconds a page gets to answer, short beside the minutes a page whose
// process does not answer would keep a window unusable.
constexpr int kDeadlineMs = 30000;

// A browser window whose page's process stops answering, or ends, driven as a user does.
class UnansweringPage : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = openWindow(env.writeFile("pages/start.html", "<title>Start</title><p>start</p>"), "Start");
        ASSERT_NE(window, nullptr);
    }

    void typeAddress(const QString &text)
    {
        QApplication::setActiveWindow(main);
        QLineEdit *field = main->txtAddress->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    // A text file of 1 GiB: its layout keeps the page's process busy for minutes.
    QString hugeTextFile()
    {
        const QString path = env.writeFile("pages/velky.txt", QByteArray("řádek textu\n").repeated(1000));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(qint64(1) << 30));
        return path;
    }

    bool showsEmptyPage() const
    {
        const QWidget *cover = window->Web->findChild<QWidget *>(QStringLiteral("endedPageCover"));
        return cover && cover->isVisible();
    }
    QString progress() const { return main->sbStatusBar->panel(QStringLiteral("prg")).text(); }

    void clickStop()
    {
        QToolButton *stop = main->tbToolbar[1]->button(QStringLiteral("stop")).widget();
        QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
    }

    static bool showsEmptyPage(frmWeb *shown)
    {
        const QWidget *cover = shown->Web->findChild<QWidget *>(QStringLiteral("endedPageCover"));
        return cover && cover->isVisible();
    }

    static qint64 processOf(frmWeb *shown)
    {
        return shown->Web->findChild<QWebEngineView *>()->page()->renderProcessPid();
    }

    static bool processRuns(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0; }

    // What the screen shows in the middle of the window's page.
    static QColor shownColour(frmWeb *shown)
    {
        const QPoint centre = shown->Web->mapToGlobal(shown->Web->rect().center());
        return QGuiApplication::primaryScreen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage().pixelColor(0, 0);
    }

    // The page's own widget, which the engine's mouse and keys go to.
    static QWidget *pageSurface(frmWeb *shown)
    {
        QWidget *view = shown->Web->focusProxy();
        return view->focusProxy() ? view->focusProxy() : view;
    }

    static void clickInPage(frmWeb *shown, QPoint point)
    {
        QTest::mouseMove(pageSurface(shown), point);
        QTest::qWait(100);
        QTest::mouseClick(pageSurface(shown), Qt::LeftButton, Qt::NoModifier, point);
    }

    // Clicks into the page's text area and types there as a user does.
    void typeIntoPage(frmWeb *shown, const QString &text)
    {
        main->mdiArea->setActiveSubWindow(shown);
        clickInPage(shown, QPoint(100, 40));
        QTest::keyClicks(pageSurface(shown), text);
        ASSERT_TRUE(waitFor([&] { return typedText(shown) == text; }, kDeadlineMs)) << typedText(shown).toStdString();
    }

    static QString typedText(frmWeb *shown) { return evaluate(shown, QStringLiteral("document.querySelector('textarea').value")).toString(); }

    frmWeb *window = nullptr;
};

// A page with a text area at the top and a button below it that keeps the page's
// process busy for the given milliseconds; the title says when the work starts and ends.
QByteArray busyPage(const QByteArray &title, int busyMs, const QByteArray &more = {})
{
    return "<html><head><meta charset='utf-8'><title>" + title + "</title></head>"
           "<body style='margin:0;background:#2e7d32'>"
           "<textarea style='position:absolute;left:10px;top:10px;width:300px;height:60px'></textarea>"
           "<button style='position:absolute;left:10px;top:100px;width:200px;height:40px' onclick=\"document.title='Počítá';"
           "setTimeout(function(){var end=Date.now()+" + QByteArray::number(busyMs) + ";while(Date.now()<end){}"
           "document.title='Spočítáno';},50)\">Počítat</button>" + more + "</body></html>";
}

const QColor kHealthyGreen(0x2e, 0x7d, 0x32);

bool isHealthyGreen(const QColor &colour)
{
    return qAbs(colour.red() - kHealthyGreen.red()) < 8 && qAbs(colour.green() - kHealthyGreen.green()) < 8
        && qAbs(colour.blue() - kHealthyGreen.blue()) < 8;
}

const QByteArray kHealthyPage = "<html><head><meta charset='utf-8'><title>Zdravá</title></head>"
                                "<body style='background:#2e7d32'>zdravá stránka</body></html>";
// Loads whole, then its script runs for ever.
const QByteArray kHangsAfterLoading = "<html><head><meta charset='utf-8'><title>Visí</title></head><body>visí"
                                      "<script>setTimeout(function(){while(true){}},300)</script></body></html>";

TEST_F(UnansweringPage, StopAndANewAddressWorkWhileTheHugeFileIsLaidOut)
{
    const QString huge = hugeTextFile();
    typeAddress(huge);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "velky.txt"; }, kDeadlineMs));
    QTest::qWait(1500);
    ASSERT_TRUE(window->Web->Busy()) << "the file loaded whole: nothing to stop";

    QToolButton *stop = main->tbToolbar[1]->button(QStringLiteral("stop")).widget();
    QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
    ASSERT_TRUE(waitFor([&] { return !window->Web->Busy(); }, kDeadlineMs)) << "Zastavit did nothing";
    EXPECT_TRUE(waitFor([&] { return progress() == "Hotovo"; }, kDeadlineMs)) << progress().toStdString();
    EXPECT_EQ(window->ProgressText, "Hotovo");
    EXPECT_TRUE(showsEmptyPage());
    EXPECT_EQ(QUrl(window->Web->LocationURL()).toLocalFile(), huge);
    EXPECT_EQ(main->txtAddress->currentText(), huge);
    EXPECT_EQ(window->windowTitle(), "velky.txt");
    EXPECT_EQ(main->tbsWindows->caption(WindowTabKey(window->number())), "velky.txt");
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("back")).isEnabled()) << "the history was lost";

    typeAddress(env.writeFile("pages/dalsi.html", "<title>Další</title><p>2</p>"));
    EXPECT_TRUE(waitFor([&] { return window->windowTitle() == "Další"; }, kDeadlineMs));
    EXPECT_FALSE(showsEmptyPage());

    // A new address typed while the page does not answer, without Zastavit.
    typeAddress(huge);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "velky.txt"; }, kDeadlineMs));
    QTest::qWait(1500);
    typeAddress(env.writeFile("pages/treti.html", QByteArray(kHealthyPage).replace("Zdravá", "Třetí")));
    EXPECT_TRUE(waitFor([&] { return window->windowTitle() == "Třetí" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
    EXPECT_FALSE(showsEmptyPage()) << "the empty page stayed over the new one";
    EXPECT_TRUE(waitFor([&] { return isHealthyGreen(shownColour(window)); }, kDeadlineMs))
        << "the page is not shown: " << shownColour(window).name().toStdString();
}

TEST_F(UnansweringPage, APageWhoseProcessEndedShowsAnEmptyPageAndLoadsTheNextAddress)
{
    auto *view = window->Web->findChild<QWebEngineView *>();
    ASSERT_NE(view, nullptr);
    const qint64 pid = view->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    const QString address = window->Web->LocationURL();
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(waitFor([&] { return showsEmptyPage(); }, kDeadlineMs));
    EXPECT_EQ(window->Web->LocationURL(), address);
    EXPECT_EQ(window->windowTitle(), "Start");
    EXPECT_EQ(progress(), "Hotovo");

    typeAddress(env.writeFile("pages/znovu.html", "<title>Znovu</title><p>z</p>"));
    EXPECT_TRUE(waitFor([&] { return window->windowTitle() == "Znovu"; }, kDeadlineMs));
    EXPECT_FALSE(showsEmptyPage());
}

// A page that hangs once it has loaded is stopped by one click, and the window shows
// whatever comes next, by a typed address or by F5.
TEST_F(UnansweringPage, APageThatHangsAfterLoadingIsEmptiedByOneStopAndTheNextPageIsShown)
{
    const QString hanging = env.writeFile("pages/visi.html", kHangsAfterLoading);
    typeAddress(hanging);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí" && !window->Web->Busy(); }, kDeadlineMs));
    QTest::qWait(1000);
    const qint64 hung = processOf(window);

    clickStop();
    ASSERT_TRUE(waitFor([&] { return showsEmptyPage(); }, kDeadlineMs)) << "Zastavit left the page hanging";
    EXPECT_FALSE(processRuns(hung));
    EXPECT_EQ(QUrl(window->Web->LocationURL()).toLocalFile(), hanging);

    // Its author mends the page; F5 shows it.
    TestEnvironment::replaceFile(hanging, QByteArray(kHealthyPage).replace("Zdravá", "Opravená"));
    QApplication::setActiveWindow(main);
    window->Web->setFocusToPage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Opravená" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
    EXPECT_FALSE(showsEmptyPage());
    EXPECT_TRUE(waitFor([&] { return isHealthyGreen(shownColour(window)); }, kDeadlineMs))
        << "the page is not shown: " << shownColour(window).name().toStdString();

    // Hanging again, with the keyboard in it, and left for an address typed after Alt+D.
    TestEnvironment::replaceFile(hanging, kHangsAfterLoading);
    typeAddress(hanging);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí" && !window->Web->Busy(); }, kDeadlineMs));
    QTest::qWait(1000);
    clickInPage(window, QPoint(50, 50));
    clickStop();
    ASSERT_TRUE(waitFor([&] { return showsEmptyPage(); }, kDeadlineMs)) << "Zastavit left the page hanging";
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "the keyboard went with the page";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), main->txtAddress);
    QTest::qWait(100); // the field selects its text once it has the keyboard
    QTest::keyClicks(QApplication::focusWidget(), env.writeFile("pages/zdrava.html", kHealthyPage));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Zdravá" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
    EXPECT_FALSE(showsEmptyPage());
    EXPECT_TRUE(waitFor([&] { return isHealthyGreen(shownColour(window)); }, kDeadlineMs))
        << "the page is not shown: " << shownColour(window).name().toStdString();
    EXPECT_EQ(progress(), "Hotovo");
}

// An address typed over a hung page brings a file to save: the user is asked once where
// to save it, and the page's process, ended for not answering, does not fetch it again.
TEST_F(UnansweringPage, AFileTypedOverAHungPageIsAskedForOnce)
{
    LoopbackServer server("<title>Nic</title>");
    server.route("/soubor.bin", [](const QByteArray &) {
        LoopbackResponse response;
        response.headers = {"Content-Type: application/octet-stream",
                            "Content-Disposition: attachment; filename=\"soubor.bin\""};
        response.body = QByteArray(1024, 'x');
        return response;
    });
    ScriptedSaveDialogs dialogs; // each cancelled
    typeAddress(env.writeFile("pages/visi.html", kHangsAfterLoading));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí" && !window->Web->Busy(); }, kDeadlineMs));
    QTest::qWait(1000);

    typeAddress(server.address(QStringLiteral("/soubor.bin")));
    ASSERT_TRUE(waitFor([&] { return showsEmptyPage(); }, kDeadlineMs)) << "the hung page was left hanging";
    QTest::qWait(2000); // time for a second request to come
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(server.requestsFor("/soubor.bin"), 1);
}

// An address typed over a hung page asks for a login; while the user reads the dialog,
// the hung page's process is ended. "Zrušit" then shows the server's refusal, without a
// second question for the same address.
TEST_F(UnansweringPage, ALoginCancelledWhileTheHungPageIsEndedIsNotAskedAgain)
{
    LoopbackServer server("<title>Nic</title>");
    server.route("/visi", [](const QByteArray &) {
        LoopbackResponse response;
        response.body = kHangsAfterLoading;
        return response;
    });
    server.route("/tajne", [](const QByteArray &) {
        LoopbackResponse response;
        response.status = "401 Unauthorized";
        response.headers << "WWW-Authenticate: Basic realm=\"Tajné\"";
        response.body = "<title>Odepřeno</title><p>bez hesla ne</p>";
        return response;
    });
    QList<QPointer<LoginDialog>> asked;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<LoginDialog *>(widget);
            if (!dialog || !dialog->isVisible() || asked.contains(dialog))
                continue;
            asked.append(dialog);
            // Answered once the hung page has gone, as a user who took a while.
            QTimer::singleShot(PageProcessGuard::kAnswerMs + 1000, dialog, [dialog] {
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            });
        }
    });
    poll.start();
    typeAddress(server.address(QStringLiteral("/visi")));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí" && !window->Web->Busy(); }, kDeadlineMs));
    QTest::qWait(1000);

    typeAddress(server.address(QStringLiteral("/tajne")));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Odepřeno" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
    QTest::qWait(1000);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_FALSE(showsEmptyPage());
}

// A page still loading that works for a few seconds is alive: Zastavit stops its load
// and leaves it, with what the user typed, in its process.
TEST_F(UnansweringPage, APageBusyForAMomentKeepsItsProcessAndWhatWasTyped)
{
    LoopbackServer server(busyPage("Pracuje", 2500, "<img src='/obrazek'>"));
    server.hold("/obrazek");
    typeAddress(server.address("/pracuje"));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Pracuje"; }, kDeadlineMs));
    typeIntoPage(window, QStringLiteral("Mily denicku 42"));
    ASSERT_TRUE(window->Web->Busy()) << "the page should still be loading its picture";
    const qint64 pid = processOf(window);

    clickInPage(window, QPoint(100, 120));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Počítá"; }, kDeadlineMs));
    clickStop();
    QElapsedTimer sinceStop;
    sinceStop.start();
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Spočítáno"; }, kDeadlineMs))
        << "the page lost its work: " << window->windowTitle().toStdString();
    // Past the time a page gets to answer.
    QTest::qWait(qMax<qint64>(0, 6000 - sinceStop.elapsed()));
    EXPECT_EQ(processOf(window), pid);
    EXPECT_TRUE(processRuns(pid));
    EXPECT_FALSE(showsEmptyPage());
    EXPECT_FALSE(window->Web->Busy());
    EXPECT_EQ(typedText(window), QStringLiteral("Mily denicku 42"));
}

// A page hung while loading, left for a page of another site: the new page has a
// process of its own, which is never taken for the hung one.
TEST_F(UnansweringPage, ANewHealthyPageInAnotherProcessIsNeverEnded)
{
    LoopbackServer hungSite("<html><head><meta charset='utf-8'><title>Visí</title></head><body>visí"
                            "<script>while(true){}</script></body></html>");
    LoopbackServer healthySite(kHealthyPage);
    typeAddress(hungSite.address("/visi"));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí"; }, kDeadlineMs));
    QTest::qWait(500);
    ASSERT_TRUE(window->Web->Busy());

    // Another site: another host name for the same loopback.
    typeAddress(healthySite.address("/zdrava").replace("127.0.0.1", "localhost"));
    QElapsedTimer sinceTyped;
    sinceTyped.start();
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Zdravá" && !window->Web->Busy(); }, kDeadlineMs));
    const qint64 pid = processOf(window);
    QTest::qWait(qMax<qint64>(0, 6000 - sinceTyped.elapsed()));
    EXPECT_EQ(processOf(window), pid);
    EXPECT_TRUE(processRuns(pid)) << "the healthy page's process was ended";
    EXPECT_FALSE(showsEmptyPage());
    EXPECT_EQ(window->windowTitle(), "Zdravá");
    EXPECT_EQ(healthySite.requestsFor("/zdrava"), 1) << "the page was fetched again";
    EXPECT_TRUE(isHealthyGreen(shownColour(window))) << shownColour(window).name().toStdString();
}

// A page hung while loading, left for a page of another site that is slow to come: the
// hung page's process is ended meanwhile, the address is asked for again, and the new
// page is shown when it comes.
TEST_F(UnansweringPage, ASlowPageAfterAnEndedOneIsShown)
{
    LoopbackServer hungSite("<html><head><meta charset='utf-8'><title>Visí</title></head><body>visí"
                            "<script>while(true){}</script></body></html>");
    LoopbackServer slowSite(kHealthyPage);
    slowSite.delayFirst("/pomala", 6000);
    typeAddress(hungSite.address("/visi"));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Visí"; }, kDeadlineMs));
    QTest::qWait(500);
    ASSERT_TRUE(window->Web->Busy());
    const qint64 hung = processOf(window);

    typeAddress(slowSite.address("/pomala").replace("127.0.0.1", "localhost"));
    ASSERT_TRUE(waitFor([&] { return !processRuns(hung); }, kDeadlineMs)) << "the hung page was never ended";
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Zdravá" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
    EXPECT_FALSE(showsEmptyPage()) << "the empty page stayed over the new one";
    EXPECT_TRUE(waitFor([&] { return isHealthyGreen(shownColour(window)); }, kDeadlineMs))
        << "the page is not shown: " << shownColour(window).name().toStdString();
    EXPECT_EQ(progress(), "Hotovo");
}

// The engine reads its switches once per process: these run in test programs of their
// own (see tests/CMakeLists.txt) and stand aside elsewhere.
template <const char *Switch>
class UnderEngineSwitch : public UnansweringPage
{
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").split(' ').contains(QLatin1String(Switch)))
            GTEST_SKIP() << "needs the engine switch " << Switch;
        UnansweringPage::SetUp();
    }

    // Answers the next message box with a click on its button, from inside the box's own
    // loop, and keeps what it asked; a box nobody answers is closed after a while.
    void answerNextBox(const QString &button)
    {
        auto *poll = new QTimer(qApp);
        poll->setInterval(50);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, button, waited = 0]() mutable {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                if (++waited > 1200)
                    poll->deleteLater();
                return;
            }
            poll->deleteLater();
            question = box->text();
            for (QAbstractButton *choice : box->buttons()) {
                if (choice->text() == button)
                    QTest::mouseClick(choice, Qt::LeftButton, {}, choice->rect().center());
            }
            if (box->isVisible())
                box->done(0);
        });
        poll->start();
    }

    QString question;
};

constexpr char kProcessPerSite[] = "--process-per-site";
constexpr char kSingleProcess[] = "--single-process";
using SharedPageProcess = UnderEngineSwitch<kProcessPerSite>;

class SingleEngineProcess : public UnderEngineSwitch<kSingleProcess>
{
protected:
    void TearDown() override
    {
        // The page is laid out on a thread of this very process for minutes, and closing
        // its window waits for that: the verdict is given now, and this program ends.
        // (It runs this suite alone.)
        if (!IsSkipped()) {
            std::printf("%s\n", HasFailure() ? "FAILED" : "PASSED");
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(HasFailure() ? 1 : 0);
        }
        UnderEngineSwitch<kSingleProcess>::TearDown();
    }
};

// Two windows of one site share a process: ending it would empty both, so the user is
// asked first, and waiting leaves both as they were.
TEST_F(SharedPageProcess, TheUserIsAskedAndWaitingKeepsBothWindows)
{
    LoopbackServer site(busyPage("Druhá", 0));
    site.setPage("/prvni", busyPage("První", 8000));
    // Each window comes to the site from a page of another one, so that the engine
    // looks for the site's process instead of keeping the one the window has.
    frmWeb *second = window;
    typeAddress(site.address("/druha"));
    ASSERT_TRUE(waitFor([&] { return second->windowTitle() == "Druhá" && !second->Web->Busy(); }, kDeadlineMs));
    frmWeb *first = openWindow(env.path("pages/start.html"), "Start");
    ASSERT_NE(first, nullptr);
    typeAddress(site.address("/prvni"));
    ASSERT_TRUE(waitFor([&] { return first->windowTitle() == "První" && !first->Web->Busy(); }, kDeadlineMs));
    const qint64 pid = processOf(first);
    ASSERT_EQ(processOf(second), pid) << "the engine gave the site two processes";
    typeIntoPage(second, QStringLiteral("druhy text"));
    typeIntoPage(first, QStringLiteral("prvni text"));

    clickInPage(first, QPoint(100, 120));
    ASSERT_TRUE(waitFor([&] { return first->windowTitle() == "Počítá"; }, kDeadlineMs));
    clickStop();
    const QPointer<QWidget> keyboard = QApplication::focusWidget();
    answerNextBox(QStringLiteral("&Ne"));
    ASSERT_TRUE(waitFor([&] { return !question.isEmpty(); }, kDeadlineMs)) << "nobody was asked";
    // Each page by the caption of its window.
    EXPECT_TRUE(question.contains(QStringLiteral("„Počítá“"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("„Druhá“"))) << question.toStdString();
    EXPECT_TRUE(waitFor([&] { return keyboard && QApplication::focusWidget() == keyboard; }, kDeadlineMs))
        << "the keyboard did not come back";

    ASSERT_TRUE(waitFor([&] { return first->windowTitle() == "Spočítáno"; }, kDeadlineMs))
        << first->windowTitle().toStdString();
    EXPECT_TRUE(processRuns(pid));
    EXPECT_EQ(processOf(first), pid);
    EXPECT_EQ(processOf(second), pid);
    EXPECT_FALSE(showsEmptyPage(first));
    EXPECT_FALSE(showsEmptyPage(second));
    EXPECT_EQ(typedText(first), QStringLiteral("prvni text"));
    EXPECT_EQ(typedText(second), QStringLiteral("druhy text"));

    // Asked again, the user ends it: both windows show the empty page.
    question.clear();
    clickInPage(first, QPoint(100, 120));
    ASSERT_TRUE(waitFor([&] { return first->windowTitle() == "Počítá"; }, kDeadlineMs));
    clickStop();
    answerNextBox(QStringLiteral("&Ano"));
    ASSERT_TRUE(waitFor([&] { return showsEmptyPage(first) && showsEmptyPage(second); }, kDeadlineMs));
    EXPECT_FALSE(question.isEmpty());
    EXPECT_FALSE(processRuns(pid));
}

// With a single process the page's process is the program itself: it is never ended,
// and the window says that its page does not answer.
TEST_F(SingleEngineProcess, AHugePageThatDoesNotAnswerNeverEndsTheProgram)
{
    const QString huge = hugeTextFile();
    typeAddress(huge);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "velky.txt"; }, kDeadlineMs));
    QTest::qWait(1500);
    ASSERT_TRUE(window->Web->Busy()) << "the file loaded whole: nothing to stop";
    ASSERT_EQ(processOf(window), QCoreApplication::applicationPid());

    clickStop();
    EXPECT_TRUE(waitFor([&] { return main->sbStatusBar->panel(1).text() == "Stránka neodpovídá."; }, kDeadlineMs))
        << main->sbStatusBar->panel(1).text().toStdString();
    EXPECT_FALSE(showsEmptyPage());
    EXPECT_EQ(window->windowTitle(), "velky.txt");
    EXPECT_EQ(QUrl(window->Web->LocationURL()).toLocalFile(), huge);
}

} // namespace
