#include "app/search/SearchPaneIcons.h"

#include "app/Icons.h"
#include "platform/controls/ImageList.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <functional>

namespace {

QIcon painted(int size, const std::function<void(QPainter &)> &paint)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    paint(painter);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

// A sheet under a magnifying glass.
void findFile(QPainter &p)
{
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(1.5, 1.5, 9, 12));
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QRectF(6, 6, 6, 6));
    p.setPen(QPen(QColor(40, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, 11.5), QPointF(14.5, 14.5));
}

// Three criteria lines with an arrow folding them up, or down.
void criteria(QPainter &p, bool hide)
{
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    for (const double y : {3.0, 7.0, 11.0})
        p.drawLine(QPointF(1.5, y), QPointF(8.5, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    QPolygonF arrow;
    if (hide)
        arrow << QPointF(10, 10) << QPointF(15, 10) << QPointF(12.5, 5);
    else
        arrow << QPointF(10, 5) << QPointF(15, 5) << QPointF(12.5, 10);
    p.drawPolygon(arrow);
}

} // namespace

namespace SearchPaneIcons {

void fill(ImageList *list)
{
    const int size = list->imageSize().width();
    list->add(QStringLiteral("findfile"), painted(size, findFile));
    list->add(QStringLiteral("stop"), Icons::icon(QStringLiteral("stop"), size));
    list->add(QStringLiteral("hide"), painted(size, [](QPainter &p) { criteria(p, true); }));
    list->add(QStringLiteral("show"), painted(size, [](QPainter &p) { criteria(p, false); }));
}

} // namespace SearchPaneIcons
