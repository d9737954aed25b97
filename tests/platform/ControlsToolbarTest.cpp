#include "ControlsTest.h"

#include "platform/ButtonMenu.h"
#include "platform/Toolbar.h"

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

TEST_F(ToolbarTest, AddressesButtonsByKeyAndByIndexSeparatorsIncluded)
{
    EXPECT_EQ(toolbar.count(), 4);
    EXPECT_EQ(toolbar.button(3).key(), QStringLiteral("gohome"));
    EXPECT_EQ(toolbar.button(2).style(), ButtonStyle::Separator);
    EXPECT_EQ(toolbar.indexOfKey("folders"), 4);
    EXPECT_EQ(toolbar.button("back").caption(), QStringLiteral("Zpět"));
    EXPECT_EQ(toolbar.button("back").image(), QStringLiteral("back"));
}

TEST_F(ToolbarTest, FailedAdditionsAddNothing)
{
    const struct {
        const char *key;
        const char *image;
        int number;
    } table[] = {
        {"back", "", ErrorNumber::KeyNotUnique},
        {"stop", "nosuchimage", ErrorNumber::ElementNotFound},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(raised([&] { toolbar.addButton(row.key, "X", ButtonStyle::Default, row.image); }), row.number);
        EXPECT_EQ(toolbar.count(), 4);
        EXPECT_EQ(toolbar.actions().size(), 4);
    }
    EXPECT_EQ(raised([&] { toolbar.button("stop"); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(raised([&] { toolbar.button(5); }), ErrorNumber::SubscriptOutOfRange);
}

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

TEST_F(ToolbarTest, SettingTheValueFromCodeRaisesNoClick)
{
    QSignalSpy clicked(&toolbar, &Toolbar::buttonClicked);
    ToolbarButton &folders = toolbar.button("folders");
    folders.setValue(1);
    EXPECT_EQ(folders.value(), 1);
    EXPECT_TRUE(folders.widget()->isChecked());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(raised([&] { folders.setValue(2); }), ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(folders.value(), 1);
}

TEST_F(ToolbarTest, EnabledAndVisible)
{
    ToolbarButton &back = toolbar.button("back");
    back.setEnabled(false);
    EXPECT_FALSE(back.isEnabled());
    EXPECT_FALSE(back.widget()->isEnabled());
    QSignalSpy clicked(&toolbar, &Toolbar::buttonClicked);
    back.widget()->click();
    EXPECT_EQ(clicked.count(), 0) << "a disabled button cannot be clicked";

    toolbar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&toolbar));
    toolbar.button(3).setVisible(false);
    QCoreApplication::processEvents(); // the toolbar lays itself out again
    EXPECT_FALSE(toolbar.button(3).isVisible());
    EXPECT_FALSE(toolbar.button(3).widget()->isVisible());
    toolbar.button(3).setVisible(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(toolbar.button(3).widget()->isVisible());
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

TEST_F(ToolbarTest, MenuEntries)
{
    ButtonMenu &menu = toolbar.button("gohome").menu();
    EXPECT_EQ(menu.count(), 4);
    EXPECT_TRUE(menu.itemAction(2)->isSeparator()) << "an entry captioned \"-\" is a separator line";
    EXPECT_EQ(raised([&] { menu.addItem("hom", "again"); }), ErrorNumber::KeyNotUnique);
    EXPECT_EQ(menu.count(), 4);

    menu.setItemText("hom", " nevyužito");
    menu.setItemEnabled("hom", false);
    menu.setItemTag("hom", "http://www.example.cz/");
    menu.setItemVisible(4, false);
    EXPECT_EQ(menu.itemText(1), QStringLiteral(" nevyužito"));
    EXPECT_FALSE(menu.isItemEnabled(1));
    EXPECT_EQ(menu.itemTag("hom"), QStringLiteral("http://www.example.cz/"));
    EXPECT_FALSE(menu.isItemVisible("sethom"));
    EXPECT_EQ(menu.keyAt(4), QStringLiteral("sethom"));
    EXPECT_EQ(raised([&] { menu.itemText("nosuch"); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(raised([&] { toolbar.button("back").menu(); }), ErrorNumber::IllegalCall);
}

TEST_F(ToolbarTest, HotImageShowsWhileThePointerIsOver)
{
    const QIcon back = toolbar.button("back").widget()->icon();
    EXPECT_EQ(colourOf(back, QIcon::Normal), QColor(Qt::gray));
    EXPECT_EQ(colourOf(back, QIcon::Active), QColor(Qt::blue));
    const QIcon home = toolbar.button("gohome").widget()->icon();
    EXPECT_EQ(colourOf(home, QIcon::Active), QColor(Qt::darkGray)) << "no hot image: the normal one stays";
}

TEST_F(ToolbarTest, ImageChangesFailForKeysTheListLacks)
{
    ToolbarButton &back = toolbar.button("back");
    EXPECT_EQ(raised([&] { back.setImage("nosuch"); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(back.image(), QStringLiteral("back"));
    back.setImage("folder");
    EXPECT_EQ(colourOf(back.widget()->icon()), QColor(Qt::lightGray));
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

TEST_F(ToolbarTest, ToolTips)
{
    toolbar.button("back").setToolTip("Přejít zpět v historii aktuálního okna (Ctrl+B)");
    EXPECT_EQ(toolbar.button(1).toolTip(), QStringLiteral("Přejít zpět v historii aktuálního okna (Ctrl+B)"));
    EXPECT_EQ(toolbar.button("gohome").toolTip(), QString()) << "no tooltip unless set";
}

} // namespace
