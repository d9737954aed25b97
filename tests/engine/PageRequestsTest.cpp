// What pages ask of the browser besides their own dialogs: logins, permissions,
// printing and certificates the engine does not trust, against servers of the test's own.
#include "Waits.h"
#include "EngineTest.h"
#include "LoopbackServer.h"
#include "QtPrinters.h"
#include "ScriptedMessageBoxes.h"

#include "platform/controls/LoginDialog.h"
#include "platform/engine/PageRequests.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkProxy>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>

namespace {

const QByteArray kRightCredentials = "Authorization: Basic " + QByteArray("jan:heslo").toBase64();
const QByteArray kEmptyCredentials = "Authorization: Basic " + QByteArray(":").toBase64();

// A page behind a login: the right name and password get it, anything else the
// server's own refusal.
LoopbackResponse protectedPage(const QByteArray &head)
{
    LoopbackResponse response;
    if (head.contains(kRightCredentials)) {
        response.body = "<title>Sklad</title><p>vítejte</p>";
        return response;
    }
    response.status = "401 Unauthorized";
    response.headers << "WWW-Authenticate: Basic realm=\"Sklad firmy\"";
    response.body = "<title>Odepřeno</title><p>bez hesla ne</p>";
    return response;
}

int countContaining(const QList<QByteArray> &requests, const QByteArray &text)
{
    return int(std::count_if(requests.begin(), requests.end(), [&](const QByteArray &r) { return r.contains(text); }));
}

class PageRequestsTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        PageRequests::forgetAcceptedCertificates();
    }

    void TearDown() override
    {
        PageRequests::forgetAcceptedCertificates();
        EngineTest::TearDown();
    }

    // Answers each login dialog that shows, from inside its own loop, once.
    void answerLogins(std::function<void(LoginDialog *)> answer)
    {
        auto *poll = new QTimer(&pollContext);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [this, answer] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<LoginDialog *>(widget);
                if (!dialog || !dialog->isVisible() || answered.contains(dialog))
                    continue;
                answered.append(dialog);
                questions << dialog->findChild<QLabel *>(QStringLiteral("lblQuestion"))->text();
                answer(dialog);
            }
        });
        poll->start();
    }

    static void typeAndPress(LoginDialog *dialog, const QString &user, const QString &password, const char *button)
    {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtUser")), user);
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtPassword")), password);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

    QString titleOf(BrowserControl &control)
    {
        QString title;
        bool done = false;
        control.runScript(QStringLiteral("document.title"), [&](const QVariant &value) {
            title = value.toString();
            done = true;
        });
        EXPECT_TRUE(waitUntil([&] { return done; }));
        return title;
    }

    QObject pollContext;
    QList<QPointer<LoginDialog>> answered;
    QStringList questions;
};

TEST_F(PageRequestsTest, ABasicLoginIsAskedOnceAndAgainOnlyAfterAWrongAnswer)
{
    LoopbackServer server("");
    server.route("/sklad", protectedPage);
    BrowserControl &control = newControl();
    QStringList passwords = {QStringLiteral("hesla"), QStringLiteral("heslo")};
    answerLogins([&](LoginDialog *dialog) {
        typeAndPress(dialog, QStringLiteral("jan"), passwords.isEmpty() ? QString() : passwords.takeFirst(), "cmdOK");
    });

    ASSERT_TRUE(navigateAndWait(control, logOf(0), server.address(QStringLiteral("/sklad")))) << logOf(0).describe();
    ASSERT_TRUE(waitUntil([&] { return control.LocationName() == QStringLiteral("Sklad"); })) << control.LocationName().toStdString();
    EXPECT_EQ(answered.size(), 2);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].contains(server.address({}).mid(7))) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains(QStringLiteral("Sklad firmy"))) << questions[0].toStdString();
    EXPECT_EQ(countContaining(server.requests(), kEmptyCredentials), 0);
    EXPECT_EQ(countContaining(server.requests(), kRightCredentials), 1);
}

TEST_F(PageRequestsTest, ZrusitShowsTheServersOwnRefusalWithoutAskingAgain)
{
    LoopbackServer server("");
    server.route("/sklad", protectedPage);
    BrowserControl &control = newControl();
    answerLogins([](LoginDialog *dialog) { typeAndPress(dialog, QStringLiteral("jan"), QString(), "cmdCancel"); });

    ASSERT_TRUE(navigateAndWait(control, logOf(0), server.address(QStringLiteral("/sklad")))) << logOf(0).describe();
    EXPECT_EQ(titleOf(control), QStringLiteral("Odepřeno"));
    QTest::qWait(300);
    EXPECT_EQ(answered.size(), 1);
    EXPECT_EQ(countContaining(server.requests(), kEmptyCredentials), 0);
    EXPECT_LE(server.requests().size(), 2);
}

TEST_F(PageRequestsTest, APagesPartsBehindOneLoginAreAskedOnce)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(3, 3, QImage::Format_RGB32).save(&buffer, "PNG");
    LoopbackServer server("");
    server.route("/galerie", [](const QByteArray &) {
        return LoopbackResponse{"200 OK", {"Content-Type: text/html"},
                                "<img src='/sklad/a.png'><img src='/sklad/b.png'><img src='/sklad/c.png'>"};
    });
    server.route("/trezor", [](const QByteArray &) {
        return LoopbackResponse{"200 OK", {"Content-Type: text/html"},
                                "<img src='/trezor/a.png'><img src='/trezor/b.png'><img src='/trezor/c.png'>"};
    });
    for (const char *folder : {"sklad", "trezor"}) {
        for (const char *name : {"a.png", "b.png", "c.png"}) {
            server.route(QByteArray("/") + folder + "/" + name, [png, folder](const QByteArray &head) {
                LoopbackResponse response = protectedPage(head);
                response.headers.replace(0, "Content-Type: image/png");
                if (response.status.startsWith("200"))
                    response.body = png;
                else
                    response.headers.last() = QByteArray("WWW-Authenticate: Basic realm=\"") + folder + "\"";
                return response;
            });
        }
    }
    BrowserControl &control = newControl();
    bool give = true;
    answerLogins([&](LoginDialog *dialog) {
        typeAndPress(dialog, QStringLiteral("jan"), QStringLiteral("heslo"), give ? "cmdOK" : "cmdCancel");
    });
    auto loadedImages = [&] {
        int count = -1;
        control.runScript(QStringLiteral("Array.from(document.images).filter(i => i.naturalWidth == 3).length"),
                          [&](const QVariant &value) { count = value.toInt(); });
        EXPECT_TRUE(waitUntil([&] { return count >= 0; }));
        return count;
    };

    ASSERT_TRUE(navigateAndWait(control, logOf(0), server.address(QStringLiteral("/galerie")))) << logOf(0).describe();
    EXPECT_EQ(loadedImages(), 3);
    EXPECT_EQ(answered.size(), 1);

    give = false;
    ASSERT_TRUE(navigateAndWait(control, logOf(0), server.address(QStringLiteral("/trezor")))) << logOf(0).describe();
    QTest::qWait(500);
    EXPECT_EQ(loadedImages(), 0);
    EXPECT_EQ(answered.size(), 2);
    EXPECT_EQ(countContaining(server.requests(), kEmptyCredentials), 0);
}

TEST_F(PageRequestsTest, AProxysLoginIsAskedInTheSameDialog)
{
    const QByteArray rightCredentials = "Proxy-Authorization: Basic " + QByteArray("jan:heslo").toBase64();
    LoopbackServer proxy("");
    proxy.route("http://vorlan.invalid/", [&](const QByteArray &head) {
        LoopbackResponse response;
        if (head.contains(rightCredentials)) {
            response.body = "<title>Za proxy</title>";
            return response;
        }
        response.status = "407 Proxy Authentication Required";
        response.headers << "Proxy-Authenticate: Basic realm=\"Firemní proxy\"";
        return response;
    });
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                                     QUrl(proxy.address({})).port()));
    BrowserControl &control = newControl();
    answerLogins([](LoginDialog *dialog) { typeAndPress(dialog, QStringLiteral("jan"), QStringLiteral("heslo"), "cmdOK"); });
    const bool loaded = navigateAndWait(control, logOf(0), QStringLiteral("http://vorlan.invalid/"));
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    ASSERT_TRUE(loaded) << logOf(0).describe();
    EXPECT_EQ(control.LocationName(), QStringLiteral("Za proxy"));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("Proxy server 127.0.0.1"))) << questions[0].toStdString();
    EXPECT_EQ(countContaining(proxy.requests(), "Proxy-Authorization: Basic " + QByteArray(":").toBase64()), 0);
}

TEST_F(PageRequestsTest, LocationAndNotificationRequestsAreRefusedAtOnce)
{
    LoopbackServer server("<title>Ptá se</title>");
    BrowserControl &control = newControl();
    ASSERT_TRUE(navigateAndWait(control, logOf(0), server.address(QStringLiteral("/")))) << logOf(0).describe();
    control.runScript(QStringLiteral(R"js(
        window.answers = [];
        navigator.geolocation.getCurrentPosition(() => answers.push('poloha'), e => answers.push('poloha:' + e.code));
        Notification.requestPermission().then(p => answers.push('oznámení:' + p));
        0)js"));
    QStringList answers;
    EXPECT_TRUE(waitUntil([&] {
        bool done = false;
        control.runScript(QStringLiteral("answers.slice().sort().join()"), [&](const QVariant &value) {
            answers = value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
            done = true;
        });
        return waitFor([&] { return done; }, kDeadlineMs) && answers.size() == 2;
    }));
    // PERMISSION_DENIED
    EXPECT_EQ(answers, QStringList({QStringLiteral("oznámení:denied"), QStringLiteral("poloha:1")}));
}

TEST_F(PageRequestsTest, APagesPrintCallOpensThePrintDialog)
{
    BrowserControl &control = newControl();
    ASSERT_TRUE(navigateAndWait(control, logOf(0), writePage(QStringLiteral("print.html"), "<title>Tisk</title>x")));
    int dialogs = 0;
    QTimer poll;
    poll.setInterval(20);
    QPointer<QPrintDialog> seen;
    int polls = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (dialog && dialog != seen) {
            ++dialogs;
            seen = dialog;
            polls = 0;
        }
        // Left open a while, so that the page's second call arrives meanwhile.
        if (dialog && ++polls > 25)
            dialog->reject();
    });
    poll.start();
    control.runScript(QStringLiteral("window.print(); setTimeout(() => window.print(), 100); 0"));
    EXPECT_TRUE(waitUntil([&] { return dialogs > 0; }));
    EXPECT_TRUE(waitUntil([&] { return !QApplication::activeModalWidget(); }));
    QTest::qWait(300);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(PageRequestsTest, ASelfSignedSiteAsksStoppingByDefaultAndGoingOnHoldsForTheRun)
{
    QString certificate, key;
    if (!LoopbackServer::makeSelfSignedCertificate(env.root(), &certificate, &key))
        GTEST_SKIP() << "no openssl to make a certificate with";
    LoopbackServer server("<title>Bezpečná</title><p>ok</p>", certificate, key);
    ASSERT_TRUE(server.isListening());
    const QString address = server.address(QStringLiteral("/"));
    ScriptedMessageBoxes boxes;
    BrowserControl &control = newControl();

    boxes.answers = {MsgBoxResult::No};
    ASSERT_TRUE(navigateAndWait(control, logOf(0), address)) << logOf(0).describe();
    ASSERT_EQ(boxes.shown.size(), 1);
    const MessageBoxRequest &asked = boxes.shown[0];
    EXPECT_TRUE(asked.prompt.startsWith(QStringLiteral("Certifikát serveru %1 není důvěryhodný: ").arg(server.address({}).mid(8))))
        << asked.prompt.toStdString();
    EXPECT_TRUE(asked.prompt.contains(PageRequests::certificateProblem(-202, {}))) << asked.prompt.toStdString();
    EXPECT_EQ(asked.buttons(), MsgBoxStyle::YesNo);
    EXPECT_EQ(asked.defaultButton(), MsgBoxStyle::DefaultButton2);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_NE(control.LocationName(), QStringLiteral("Bezpečná"));

    // A page with several parts from that server asks once for all of them.
    LoopbackServer plain(QStringLiteral("<title>Směs</title><img src='%1a.png'><img src='%1b.png'><iframe src='%1'></iframe>")
                             .arg(address)
                             .toUtf8());
    boxes.answers = {MsgBoxResult::No};
    ASSERT_TRUE(navigateAndWait(control, logOf(0), plain.address(QStringLiteral("/")))) << logOf(0).describe();
    QTest::qWait(500);
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(server.requests().isEmpty());

    boxes.answers = {MsgBoxResult::Yes};
    ASSERT_TRUE(navigateAndWait(control, logOf(0), address)) << logOf(0).describe();
    EXPECT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(titleOf(control), QStringLiteral("Bezpečná"));

    // Another window on the same site is not asked again.
    BrowserControl &other = newControl();
    ASSERT_TRUE(navigateAndWait(other, logOf(1), address)) << logOf(1).describe();
    EXPECT_EQ(titleOf(other), QStringLiteral("Bezpečná"));
    EXPECT_EQ(boxes.shown.size(), 3);

    // The same server showing another certificate is asked about again: the "yes" was for
    // the certificate the user saw.
    const QString otherFolder = env.root() + QStringLiteral("/other");
    ASSERT_TRUE(QDir().mkpath(otherFolder));
    ASSERT_TRUE(LoopbackServer::makeSelfSignedCertificate(otherFolder, &certificate, &key));
    ASSERT_TRUE(server.setCertificate(certificate, key));
    const qsizetype questions = boxes.shown.size();
    // The earlier pages may still fetch their icons from the server: those are asked too.
    boxes.answers = {MsgBoxResult::No, MsgBoxResult::No, MsgBoxResult::No};
    BrowserControl &third = newControl();
    ASSERT_TRUE(navigateAndWait(third, logOf(2), address + QStringLiteral("?znovu"))) << logOf(2).describe();
    EXPECT_GT(boxes.shown.size(), questions);
    EXPECT_NE(titleOf(third), QStringLiteral("Bezpečná"));
    EXPECT_EQ(server.requestsFor("/?znovu"), 0);
}

TEST(CertificateQuestion, AnErrorNoOneMayOverrideIsOnlyTold)
{
    const QString told = PageRequests::certificateQuestion(QStringLiteral("example.cz"), QStringLiteral("certifikát byl odvolán"), false);
    EXPECT_TRUE(told.startsWith(QStringLiteral("Certifikát serveru example.cz není důvěryhodný: certifikát byl odvolán.")));
    EXPECT_FALSE(told.contains(QLatin1Char('?')));
    EXPECT_TRUE(PageRequests::certificateQuestion(QStringLiteral("example.cz"), QStringLiteral("x"), true).contains(QLatin1Char('?')));
    // An error type the program has no words for keeps the engine's description.
    EXPECT_EQ(PageRequests::certificateProblem(-1, QStringLiteral("odd")), QStringLiteral("certifikát nelze ověřit (odd)"));
}

} // namespace
