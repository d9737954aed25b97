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


// A sheet of paper with a folded corner; the file kinds of the folder tree mark it.
void sheet(QPainter &p)
{
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF() << QPointF(3.5, 1.5) << QPointF(10, 1.5) << QPointF(13.5, 5) << QPointF(13.5, 14.5)
                              << QPointF(3.5, 14.5));
    p.drawPolyline(QPolygonF() << QPointF(10, 1.5) << QPointF(10, 5) << QPointF(13.5, 5));
}

// A sheet with a coloured band and a few ruled lines, for documents of one program.
void document(QPainter &p, const QColor &band)
{
    sheet(p);
    p.fillRect(QRectF(4, 6, 9, 3), band);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y : {10.5, 12.5})
        p.drawLine(QPointF(5, y), QPointF(12, y));
}

void globe(QPainter &p, const QRectF &box)
{
    p.setPen(QPen(kBlue.darker(130), 0.8));
    p.setBrush(QColor(120, 170, 230));
    p.drawEllipse(box);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box.adjusted(box.width() / 3.2, 0, -box.width() / 3.2, 0));
    p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
}

void note(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.2));
    p.drawLine(QPointF(10, 7), QPointF(10, 12));
    p.drawLine(QPointF(10, 7), QPointF(12.5, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(6.8, 10.8, 3.6, 2.8));
}

void picture(QPainter &p, const QRectF &box)
{
    p.fillRect(box, QColor(150, 200, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF() << box.bottomLeft() << QPointF(box.left() + box.width() * 0.45, box.top() + box.height() * 0.35)
                              << QPointF(box.right(), box.bottom()));
    p.setBrush(kYellow);
    p.drawEllipse(QRectF(box.right() - 3, box.top() + 0.5, 2.5, 2.5));
}

void film(QPainter &p)
{
    p.fillRect(QRectF(5, 6, 7, 7), kInk);
    p.fillRect(QRectF(6.5, 7.5, 4, 4), QColor(150, 200, 240));
}

void code(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(7, 7) << QPointF(5, 9.5) << QPointF(7, 12));
    p.drawPolyline(QPolygonF() << QPointF(10, 7) << QPointF(12, 9.5) << QPointF(10, 12));
}

void folder(QPainter &p, bool open)
{
    p.setPen(QPen(kYellow.darker(160), 1));
    p.setBrush(kYellow.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    p.drawRect(QRectF(1.5, 5.5, 13, 8.5));
    p.setBrush(kYellow);
    if (open)
        p.drawPolygon(QPolygonF() << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 14) << QPointF(1.5, 14));
    else
        p.drawRect(QRectF(1.5, 6.5, 13, 7.5));
}

void computer(QPainter &p, const QRectF &screen)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(screen);
    p.fillRect(screen.adjusted(1.5, 1.5, -1, -1), kBlue.lighter(140));
    p.drawLine(QPointF(screen.center().x(), screen.bottom()), QPointF(screen.center().x(), screen.bottom() + 2));
    p.drawLine(QPointF(screen.left() + 1, screen.bottom() + 2.5), QPointF(screen.right() - 1, screen.bottom() + 2.5));
}

void drive(QPainter &p, const QColor &light)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(1.5, 5.5, 13, 6));
    p.fillRect(QRectF(11, 9, 2, 1.5), light);
}

void disc(QPainter &p)
{
    p.setPen(QPen(QColor(120, 120, 120), 0.8));
    p.setBrush(QColor(215, 220, 235));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(6, 6, 4, 4));
}

// The images of the folder tree, by key.
void addTreePainters(std::map<QString, Painter> &table)
{
    const auto add = [&table](const char *key, Painter painter) { table.emplace(QString::fromUtf8(key), std::move(painter)); };
    for (const char *key : {"asa", "asp", "htm", "html", "mht", "mhtml", "php", "php3", "phtml", "cdf"})
        add(key, [](QPainter &p) { sheet(p); globe(p, QRectF(5, 7, 7, 7)); });
    for (const char *key : {"gif", "png", "jpg", "jpe", "jpeg"})
        add(key, [](QPainter &p) { sheet(p); picture(p, QRectF(4.5, 7, 8, 6.5)); });
    for (const char *key : {"avi", "mov", "qt"})
        add(key, [](QPainter &p) { sheet(p); film(p); });
    for (const char *key : {"mid", "rmi", "midi", "au", "wav", "mp3", "cda"})
        add(key, [](QPainter &p) { sheet(p); note(p, kBlue); });
    add("class", [](QPainter &p) { sheet(p); code(p, kRed); });
    add("js", [](QPainter &p) { sheet(p); code(p, kYellow.darker(140)); });
    add("vbs", [](QPainter &p) { sheet(p); code(p, kBlue); });
    add("css", [](QPainter &p) { sheet(p); code(p, kGreen); });
    add("exe", [](QPainter &p) { window(p); });
    add("chm", [](QPainter &p) { document(p, QColor(140, 80, 160)); });
    add("pdf", [](QPainter &p) { document(p, kRed); });
    add("doc", [](QPainter &p) { document(p, kBlue); });
    add("xls", [](QPainter &p) { document(p, kGreen); });
    add("ppt", [](QPainter &p) { document(p, QColor(220, 110, 40)); });
    add("pps", [](QPainter &p) { document(p, QColor(220, 110, 40).lighter(120)); });
    add("vrml", [](QPainter &p) { document(p, QColor(40, 160, 160)); });
    add("txt", [](QPainter &p) { document(p, QColor(200, 200, 200)); });
    add("${other}", [](QPainter &p) { sheet(p); });
    add("", [](QPainter &p) { sheet(p); }); // the tree's one image without a key
    add("url", [](QPainter &p) { sheet(p); globe(p, QRectF(5, 7, 7, 7)); smallArrow(p, true); });
    add("closed", [](QPainter &p) { folder(p, false); });
    add("open", [](QPainter &p) { folder(p, true); });
    add("closednofile", [](QPainter &p) { folder(p, false); cross(p, QRectF(9, 9, 4, 4), kRed, 1.2); });
    add("checkedfolder", [](QPainter &p) {
        folder(p, false);
        p.setPen(QPen(kGreen, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPolyline(QPolygonF() << QPointF(5, 10) << QPointF(7.5, 12.5) << QPointF(12, 8)); });
    add("imgfolder", [](QPainter &p) { folder(p, false); picture(p, QRectF(7, 8.5, 6.5, 5)); });
    add("historyfolder", [](QPainter &p) {
        folder(p, false);
        p.setPen(QPen(kInk, 0.8)); p.setBrush(kPaper); p.drawEllipse(QRectF(7.5, 7.5, 6, 6));
        p.drawLine(QPointF(10.5, 10.5), QPointF(10.5, 8.5)); p.drawLine(QPointF(10.5, 10.5), QPointF(12, 11)); });
    add("ftpfolder", [](QPainter &p) { folder(p, false); smallArrow(p, true); });
    add("netfolder", [](QPainter &p) {
        folder(p, false);
        p.setPen(QPen(kInk, 1.2)); p.drawLine(QPointF(8, 14), QPointF(8, 16)); p.drawLine(QPointF(3, 15.5), QPointF(13, 15.5)); });
    add("documents", [](QPainter &p) {
        folder(p, false);
        p.setPen(QPen(QColor(110, 110, 110), 0.8)); p.setBrush(kPaper); p.drawRect(QRectF(6.5, 4.5, 6, 7)); });
    add("aktovka", [](QPainter &p) {
        p.setPen(QPen(QColor(90, 60, 30), 1)); p.setBrush(Qt::NoBrush); p.drawRect(QRectF(5.5, 2.5, 5, 3));
        p.setBrush(QColor(150, 100, 50)); p.drawRect(QRectF(1.5, 5.5, 13, 8.5)); });
    add("plocha", [](QPainter &p) { computer(p, QRectF(1.5, 1.5, 13, 10)); });
    add("tc", [](QPainter &p) { computer(p, QRectF(2.5, 1.5, 11, 9)); drive(p, kGreen); });
    add("tc2", [](QPainter &p) { computer(p, QRectF(2.5, 1.5, 11, 9)); });
    add("network", [](QPainter &p) {
        computer(p, QRectF(0.5, 1.5, 8, 6)); computer(p, QRectF(7.5, 6.5, 8, 6)); });
    add("recycle", [](QPainter &p) {
        p.setPen(QPen(kInk, 1)); p.setBrush(QColor(200, 215, 225));
        p.drawPolygon(QPolygonF() << QPointF(3, 4.5) << QPointF(13, 4.5) << QPointF(11.5, 14.5) << QPointF(4.5, 14.5));
        p.drawLine(QPointF(2, 3.5), QPointF(14, 3.5));
        p.setPen(QPen(kGreen, 1.2)); p.drawLine(QPointF(6.5, 7), QPointF(7, 12.5)); p.drawLine(QPointF(9.5, 7), QPointF(9, 12.5)); });
    add("drive", [](QPainter &p) { drive(p, kGreen); });
    add("netdrive", [](QPainter &p) {
        drive(p, kGreen); p.setPen(QPen(kInk, 1.2)); p.drawLine(QPointF(8, 11.5), QPointF(8, 15.5)); });
    add("dscdrive", [](QPainter &p) {
        drive(p, kRed); p.setPen(QPen(kInk, 1.2)); p.drawLine(QPointF(8, 11.5), QPointF(8, 15.5));
        cross(p, QRectF(3, 12, 3.5, 3.5), kRed, 1.2); });
    add("floppy", [](QPainter &p) {
        p.setPen(QPen(kInk, 1)); p.setBrush(QColor(60, 60, 70)); p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.fillRect(QRectF(5, 3, 6, 4), QColor(200, 200, 200)); p.fillRect(QRectF(4.5, 9, 7, 4.5), kPaper); });
    add("cdrom", [](QPainter &p) { disc(p); });
    add("audiocd", [](QPainter &p) { disc(p); note(p, kRed); });
}

const std::map<QString, Painter> &painters()
{
    static const std::map<QString, Painter> table = [] {
    std::map<QString, Painter> table = {
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
    addTreePainters(table);
    return table;
    }();
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

QIcon deleteToolbarIcon(bool gray, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(gray ? QColor(0x70, 0x70, 0x70) : QColor(0xc0, 0x30, 0x30), 2.2));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
    return QIcon(pixmap);
}

} // namespace Icons
