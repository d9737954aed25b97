#pragma once

#include "platform/controls/ImageList.h"
#include "platform/controls/ItemRef.h"
#include "platform/controls/ItemRegistry.h"
#include "platform/controls/ListItem.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

class EventTreeWidget;
class QTreeWidget;

// One row for ListView::append: its key, text, small icon key, and the texts of the
// columns after the first (sub-items 1, 2, ...).
struct ListRowData
{
    QString key;
    QString text;
    QString smallIconKey;
    QStringList subItems;
};

// A list in report view: column headers and rows addressed by key and by 1-based
// index in the order shown (failures as in ItemRef.h), over a flat QTreeWidget. Rows
// are changed through ListItem handles.
//
// Sorting is the list's own state, never the header's: while sorted() the list keeps
// itself ordered by the texts of column sortKey() (0-based, compared without regard to
// case) in sortOrder(); a header click only raises columnClicked, and the owner
// decides what to change.
//
// Events: itemClicked when the user makes a row the current one or clicks the current
// row, with the mouse (any button) or the keyboard; never for a change made by the
// program. Label edits start only through startLabelEdit().
class ListView : public QWidget
{
    Q_OBJECT

public:
    explicit ListView(QWidget *parent = nullptr);
    ~ListView() override;

    // Images are looked up when they are assigned to a row.
    void setSmallImageList(ImageList *images) { m_images = images; }
    ImageList *smallImageList() const { return m_images; }

    // Width in pixels.
    void addColumn(const QString &text, int width, Qt::Alignment alignment = Qt::AlignLeft);
    int columnCount() const;
    QString columnText(int index) const;

    // Inserts at the 1-based index (0 appends; a sorted list then puts the row in
    // its place). A taken key, an image key the image list lacks or an index past
    // count() + 1 fails and adds nothing.
    ListItem add(const QString &key, const QString &text, const QString &smallIconKey = {}, int index = 0);
    // Appends rows at the end in one step, the way to fill a list with thousands of
    // rows: the view takes them all at once, and a sorted list sorts once. A row that
    // add() would refuse (a taken key, an image key the image list lacks) is skipped;
    // the others keep their order. Returns how many rows were added.
    int append(const QList<ListRowData> &rows);
    void remove(const ItemRef &item) { resolve(item).remove(); }
    void clear();

    int count() const;
    bool contains(const QString &key) const { return m_registry.contains(key); }
    ListItem item(const ItemRef &item) const { return resolve(item); }
    // The current row when selected, else the first selected row, else a null handle.
    ListItem selectedItem() const;

    bool multiSelect() const;
    void setMultiSelect(bool multi);

    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void setSortOrder(Qt::SortOrder order);

    // Lets the user edit the selected row's text in place; the text is taken as typed.
    void startLabelEdit();

    QTreeWidget *treeWidget() const;

signals:
    void itemClicked(ListItem item);
    // A column header was clicked; index is 1-based.
    void columnClicked(int index);
    void doubleClicked();
    // Set *consumed to keep the list from acting on the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    // Positions are in the list view's coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);

private:
    friend class ListItem;

    ListItem resolve(const ItemRef &item) const;
    ListItem handle(const QTreeWidgetItem *item) const;
    // A row not yet in the view or the registry.
    QTreeWidgetItem *newRow(const QString &text, const QString &smallIconKey, const QIcon &icon);
    QIcon iconFor(const QString &imageKey) const;
    void applySorting();
    void onHeaderClicked(int section);
    void connectEvents();

    EventTreeWidget *m_tree;
    QPointer<ImageList> m_images;
    ItemRegistry m_registry;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
