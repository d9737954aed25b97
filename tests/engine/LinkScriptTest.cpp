#include "Waits.h"
#include "EngineTest.h"
#include "MainWindowTest.h"

#include "app/OpenSave.h"
#include "app/frmMain.h"
#include "browser/CapturedLinksPage.h"
#include "browser/LinkCaptureScript.h"
#include "browser/LinkSnapshot.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/controls/ListView.h"

#include <QSignalSpy>

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Serves a few pages by path on 127.0.0.1, so that one page can hold a frame of its
// own origin and one of another ("localhost" names the same server).
class PageServer
{
public:
    explicit PageServer(QHash<QByteArray, QByteArray> pages)
        : m_pages(std::move(pages))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }

    const QList<QByteArray> &requested() const { return m_requested; }

    QString url(const QString &host, const QString &path) const
    {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(m_server.serverPort()).arg(path);
    }

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        m_requested.append(path);
        const QByteArray body = m_pages.value(path);
        socket->write("HTTP/1.1 " + QByteArray(body.isEmpty() ? "404 Not Found" : "200 OK")
                      + "\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_pages;
    QList<QByteArray> m_requested;
};

class LinkScript : public EngineTest
{
protected:
    PageSnapshot snapshotOf(BrowserControl &control)
    {
        bool answered = false;
        PageSnapshot snapshot;
        control.runScript(
            linkCaptureScript(),
            [&](const QVariant &result) {
                snapshot = pageSnapshotFromJson(result.toString());
                answered = true;
            },
            ScriptWorld::Application);
        EXPECT_TRUE(waitUntil([&] { return answered; }));
        return snapshot;
    }

    static QStringList captions(const QList<LinkRow> &rows)
    {
        QStringList result;
        for (const LinkRow &row : rows)
            result.append(row.caption);
        return result;
    }
    static QStringList captions(const PageSnapshot &snapshot, int mode) { return captions(capturedLinkRows(snapshot, mode, 0, {})); }
};

} // namespace

TEST_F(LinkScript, ReadsTheTopDocumentAndItsReadableFramesOnly)
{
    PageServer other({{"/other.htm", "<html><body><a href=\"/secret\">Secret</a></body></html>"}});
    const QString otherFrame = other.url(QStringLiteral("localhost"), QStringLiteral("/other.htm"));
    PageServer site({
        {"/frame.htm", "<html><body><a href=\"#in\">In frame</a></body></html>"},
        {"/top.htm", "<html><head><title>Top page</title></head><body>"
                     "<a href=\"#part\">Part</a>"
                     "<a href=\"top.htm?q=1\" title=\"Query\"></a>"
                     "<a href=\"sibling.htm\">Two\nlines<br>here</a>"
                     "<a href=\"mailto:a@b.test\">Mail</a>"
                     "<a href=\"unknown:thing\">Unknown</a>"
                     "<a href=\"/dir/last\"></a>"
                     "<iframe src=\"frame.htm\"></iframe>"
                     "<iframe src=\"" + otherFrame.toUtf8() + "\"></iframe></body></html>"},
    });
    const QString page = site.url(QStringLiteral("127.0.0.1"), QStringLiteral("/top.htm"));

    BrowserControl &control = newControl();
    ASSERT_TRUE(navigateAndWait(control, logOf(0), page));
    const PageSnapshot snapshot = snapshotOf(control);
    ASSERT_TRUE(snapshot.valid);
    EXPECT_EQ(snapshot.title, QStringLiteral("Top page"));
    EXPECT_EQ(snapshot.top.bodyTag, QStringLiteral("BODY"));
    EXPECT_EQ(snapshot.top.url, page);
    ASSERT_EQ(snapshot.top.links.size(), 6);
    EXPECT_EQ(snapshot.top.links[0].href, page + QStringLiteral("#part"));
    EXPECT_EQ(snapshot.top.links[3].protocol, QStringLiteral("mailto:"));
    EXPECT_TRUE(other.requested().contains("/other.htm"));
    ASSERT_EQ(snapshot.frames.size(), 1) << "the other origin's frame adds nothing";

    const QList<LinkRow> all = capturedLinkRows(snapshot, LinkCaptureMode::All, 0, {});
    EXPECT_EQ(captions(all), (QStringList{QStringLiteral("Part"), QStringLiteral("Query"), QStringLiteral("Two lines here"),
                                          QStringLiteral("Mail"), QStringLiteral("<last>"), QStringLiteral("In frame")}));
    EXPECT_EQ(all.last().source, QStringLiteral("Top page"));
    EXPECT_EQ(captions(snapshot, LinkCaptureMode::Local), (QStringList{"Part", "Query", "In frame"}));
    EXPECT_EQ(captions(snapshot, LinkCaptureMode::OutgoingWithText), (QStringList{"Two lines here", "Mail"}));

    // Local files: a frameset adds nothing of its own, its frames follow in order, and
    // a file:/// frame's links to itself are local.
    writePage(QStringLiteral("a.htm"), "<html><body><a href=\"http://127.0.0.1:1/a\">A</a></body></html>");
    writePage(QStringLiteral("b.htm"), "<html><body><a href=\"#x\">B</a></body></html>");
    const QString frameset = fileUrl(writePage(QStringLiteral("frames.htm"),
        "<html><head><title>Frames</title></head><frameset cols=\"50%,50%\">"
        "<frame src=\"a.htm\"><frame src=\"b.htm\"></frameset></html>"));
    ASSERT_TRUE(navigateAndWait(control, logOf(0), frameset));
    const PageSnapshot frames = snapshotOf(control);
    EXPECT_EQ(frames.top.bodyTag, QStringLiteral("FRAMESET"));
    EXPECT_EQ(captions(frames, LinkCaptureMode::All), (QStringList{"A", "B"}));
    EXPECT_EQ(captions(frames, LinkCaptureMode::Local), QStringList{"B"});
}

TEST_F(LinkScript, BlankLinkTextIsReadAsTheDocumentHoldsIt)
{
    // The engine's rendered text collapses a text of blanks to nothing; the capture
    // must still see that the link has text. A link around an image alone has none.
    const QString page = fileUrl(writePage(QStringLiteral("blanks.htm"),
        "<html><head><title>Blanks</title></head><body>"
        "<a href=\"#blanks\" title=\"Not this\">  </a>"
        "<a href=\"#image\" title=\"Logo\"><img src=\"none.png\" alt=\"\"></a>"
        "<a href=\"#span\" title=\"Not this either\"><span> \n </span></a>"
        "<a href=\"#word\">  Word  </a>"
        "<a href=\"#empty\" title=\"Empty\"></a></body></html>"));
    BrowserControl &control = newControl();
    ASSERT_TRUE(navigateAndWait(control, logOf(0), page));
    const PageSnapshot snapshot = snapshotOf(control);
    ASSERT_TRUE(snapshot.valid);

    EXPECT_EQ(captions(snapshot, LinkCaptureMode::All), (QStringList{"", "Logo", "", "Word", "Empty"}));
    const QList<LinkRow> withText = capturedLinkRows(snapshot, LinkCaptureMode::AllWithText, 0, {});
    ASSERT_EQ(withText.size(), 3);
    EXPECT_EQ(withText[0].url, page + QStringLiteral("#blanks"));
    EXPECT_EQ(withText[0].caption, QString());
    EXPECT_EQ(withText[1].url, page + QStringLiteral("#span"));
    EXPECT_EQ(withText[2].caption, QStringLiteral("Word"));
}

TEST_F(LinkScript, CaptionsAreTheRenderedTextWhereverStylesChangeIt)
{
    // Each frame holds one way a page can make a link's rendered text differ from the
    // text the document holds; the caption is always what the page shows.
    const struct
    {
        const char *name;
        QByteArray body;
        QString caption;
    } cases[] = {
        {"plain", "<a href=\"#p\">Plain text</a>", QStringLiteral("Plain text")},
        {"sheet", "<style>a { text-transform: uppercase }</style><a href=\"#s\">shout</a>", QStringLiteral("SHOUT")},
        {"hidden", "<style>.h { visibility: hidden }</style><a class=\"h\" href=\"dir/hidden\">Hidden</a>",
         QStringLiteral("<hidden>")},
        {"secret", "<style>a { -webkit-text-security: disc }</style><a href=\"#t\">abc</a>",
         QStringLiteral("\u2022\u2022\u2022")},
        {"imported", "<style>@import \"upper.css\";</style><a href=\"#i\">imported</a>", QStringLiteral("IMPORTED")},
        {"inline", "<p style=\"text-transform: lowercase\"><a href=\"#l\">LOWER</a></p>", QStringLiteral("lower")},
        {"animated", "<style>@keyframes k { from { visibility: hidden } to { visibility: hidden } }"
                     " a { animation: k 1000s }</style><a href=\"dir/animated\">Animated</a>",
         QStringLiteral("<animated>")},
        {"custom", "<x-up><a href=\"#c\">slotted</a></x-up><script>"
                   "customElements.define('x-up', class extends HTMLElement { constructor() { super();"
                   " this.attachShadow({mode: 'closed'}).innerHTML ="
                   " '<style>:host { text-transform: uppercase }</style><slot></slot>'; } });</script>",
         QStringLiteral("SLOTTED")},
        {"host", "<div id=\"h\"><a href=\"#h\">hosted</a></div><script>"
                 "document.getElementById('h').attachShadow({mode: 'open'}).innerHTML ="
                 " '<b style=\"text-transform: uppercase\"><slot></slot></b>';</script>",
         QStringLiteral("HOSTED")},
        {"spaces", "<a href=\"#w\">two\n   words</a>", QStringLiteral("two words")},
    };
    writePage(QStringLiteral("upper.css"), "a { text-transform: uppercase }");
    QByteArray top = "<html><head><title>Styles</title></head><body>";
    for (const auto &c : cases) {
        writePage(QLatin1String(c.name) + QStringLiteral(".htm"), "<html><body>" + c.body + "</body></html>");
        top += "<iframe src=\"" + QByteArray(c.name) + ".htm\"></iframe>";
    }
    BrowserControl &control = newControl();
    ASSERT_TRUE(navigateAndWait(control, logOf(0), fileUrl(writePage(QStringLiteral("styles.htm"), top + "</body></html>"))));
    const PageSnapshot snapshot = snapshotOf(control);
    ASSERT_TRUE(snapshot.valid);
    const QStringList captured = captions(capturedLinkRows(snapshot, LinkCaptureMode::All, 0, {}));
    ASSERT_EQ(captured.size(), int(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(captured.at(int(i)).toStdString(), cases[i].caption.toStdString()) << cases[i].name;
}

namespace {

// The whole way from the page to the saved file through the main window: the links of
// every kind a page can hold, read by the engine, listed and written.
class LinkCaptureToPage : public MainWindowTest
{
protected:
    void TearDown() override
    {
        OpenSave::setDialog({});
        MainWindowTest::TearDown();
    }

    bool shows(const QString &fileName)
    {
        return waitFor([&] {
            frmWeb *window = main->ActiveForm();
            return window && window->Web->LocationURL().endsWith(fileName) && !window->Web->Busy();
        }, 30000);
    }

    bool capture(int mode)
    {
        QSignalSpy finished(main, &frmMain::linksCaptureFinished);
        main->CaptureLinks(mode);
        return waitFor([&] { return finished.count() == 1; }, 30000);
    }

    // The saved page's lines after the title line, which carries the time of saving.
    QStringList savedLines(int mode)
    {
        const QString target = env.path(QStringLiteral("saved/links%1.htm").arg(mode));
        OpenSave::setDialog([&](const SaveDialogRequest &) { return SaveDialogAnswer{true, target, 1}; });
        main->SaveCapturedLinks(mode);
        const QByteArray bytes = TestEnvironment::readFile(target);
        EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF<!--saved by Vorlan"));
        return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n")).mid(2);
    }
};

} // namespace

TEST_F(LinkCaptureToPage, EveryKindOfLinkIsListedAndSavedAsExpected)
{
    env.writeFile(QStringLiteral("pages/frame.htm"),
                  "<html><head><title>Frame</title></head><body><a href=\"inner.htm\">In the frame</a></body></html>");
    const QString page = env.writeFile(QStringLiteral("pages/mixed.htm"),
        "<html><head><meta charset=\"utf-8\"><title>Mixed &amp; &lt;co&gt;</title></head><body>\n"
        "<a href=\"a.htm\">Plain</a>\n"
        "<a href=\"b.htm\">  Lead and trail  </a>\n"
        "<a href=\"c.htm\">Two\nlines<br>here</a>\n"
        "<a href=\"d.htm\" style=\"text-transform:uppercase\">shout</a>\n"
        "<a href=\"e.htm\"><span style=\"display:none\">hidden</span>Shown</a>\n"
        "<a href=\"f.htm\" title=\" Titled \"></a>\n"
        "<a href=\"dir/\"></a>\n"
        "<a href=\"g.htm\">&nbsp;nb&nbsp;</a>\n"
        "<a href=\"mailto:x@y.test\">Mail &amp; &lt;co&gt;</a>\n"
        "<a href=\"javascript:void(0)\">Script</a>\n"
        "<a href=\"h.htm\" title=\"No\">  </a>\n"
        "<a href=\"unknown:x\">Skipped</a>\n"
        "<img src=\"none.png\" usemap=\"#m\" alt=\"\"><map name=\"m\"><area href=\"i.htm\" title=\"Area\" shape=\"rect\" coords=\"0,0,5,5\"></map>\n"
        "<a href=\"j.htm\">tab\there</a>\n"
        "<a href=\"k.htm\">\xC4\x8C" "e\xC5\xA1tina \xE2\x9C\x93</a>\n"
        "<a href=\"l.htm\"><b>Bold</b> <i>italic</i></a>\n"
        "<a href=\"m.htm\" style=\"visibility:hidden\">Invisible</a>\n"
        "<a href=\"n.htm\"><div>Block</div><div>two</div></a>\n"
        "<a href=\"o.htm?a=1&amp;b=%22q%22#frag\">Query</a>\n"
        "<a href=\"#top\">Top</a>\n"
        "<iframe src=\"frame.htm\"></iframe></body></html>\n");
    NewWindow(QUrl::fromLocalFile(page).toString());
    ASSERT_TRUE(shows(QStringLiteral("mixed.htm")));
    const QString folder = QUrl::fromLocalFile(env.path(QStringLiteral("pages"))).toString() + QLatin1Char('/');
    ASSERT_TRUE(capture(LinkCaptureMode::All));
    ASSERT_TRUE(capture(LinkCaptureMode::LocalWithText));
    ASSERT_EQ(main->lstLinks->count(), 21);
    EXPECT_EQ(main->lstLinks->item(21).key(), folder + QStringLiteral("mixed.htm#top20"));

    const QString source = QStringLiteral("Mixed &amp; &lt;co&gt;: ");
    const QStringList expected = {
        source + QStringLiteral("<A href=\"%1a.htm\">Plain</A><BR>"),
        source + QStringLiteral("<A href=\"%1b.htm\">Lead and trail</A><BR>"),
        source + QStringLiteral("<A href=\"%1c.htm\">Two lines here</A><BR>"),
        source + QStringLiteral("<A href=\"%1d.htm\">SHOUT</A><BR>"),
        source + QStringLiteral("<A href=\"%1e.htm\">Shown</A><BR>"),
        source + QStringLiteral("<A href=\"%1f.htm\">Titled</A><BR>"),
        source + QStringLiteral("<A href=\"%1dir/\">&lt;&gt;</A><BR>"),
        source + QStringLiteral("<A href=\"%1g.htm\">\u00A0nb\u00A0</A><BR>"),
        source + QStringLiteral("<A href=\"mailto:x@y.test\">Mail &amp; &lt;co&gt;</A><BR>"),
        source + QStringLiteral("<A title=\"javascript:void(0)\">Script</A><BR>"),
        source + QStringLiteral("<A href=\"%1h.htm\"></A><BR>"),
        source + QStringLiteral("<A href=\"%1i.htm\">Area</A><BR>"),
        source + QStringLiteral("<A href=\"%1j.htm\">tab here</A><BR>"),
        source + QStringLiteral("<A href=\"%1k.htm\">\u010Ce\u0161tina \u2713</A><BR>"),
        source + QStringLiteral("<A href=\"%1l.htm\">Bold italic</A><BR>"),
        source + QStringLiteral("<A href=\"%1m.htm\">&lt;m.htm&gt;</A><BR>"),
        source + QStringLiteral("<A href=\"%1n.htm\">Block two</A><BR>"),
        source + QStringLiteral("<A href=\"%1o.htm?a=1&amp;b=%22q%22#frag\">Query</A><BR>"),
        source + QStringLiteral("<A href=\"%1mixed.htm#top\">Top</A><BR>"),
        source + QStringLiteral("<A href=\"%1inner.htm\">In the frame</A><BR>"),
        source + QStringLiteral("<A href=\"%1mixed.htm#top\">Top</A><BR>"),
        QStringLiteral("</HTML>"),
        QString(),
    };
    QStringList saved = savedLines(LinkSaveMode::All);
    for (QString &line : saved)
        line.replace(folder, QStringLiteral("%1"));
    EXPECT_EQ(saved, expected) << saved.join(QLatin1Char('\n')).toStdString();
}

TEST_F(LinkCaptureToPage, ABigPageIsListedWholeInDocumentOrderAndCapturesNeverMix)
{
    // Far more links than the page hands over at once, in the page and in a frame.
    const auto links = [](int count, const QByteArray &prefix) {
        QByteArray html;
        for (int i = 0; i < count; ++i)
            html += "<a href=\"http://127.0.0.1:1/" + prefix + QByteArray::number(i) + "\">" + prefix + " "
                    + QByteArray::number(i) + "</a>\n";
        return html;
    };
    env.writeFile(QStringLiteral("pages/frame.htm"), "<html><body>" + links(25000, "f") + "</body></html>");
    const QString page = env.writeFile(QStringLiteral("pages/big.htm"),
        "<html><head><title>Big</title></head><body>" + links(45000, "p") + "<iframe src=\"frame.htm\"></iframe></body></html>");
    NewWindow(QUrl::fromLocalFile(page).toString());
    ASSERT_TRUE(shows(QStringLiteral("big.htm")));
    ASSERT_TRUE(waitFor([&] {
        bool answered = false;
        QString state;
        main->ActiveForm()->Web->runScript(QStringLiteral("document.readyState"), [&](const QVariant &v) {
            state = v.toString();
            answered = true;
        });
        return waitFor([&] { return answered; }, 30000) && state == QLatin1String("complete");
    }, 30000));

    // Two captures asked for at once: the second lists after the first, never between.
    QSignalSpy finished(main, &frmMain::linksCaptureFinished);
    main->CaptureLinks(LinkCaptureMode::All);
    main->CaptureLinks(LinkCaptureMode::All);
    ASSERT_TRUE(waitFor([&] { return finished.count() == 2; }, 60000));
    ListView *list = main->lstLinks;
    ASSERT_EQ(list->count(), 140000);
    for (const int capture : {0, 70000}) {
        SCOPED_TRACE(capture);
        for (const int i : {0, 19999, 20000, 44999}) {
            EXPECT_EQ(list->item(capture + i + 1).text().toStdString(), "p " + std::to_string(i));
            EXPECT_EQ(list->item(capture + i + 1).key(),
                      QStringLiteral("http://127.0.0.1:1/p%1%2").arg(i).arg(capture + i));
        }
        EXPECT_EQ(list->item(capture + 45001).text(), QStringLiteral("f 0"));
        EXPECT_EQ(list->item(capture + 70000).text(), QStringLiteral("f 24999"));
        EXPECT_EQ(list->item(capture + 70000).subItem(2), QStringLiteral("Big"));
    }

    // A sorted list stays sorted: the new rows take their places once they are all in.
    list->clear();
    list->setSorted(true);
    list->setSortKey(1);
    list->setSortOrder(Qt::DescendingOrder);
    main->CaptureLinks(LinkCaptureMode::All);
    ASSERT_TRUE(waitFor([&] { return finished.count() == 3; }, 60000));
    ASSERT_EQ(list->count(), 70000);
    EXPECT_TRUE(list->sorted());
    EXPECT_EQ(list->item(1).subItem(1), QStringLiteral("http://127.0.0.1:1/p9999"));
    EXPECT_EQ(list->item(70000).subItem(1), QStringLiteral("http://127.0.0.1:1/f0"));
}

TEST_F(LinkCaptureToPage, ACaptureEndsWhenItsWindowGoesAway)
{
    QByteArray html = "<html><head><title>Gone</title></head><body>";
    for (int i = 0; i < 60000; ++i)
        html += "<a href=\"http://127.0.0.1:1/" + QByteArray::number(i) + "\">L</a>\n";
    const QString page = env.writeFile(QStringLiteral("pages/gone.htm"), html + "</body></html>");
    NewWindow(QUrl::fromLocalFile(page).toString());
    ASSERT_TRUE(shows(QStringLiteral("gone.htm")));
    QSignalSpy finished(main, &frmMain::linksCaptureFinished);
    main->CaptureLinks(LinkCaptureMode::All);
    main->ActiveForm()->close();
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 30000));
    QTest::qWait(200);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_LT(main->lstLinks->count(), 60000);
    EXPECT_TRUE(main->lstLinks->updatesEnabled()) << "the list must not stay frozen";
}
