#include "platform/controls/ImageList.h"

ImageList::ImageList(QObject *parent)
    : QObject(parent)
{
}

void ImageList::add(const QString &key, const QIcon &icon)
{
    m_images.append(key, icon);
}

QIcon iconFromList(const ImageList *images, const QString &imageKey)
{
    if (imageKey.isEmpty())
        return {};
    if (!images)
        raiseMissingKey(imageKey);
    return images->icon(imageKey);
}
