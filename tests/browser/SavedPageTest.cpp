#include "browser/SavedPage.h"
#include "platform/store/SettingsStore.h"

#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using PagePresets = TempEnvTest;

TEST_F(PagePresets, CaptionsByWhatTheStoreHolds)
{
    const struct {
        int n;
        const char *caption; // nullptr: never stored
        const char *shown;
        bool enabled;
    } cases[] = {
        {1, nullptr, "1 1", true},
        {2, "", "2 nevyužito", false},
        {3, "   ", "3 nevyužito", false},
        {4, "X", "4 X", true},
        {5, "R&D", "5 R&&D", true},
        {2, "Stránky", "2 Stránky", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown);
        const QString key = QStringLiteral("Caption%1").arg(c.n);
        if (c.caption)
            SaveSetting(PresetSections::Save, key, QString::fromUtf8(c.caption));
        SaveSetting(PresetSections::Save, QString::number(c.n), QStringLiteral("/data"));
        const PagePresetItem item = readPagePresetItem(c.n);
        EXPECT_EQ(item.caption, QString::fromUtf8(c.shown));
        EXPECT_EQ(item.enabled, c.enabled);
        EXPECT_EQ(item.folder, QStringLiteral("/data"));
    }
}

TEST(SavedPageText, HeaderTitleBodyAndClosingTag)
{
    PageSnapshot page;
    page.title = QStringLiteral("Žluťoučký <kůň>");
    page.body = QStringLiteral("<body>\n<p>Příliš</p>\n</body>");
    const QString text = SavedPageHtml(QStringLiteral("7. 12. 2026 1:28:05"), QStringLiteral("http://h/ř"), page);
    EXPECT_EQ(text, QChar(0xFEFF) + QStringLiteral("<!--uloženo: 7. 12. 2026 1:28:05 z URL: http://h/ř Vorlanem 2.40-->\r\n"
                                                   "<HTML><HEAD><TITLE>Žluťoučký <kůň></TITLE></HEAD>"
                                                   "<body>\n<p>Příliš</p>\n</body>\r\n</HTML>"));
}

TEST(SavedPageText, OnlyHtmlDocumentsWithABodyAreSaved)
{
    const struct { const char *json; bool read, savable; } cases[] = {
        {R"({"title":"T","contentType":"text/html","body":"<body></body>"})", true, true},
        {R"({"title":"T","contentType":"application/xhtml+xml","body":"<body></body>"})", true, true},
        {R"({"title":"a.png","contentType":"image/png","body":"<body><img></body>"})", true, false},
        {R"({"title":"","contentType":"text/plain","body":"<body><pre></pre></body>"})", true, false},
        {R"({"title":"","contentType":"text/html","body":null})", true, false},
        {"", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json);
        const PageSnapshot page = pageSnapshotFromResult(QString::fromUtf8(c.json));
        EXPECT_EQ(page.read, c.read);
        EXPECT_EQ(isSavableContentType(page.contentType), c.savable);
    }
}

} // namespace
