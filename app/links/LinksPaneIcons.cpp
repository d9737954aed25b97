#include "app/links/LinksPaneIcons.h"

#include "app/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QColor protocolColour(const QString &key)
{
    static const QHash<QString, QColor> colours = {
        {QStringLiteral("ftp:"), QColor(0x8a, 0x5a, 0x00)},   {QStringLiteral("javascript:"), QColor(0xc0, 0x30, 0x30)},
        {QStringLiteral("mhtml:"), QColor(0x60, 0x60, 0x60)}, {QStringLiteral("http:"), QColor(0x20, 0x60, 0xc0)},
        {QStringLiteral("file:"), QColor(0xb0, 0x90, 0x20)},  {QStringLiteral("mailto:"), QColor(0x20, 0x90, 0x40)},
        {QStringLiteral("news:"), QColor(0x80, 0x40, 0xa0)},  {QStringLiteral("https:"), QColor(0x10, 0x40, 0x80)},
    };
    return colours.value(key, Qt::gray);
}

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon LinksPaneIcons::protocolIcon(const QString &protocolKey, int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(protocolColour(protocolKey));
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    QFont font = p.font();
    font.setPixelSize(size * 5 / 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, protocolKey.left(1).toUpper());
    return QIcon(pixmap);
}

QIcon LinksPaneIcons::toolbarIcon(const QString &key, bool gray, int size)
{
    if (key == QLatin1String("delete"))
        return Icons::deleteToolbarIcon(gray, size);
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QColor ink = gray ? QColor(0x70, 0x70, 0x70) : QColor(0x20, 0x60, 0xc0);
    if (key == QLatin1String("addlinks")) {
        p.setPen(QPen(gray ? ink : QColor(0x20, 0x90, 0x40), 2.4));
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
    } else if (key == QLatin1String("savelinks")) {
        p.setPen(QPen(ink, 1.2));
        p.setBrush(gray ? QColor(0xd0, 0xd0, 0xd0) : QColor(0xc8, 0xdc, 0xf5));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 2.5, 6, 4));
    }
    return QIcon(pixmap);
}
