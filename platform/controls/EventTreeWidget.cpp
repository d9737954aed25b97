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
    // A key the label editor left unaccepted travels up to the view; it is the edit's.
    if (state() == EditingState) {
        event->accept();
        return;
    }
    m_editorKeys.remove(event->key());
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
    // Enter and Esc close the editor before their key comes up, so the release lands
    // on the view.
    if (m_editorKeys.remove(event->key()) || state() == EditingState) {
        event->accept();
        return;
    }
    // A held key repeats its press and release; only the real release is the key's up.
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), event->modifiers());
    QTreeWidget::keyReleaseEvent(event);
}

bool EventTreeWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!QTreeWidget::edit(index, trigger, event))
        return false;
    // Installed after the delegate's own filter, so it sees the editor's keys first.
    if (QWidget *editor = indexWidget(index))
        editor->installEventFilter(this);
    return true;
}

bool EventTreeWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this || !watched->isWidgetType() || state() != EditingState)
        return QTreeWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Asked before any shortcut of the window may take the key: the editor wants it.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        m_editorKeys.insert(key);
        // Tab would commit the edit and start one on the next row, which was never
        // asked whether its label may change.
        return key == Qt::Key_Tab || key == Qt::Key_Backtab;
    }
    default:
        return QTreeWidget::eventFilter(watched, event);
    }
}

void EventTreeWidget::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    emit gotFocus();
}
