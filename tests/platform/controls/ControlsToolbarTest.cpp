#include "ControlsTest.h"

#include "platform/controls/ButtonMenu.h"
#include "platform/controls/Toolbar.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class ToolbarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gray.add("back", solid(Qt::gray));
        gray.add("gohome", solid(Qt::darkGray));
        gray.add("folder", solid(Qt::lightGray));
        hot.add("back", solid(Qt::blue));
        toolbar.setImageList(&gray);
        toolbar.setHotImageList(&hot);
        toolbar.addButton("back", "Zpět", ButtonStyle::Default, "back");
        toolbar.addButton({}, {}, ButtonStyle::Separator);
        toolbar.addButton("gohome", "Domů", ButtonStyle::DropDown, "gohome");
        toolbar.addButton("folders", "Složky", ButtonStyle::Check, "folder");
        ButtonMenu &menu = toolbar.button("gohome").menu();
        menu.addItem("hom", "Hlavní domovská stránka");
        menu.addItem({}, "-");
        menu.addItem({}, {});
        menu.addItem("sethom", "Změnit seznam");
    }

    ImageList gray;
    ImageList hot;
    Toolbar toolbar;
};

TEST_F(ToolbarTest, CheckButtonTakesItsNewValueBeforeTheClickIsReported)
{
    ToolbarButton &folders = toolbar.button("folders");
    std::vector<int> seen;
    QObject::connect(&toolbar, &Toolbar::buttonClicked, [&](const QString &key) {
        EXPECT_EQ(key, QStringLiteral("folders"));
        seen.push_back(toolbar.button(key).value());
    });
    folders.widget()->click();
    folders.widget()->click();
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
}

TEST_F(ToolbarTest, DropDownIsReportedBeforeItsListShows)
{
    ButtonMenu &menu = toolbar.button("gohome").menu();
    bool shownWhenAsked = true;
    QObject::connect(&toolbar, &Toolbar::buttonDropDown, [&](const QString &key) {
        EXPECT_EQ(key, QStringLiteral("gohome"));
        shownWhenAsked = menu.isVisible();
        menu.setItemText(3, "Seznam"); // the owner refills the list here
    });
    QSignalSpy dropDown(&toolbar, &Toolbar::buttonDropDown);
    menu.popup(QPoint(0, 0));
    EXPECT_EQ(dropDown.count(), 1);
    EXPECT_FALSE(shownWhenAsked);
    EXPECT_EQ(menu.itemText(3), QStringLiteral("Seznam"));
    menu.close();
}

TEST_F(ToolbarTest, TheButtonPartOfADropDownIsAClick)
{
    QSignalSpy clicked(&toolbar, &Toolbar::buttonClicked);
    QSignalSpy dropDown(&toolbar, &Toolbar::buttonDropDown);
    toolbar.button("gohome").widget()->click();
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), QStringLiteral("gohome"));
    EXPECT_EQ(dropDown.count(), 0);
}

TEST_F(ToolbarTest, ChoosingAnEntryReportsButtonEntryAndPosition)
{
    QSignalSpy chosen(&toolbar, &Toolbar::buttonMenuClicked);
    ButtonMenu &menu = toolbar.button("gohome").menu();
    menu.itemAction("sethom")->trigger();
    menu.itemAction(3)->trigger();
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen[0], (QVariantList{"gohome", "sethom", 4}));
    EXPECT_EQ(chosen[1], (QVariantList{"gohome", "", 3}));
}

TEST_F(ToolbarTest, TextShowsUnderTheImagesOnlyWhileSwitchedOnAndCaptioned)
{
    ToolbarButton &back = toolbar.button("back");
    back.setDescription("Zpět");
    EXPECT_EQ(back.widget()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    toolbar.setShowText(false);
    EXPECT_EQ(back.widget()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(back.caption(), QStringLiteral("Zpět")) << "captions are kept";
    toolbar.setShowText(true);
    back.setCaption({});
    EXPECT_EQ(back.widget()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    back.setCaption(back.description());
    EXPECT_EQ(back.widget()->text(), QStringLiteral("Zpět"));
    EXPECT_EQ(back.widget()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

} // namespace
