#pragma once

#include "platform/controls/KeyedCollection.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSize>

#include <optional>

// A form's image list: icons addressed by key and by 1-based index, in the order
// they were added. Controls look an image up when it is assigned to them, so an
// image key the list lacks fails at that moment (ElementNotFound) and changes nothing.
class ImageList : public QObject
{
    Q_OBJECT

public:
    explicit ImageList(QObject *parent = nullptr);

    // The size the controls showing these images use for them (16 x 16 unless set).
    QSize imageSize() const { return m_imageSize; }
    void setImageSize(const QSize &size) { m_imageSize = size; }

    // An empty key adds an image reachable by index only; a taken key fails
    // (KeyNotUnique) and adds nothing.
    void add(const QString &key, const QIcon &icon);
    void clear() { m_images.clear(); }

    int count() const { return m_images.count(); }
    bool contains(const QString &key) const { return m_images.contains(key); }
    // 1-based position of key, 0 when missing.
    int indexOf(const QString &key) const { return m_images.indexOf(key); }
    QString keyAt(int index) const { return m_images.keyAt(index); }
    QStringList keys() const { return m_images.keys(); }

    QIcon icon(const ItemRef &image) const { return m_images[image]; }

private:
    KeyedCollection<QIcon> m_images;
    QSize m_imageSize{16, 16};
};

// Looks the images of a batch of rows up once each: thousands of rows share a handful.
class BatchIcons
{
public:
    explicit BatchIcons(const ImageList *images) : m_images(images) {}
    // No icon for the empty key; nothing when the list lacks the key (the row is refused).
    std::optional<QIcon> operator()(const QString &imageKey);

private:
    const ImageList *m_images;
    QHash<QString, std::optional<QIcon>> m_known;
};

// The icon a control shows for an image key: none for the empty key; a key that the
// list lacks, or a control that has no list, fails with ElementNotFound.
QIcon iconFromList(const ImageList *images, const QString &imageKey);
