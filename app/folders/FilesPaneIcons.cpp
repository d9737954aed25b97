#include "app/folders/FilesPaneIcons.h"

#include "app/Icons.h"

#include <QPainter>
#include <QPixmap>

namespace {

void sheet(QPainter &p, const QRectF &box)
{
    p.drawRect(box);
}

} // namespace

QIcon FilesPaneIcons::toolbarIcon(const QString &key, bool gray, int size)
{
    if (key == QLatin1String("delete"))
        return Icons::deleteToolbarIcon(gray, size);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QColor ink = gray ? QColor(0x70, 0x70, 0x70) : QColor(0x20, 0x60, 0xc0);
    const QColor accent = gray ? QColor(0x90, 0x90, 0x90) : QColor(0x20, 0x90, 0x40);
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::white);
    if (key == QLatin1String("qcopy")) {
        sheet(p, QRectF(1.5, 1.5, 8, 10));
        sheet(p, QRectF(6.5, 4.5, 8, 10));
    } else if (key == QLatin1String("qmove")) {
        sheet(p, QRectF(1.5, 1.5, 8, 10));
        p.setPen(QPen(accent, 2));
        p.drawLine(QPointF(7, 11), QPointF(14, 11));
        p.drawLine(QPointF(11, 8), QPointF(14, 11));
        p.drawLine(QPointF(11, 14), QPointF(14, 11));
    } else if (key == QLatin1String("edit")) {
        sheet(p, QRectF(2.5, 1.5, 9, 12));
        p.setPen(QPen(accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 12), QPointF(14, 5));
    }
    return QIcon(pixmap);
}
