#pragma once

#include <QPersistentModelIndex>
#include <QSet>
#include <QTreeWidget>

class QTimer;

// The QTreeWidget inside TreeView and ListView. It reports input the way the old
// controls did: the button and modifiers of every press and release, a key press
// the owner may consume before the view acts on it, and itemChosen when the user
// (never the program) makes a row the current one or clicks the current row.
//
// While a row's label is being edited the editor owns the keyboard: Enter and Esc end
// the edit, every other key edits the text or is ignored. No key pressed in the editor
// is reported as keyDown or keyUp (not even the release that comes after the edit has
// ended), moves the current row, or reaches a shortcut of the window.
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
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_toggled = false;
    QPersistentModelIndex m_clickedCurrent; // pressed while it was already current
    QTimer *m_secondClick;
    // Keys pressed in a label editor whose release has not come yet.
    QSet<int> m_editorKeys;
};
