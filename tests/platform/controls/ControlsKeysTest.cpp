#include "ControlsTest.h"

#include "platform/controls/ButtonMenu.h"
#include "platform/controls/CoolBar.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ListView.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"

#include <QLabel>

#include <gtest/gtest.h>

// Every control whose members carry keys adds, refuses and finds them alike. Each
// wrapper below adds a member under a key and reads one by key or 1-based index.
namespace {

struct Images
{
    ImageList control;
    void add(const QString &key) { control.add(key, ControlsTest::solid(Qt::red)); }
    void read(const ItemRef &ref) { control.icon(ref); }
};

struct Panels
{
    StatusBar control;
    void add(const QString &key) { control.addPanel(key, 10); }
    void read(const ItemRef &ref) { control.panel(ref); }
};

struct Tabs
{
    TabStrip control;
    void add(const QString &key) { control.add(key, key); }
    void read(const ItemRef &ref) { control.caption(ref); }
};

struct Nodes
{
    TreeView control;
    void add(const QString &key) { control.addRoot(key, key); }
    void read(const ItemRef &ref) { control.node(ref); }
};

struct Rows
{
    ListView control;
    void add(const QString &key) { control.add(key, key); }
    void read(const ItemRef &ref) { control.item(ref); }
};

struct Buttons
{
    Toolbar control;
    void add(const QString &key) { control.addButton(key, key); }
    void read(const ItemRef &ref) { control.button(ref); }
};

struct MenuEntries
{
    ButtonMenu control;
    void add(const QString &key) { control.addItem(key, key); }
    void read(const ItemRef &ref) { control.itemText(ref); }
};

struct Bands
{
    CoolBar control;
    void add(const QString &key) { control.addBand(key, key, new QLabel); }
    void read(const ItemRef &ref) { control.band(ref); }
};

template<typename Members>
class KeyedMembers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        members.add(QStringLiteral("a"));
        members.add(QStringLiteral("b"));
    }

    Members members;
};

using AllKeyedControls = ::testing::Types<Images, Panels, Tabs, Nodes, Rows, Buttons, MenuEntries, Bands>;
TYPED_TEST_SUITE(KeyedMembers, AllKeyedControls);

TYPED_TEST(KeyedMembers, ATakenKeyFailsAndAddsNothing)
{
    EXPECT_EQ(raised([&] { this->members.add(QStringLiteral("b")); }), ErrorNumber::KeyNotUnique);
    EXPECT_EQ(this->members.control.count(), 2);
    EXPECT_EQ(raised([&] { this->members.add(QStringLiteral("c")); }), 0);
    EXPECT_EQ(this->members.control.count(), 3);
}

TYPED_TEST(KeyedMembers, MissingKeysAndIndexesOutsideTheMembersFail)
{
    const std::pair<ItemRef, int> table[] = {
        {QStringLiteral("b"), 0},
        {2, 0},
        {QStringLiteral("B"), ErrorNumber::ElementNotFound},
        {QString(), ErrorNumber::ElementNotFound},
        {0, ErrorNumber::SubscriptOutOfRange},
        {3, ErrorNumber::SubscriptOutOfRange},
        {-1, ErrorNumber::SubscriptOutOfRange},
    };
    for (const auto &[ref, number] : table) {
        SCOPED_TRACE(ref.isIndex() ? std::to_string(ref.index()) : ref.key().toStdString());
        EXPECT_EQ(raised([&] { this->members.read(ref); }), number);
    }
}

} // namespace
