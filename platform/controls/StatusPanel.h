#pragma once

#include <QFrame>
#include <QIcon>

class QLabel;

// One panel of a StatusBar: a picture and a text in a sunken frame. Its tooltip is
// the widget's own (setToolTip / toolTip).
class StatusPanel : public QFrame
{
    Q_OBJECT

public:
    explicit StatusPanel(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

    // A null icon removes the picture.
    QIcon picture() const { return m_picture; }
    void setPicture(const QIcon &picture);

    // The panel's own visibility, whatever its status bar's.
    bool visible() const { return !isHidden(); }

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QLabel *m_pictureLabel;
    QLabel *m_textLabel;
    QIcon m_picture;
};
