#include "platform/controls/EventTreeWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

EventTreeWidget::EventTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
    , m_secondClick(new QTimer(this))
{
    // A double click may still follow the second click: wait for it first.
    m_secondClick->setSingleShot(true);
    connect(m_secondClick, &QTimer::timeout, this, [this] {
        if (m_clickedCurrent.isValid() && m_clickedCurrent == currentIndex().siblingAtColumn(0))
            emit secondClick();
        m_clickedCurrent = QPersistentModelIndex();
    });
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
    const bool wasCurrent = hit.isValid() && hit == currentIndex().siblingAtColumn(0);
    m_secondClick->stop();
    m_toggled = false;
    QTreeWidget::mousePressEvent(event);
    m_clickedCurrent = wasCurrent && !m_toggled && event->button() == Qt::LeftButton
                               && event->type() == QEvent::MouseButtonPress
                       ? hit
                       : QPersistentModelIndex();
    if (hit.isValid() && !m_toggled && hit == currentIndex().siblingAtColumn(0))
        emit itemChosen(itemFromIndex(hit));
}

void EventTreeWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (m_clickedCurrent.isValid() && indexAt(event->position().toPoint()).siblingAtColumn(0) == m_clickedCurrent)
        m_secondClick->start(QApplication::doubleClickInterval());
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void EventTreeWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_secondClick->stop();
    m_clickedCurrent = QPersistentModelIndex();
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
    // A held key repeats its press and release; only the real release is the key's up.
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), event->modifiers());
    QTreeWidget::keyReleaseEvent(event);
}

void EventTreeWidget::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    emit gotFocus();
}
