#include "platform/controls/MenuItemBullet.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace {

const char *const kTickImage = "tickAsImage";

// Draws the marked items of a menu as plain items: their image says whether they are
// checked, so the style must add no check box for them, nor a frame round the image.
class TickImageMenuStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *menu = qobject_cast<const QMenu *>(widget);
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuItem && menu && item) {
            const QAction *action = menu->actionAt(item->rect.center());
            if (action && action->property(kTickImage).toBool()) {
                QStyleOptionMenuItem plain(*item);
                plain.checkType = QStyleOptionMenuItem::NotCheckable;
                plain.checked = false;
                QProxyStyle::drawControl(element, &plain, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// One for the run: a style must outlive every widget that uses it.
QStyle *tickImageMenuStyle()
{
    static QStyle *style = [] {
        auto *created = new TickImageMenuStyle;
        created->setParent(qApp);
        return created;
    }();
    return style;
}

} // namespace

void showTickAsImage(QAction *item, const QIcon &image)
{
    item->setProperty(kTickImage, true);
    for (QObject *owner : item->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(owner))
            menu->setStyle(tickImageMenuStyle());
    }
    const auto show = [item, image](bool ticked) { item->setIcon(ticked ? image : QIcon()); };
    QObject::connect(item, &QAction::toggled, item, show);
    show(item->isChecked());
}

void showCheckMarkAlone(QAction *item)
{
    QPixmap mark(16, 16);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QApplication::palette().color(QPalette::Active, QPalette::Text), 2, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF() << QPointF(3.5, 8.5) << QPointF(6.5, 11.5) << QPointF(12.5, 4.5));
    painter.end();
    showTickAsImage(item, QIcon(mark));
}
