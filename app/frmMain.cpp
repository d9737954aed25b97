#include "app/frmMain.h"

#include "app/ErrorLog.h"
#include "app/MainMenus.h"
#include "app/RegistryServices.h"
#include "app/SharedState.h"
#include "app/frmSplash.h"
#include "platform/ErrorState.h"
#include "platform/Forms.h"
#include "platform/SettingsStore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vorlan"));

    tmrNW = new QTimer(this);
    tmrNW->setObjectName(QStringLiteral("tmrNW"));
    tmrNW->setInterval(400);
    connect(tmrNW, &QTimer::timeout, this, &frmMain::tmrNW_Timer);

    MainMenus::build(menuBar());
    mnuwindow = menu(QStringLiteral("mnuwindow"));
    mnuFileExit = menuItem(QStringLiteral("mnuFileExit"));
    mnuFileNew = menuItem(QStringLiteral("mnuFileNew"));
    mnuOffline = menuItem(QStringLiteral("mnuOffline"));
    mnuAdjustImages = menuItem(QStringLiteral("mnuAdjustImages"));
    mnuViewMainPanel = menuItem(QStringLiteral("mnuViewMainPanel"));
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(mnuFileNew, &QAction::triggered, this, &frmMain::mnuFileNew_Click);
    connect(mnuViewMainPanel, &QAction::triggered, this, &frmMain::mnuViewMainPanel_Click);

    createControls();
    resize(1024, 768);
    installEventFilter(this);

    MDIForm_Initialize();
    MDIForm_Load();
}

frmMain::~frmMain() = default;

QAction *frmMain::menuItem(const QString &name) const
{
    QAction *action = findChild<QAction *>(name);
    if (!action)
        raiseError(ErrorNumber::ElementNotFound, QStringLiteral("Element not found: %1").arg(name));
    return action;
}

QMenu *frmMain::menu(const QString &name) const
{
    QMenu *found = findChild<QMenu *>(name);
    if (!found)
        raiseError(ErrorNumber::ElementNotFound, QStringLiteral("Element not found: %1").arg(name));
    return found;
}

void frmMain::createControls()
{
    auto *central = new QWidget(this);
    auto *middle = new QHBoxLayout(central);
    middle->setContentsMargins(0, 0, 0, 0);
    picMain = new QWidget(central);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setFixedWidth(4905 / 15);
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    middle->addWidget(picMain);
    middle->addWidget(mdiArea, 1);
    setCentralWidget(central);
}

void frmMain::MDIForm_Initialize()
{
}

void frmMain::MDIForm_Load()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    ignore([&s] {
        s.NavFiles = true;
        s.NavOnSelect = true;
    });
    ignore([&s] { s.MainFormLoaded = true; });
    ignore([this] { tmrNW->start(); });
    ignore([this] {
        if (!picMain->isVisible())
            mnuViewMainPanel->setChecked(false);
    });
}

void frmMain::tmrNW_Timer()
{
    IgnoreErrors ignore;
    ignore([this] { tmrNW->stop(); });
    ignore([] { Forms::get<frmSplash>()->setCaptionText(QStringLiteral("Otevírání okna...")); });
    ignore([] { QCoreApplication::processEvents(); });
    ignore([] { Forms::unload<frmSplash>(); });
}

void frmMain::MDIForm_Activate()
{
    runIgnoringErrors([this] {
        if (RegGetDword(HKEY_CURRENT_USER, RegKeys::InternetSettings, QStringLiteral("GlobalUserOffline"), 0) == 1)
            mnuOffline->setChecked(true);
    });
}

void frmMain::MDIForm_DblClick()
{
}

void frmMain::MDIForm_MouseUp(Qt::MouseButton, const QPoint &)
{
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::WindowActivate)
        MDIForm_Activate();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::LoadSettings()
{
    IgnoreErrors ignore;
    ignore([] { shared().AdjustImg = textToBool(GetSetting(QStringLiteral("Main"), QStringLiteral("AdjustImg"), true)); });
    ignore([this] { mnuAdjustImages->setChecked(shared().AdjustImg); });
}

void frmMain::SaveConfig()
{
}

void frmMain::mnuFileNew_Click()
{
}

void frmMain::mnuViewMainPanel_Click()
{
    runIgnoringErrors([this] {
        picMain->setVisible(!picMain->isVisible());
        mnuViewMainPanel->setChecked(picMain->isVisible());
    });
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // The browser windows go first, each releasing its number and tab; then the frame.
    mdiArea->closeAllSubWindows();
    if (!m_unloaded) {
        m_unloaded = true;
        MDIForm_Unload(false);
    }
    event->accept();
    Forms::unload<frmMain>();
}

void frmMain::MDIForm_Unload(bool cancel)
{
    IgnoreErrors ignore;
    ignore([] { Forms::unload<frmSplash>(); });
    ignore([this] { SaveConfig(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("MDIForm_Unload"), cancel);
}
