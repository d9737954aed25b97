#include "browser/AddressText.h"
#include "browser/WindowTable.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayAddress, DecodesOnlyTheKnownUpperCaseCodesInOrder)
{
    const std::pair<const char *, const char *> cases[] = {
        {"file:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"FILE:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"http://host/%C1%C9%CD%DD%E1%E9%ED%FD", "http://host/ÁÉÍÝáéíý"},
        {"http://host/%5Ba%5D%23%7Bb%7D%26%A7", "http://host/[a]#{b}&§"},
        {"http://host/a%2520b", "http://host/a%20b"},
        {"http://host/%e1%3F", "http://host/%e1%3F"},
        {"about:blank", "about:blank"},
        {"", ""},
    };
    for (const auto &[address, shown] : cases) {
        SCOPED_TRACE(address);
        EXPECT_EQ(ToNormalText(QString::fromUtf8(address)), QString::fromUtf8(shown));
    }
}

TEST(DisplayAddress, ResourceAddressesShowTheirPartAfterTheFirstHash)
{
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm#http://host/a%20b#c")), QStringLiteral("http://host/a b#c"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("RES://lib/page.htm#x")), QStringLiteral("RES://lib/page.htm#x"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm")), QStringLiteral("res://lib/page.htm"));
}

TEST(WindowNumbers, TabKeyHasABlankBeforeTheNumber)
{
    EXPECT_EQ(WindowTabKey(1), QStringLiteral("key 1"));
    EXPECT_EQ(WindowTabKey(30000), QStringLiteral("key 30000"));
}

} // namespace
