#include "options/OptionValues.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace OptionValues;

namespace {

PatternChoice ticked(std::initializer_list<int> boxes)
{
    PatternChoice choice;
    for (int box : boxes)
        choice.types[size_t(box)] = true;
    return choice;
}

PatternChoice own(std::initializer_list<int> boxes, const QString &typed)
{
    PatternChoice choice = ticked(boxes);
    choice.custom = true;
    choice.userTypes = typed;
    return choice;
}

PatternChoice exclusive(bool all, bool none)
{
    PatternChoice choice = ticked({1, 5, 17});
    choice.all = all;
    choice.none = none;
    return choice;
}

} // namespace

TEST(Pattern, IsBuiltFromTheTickedGroupsInBoxOrderAndTheOwnTypes)
{
    const struct
    {
        const char *what;
        PatternChoice choice;
        QString pattern;
    } cases[] = {
        {"nothing ticked", ticked({}), QString()},
        {"the reader's default groups", ticked({17, 16, 3, 2, 1}),
         QStringLiteral("*.html;*.htm;*.xml;*.sht*;*.sgm*;*.asp;*.asa;*.txt;*.inc;*.jpg;*.jpeg;*.jpe;*.gif")},
        {"own types split by a comma and a blank", own({}, QStringLiteral("*.abc, *.def")),
         QStringLiteral("*.abc;*.def")},
        {"a blank on both sides of the comma", own({}, QStringLiteral("*.abc , *.def")),
         QStringLiteral("*.abc;;*.def")},
        {"empty own types after box 17", own({17}, QString()), QStringLiteral("*.gif;")},
        {"own types not ticked", ticked({17}), QStringLiteral("*.gif")},
        {"all files", exclusive(true, false), QStringLiteral("*.*")},
        {"no files wins over all files", exclusive(true, true), QStringLiteral("zqx.zqx")},
        {"no files", exclusive(false, true), QStringLiteral("zqx.zqx")},
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.what);
        EXPECT_EQ(buildPattern(line.choice), line.pattern);
    }
    EXPECT_EQ(filesListPattern(QString()), QStringLiteral("zqx.zqx"));
}

TEST(Pattern, AllTwentyTwoGroupsMakeTwoHundredSixtyThreeCharacters)
{
    PatternChoice choice;
    choice.types.fill(true);
    const QString pattern = buildPattern(choice);
    EXPECT_EQ(pattern.size(), 263);
    EXPECT_TRUE(pattern.startsWith(QStringLiteral("*.html;")));
    EXPECT_TRUE(pattern.endsWith(QStringLiteral("*.mht;*.mhtml")));
}

TEST(Pattern, AGroupCountsOnlyAsARunOfWholeItems)
{
    const struct
    {
        const char *pattern;
        int box;
        bool found;
    } cases[] = {
        {"*.GIF;*.txt;*.inc", 17, true},
        {"*.GIF;*.txt;*.inc", 3, true},
        {"*.html;*.htm", 1, false},
        {"*.pngx", 5, false},
        {"*.apng;*.png", 5, true},
        {"x*.png", 5, false},
        {"*.txt;*.doc;*.inc", 3, false},
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.pattern);
        EXPECT_EQ(patternHasGroup(QString::fromLatin1(line.pattern), fileTypeTag(line.box)), line.found);
    }
}
