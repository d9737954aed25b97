#include "browser/AddressHistory.h"
#include "browser/BrowserEventRules.h"
#include "browser/FavoriteShortcut.h"
#include "browser/ProgressText.h"

#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

TEST(ProgressDisplayRules, PanelTabImageAndRecordedText)
{
    const struct {
        int progress, max;
        bool blank;
        int percent;
        const char *panel;
        const char *recorded;
        bool loading, loaded, ended;
    } cases[] = {
        {45, 100, false, 45, "45 %", "45 %", true, false, false},
        {0, 100, false, 0, "Hotovo", "Hotovo", true, true, true},
        {100, 100, false, 100, "100 %", "Hotovo", false, true, true},
        {1, 8, false, 12, "12 %", "12 %", true, false, false},
        {3, 8, false, 38, "38 %", "38 %", true, false, false},
        {5, 0, false, 0, "Hotovo", "Hotovo", true, true, true},      // cannot be computed
        {1, 1000, false, 0, "0 %", "Hotovo", true, true, true},      // rounds to 0 but is not 0
        {-5, 100, false, -5, "-5 %", "-5 %", true, false, false},
        {100000, 1, false, 0, "0 %", "Hotovo", true, true, true},    // beyond 16 bits
        {45, 100, true, 45, "45 %", "45 %", false, false, false},    // about:blank marks no tab
        {0, 100, true, 0, "Hotovo", "Hotovo", false, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.progress << "/" << c.max << (c.blank ? " blank" : ""));
        const ProgressDisplay d = progressDisplay(c.progress, c.max, c.blank);
        EXPECT_EQ(d.percent, c.percent);
        EXPECT_EQ(d.panelText, QString::fromUtf8(c.panel));
        EXPECT_EQ(d.recordedText, QString::fromUtf8(c.recorded));
        EXPECT_EQ(d.markLoading, c.loading);
        EXPECT_EQ(d.markLoaded, c.loaded);
        EXPECT_EQ(d.loadEnded, c.ended);
    }
}

QStringList visit(const QStringList &addresses)
{
    QStringList list;
    for (const QString &address : addresses)
        list = addressHistoryAfterVisit(list, address);
    return list;
}

TEST(AddressHistoryRules, KeepsWebAddressesOnceWithTheLatestLast)
{
    const QString a = QStringLiteral("http://a.example/"), b = QStringLiteral("http://b.example/");
    const struct { const char *name; QStringList visits; QStringList expected; } cases[] = {
        {"revisit moves to the end", {a, b, a}, {b, a}},
        {"about:blank never stays", {a, QStringLiteral("about:blank")}, {a}},
        {"secure web adds nothing", {a, QStringLiteral("https://s.example/")}, {a}},
        {"local files add nothing", {QStringLiteral("file:///tmp/x.html")}, {}},
        {"ftp is kept", {QStringLiteral("ftp://f.example/")}, {QStringLiteral("ftp://f.example/")}},
        {"scheme compared with case", {QStringLiteral("HTTP://A.EXAMPLE/")}, {}},
        {"same address differing in case are two", {a, QStringLiteral("http://A.example/")}, {a, QStringLiteral("http://A.example/")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(visit(c.visits), c.expected);
    }
}

TEST(AddressHistoryRules, EntriesWithoutASchemeSeparatorGo)
{
    EXPECT_EQ(addressHistoryAfterVisit({QStringLiteral("typed"), QStringLiteral("http://a/")}, QStringLiteral("about:blank")),
              QStringList{QStringLiteral("http://a/")});
}

TEST(BrowserEventDecisions, JavascriptAddressesAreRefusedInAnyCase)
{
    EXPECT_TRUE(isRefusedNewWindowAddress(QStringLiteral("JavaScript:alert(1)")));
    EXPECT_TRUE(isRefusedNewWindowAddress(QStringLiteral("http://x/?go=javascript:void(0)")));
    EXPECT_FALSE(isRefusedNewWindowAddress(QStringLiteral("http://x/javascript.html")));
    EXPECT_TRUE(isScriptAddress(QStringLiteral("java\tscript:alert(1)"))) << "the engine drops the tab and runs it";
}

TEST(BrowserEventDecisions, OnlyTheSchemeMakesAScriptWhereTheWindowNavigates)
{
    EXPECT_TRUE(isScriptAddress(QStringLiteral(" \x01\tJavaScript:alert(1)"))) << "the engine drops what leads the address";
    EXPECT_TRUE(isScriptAddress(QStringLiteral("jav\r\na\tscript:alert(1)")));
    EXPECT_FALSE(isScriptAddress(QStringLiteral("https://example.org/docs/javascript:void")));
    EXPECT_FALSE(isScriptAddress(QStringLiteral("http://x/?go=javascript:void(0)")));
    EXPECT_FALSE(isScriptAddress(QStringLiteral("xjavascript:alert(1)")));
    EXPECT_TRUE(isRefusedNewWindowAddress(QStringLiteral("https://example.org/docs/javascript:void")))
        << "a new window is refused for \"javascript:\" anywhere";
    EXPECT_TRUE(isRefusedNewWindowAddress(QStringLiteral("http://x/?go=java\tscript:void(0)")));
}

TEST(BrowserEventDecisions, OnlyCtrlAloneStartsAFurtherInstance)
{
    const struct { Qt::KeyboardModifiers mods; int mask; bool process; } cases[] = {
        {Qt::NoModifier, 0, false},
        {Qt::ControlModifier, 2, true},
        {Qt::ControlModifier | Qt::ShiftModifier, 3, false},
        {Qt::ControlModifier | Qt::AltModifier, 6, false},
        {Qt::ShiftModifier, 1, false},
        {Qt::ControlModifier | Qt::KeypadModifier, 2, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(shiftMask(c.mods), c.mask);
        EXPECT_EQ(opensInNewProcess(shiftMask(c.mods)), c.process);
    }
}

TEST(BrowserEventDecisions, CaptionsFollowTheTitle)
{
    const QString title25 = QStringLiteral("Dvacet pět znaků titulku");
    const QString longTitle = title25 + QStringLiteral("!");
    EXPECT_EQ(longTitle.size(), 25);
    EXPECT_EQ(tabCaptionFor(longTitle), longTitle.left(20));
    EXPECT_EQ(tabCaptionFor(QStringLiteral("Krátký")), QStringLiteral("Krátký"));
    EXPECT_EQ(windowCaptionFor(QString(), QStringLiteral("file:///x.html")), QStringLiteral("file:///x.html"));
    EXPECT_EQ(windowCaptionFor(QStringLiteral("T"), QStringLiteral("L")), QStringLiteral("T"));
}

TEST(FavoriteShortcutText, TheFirstUrlLineCarriesTheAddress)
{
    const struct { const char *text; const char *address; } cases[] = {
        {"[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
        {"[DEFAULT]\nBASEURL=http://b/\n[InternetShortcut]\nurl= http://c/ \nURL=http://d/", " http://c/ "},
        {"[InternetShortcut]\r\nIconIndex=1\r\n", ""},
        {"", ""},
        {"url=http://e/", "http://e/"},
        {" URL=http://f/", ""},
        {"URL =http://g/", ""},
        {"URL=http://h/\r\nURL=http://i/", "http://h/"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(shortcutAddress(QString::fromUtf8(c.text)), QString::fromUtf8(c.address));
    }
}

TEST(FavoriteShortcutText, AWrittenFileReadsBack)
{
    const QString address = QStringLiteral("http://example.org/cesta?q=ř");
    EXPECT_EQ(shortcutFileContent(address), QByteArray("[InternetShortcut]\r\nURL=") + address.toUtf8() + "\r\n");
    EXPECT_EQ(shortcutAddress(QString::fromUtf8(shortcutFileContent(address))), address);
}

using ShortcutFile = TempEnvTest;

TEST_F(ShortcutFile, AFifoNamedLikeAShortcutReadsEmptyAtOnce)
{
    const QString fifo = env.path(QStringLiteral("Favorites/x.url"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(readShortcutAddress(fifo), QString());
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(ShortcutFile, MissingFileReadsEmptyAndAShortcutReadsItsAddress)
{
    EXPECT_EQ(readShortcutAddress(env.path(QStringLiteral("missing.url"))), QString());
    const QString file = env.writeFile(QStringLiteral("a.url"), shortcutFileContent(QStringLiteral("http://a/ř")));
    EXPECT_EQ(readShortcutAddress(file), QStringLiteral("http://a/ř"));
}

} // namespace
