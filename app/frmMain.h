#pragma once

#include <QMainWindow>

#include <array>

class QAction;
class QComboBox;
class QMdiArea;
class QMenu;
class QSlider;
class QTimer;
class QWidget;
class StatusBar;
class TabStrip;
class Toolbar;
class frmWeb;

// The main window: a multiple-document frame that holds the browser windows, the
// main panel on its left and the bars above and below.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    frmMain();
    ~frmMain() override;

    QMdiArea *mdiArea = nullptr;
    QTimer *tmrNW = nullptr;

    // The main panel on the left.
    QWidget *picMain = nullptr;

    QMenu *mnuwindow = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuOffline = nullptr;
    QAction *mnuAdjustImages = nullptr;
    QAction *mnuViewMainPanel = nullptr;

    // A menu item by its name; raises when there is none.
    QAction *menuItem(const QString &name) const;
    QMenu *menu(const QString &name) const;


    // Restores and stores the window's configuration.
    void LoadSettings();
    void SaveConfig();

    void mnuFileExit_Click();
    void mnuFileNew_Click();
    void mnuViewMainPanel_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void MDIForm_Initialize();
    void MDIForm_Load();
    void MDIForm_Activate();
    void MDIForm_DblClick();
    void MDIForm_MouseUp(Qt::MouseButton button, const QPoint &position);
    void MDIForm_Unload(bool cancel);
    void tmrNW_Timer();

    bool m_unloaded = false;
};
