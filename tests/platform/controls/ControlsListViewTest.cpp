#include "ControlsTest.h"
#include "QtPrinters.h"

#include "platform/controls/ListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace ControlsTest;

namespace {

class ListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        protocols.add("http:", solid(Qt::blue));
        protocols.add("mailto:", solid(Qt::red));
        list.setSmallImageList(&protocols);
        list.addColumn("Nápis", 96);
        list.addColumn("URL", 133);
        list.addColumn("Zdroj", 33, Qt::AlignRight);
    }

    ListItem addLink(const QString &caption, const QString &url, const QString &protocol = "http:")
    {
        const QString key = url + QString::number(list.count());
        const ListItem item = list.add(key, caption, protocol);
        item.setSubItem(1, url);
        item.setSubItem(2, "Titulek");
        return item;
    }

    void addThree()
    {
        addLink("beta", "http://b/");
        addLink("Alpha", "http://c/");
        addLink("gamma", "http://a/");
    }

    QStringList column(int subItem = 0) const
    {
        QStringList result;
        for (int i = 1; i <= list.count(); ++i)
            result << (subItem == 0 ? list.item(i).text() : list.item(i).subItem(subItem));
        return result;
    }

    void showList()
    {
        list.resize(400, 300);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    QWidget *viewport() const { return list.treeWidget()->viewport(); }
    QPoint centreOf(const ListItem &item) const
    {
        return list.treeWidget()->visualItemRect(list.treeWidget()->topLevelItem(item.index() - 1)).center();
    }

    ImageList protocols;
    ListView list;
};

TEST_F(ListViewTest, AColumnIsAsWideAsAskedButNeverNarrowerThanItsCaption)
{
    QTreeWidget *tree = list.treeWidget();
    EXPECT_EQ(tree->columnWidth(0), 96);
    EXPECT_EQ(tree->columnWidth(1), 133);
    // The caption with the header's own margins round it.
    EXPECT_GE(tree->columnWidth(2), tree->header()->sectionSizeHint(2));
}

TEST_F(ListViewTest, FailedAdditionsAddNothing)
{
    addThree();
    const struct { const char *key; const char *icon; int index; int number; } table[] = {
        {"news://x/3", "news:", 0, ErrorNumber::ElementNotFound},
        {"http://d/3", "http:", 5, ErrorNumber::SubscriptOutOfRange},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(raised([&] { list.add(row.key, "x", row.icon, row.index); }), row.number);
        EXPECT_EQ(list.count(), 3);
    }
    EXPECT_FALSE(list.contains("news://x/3"));
    EXPECT_EQ(list.item("http://b/0").text(), QStringLiteral("beta"));
}

TEST_F(ListViewTest, AppendingManyRowsSkipsThoseAddWouldRefuse)
{
    addThree();
    list.setSorted(true);
    const int added = list.append({
        {"http://e/3", "epsilon", "http:", {"http://e/", "Titulek"}},
        {"http://b/0", "taken key", "http:", {}},
        {"news://x/4", "unknown image", "news:", {}},
        {"mailto:a@b/4", "delta", "mailto:", {"mailto:a@b", "Zdroj", "beyond the columns"}},
        {"mailto:a@b/4", "same key again", "mailto:", {}},
    });
    EXPECT_EQ(added, 2);
    EXPECT_EQ(column(), (QStringList{"Alpha", "beta", "delta", "epsilon", "gamma"}));
    const ListItem mail = list.item("mailto:a@b/4");
    EXPECT_EQ(mail.subItem(1), QStringLiteral("mailto:a@b"));
    EXPECT_EQ(mail.subItem(2), QStringLiteral("Zdroj"));
    EXPECT_EQ(mail.smallIcon(), QStringLiteral("mailto:"));
    EXPECT_EQ(list.treeWidget()->topLevelItem(mail.index() - 1)->textAlignment(2) & Qt::AlignRight, Qt::AlignRight);
    EXPECT_FALSE(list.contains("news://x/4"));
    // The rows are ordinary rows: found by key, changed and removed like added ones.
    list.remove("http://e/3");
    EXPECT_EQ(list.count(), 4);
    EXPECT_FALSE(list.contains("http://e/3"));
}

TEST_F(ListViewTest, RemovingARowRenumbersTheLaterOnesAndFreesItsKey)
{
    addThree();
    const ListItem last = list.item(3);
    list.remove(2);
    EXPECT_EQ(column(), (QStringList{"beta", "gamma"}));
    EXPECT_EQ(last.index(), 2);
    EXPECT_EQ(list.item("http://a/2"), last);
    EXPECT_FALSE(list.contains("http://c/1"));
    EXPECT_EQ(raised([&] { list.add("http://c/1", "Alpha", "http:"); }), 0);
    EXPECT_EQ(raised([&] { list.add("http://a/2", "again", "http:"); }), ErrorNumber::KeyNotUnique)
        << "keys carrying positions can collide after removals";
}

TEST_F(ListViewTest, SortsByAColumnWithoutRegardToCase)
{
    addThree();
    const struct { int key; Qt::SortOrder order; QStringList captions; } table[] = {
        {0, Qt::AscendingOrder, {"Alpha", "beta", "gamma"}},
        {0, Qt::DescendingOrder, {"gamma", "beta", "Alpha"}},
        {1, Qt::AscendingOrder, {"gamma", "beta", "Alpha"}},
        {1, Qt::DescendingOrder, {"Alpha", "beta", "gamma"}},
    };
    list.setSorted(true);
    for (const auto &row : table) {
        SCOPED_TRACE(row.captions.join(',').toStdString());
        list.setSortKey(row.key);
        list.setSortOrder(row.order);
        EXPECT_EQ(column(), row.captions);
    }
}

TEST_F(ListViewTest, AHeaderClickOnlyReportsTheColumn)
{
    addThree();
    list.setSorted(true);
    showList();
    QSignalSpy clicked(&list, &ListView::columnClicked);
    QHeaderView *header = list.treeWidget()->header();
    for (int section : {1, 1, 0}) {
        const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }
    ASSERT_EQ(clicked.count(), 3);
    EXPECT_EQ(clicked[0][0].toInt(), 2);
    EXPECT_EQ(clicked[2][0].toInt(), 1);
    EXPECT_EQ(list.sortKey(), 0);
    EXPECT_EQ(list.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(column(), (QStringList{"Alpha", "beta", "gamma"})) << "the owner decides the order";
}

TEST_F(ListViewTest, UserClicksAreReportedAndProgramSelectionIsNot)
{
    addThree();
    showList();
    QStringList events;
    QObject::connect(&list, &ListView::mouseDown,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint &) { events << QString("down %1").arg(b); });
    QObject::connect(&list, &ListView::itemClicked, [&](ListItem item) { events << "click " + item.text(); });
    QObject::connect(&list, &ListView::mouseUp,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint &) { events << QString("up %1").arg(b); });
    list.item(3).setSelected(true);
    EXPECT_EQ(list.selectedItem(), list.item(3));
    QTest::mouseClick(viewport(), Qt::RightButton, {}, centreOf(list.item(2)));
    QTest::keyClick(list.treeWidget(), Qt::Key_Up);
    EXPECT_EQ(events, (QStringList{"down 2", "click Alpha", "up 2", "click beta"}));
    EXPECT_EQ(list.selectedItem().text(), QStringLiteral("beta"));
}

TEST_F(ListViewTest, DoubleClickAndKeys)
{
    showList();
    QSignalSpy doubleClicked(&list, &ListView::doubleClicked);
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(doubleClicked.count(), 1) << "also on an empty list";

    addThree();
    list.item(1).setSelected(true);
    QObject::connect(&list, &ListView::keyDown,
                     [](int key, Qt::KeyboardModifiers, bool *consumed) { *consumed = key == Qt::Key_Down; });
    QTest::keyClick(list.treeWidget(), Qt::Key_Down);
    EXPECT_EQ(list.selectedItem().index(), 1);
}

TEST_F(ListViewTest, KeysTypedIntoALabelStayInTheEditor)
{
    addThree();
    showList();
    QApplication::setActiveWindow(&list);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.item(1).setSelected(true);
    QStringList downs;
    QObject::connect(&list, &ListView::keyDown, [&](int key, Qt::KeyboardModifiers, bool *) {
        downs << QKeySequence(key).toString();
    });
    list.startLabelEdit();
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, 'Q', Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_F12);
    QTest::keyClick(editor, Qt::Key_Down);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.item(1).text(), QStringLiteral("Q"));
    EXPECT_EQ(list.selectedItem().index(), 1);
    EXPECT_EQ(downs, QStringList());
}

} // namespace
