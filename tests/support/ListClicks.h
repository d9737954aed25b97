#pragma once

#include "platform/controls/ListView.h"

#include <QTest>
#include <QTreeWidget>

// Where the mouse clicks a row: the middle of its visible part, since a tree's rows
// may be wider than the view.
inline QPoint visibleRowPoint(QTreeWidget *tree, QTreeWidgetItem *item)
{
    return tree->visualItemRect(item).intersected(tree->viewport()->rect()).center();
}

// Clicks row i (1-based) of a list the way the mouse does, scrolling it into view first.
inline void clickListRow(ListView *list, int row)
{
    QTreeWidget *tree = list->treeWidget();
    QTreeWidgetItem *item = tree->topLevelItem(row - 1);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, visibleRowPoint(tree, item));
}
