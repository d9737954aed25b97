#include "app/Icons.h"

#include "platform/controls/ImageList.h"

#include <QImage>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace {

using Painter = std::function<void(QPainter &)>;

const QColor kInk(40, 40, 40);
const QColor kGreen(46, 139, 60);
const QColor kBlue(40, 90, 170);
const QColor kRed(200, 40, 40);
const QColor kYellow(235, 190, 50);
const QColor kPaper(250, 250, 250);

void arrow(QPainter &p, bool right, const QColor &colour)
{
    QPainterPath path;
    if (right) {
        path.moveTo(2, 6); path.lineTo(8, 6); path.lineTo(8, 2); path.lineTo(14, 8);
        path.lineTo(8, 14); path.lineTo(8, 10); path.lineTo(2, 10);
    } else {
        path.moveTo(14, 6); path.lineTo(8, 6); path.lineTo(8, 2); path.lineTo(2, 8);
        path.lineTo(8, 14); path.lineTo(8, 10); path.lineTo(14, 10);
    }
    path.closeSubpath();
    p.setPen(QPen(colour.darker(140), 0.8));
    p.setBrush(colour);
    p.drawPath(path);
}

void window(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.fillRect(QRectF(2, 3, 12, 2.5), kBlue);
}

void cross(QPainter &p, const QRectF &box, const QColor &colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
}

void smallArrow(QPainter &p, bool right)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    QPolygonF head;
    if (right)
        head << QPointF(6, 6.5) << QPointF(11, 9.5) << QPointF(6, 12.5);
    else
        head << QPointF(10, 6.5) << QPointF(5, 9.5) << QPointF(10, 12.5);
    p.drawPolygon(head);
}

const std::map<QString, Painter> &painters()
{
    static const std::map<QString, Painter> table = {
        {QStringLiteral("back"), [](QPainter &p) { arrow(p, false, kGreen); }},
        {QStringLiteral("forward"), [](QPainter &p) { arrow(p, true, kGreen); }},
        {QStringLiteral("stop"), [](QPainter &p) {
             p.setPen(Qt::NoPen); p.setBrush(kRed); p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
             cross(p, QRectF(5, 5, 6, 6), Qt::white, 1.8); }},
        {QStringLiteral("refresh"), [](QPainter &p) {
             p.setPen(QPen(kGreen, 2)); p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
             p.setPen(Qt::NoPen); p.setBrush(kGreen);
             p.drawPolygon(QPolygonF() << QPointF(8, 0.5) << QPointF(12, 3) << QPointF(8, 5.5)); }},
        {QStringLiteral("gohome"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(kRed);
             p.drawPolygon(QPolygonF() << QPointF(1, 8) << QPointF(8, 1.5) << QPointF(15, 8));
             p.setBrush(kYellow); p.drawRect(QRectF(3.5, 8, 9, 6.5));
             p.setBrush(kBlue.lighter(130)); p.drawRect(QRectF(6.5, 10, 3, 4.5)); }},
        {QStringLiteral("gosearch"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1.5)); p.setBrush(QColor(200, 225, 250));
             p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
             p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap)); p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5)); }},
        {QStringLiteral("folder"), [](QPainter &p) {
             p.setPen(QPen(kYellow.darker(150), 1)); p.setBrush(kYellow.darker(110));
             p.drawRect(QRectF(1.5, 3.5, 5, 2));
             p.setBrush(kYellow); p.drawRect(QRectF(1.5, 5.5, 13, 8.5)); }},
        {QStringLiteral("favorites"), [](QPainter &p) {
             QPolygonF star;
             for (int i = 0; i < 10; ++i) {
                 const double r = i % 2 ? 3.0 : 7.0;
                 const double a = (i * 36 - 90) * 3.14159265 / 180;
                 star << QPointF(8 + r * std::cos(a), 8.5 + r * std::sin(a));
             }
             p.setPen(QPen(kYellow.darker(160), 0.8)); p.setBrush(kYellow); p.drawPolygon(star); }},
        {QStringLiteral("save"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(kBlue); p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setBrush(kPaper); p.drawRect(QRectF(4.5, 1.5, 7, 5));
             p.setBrush(QColor(180, 180, 180)); p.drawRect(QRectF(4.5, 9.5, 7, 5)); }},
        {QStringLiteral("history"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(kPaper); p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
             p.setPen(QPen(kBlue, 1.5, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(8, 8), QPointF(8, 4)); p.drawLine(QPointF(8, 8), QPointF(11, 10)); }},
        {QStringLiteral("winprev"), [](QPainter &p) { window(p); smallArrow(p, false); }},
        {QStringLiteral("winnext"), [](QPainter &p) { window(p); smallArrow(p, true); }},
        {QStringLiteral("newwin"), [](QPainter &p) {
             window(p); p.setPen(QPen(kGreen, 2));
             p.drawLine(QPointF(8, 7), QPointF(8, 12)); p.drawLine(QPointF(5.5, 9.5), QPointF(10.5, 9.5)); }},
        {QStringLiteral("background"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(QColor(190, 190, 190)); p.drawRect(QRectF(5.5, 1.5, 9, 8));
             p.setBrush(kPaper); p.drawRect(QRectF(1.5, 6.5, 9, 8)); p.fillRect(QRectF(2, 7, 8, 2), kBlue); }},
        {QStringLiteral("closewin"), [](QPainter &p) { window(p); cross(p, QRectF(5.5, 7, 5, 5), kRed, 1.6); }},
        {QStringLiteral("close"), [](QPainter &p) { cross(p, QRectF(4, 4, 8, 8), kInk, 1.6); }},
        {QStringLiteral("prgno"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(kYellow);
             p.drawPolygon(QPolygonF() << QPointF(4, 2) << QPointF(12, 2) << QPointF(8, 8) << QPointF(12, 14)
                                       << QPointF(4, 14) << QPointF(8, 8)); }},
        {QStringLiteral("prgyes"), [](QPainter &p) {
             p.setPen(Qt::NoPen); p.setBrush(kGreen); p.drawEllipse(QRectF(3, 3, 10, 10)); }},
        {QStringLiteral("tick"), [](QPainter &p) {
             p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF() << QPointF(3, 8.5) << QPointF(6.5, 12) << QPointF(13, 4)); }},
        {QStringLiteral("htm"), [](QPainter &p) {
             p.setPen(QPen(kInk, 1)); p.setBrush(kPaper);
             p.drawPolygon(QPolygonF() << QPointF(2.5, 1.5) << QPointF(10, 1.5) << QPointF(13.5, 5)
                                       << QPointF(13.5, 14.5) << QPointF(2.5, 14.5));
             p.drawPolyline(QPolygonF() << QPointF(10, 1.5) << QPointF(10, 5) << QPointF(13.5, 5));
             p.setPen(QPen(kBlue.darker(130), 0.8)); p.setBrush(kBlue.lighter(150));
             p.drawEllipse(QRectF(4, 6, 7, 7));
             p.drawLine(QPointF(4, 9.5), QPointF(11, 9.5));
             p.drawEllipse(QRectF(6, 6, 3, 7)); }},
        {QStringLiteral("point"), [](QPainter &p) {
             p.setPen(Qt::NoPen); p.setBrush(kInk); p.drawEllipse(QRectF(5.5, 5.5, 5, 5)); }},
    };
    return table;
}

void mute(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
}

} // namespace

namespace Icons {

QIcon icon(const QString &key, int size, bool gray)
{
    const auto found = painters().find(key);
    if (found == painters().end())
        return {};
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        found->second(painter);
    }
    if (gray)
        mute(image);
    return QIcon(QPixmap::fromImage(image));
}

void fill(ImageList *list, const QStringList &keys, bool gray)
{
    for (const QString &key : keys)
        list->add(key, icon(key, list->imageSize().width(), gray));
}

} // namespace Icons
