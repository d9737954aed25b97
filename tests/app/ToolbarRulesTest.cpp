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
