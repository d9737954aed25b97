#include "platform/files/WildcardPattern.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase { const char *pattern; const char *name; bool matches; };

const MatchCase kCases[] = {
    {"*.*", "soubor.txt", true},
    {"*.*", "README", true},       // also a name without a dot
    {"*.*", ".skryty", true},
    {"*.htm;*.html", "Index.HTML", true},
    {"*.htm;*.html", "index.htmx", false},
    {"*.htm", "a.htm.bak", false},
    {";;*.txt;", "a.txt", true},   // empty items skipped
    {"", "a.txt", false},          // no items: nothing matches
    {";", "a.txt", false},
    {"?.txt", "a.txt", true},
    {"?.txt", "ab.txt", false},
    {"a*b*c", "aXXbYYbZc", true},
    {"a*b*c", "aXXbYYbZ", false},
    {"[ab].txt", "[ab].txt", true}, // brackets are plain characters
    {"[ab].txt", "a.txt", false},
    {"ŽLUŤ*", "žluťoučký kůň", true},
    {"a*.*", "abc", true},
    {"*", "", true},
    {"x", "", false},
};

} // namespace

TEST(WildcardPattern, MatchesAsFolderListsDo)
{
    for (const MatchCase &c : kCases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(WildcardPattern(QString::fromUtf8(c.pattern)).matches(QString::fromUtf8(c.name)), c.matches);
    }
}
