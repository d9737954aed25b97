#pragma once

#include <QMdiSubWindow>

class BrowserControl;
class QPushButton;
class QTimer;
class QWidget;

// A browser window: a child window of the main frame hosting one browser control.
// It is known by its number, kept in its Tag as decimal digits.
class frmWeb : public QMdiSubWindow
{
    Q_OBJECT

public:
    frmWeb();
    ~frmWeb() override;

    BrowserControl *Web = nullptr;
    QWidget *picWhite = nullptr;
    QTimer *tmrVisible = nullptr;
    // Hidden buttons whose Enabled state records whether this window can go back or forward.
    QPushButton *back = nullptr;
    QPushButton *forward = nullptr;

    int ShiftState = 0;
    QString ProgressText;

    QString tag() const { return m_tag; }
    // Setting the number is the window's first use: its Load runs here.
    void setTag(const QString &tag);
    int number() const;

    // Shows the window inside the main frame.
    void showInFrame();

    // True when the main window's selected tab carries this window's number.
    bool isActiveByTab() const;

    // Brings the main window's address combo and related commands in line with this window.
    void ChngAddr();

    void Form_KeyDown(int keyCode, int shift);
    void Form_KeyUp();
    // The window sees the keys pressed anywhere inside it before its controls do;
    // returns true when the key was the window's own.
    bool filterKeyEvent(QEvent *event);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void tmrVisible_Timer();
    void updateMaximizeCaption();

    QString m_tag;
    bool m_loaded = false;
    bool m_unloaded = false;
};
