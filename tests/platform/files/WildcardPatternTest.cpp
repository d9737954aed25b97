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

TEST(WildcardPattern, DecomposedNamesAndPatternsMatchTheirComposedForms)
{
    const QString composed = QStringLiteral("nfc-čeština.txt");
    const QString decomposed = composed.normalized(QString::NormalizationForm_D);
    ASSERT_NE(composed, decomposed);
    // A decomposed name is found by the composed pattern, in any case, and the
    // other way round; "?" stands for one letter with its accent.
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*čeština*")).matches(decomposed));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*ČEŠTINA*")).matches(decomposed));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("nfc-?e?tina.txt")).matches(decomposed));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*čeština*").normalized(QString::NormalizationForm_D)).matches(composed));
    EXPECT_FALSE(WildcardPattern(QStringLiteral("*cestina*")).matches(decomposed));
    // A name with a character outside the basic plane is composed too.
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*é😀*")).matches(QStringLiteral("e\u0301😀.txt")));
}
