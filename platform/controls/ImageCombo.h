#pragma once

#include "platform/controls/ImageList.h"
#include "platform/controls/ItemRef.h"

#include <QComboBox>
#include <QPointer>

// A combo box whose items carry a key, an image from an image list and an indentation
// (levels of the drop-down list, ten pixels each). Items are addressed by key and by
// 1-based index (failures as in ItemRef.h); an item without key is reached by index.
class ImageCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit ImageCombo(QWidget *parent = nullptr);

    void setImageList(ImageList *images) { m_images = images; }
    ImageList *imageList() const { return m_images; }

    // Appends an item. A taken key, or an image key the image list lacks, fails and
    // adds nothing.
    void addItem(const QString &key, const QString &text, const QString &imageKey = {}, int indentation = 0);
    void removeItem(const ItemRef &item);
    int indexOfKey(const QString &key) const;
    QString keyAt(int index) const;
    QString itemText(const ItemRef &item) const;
    void setItemText(const ItemRef &item, const QString &text);
    int indentation(const ItemRef &item) const;

    // The selected item's key; empty when none is selected.
    QString selectedKey() const;
    void select(const ItemRef &item);

signals:
    // The user chose an item from the list (not a change made by the program).
    void itemChosen(const QString &key);

private:
    int row(const ItemRef &item) const;

    QPointer<ImageList> m_images;
};
