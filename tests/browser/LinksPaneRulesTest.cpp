#include "browser/BrowserEventRules.h"
#include "browser/LinksPaneRules.h"

#include <gtest/gtest.h>

TEST(LinksPaneCommands, KeysChooseCommandAndMode)
{
    using K = LinksCommandKind;
    const struct
    {
        const char *key;
        K kind;
        int mode;
    } cases[] = {
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

TEST(LinksPaneKeys, KeyMap)
{
    using A = LinksKeyAction;
    const struct
    {
        int key;
        int shift;
        A action;
        bool consumed;
    } cases[] = {
        {Qt::Key_Delete, 0, A::RemoveSelected, true}, {Qt::Key_Delete, 3, A::RemoveSelected, true},
        {Qt::Key_F2, 2, A::EditCaption, true},        {Qt::Key_F10, 1, A::PopUp, true},
        {Qt::Key_F10, 0, A::None, true},              {Qt::Key_F10, 3, A::None, true},
        {Qt::Key_Menu, 0, A::PopUp, false},           {Qt::Key_Insert, 2, A::FocusPage, false},
        {Qt::Key_F12, 0, A::NextPane, false},         {Qt::Key_F12, 2, A::HidePanel, false},
        {Qt::Key_F12, 1, A::None, false},             {Qt::Key_A, 0, A::None, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " shift " << c.shift);
        const LinksKeyDecision decision = linksKeyDecision(c.key, c.shift);
        EXPECT_EQ(decision.action, c.action);
        EXPECT_EQ(decision.consumed, c.consumed);
    }
    EXPECT_EQ(shiftMask(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(shiftMask(Qt::NoModifier), 0);
}

TEST(LinksPaneSorting, EveryHeaderClickTurnsTheDirection)
{
    EXPECT_EQ(flippedSortOrder(Qt::AscendingOrder), Qt::DescendingOrder);
    EXPECT_EQ(flippedSortOrder(Qt::DescendingOrder), Qt::AscendingOrder);
}

TEST(LinksPaneMouse, ButtonNumbers)
{
    EXPECT_EQ(mouseButtonNumber(Qt::LeftButton), 1);
    EXPECT_EQ(mouseButtonNumber(Qt::RightButton), 2);
    EXPECT_EQ(mouseButtonNumber(Qt::MiddleButton), 4);
}
