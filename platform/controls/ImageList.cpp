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

std::optional<QIcon> BatchIcons::operator()(const QString &imageKey)
{
    auto known = m_known.find(imageKey);
    if (known == m_known.end()) {
        std::optional<QIcon> icon;
        if (imageKey.isEmpty())
            icon = QIcon();
        else if (m_images && m_images->contains(imageKey))
            icon = m_images->icon(imageKey);
        known = m_known.insert(imageKey, icon);
    }
    return *known;
}
