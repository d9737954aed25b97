#include "browser/BrowserEventRules.h"
#include "browser/LinksPaneRules.h"

#include <gtest/gtest.h>

TEST(LinksPaneCommands, KeysChooseCommandAndMode)
{
    using K = LinksCommandKind;
    const struct { const char *key; K kind; int mode; } cases[] = {
        {"add", K::Capture, 1},          {"addall", K::Capture, 1},       {"addlocal", K::Capture, 2},
        {"addout", K::Capture, 3},       {"addalltext", K::Capture, 4},   {"addlocaltext", K::Capture, 5},
        {"addouttext", K::Capture, 6},   {"save", K::Save, 1},            {"saveall", K::Save, 1},
        {"saveemail", K::Save, 7},       {"savenonemail", K::Save, 8},    {"remove", K::RemoveSelected, 0},
        {"removeall", K::RemoveAll, 0},  {"removeemail", K::RemoveEmail, 0}, {"other", K::None, 0},
        {"", K::None, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        const LinksCommand command = linksCommand(QString::fromLatin1(c.key));
        EXPECT_EQ(command.kind, c.kind);
        EXPECT_EQ(command.mode, c.mode);
    }
}

TEST(LinksPaneSorting, EveryHeaderClickTurnsTheDirection)
{
    EXPECT_EQ(flippedSortOrder(Qt::AscendingOrder), Qt::DescendingOrder);
    EXPECT_EQ(flippedSortOrder(Qt::DescendingOrder), Qt::AscendingOrder);
}
