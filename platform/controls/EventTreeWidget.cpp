#include "platform/controls/EventTreeWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPersistentModelIndex>

EventTreeWidget::EventTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{
    // Tells a click on an expand mark from a click on the row: only the first toggles.
    connect(this, &QTreeView::expanded, this, [this] { m_toggled = true; });
    connect(this, &QTreeView::collapsed, this, [this] { m_toggled = true; });
}

void EventTreeWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // The second press of a double click is reported as doubleClicked only.
    if (event->type() == QEvent::MouseButtonPress)
        emit mouseDown(event->button(), event->modifiers(), pos);
    const QPersistentModelIndex hit = indexAt(pos).siblingAtColumn(0);
    m_toggled = false;
    QTreeWidget::mousePressEvent(event);
    if (hit.isValid() && !m_toggled && hit == currentIndex().siblingAtColumn(0))
        emit itemChosen(itemFromIndex(hit));
}

void EventTreeWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void EventTreeWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit doubleClicked();
    QTreeWidget::mouseDoubleClickEvent(event);
}

void EventTreeWidget::keyPressEvent(QKeyEvent *event)
{
    bool consumed = false;
    emit keyDown(event->key(), event->modifiers(), &consumed);
    if (consumed) {
        event->accept();
        return;
    }
    const QPersistentModelIndex before = currentIndex().siblingAtColumn(0);
    QTreeWidget::keyPressEvent(event);
    const QModelIndex now = currentIndex().siblingAtColumn(0);
    if (now.isValid() && before != now)
        emit itemChosen(itemFromIndex(now));
}

void EventTreeWidget::keyReleaseEvent(QKeyEvent *event)
{
    emit keyUp(event->key(), event->modifiers());
    QTreeWidget::keyReleaseEvent(event);
}

void EventTreeWidget::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    emit gotFocus();
}
