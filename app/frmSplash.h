#pragma once

#include <QFrame>

class QLabel;
class QTimer;

// The small window shown while the program starts: a frameless tool window on top of
// other windows that never takes the focus; its text changes after a moment and it
// hides itself after two seconds even when start-up is not finished.
class frmSplash : public QFrame
{
    Q_OBJECT

public:
    frmSplash();

    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;

    void setCaptionText(const QString &text);
    QString captionText() const;

    // The top-left corner that centres the splash on a screen of the given size.
    static QPoint centredPosition(const QSize &screenPixels);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();
    void Label1_DblClick();
};
