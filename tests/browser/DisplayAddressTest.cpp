#include "browser/AddressText.h"
#include "browser/WindowTable.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayAddress, ShowsReadableTextThatStillNamesTheSameAddress)
{
    const std::pair<const char *, const char *> cases[] = {
        // A local file shows as its native path, whatever the case of the scheme.
        {"file:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"FILE:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"file:///tmp/a%23b.html", "/tmp/a#b.html"},
        {"http://host/a%20b", "http://host/a b"},
        // Decoding these would load another address when the user presses Enter.
        {"http://host/a%2520b", "http://host/a%2520b"},
        {"http://host/a%23b", "http://host/a%23b"},
        {"http://host/?q=a%26b", "http://host/?q=a%26b"},
        // Lower-case codes and codes outside the table stay.
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
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm#http://host/a%20b")), QStringLiteral("http://host/a b"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("RES://lib/page.htm#x")), QStringLiteral("RES://lib/page.htm#x"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm")), QStringLiteral("res://lib/page.htm"));
}

} // namespace
