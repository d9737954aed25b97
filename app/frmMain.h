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

    // The bars: the standard toolbar (member 1), the window buttons (member 3), the
    // address combo, the zoom slider, the window tabs and the status bar.
    std::array<Toolbar *, 4> tbToolbar{};
    QComboBox *txtAddress = nullptr;
    QSlider *sliZoom = nullptr;
    QWidget *picWindows = nullptr;
    TabStrip *tbsWindows = nullptr;
    StatusBar *sbStatusBar = nullptr;

    QMenu *mnuwindow = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuOffline = nullptr;
    QAction *mnuAdjustImages = nullptr;
    QAction *mnuViewMainPanel = nullptr;

    // A menu item by its name; raises when there is none.
    QAction *menuItem(const QString &name) const;
    QMenu *menu(const QString &name) const;

    // The active browser window: the frame's current child window, or none.
    frmWeb *ActiveForm() const;
    // The same, raising "Object variable not set" when no browser window is open, for
    // the steps that run with errors ignored.
    frmWeb *requireActiveForm() const;
    // Selects the tab of the frame's current child window.
    void syncSelectedTab();

    // Restores and stores the window's configuration.
    void LoadSettings();
    void SaveConfig();

    void mnuFileExit_Click();
    void mnuFileNew_Click();
    void mnuViewMainPanel_Click();
    void picMain_Resize();
    // Shows the pane after the one shown now (F12 in a browser window).
    void showNextPane();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createToolbars();
    void MDIForm_Initialize();
    void MDIForm_Load();
    void MDIForm_Activate();
    void MDIForm_DblClick();
    void MDIForm_MouseUp(Qt::MouseButton button, const QPoint &position);
    void MDIForm_Unload(bool cancel);
    void tmrNW_Timer();
    void tbsWindows_Click();

    bool m_unloaded = false;
};
