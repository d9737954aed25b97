#include "EngineTest.h"

#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include <memory>
#include <optional>

namespace {

const QByteArray kPageA = "<html><head><meta charset='utf-8'><title>Stránka A</title>"
                          "<script>var marker = 'page';</script></head><body>"
                          "<a id='plain' href='b.html'>B</a> "
                          "<a id='blank' href='c.html' target='_blank'>C</a></body></html>";
const QByteArray kPageB = "<html><head><meta charset='utf-8'><title>Stránka B</title></head><body>B</body></html>";
const QByteArray kPageC = "<html><head><meta charset='utf-8'><title>Stránka C</title></head><body>C</body></html>";

const QString kBefore = QStringLiteral("BeforeNavigate");
const QString kComplete = QStringLiteral("NavigateComplete");
const QString kDownload = QStringLiteral("DownloadComplete");
const QString kProgress = QStringLiteral("ProgressChange");
const QString kTitle = QStringLiteral("TitleChange");
const QString kCommand = QStringLiteral("CommandStateChange");
const QString kNewWindow = QStringLiteral("NewWindow");

class BrowserControlTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        pathA = writePage(QStringLiteral("a.html"), kPageA);
        pathB = writePage(QStringLiteral("b.html"), kPageB);
        pathC = writePage(QStringLiteral("c.html"), kPageC);
    }

    QString pathA, pathB, pathC;
};

} // namespace

TEST_F(BrowserControlTest, LocalPageRaisesItsEventsInOrder)
{
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, pathA)) << log.describe();
    SCOPED_TRACE(log.describe());
    const auto &events = log.events();

    ASSERT_EQ(events.front().name, kBefore);
    EXPECT_EQ(events.front().text, fileUrl(pathA));
    ASSERT_EQ(log.count(kComplete), 1);
    EXPECT_EQ(log.last(kComplete)->text, fileUrl(pathA));
    EXPECT_EQ(log.count(kDownload), 1);
    EXPECT_EQ(events.back().name, kDownload);

    // Progress runs above 0 while loading and reads 0 once, at the end.
    const int firstProgress = log.indexOf(kProgress);
    ASSERT_GE(firstProgress, 0);
    EXPECT_LT(firstProgress, log.indexOf(kComplete));
    const int lastProgress = log.lastIndexOf(kProgress);
    EXPECT_EQ(events[lastProgress].first, 0);
    EXPECT_GT(lastProgress, log.indexOf(kComplete));
    for (int i = firstProgress; i <= lastProgress; ++i) {
        if (events[i].name != kProgress)
            continue;
        EXPECT_EQ(events[i].second, 100);
        EXPECT_TRUE(i == lastProgress || (events[i].first >= 1 && events[i].first <= 100)) << events[i].first;
    }

    const auto title = std::find_if(events.begin(), events.end(), [](const BrowserEvent &e) {
        return e.name == kTitle && e.text == QStringLiteral("Stránka A");
    });
    ASSERT_NE(title, events.end());
    EXPECT_GT(title - events.begin(), 0);
    const int command = log.indexOf(kCommand);
    EXPECT_GT(command, log.indexOf(kComplete));
    EXPECT_LT(command, lastProgress);
    EXPECT_EQ(control.LocationURL(), fileUrl(pathA));
    EXPECT_EQ(control.LocationName(), QStringLiteral("Stránka A"));
    EXPECT_FALSE(control.Busy());
}

TEST_F(BrowserControlTest, RefusedNavigationRaisesNothingFurther)
{
    struct Start
    {
        const char *name;
        std::function<void(BrowserControl &, const QString &)> go;
    };
    const Start starts[] = {
        {"the program navigates", [](BrowserControl &c, const QString &path) { c.Navigate(path); }},
        {"the page follows a link",
         [](BrowserControl &c, const QString &) { c.runScript(QStringLiteral("document.getElementById('plain').click()")); }},
    };
    for (const Start &start : starts) {
        SCOPED_TRACE(start.name);
        BrowserControl &control = newControl();
        BrowserEventLog &log = *logs.back();
        ASSERT_TRUE(navigateAndWait(control, log, pathA));

        auto *page = control.findChild<QWebEnginePage *>();
        ASSERT_NE(page, nullptr);
        auto engineEnds = std::make_shared<int>(0);
        QObject::connect(page, &QWebEnginePage::loadingChanged, &control, [engineEnds](const QWebEngineLoadingInfo &info) {
            if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                ++*engineEnds;
        });
        log.clear();
        log.cancelIf = [](const QString &url) { return url.endsWith(QLatin1String("b.html")); };
        start.go(control, pathB);
        ASSERT_TRUE(waitUntil([&] { return *engineEnds > 0; })) << log.describe();

        ASSERT_EQ(log.events().size(), 1u) << log.describe();
        EXPECT_EQ(log.events().front().name, kBefore);
        EXPECT_EQ(log.events().front().text, fileUrl(pathB));
        EXPECT_EQ(control.LocationURL(), fileUrl(pathA));
        EXPECT_FALSE(control.Busy());

        // The next navigation is reported in full again.
        log.cancelIf = nullptr;
        log.clear();
        ASSERT_TRUE(navigateAndWait(control, log, pathC)) << log.describe();
        EXPECT_EQ(log.count(kComplete), 1) << log.describe();
        EXPECT_EQ(log.count(kDownload), 1) << log.describe();
        EXPECT_EQ(control.LocationURL(), fileUrl(pathC));
    }
}

// An Internet shortcut is not loaded; its slot sends the control to another address.
TEST_F(BrowserControlTest, SlotThatRefusesAndNavigatesElsewhereEndsThere)
{
    const QString shortcut = writePage(QStringLiteral("odkaz.url"), "[InternetShortcut]\r\nURL=c.html\r\n");
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, pathA));
    QObject::connect(&control, &BrowserControl::BeforeNavigate, &control,
                     [&](const QString &url, int, const QString &, const QVariant &, const QString &, bool &cancel) {
                         if (!url.endsWith(QLatin1String(".url")))
                             return;
                         cancel = true;
                         control.Navigate(pathC);
                     });
    log.clear();
    control.Navigate(shortcut);
    ASSERT_TRUE(waitUntil([&] { return log.count(kDownload) > 0; })) << log.describe();
    SCOPED_TRACE(log.describe());

    ASSERT_EQ(log.count(kBefore), 2);
    EXPECT_EQ(log.events()[0].text, fileUrl(shortcut));
    EXPECT_EQ(log.last(kBefore)->text, fileUrl(pathC));
    ASSERT_EQ(log.count(kComplete), 1);
    EXPECT_EQ(log.last(kComplete)->text, fileUrl(pathC));
    EXPECT_EQ(log.count(kDownload), 1);
    EXPECT_EQ(control.LocationURL(), fileUrl(pathC));
}

TEST_F(BrowserControlTest, PageAskingForAWindowRaisesNewWindowAndOpensNothing)
{
    struct Request { const char *name; QString script; };
    const Request requests[] = {
        {"window.open", QStringLiteral("window.open('c.html')")},
        {"a link with a target", QStringLiteral("document.getElementById('blank').click()")},
    };
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, pathA));
    for (const Request &request : requests) {
        SCOPED_TRACE(request.name);
        log.clear();
        control.runScript(request.script);
        ASSERT_TRUE(waitUntil([&] { return log.count(kNewWindow) > 0; })) << log.describe();
        EXPECT_EQ(log.last(kNewWindow)->text, fileUrl(pathC));
        EXPECT_EQ(log.count(kBefore), 0) << log.describe();
        EXPECT_EQ(control.LocationURL(), fileUrl(pathA));
    }
}

TEST_F(BrowserControlTest, PageClosingItsWindowRaisesQuitThatMayDeleteTheControl)
{
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, pathA));
    QPointer<BrowserControl> watched(&control);
    QObject::connect(&control, &BrowserControl::Quit, &control, &QObject::deleteLater);
    control.runScript(QStringLiteral("window.close()"));
    ASSERT_TRUE(waitUntil([&] { return watched.isNull(); }));
    // deleteLater took it; the fixture must not delete it again.
    controls.back().release();
    logs.clear();
}

TEST_F(BrowserControlTest, ScriptsRunInTheRequestedWorldAndNeverAnswerAGoneControl)
{
    auto control = std::make_unique<BrowserControl>();
    auto *log = new BrowserEventLog(control.get());
    control->show();
    ASSERT_TRUE(navigateAndWait(*control, *log, pathA));

    struct World { const char *name; ScriptWorld world; QString expected; };
    const World worlds[] = {
        {"page", ScriptWorld::Main, QStringLiteral("string")},
        {"isolated", ScriptWorld::Application, QStringLiteral("undefined")},
    };
    for (const World &w : worlds) {
        SCOPED_TRACE(w.name);
        std::optional<QVariant> result;
        control->runScript(QStringLiteral("typeof marker"), [&](const QVariant &value) { result = value; }, w.world);
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
        EXPECT_EQ(result->toString(), w.expected);
    }

    bool answered = false;
    control->runScript(QStringLiteral("1 + 1"), [&](const QVariant &) { answered = true; });
    control.reset();
    EXPECT_FALSE(answered);
}
