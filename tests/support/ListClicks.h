#pragma once

#include "platform/controls/ListView.h"

#include <QTest>
#include <QTreeWidget>

// Clicks row i (1-based) of a list the way the mouse does, scrolling it into view first.
inline void clickListRow(ListView *list, int row)
{
    QTreeWidget *tree = list->treeWidget();
    QTreeWidgetItem *item = tree->topLevelItem(row - 1);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}
