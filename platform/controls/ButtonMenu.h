#pragma once

#include "platform/controls/KeyedCollection.h"

#include <QMenu>

class QAction;

// The drop-down list of a Toolbar button: entries addressed by key and by 1-based
// index (failures as in ItemRef.h), each with a text, a tag, enabled and visible.
// An entry whose text is "-" shows as a separator line. Fill it through addItem only.
class ButtonMenu : public QMenu
{
    Q_OBJECT

public:
    explicit ButtonMenu(QWidget *parent = nullptr);

    // A taken key fails (KeyNotUnique) and adds nothing; an empty key is allowed.
    void addItem(const QString &key, const QString &text);

    int count() const { return m_items.count(); }
    int indexOfKey(const QString &key) const { return m_items.indexOf(key); }
    QString keyAt(int index) const { return m_items.keyAt(index); }

    QString itemText(const ItemRef &item) const;
    void setItemText(const ItemRef &item, const QString &text);
    QString itemTag(const ItemRef &item) const;
    void setItemTag(const ItemRef &item, const QString &tag);
    bool isItemEnabled(const ItemRef &item) const;
    void setItemEnabled(const ItemRef &item, bool enabled);
    bool isItemVisible(const ItemRef &item) const;
    void setItemVisible(const ItemRef &item, bool visible);

    // The entry's action, for tests and for the owner's default item.
    QAction *itemAction(const ItemRef &item) const { return m_items[item]; }

signals:
    // An entry was chosen; index is its 1-based position.
    void itemClicked(const QString &key, int index);

private:
    KeyedCollection<QAction *> m_items;
};
