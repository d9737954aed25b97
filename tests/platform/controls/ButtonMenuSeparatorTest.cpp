#include "platform/controls/ButtonMenu.h"

#include <QAction>
#include <QStyleOptionMenuItem>

#include <gtest/gtest.h>

namespace {

// What the style is asked to draw for an entry.
struct DrawnMenu : ButtonMenu
{
    QStyleOptionMenuItem drawn(int index) const
    {
        QStyleOptionMenuItem option;
        initStyleOption(&option, itemAction(index));
        return option;
    }
};

} // namespace

TEST(ButtonMenuSeparator, ADashEntryIsDrawnAsAPlainLineAndStillReadsAsADash)
{
    DrawnMenu menu;
    menu.addItem(QStringLiteral("hom"), QStringLiteral("Hlavní domovská stránka"));
    menu.addItem(QString(), QStringLiteral("-"));
    menu.addItem(QString(), QString());

    EXPECT_EQ(menu.drawn(2).menuItemType, QStyleOptionMenuItem::Separator);
    EXPECT_EQ(menu.drawn(2).text, QString()) << "a separator with text is drawn as a heading";
    EXPECT_EQ(menu.itemText(2), QStringLiteral("-"));

    // An entry can become a line and a line an entry again.
    menu.setItemText(3, QStringLiteral("-"));
    EXPECT_EQ(menu.drawn(3).menuItemType, QStyleOptionMenuItem::Separator);
    EXPECT_EQ(menu.drawn(3).text, QString());
    menu.setItemText(2, QStringLiteral("Seznam"));
    EXPECT_EQ(menu.drawn(2).menuItemType, QStyleOptionMenuItem::Normal);
    EXPECT_EQ(menu.drawn(2).text, QStringLiteral("Seznam"));
    EXPECT_EQ(menu.itemText(2), QStringLiteral("Seznam"));
}
