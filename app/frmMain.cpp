#include "app/frmMain.h"

#include "app/ErrorLog.h"
#include "app/MainMenus.h"
#include "app/RegistryServices.h"
#include "app/SharedState.h"
#include "app/frmPM.h"
#include "app/frmSplash.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"
#include "platform/Forms.h"
#include "platform/SettingsStore.h"
#include "platform/StatusBar.h"
#include "platform/TabStrip.h"
#include "platform/Toolbar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

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
    // Keys pressed inside a browser window reach that window before its page.
    qApp->installEventFilter(this);

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
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    createToolbars();
    txtAddress = new QComboBox(central);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    txtAddress->setEditable(true);
    txtAddress->setInsertPolicy(QComboBox::NoInsert);
    txtAddress->setEnabled(false);
    sliZoom = new QSlider(Qt::Horizontal, central);
    sliZoom->setObjectName(QStringLiteral("sliZoom"));
    sliZoom->setEnabled(false);

    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(txtAddress, 1);
    addressRow->addWidget(sliZoom);
    column->addWidget(tbToolbar[1]);
    column->addLayout(addressRow);

    auto *middle = new QHBoxLayout;
    picMain = new QWidget(central);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setFixedWidth(4905 / 15);
    picMain->setFocusPolicy(Qt::StrongFocus);
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->viewport()->installEventFilter(this);
    middle->addWidget(picMain);
    middle->addWidget(mdiArea, 1);
    column->addLayout(middle, 1);

    auto *bottomRow = new QHBoxLayout;
    picWindows = new QWidget(central);
    picWindows->setObjectName(QStringLiteral("picWindows"));
    auto *tabsLayout = new QHBoxLayout(picWindows);
    tabsLayout->setContentsMargins(0, 0, 0, 0);
    tbsWindows = new TabStrip(picWindows);
    tbsWindows->setObjectName(QStringLiteral("tbsWindows"));
    tabsLayout->addWidget(tbsWindows);
    connect(tbsWindows, &TabStrip::clicked, this, &frmMain::tbsWindows_Click);
    sbStatusBar = new StatusBar(central);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->addPanel(QString(), 300, PanelAutoSize::Spring, QString());
    sbStatusBar->addPanel(QStringLiteral("prg"), 60, PanelAutoSize::None, QString());
    sbStatusBar->addPanel(QStringLiteral("zoom"), 50, PanelAutoSize::None, QString());
    sbStatusBar->addPanel(QString(), 60, PanelAutoSize::None, QStringLiteral("Aktivní tag"));
    sbStatusBar->addPanel(QString(), 200, PanelAutoSize::None, QStringLiteral("Parametry aktivního tagu"));
    bottomRow->addWidget(tbToolbar[3]);
    bottomRow->addWidget(picWindows, 1);
    column->addLayout(bottomRow);
    column->addWidget(sbStatusBar);

    setCentralWidget(central);
}

namespace {

struct ToolbarLine
{
    const char *key;
    ButtonStyle style;
    const char *caption;
    const char *tooltip;
    bool enabled;
};

// Each button's description equals its caption, so the text can be switched off and on.
template<size_t N>
Toolbar *toolbarFrom(QWidget *owner, const char *name, const ToolbarLine (&buttons)[N])
{
    auto *bar = new Toolbar(owner);
    bar->setObjectName(QString::fromLatin1(name));
    for (const ToolbarLine &line : buttons) {
        ToolbarButton &button = bar->addButton(QString::fromUtf8(line.key), QString::fromUtf8(line.caption), line.style);
        if (line.style == ButtonStyle::Separator)
            continue;
        button.setDescription(QString::fromUtf8(line.caption));
        button.setToolTip(QString::fromUtf8(line.tooltip));
        button.setEnabled(line.enabled);
    }
    return bar;
}

} // namespace

void frmMain::createToolbars()
{
    const ToolbarLine standardButtons[] = {
        {"back", ButtonStyle::Default, "Zpět", "Přejít zpět v historii aktuálního okna (Ctrl+B)", false},
        {"forward", ButtonStyle::Default, "Dále", "Přejít dále v historii aktuálního okna", false},
        {"stop", ButtonStyle::Default, "Zastavit", "Zastavit načítání stránky (Esc)", false},
        {"refresh", ButtonStyle::Default, "Obnovit", "Obnovit stránku (F5)", false},
        {"", ButtonStyle::Separator, "", "", true},
        {"gohome", ButtonStyle::DropDown, "Domů", "Přejít na hlavní domovskou stránku (Ctrl+H)", false},
        {"gosearch", ButtonStyle::DropDown, "Hledat", "Přejít na hlavní vyhledávací stránku (Ctrl+G)", false},
        {"", ButtonStyle::Separator, "", "", true},
        {"folders", ButtonStyle::Check, "Složky", "Zobrazit panel se složkami a soubory", true},
        {"favorites", ButtonStyle::Check, "Oblíbené", "Zobrazit panel s oblíbenými položkami", true},
        {"save", ButtonStyle::DropDown, "Uložit", "Uložit stránku do souboru…", true},
        {"", ButtonStyle::Separator, "", "", true},
        {"settings", ButtonStyle::Default, "Možnosti", "Zobrazit dialog s možnostmi nastavení programu", true},
    };
    tbToolbar[1] = toolbarFrom(this, "tbToolbar1", standardButtons);

    const ToolbarLine windowButtons[] = {
        {"prev", ButtonStyle::Default, "", "Zobrazit předchozí okno", true},
        {"next", ButtonStyle::Default, "", "Zobrazit následující okno", true},
        {"new", ButtonStyle::Default, "", "Otevřít nové okno", true},
        {"background", ButtonStyle::Check, "", "Otevírat nová okna z odkazu na pozadí", true},
        {"", ButtonStyle::Separator, "", "", true},
        {"closewin", ButtonStyle::Default, "", "Zavřít aktuální okno", true},
    };
    tbToolbar[3] = toolbarFrom(this, "tbToolbar3", windowButtons);
}

void frmMain::MDIForm_Initialize()
{
    // Touching the pop-up form creates it: it owns the pop-up menus and their images.
    Forms::get<frmPM>();
}

void frmMain::MDIForm_Load()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    ignore([&s] {
        s.NavFiles = true;
        s.NavOnSelect = true;
    });
    ignore([this] {
        tbToolbar[3]->button(QStringLiteral("background")).setValue(
                                     textToInt(GetSetting(QStringLiteral("Main"), QStringLiteral("NWBackground"), 0)));
    });
    ignore([&s] { s.MainFormLoaded = true; });
    ignore([this] { tmrNW->start(); });
    ignore([this] { tbsWindows->clear(); });
    ignore([this] {
        if (!picMain->isVisible())
            mnuViewMainPanel->setChecked(false);
    });
    ignore([this] { txtAddress->setFocus(); });
}

void frmMain::tmrNW_Timer()
{
    IgnoreErrors ignore;
    ignore([this] { tmrNW->stop(); });
    ignore([] { Forms::get<frmSplash>()->setCaptionText(QStringLiteral("Otevírání okna...")); });
    ignore([] {
        const QString &commandLine = shared().CommandLine;
        NewWindow(commandLine.trimmed().isEmpty() ? QStringLiteral("about:blank") : commandLine);
    });
    // The program may be ended while the events run.
    const QPointer<frmMain> self(this);
    ignore([] { QCoreApplication::processEvents(); });
    ignore([] { Forms::unload<frmSplash>(); });
    if (!self)
        return;
    ignore([this] { requireActiveForm()->Web->setFocusToPage(); });
    ignore([this] { txtAddress->setFocus(); });
    ignore([this] { requireActiveForm()->Web->setFocusToPage(); });
}

frmWeb *frmMain::ActiveForm() const
{
    return qobject_cast<frmWeb *>(mdiArea->currentSubWindow());
}

frmWeb *frmMain::requireActiveForm() const
{
    frmWeb *window = ActiveForm();
    if (!window)
        raiseError(ErrorNumber::ObjectVariableNotSet);
    return window;
}

void frmMain::syncSelectedTab()
{
    frmWeb *active = ActiveForm();
    if (active && !active->tag().isEmpty())
        tbsWindows->select(WindowTabKey(active->number()));
}

void frmMain::tbsWindows_Click()
{
    runIgnoringErrors([this] {
        const QString key = tbsWindows->selectedKey();
        frmWeb *window = windowTable().slot(key.mid(4).toInt());
        if (window && mdiArea->currentSubWindow() != window)
            mdiArea->setActiveSubWindow(window);
    });
}

void frmMain::MDIForm_Activate()
{
    IgnoreErrors ignore;
    ignore([this] {
        if (RegGetDword(HKEY_CURRENT_USER, RegKeys::InternetSettings, QStringLiteral("GlobalUserOffline"), 0) == 1)
            mnuOffline->setChecked(true);
    });
}

void frmMain::MDIForm_DblClick()
{
    runIgnoringErrors([] { NewWindow(QStringLiteral("about:blank")); });
}

void frmMain::MDIForm_MouseUp(Qt::MouseButton button, const QPoint &position)
{
    runIgnoringErrors([&] {
        if (button == Qt::RightButton)
            mnuwindow->popup(position);
    });
}

namespace {
frmWeb *browserWindowOf(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (auto *window = qobject_cast<frmWeb *>(o))
            return window;
    }
    return nullptr;
}
} // namespace

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride) {
        // A key event travels up the parents; the window handles it once, at its start.
        if (watched != QApplication::focusWidget())
            return false;
        if (frmWeb *window = browserWindowOf(watched))
            return window->filterKeyEvent(event);
        return false;
    }
    if (watched == mdiArea->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            MDIForm_DblClick();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            MDIForm_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
        }
    }
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
    NewWindow(QStringLiteral("about:blank"));
}

void frmMain::mnuViewMainPanel_Click()
{
    runIgnoringErrors([this] {
        picMain->setVisible(!picMain->isVisible());
        mnuViewMainPanel->setChecked(picMain->isVisible());
    });
}

void frmMain::picMain_Resize()
{
}

void frmMain::showNextPane()
{
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
    ignore([] { Forms::unload<frmPM>(); });
    ignore([this] { SaveConfig(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("MDIForm_Unload"), cancel);
}
