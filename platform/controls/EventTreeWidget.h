#pragma once

#include <QPersistentModelIndex>
#include <QTreeWidget>

class QTimer;

// The QTreeWidget inside TreeView and ListView. It reports input the way the old
// controls did: the button and modifiers of every press and release, a key press
// the owner may consume before the view acts on it, and itemChosen when the user
// (never the program) makes a row the current one or clicks the current row.
class EventTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit EventTreeWidget(QWidget *parent = nullptr);

signals:
    // A mouse press on a row (any button, not on its expand mark), or a key that
    // moved the current row.
    void itemChosen(QTreeWidgetItem *item);
    // Positions are in viewport coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void doubleClicked();
    // Set *consumed to keep the view from acting on the key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool *consumed);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void gotFocus();
    // A left click on the row that was already current, not followed by a double
    // click: the gesture that starts a label edit.
    void secondClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool m_toggled = false;
    QPersistentModelIndex m_clickedCurrent; // pressed while it was already current
    QTimer *m_secondClick;
};
