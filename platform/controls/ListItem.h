#pragma once

#include <QMetaType>
#include <QPointer>
#include <QString>

class ListView;
class QTreeWidgetItem;

// A handle to one row of a ListView, cheap to copy. It stays valid while the row is
// in its list; using it after the row was removed, or using a null handle, fails
// with ObjectVariableNotSet. Setters are const: they change the row, not the handle.
class ListItem
{
public:
    ListItem() = default;

    bool isNull() const { return m_id == 0; }
    // False for a null handle and for a row that has been removed.
    bool exists() const;
    bool operator==(const ListItem &other) const;
    bool operator!=(const ListItem &other) const { return !(*this == other); }

    QString key() const;
    QString text() const;
    void setText(const QString &text) const;
    // Sub-item n is column n + 1 (1-based, as the columns after the first); an n
    // outside the columns fails (InvalidPropertyValue).
    QString subItem(int n) const;
    void setSubItem(int n, const QString &text) const;
    // The small icon's key; a key the list's image list lacks fails (ElementNotFound).
    QString smallIcon() const;
    void setSmallIcon(const QString &imageKey) const;
    bool bold() const;
    void setBold(bool bold) const;
    QString tag() const;
    void setTag(const QString &tag) const;
    // Selecting from code raises no itemClicked; in a single-selection list it
    // replaces the selection.
    bool selected() const;
    void setSelected(bool selected) const;
    // 1-based position in the list as shown (a sorted list numbers in sorted order).
    int index() const;

    void remove() const;

private:
    friend class ListView;
    ListItem(const ListView *view, quint64 id);
    QTreeWidgetItem *item() const;
    int column(int subItem) const;

    QPointer<ListView> m_view;
    quint64 m_id = 0;
};

Q_DECLARE_METATYPE(ListItem)
