#include "platform/controls/ImageCombo.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace {

constexpr int KeyRole = Qt::UserRole + 1;
constexpr int IndentRole = Qt::UserRole + 2;
constexpr int IndentPixels = 10;

// Shifts each item of the drop-down list by its indentation.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted = option;
        shifted.rect.setLeft(option.rect.left() + index.data(IndentRole).toInt() * IndentPixels);
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(IndentRole).toInt() * IndentPixels;
        return size;
    }
};

} // namespace

ImageCombo::ImageCombo(QWidget *parent)
    : QComboBox(parent)
{
    view()->setItemDelegate(new IndentDelegate(this));
    connect(this, &QComboBox::activated, this, [this](int index) { emit itemChosen(keyAt(index + 1)); });
}

void ImageCombo::addItem(const QString &key, const QString &text, const QString &imageKey, int indentation)
{
    if (indexOfKey(key) != 0)
        raiseKeyTaken(key);
    const QIcon icon = iconFromList(m_images, imageKey);
    QComboBox::addItem(icon, text);
    setItemData(count() - 1, key, KeyRole);
    setItemData(count() - 1, indentation, IndentRole);
}

int ImageCombo::row(const ItemRef &item) const
{
    return resolveItemRef(item, count(), [this](const QString &key) { return indexOfKey(key); }) - 1;
}

void ImageCombo::removeItem(const ItemRef &item)
{
    QComboBox::removeItem(row(item));
}

int ImageCombo::indexOfKey(const QString &key) const
{
    if (key.isEmpty())
        return 0;
    for (int i = 0; i < count(); ++i) {
        if (itemData(i, KeyRole).toString() == key)
            return i + 1;
    }
    return 0;
}

QString ImageCombo::keyAt(int index) const
{
    return itemData(index - 1, KeyRole).toString();
}

QString ImageCombo::itemText(const ItemRef &item) const
{
    return QComboBox::itemText(row(item));
}

void ImageCombo::setItemText(const ItemRef &item, const QString &text)
{
    QComboBox::setItemText(row(item), text);
}

int ImageCombo::indentation(const ItemRef &item) const
{
    return itemData(row(item), IndentRole).toInt();
}

QString ImageCombo::selectedKey() const
{
    return currentIndex() < 0 ? QString() : keyAt(currentIndex() + 1);
}

void ImageCombo::select(const ItemRef &item)
{
    setCurrentIndex(row(item));
}
