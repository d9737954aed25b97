#pragma once

#include "platform/controls/ImageList.h"
#include "platform/controls/ItemRef.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QTabBar;

// A row of tabs addressed by key and by 1-based index, over QTabBar.
//
// Selection: clicked() is emitted whenever the user picks another tab (mouse, keyboard,
// wheel) and when select() moves the selection; it is not emitted when the selection
// already was on that tab. Adding and removing tabs never emit it: QTabBar selects the
// first tab added, and after the selected tab is removed it selects the previously
// selected one (the window layer then selects the tab of whichever window becomes
// active, which emits clicked() if that is a different tab).
class TabStrip : public QWidget
{
    Q_OBJECT

public:
    explicit TabStrip(QWidget *parent = nullptr);

    void setImageList(ImageList *images) { m_images = images; }
    ImageList *imageList() const { return m_images; }

    // Inserts a tab at the 1-based index (0 appends). A taken key fails
    // (KeyNotUnique), an index past count() + 1 fails (SubscriptOutOfRange).
    void add(const QString &key, const QString &caption, int index = 0);
    void remove(const ItemRef &tab);
    void clear();

    int count() const;
    bool contains(const QString &key) const { return indexOfKey(key) != 0; }
    // 1-based index of the tab with key; 0 when there is none.
    int indexOfKey(const QString &key) const;
    QString keyAt(int index) const;

    // Key and index of the selected tab; empty and 0 while there are no tabs.
    QString selectedKey() const;
    int selectedIndex() const;
    void select(const ItemRef &tab);

    QString caption(const ItemRef &tab) const;
    void setCaption(const ItemRef &tab, const QString &caption);
    QString toolTip(const ItemRef &tab) const;
    void setToolTip(const ItemRef &tab, const QString &text);
    // The tab's image key; empty for none. Setting a key the image list lacks fails
    // (ElementNotFound) and leaves the tab as it was.
    QString image(const ItemRef &tab) const;
    void setImage(const ItemRef &tab, const QString &imageKey);

signals:
    void clicked();
    // A mouse button went up over the strip; pos is in the strip's coordinates.
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Moves over the strip are the strip's: the tab bar passes on those it has no use
    // for (with no left button held), and they must not reach the strip's container.
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int position(const ItemRef &tab) const;

    QTabBar *m_bar;
    QPointer<ImageList> m_images;
};
