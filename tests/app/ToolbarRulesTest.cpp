#include "app/ToolbarRules.h"

#include <gtest/gtest.h>

namespace {

using namespace ToolbarRules;

TEST(SavedPageName, EndsInHtmOnceAndKeepsHtml)
{
    const struct { const char *title; const char *location; const char *name; } cases[] = {
        {"Zprávy", "x", "Zprávy.htm"},
        {"", "index.html", "index.html"},
        {"page.asp", "", "page.htm"},
        {"page.htm", "", "page.htm"},
        {"PAGE.HTM", "", "PAGE.htm"},
        {"Index.HTML", "", "Index.html"},
        {"a.ASP", "", "a.htm"},
        {"", "Bez titulku", "Bez titulku.htm"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(savedPageFileName(QString::fromUtf8(c.title), QString::fromUtf8(c.location)), QString::fromUtf8(c.name));
    }
}

TEST(SavedPageName, UnsafeCharactersAreReplaced)
{
    const QString name = savedPageFileName(QStringLiteral("a/b:c"), QString());
    EXPECT_FALSE(name.contains(QLatin1Char('/')));
    EXPECT_TRUE(name.endsWith(QStringLiteral(".htm")));
}

TEST(DropDownEntries, AddressListsShowEveryPreset)
{
    const std::vector<PresetEntry> presets = {{1, QStringLiteral("http://a/"), QStringLiteral("A & B")},
                                              {2, QStringLiteral("http://b/"), QString()},
                                              {3, QString(), QString()}};
    const auto entries = addressEntries(presets);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text, QStringLiteral("A && B"));
    EXPECT_EQ(entries[0].tag, QStringLiteral("http://a/"));
    EXPECT_EQ(entries[1].text, QString());
    EXPECT_TRUE(entries[1].enabled) << "an empty caption still shows";
    EXPECT_EQ(entries[2].tag, QString());
}

TEST(DropDownEntries, SavePresetsWithoutCaptionAreUnused)
{
    const std::vector<PresetEntry> presets = {{1, QStringLiteral("/data"), QStringLiteral("Data")},
                                              {2, QStringLiteral("/data"), QString()},
                                              {3, QString(), QStringLiteral("Bez složky")},
                                              {4, QString(), QStringLiteral("R&D")}};
    const auto entries = saveEntries(presets);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, QStringLiteral("Data"));
    EXPECT_TRUE(entries[0].enabled);
    EXPECT_EQ(entries[1].text, QStringLiteral(" nevyužito"));
    EXPECT_FALSE(entries[1].enabled);
    EXPECT_EQ(entries[1].tag, QStringLiteral("/data"));
    EXPECT_TRUE(entries[2].enabled) << "a caption makes it choosable whatever its folder";
    EXPECT_EQ(entries[3].text, QStringLiteral("R&&D"));
}

} // namespace

namespace {

std::vector<PresetEntry> numbered(std::initializer_list<const char *> captions)
{
    std::vector<PresetEntry> presets;
    int index = 1;
    for (const char *caption : captions) {
        presets.push_back({index, QStringLiteral("/folder%1").arg(index), QString::fromUtf8(caption)});
        ++index;
    }
    return presets;
}

} // namespace

TEST(FileMenuCaptions, QuickItemsCountFromZeroAndShowCaptionsLiterally)
{
    const auto entries = quickEntries(numbered({"Cíl", "", "", "", "", "", "", "", "R&D", "Desátý"}));
    ASSERT_EQ(entries.size(), 10u);
    const struct { int item; const char *text; bool enabled; } cases[] = {
        {0, "&0 Cíl", true}, {1, "&1 nevyužito", false}, {2, "&2 nevyužito", false},
        {8, "&8 R&&D", true}, {9, "&9 Desátý", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(entries[c.item].text, QString::fromUtf8(c.text));
        EXPECT_EQ(entries[c.item].enabled, c.enabled);
    }
    EXPECT_EQ(entries[9].tag, QStringLiteral("/folder10")) << "the tenth item runs preset 10";
}

TEST(FileMenuCaptions, OpenWithNeedsTwoCharactersBeforeEscaping)
{
    const auto entries = openWithEntries(numbered({"Editor", "E", "", "&", "&&"}));
    const struct { int item; const char *text; bool enabled; } cases[] = {
        {0, "1 Editor", true}, {1, "2 nevyužito", false}, {2, "3 nevyužito", false},
        {3, "4 nevyužito", false}, {4, "5 &&&&", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        EXPECT_EQ(entries[c.item].text, QString::fromUtf8(c.text));
        EXPECT_EQ(entries[c.item].enabled, c.enabled);
    }
}
