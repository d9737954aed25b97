#include "app/frmMain.h"

#include "files/frmSelectDir.h"

#include "app/saving/FileDownloads.h"
#include "app/MainMenus.h"
#include "app/MainSettings.h"
#include "app/panel/frmPM.h"
#include "app/frmSplash.h"
#include "files/frmTextLine.h"
#include "options/frmOptions.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "core/SharedState.h"
#include "files/frmSelectDir.h"
#include "files/frmQ.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/CoolBar.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/MenuItemBullet.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/RegistryRead.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"

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
    connect(menuItem(QStringLiteral("mnuDeleteAll")), &QAction::triggered, this, &frmMain::mnuDeleteAll_Click);

    createControls();
    new FileDownloads(sbStatusBar, this);
    BrowserControl::prepareWindow(this);
    connectPanel();
    connectFileMenu();
    connectFileTree();
    createFavoritesPane();
    connectSearchPane();
    connectCopyMove();
    connectFileKeys();
    connectWindowCommands();
    connectToolbars();
    connectAddressCombo();
    connectPageCommands();
    connectSaving();
    connectHelpCommands();
    connectBrowserWindows();
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
        raiseError(ErrorNumber::ElementNotFound, errorDescription(ErrorNumber::ElementNotFound) + QStringLiteral(": ") + name);
    return action;
}

QMenu *frmMain::menu(const QString &name) const
{
    QMenu *found = findChild<QMenu *>(name);
    if (!found)
        raiseError(ErrorNumber::ElementNotFound, errorDescription(ErrorNumber::ElementNotFound) + QStringLiteral(": ") + name);
    return found;
}

void frmMain::createControls()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    createToolbars();
    createBars(central);
    column->addWidget(cbTop);

    auto *middle = new QHBoxLayout;
    createPanel(central);
    createLinksPane();
    createFileToolbars();
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->viewport()->installEventFilter(this);
    middle->addWidget(picMain);
    middle->addWidget(mdiArea, 1);
    column->addLayout(middle, 1);

    column->addWidget(cbBottom);

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
    const char *image;
};

// Each button's description equals its caption, so the text can be switched off and on.
template<size_t N>
Toolbar *toolbarFrom(QWidget *owner, const char *name, const ToolbarLine (&buttons)[N], ImageList *images,
                     ImageList *hotImages)
{
    auto *bar = new Toolbar(owner);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setImageList(images);
    bar->setHotImageList(hotImages);
    for (const ToolbarLine &line : buttons) {
        ToolbarButton &button = bar->addButton(QString::fromUtf8(line.key), QString::fromUtf8(line.caption), line.style,
                                               QString::fromLatin1(line.image));
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
    createImageLists();
    const ToolbarLine standardButtons[] = {
        {"back", ButtonStyle::Default, "Zpět", "Přejít zpět v historii aktuálního okna (Ctrl+B)", false, "back"},
        {"forward", ButtonStyle::Default, "Dále", "Přejít dále v historii aktuálního okna", false, "forward"},
        {"stop", ButtonStyle::Default, "Zastavit", "Zastavit načítání stránky (Esc)", false, "stop"},
        {"refresh", ButtonStyle::Default, "Obnovit", "Obnovit stránku (F5)", false, "refresh"},
        {"", ButtonStyle::Separator, "", "", true, ""},
        {"gohome", ButtonStyle::DropDown, "Domů", "Přejít na hlavní domovskou stránku (Ctrl+H)", false, "gohome"},
        {"gosearch", ButtonStyle::DropDown, "Hledat", "Přejít na hlavní vyhledávací stránku (Ctrl+G)", false, "gosearch"},
        {"", ButtonStyle::Separator, "", "", true, ""},
        {"folders", ButtonStyle::Check, "Složky", "Zobrazit panel se složkami a soubory", true, "folder"},
        {"favorites", ButtonStyle::Check, "Oblíbené", "Zobrazit panel s oblíbenými položkami", true, "favorites"},
        {"save", ButtonStyle::DropDown, "Uložit", "Uložit stránku do souboru…", true, "save"},
        {"", ButtonStyle::Separator, "", "", true, ""},
        {"settings", ButtonStyle::Default, "Možnosti", "Zobrazit dialog s možnostmi nastavení programu", true, "history"},
    };
    tbToolbar[1] = toolbarFrom(this, "tbToolbar1", standardButtons, imlToolbarGray, imlToolbar);
    createDropDownLists();

    const ToolbarLine windowButtons[] = {
        {"prev", ButtonStyle::Default, "", "Zobrazit předchozí okno", true, "winprev"},
        {"next", ButtonStyle::Default, "", "Zobrazit následující okno", true, "winnext"},
        {"new", ButtonStyle::Default, "", "Otevřít nové okno", true, "newwin"},
        {"background", ButtonStyle::Check, "", "Otevírat nová okna z odkazu na pozadí", true, "background"},
        {"", ButtonStyle::Separator, "", "", true, ""},
        {"closewin", ButtonStyle::Default, "", "Zavřít aktuální okno", true, "closewin"},
    };
    tbToolbar[3] = toolbarFrom(this, "tbToolbar3", windowButtons, imlToolbarGray, imlToolbar);

    // Member 0 sits in the panel's title strip; there is no member 2.
    const ToolbarLine closeButton[] = {
        {"close", ButtonStyle::Default, "", "Zavřít panel (Ctrl+F12)", true, "close"},
    };
    tbToolbar[0] = toolbarFrom(this, "tbToolbar0", closeButton, imlClose, nullptr);
}

void frmMain::MDIForm_Initialize()
{
    // Touching the pop-up form creates it: it owns the pop-up menus and their images.
    const QIcon bullet = Forms::get<frmPM>()->imlMenu->icon(QStringLiteral("point"));
    for (int i = 1; i <= 4; ++i)
        showTickAsImage(mnuViewPane[size_t(i)], bullet);
}

void frmMain::MDIForm_Load()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    s.NavFiles = true;
    s.NavOnSelect = true;
    ignore([this] {
        if (!MainSettings::ButtonText.toBool())
            mnuViewShowText_Click();
    });
    ignore([this] {
        sbFileBar->panel(QStringLiteral("nav")).setPicture(Forms::get<frmPM>()->imlMenu->icon(QStringLiteral("tick")));
    });
    ignore([this] {
        tbToolbar[3]->button(QStringLiteral("background")).setValue(MainSettings::NWBackground.toInt());
    });
    applyBottomBarLoadSizes();
    s.MainFormLoaded = true;
    tmrNW->start();
    ignore([this] { tbsWindows->clear(); });
    if (picMain->isHidden())
        mnuViewMainPanel->setChecked(false);
    txtAddress->setFocus();
}

void frmMain::tmrNW_Timer()
{
    IgnoreErrors ignore;
    tmrNW->stop();
    ignore([] { Forms::get<frmSplash>()->setCaptionText(QStringLiteral("Otevírání okna...")); });
    ignore([] {
        const QString &commandLine = shared().CommandLine;
        NewWindow(commandLine.trimmed().isEmpty() ? QStringLiteral("about:blank") : commandLine);
    });
    // The program may be ended while the events run.
    const QPointer<frmMain> self(this);
    QCoreApplication::processEvents();
    ignore([] { Forms::unload<frmSplash>(); });
    if (!self)
        return;
    ignore([this] { requireActiveForm()->Web->setFocusToPage(); });
    txtAddress->setFocus();
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

void frmMain::MDIForm_Activate()
{
    IgnoreErrors ignore;
    if (RegistryRead::isOffline())
        mnuOffline->setChecked(true);
    ignore([this] { pruneFolderTree(); });
}

void frmMain::MDIForm_DblClick()
{
    NewWindow(QStringLiteral("about:blank"));
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
    if (filterAddressComboEvent(watched, event))
        return true;
    if (filterPanelEvent(watched, event))
        return true;
    if (filterSearchPaneEvent(watched, event))
        return true;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride) {
        // A key event travels up the parents; the window handles it once, at its start.
        if (watched != QApplication::focusWidget())
            return false;
        if (frmWeb *window = browserWindowOf(watched))
            return window->filterKeyEvent(event);
        // The panel showing no pane holds the keyboard for the active browser window (at
        // start, and after a typed address has loaded): that window's keys work there
        // without a click into its page.
        if (watched == picMain)
            if (frmWeb *window = ActiveForm())
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

void frmMain::mnuFileNew_Click()
{
    NewWindow(QStringLiteral("about:blank"));
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A dialog's loop runs inside a handler of one of the windows: the windows may go
    // only once the dialogs have been closed and their calls have returned. Closing them
    // is not yet ending: the pages the user typed into are asked afterwards, unless a
    // termination signal ends the program.
    if (DialogLoops::running()) {
        event->ignore();
        DialogLoops::afterAll(this, [this] { close(); });
        return;
    }
    // A page the user typed into may ask whether to leave it: the program ends only
    // once every such page has agreed.
    if (!DialogLoops::ending() && !pagesAgreeToClose()) {
        event->ignore();
        return;
    }
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
    ignore([] { Forms::unload<frmTextLine>(); });
    ignore([] { Forms::unload<frmOptions>(); });
    ignore([] { Forms::unload<frmSelectDir>(); });
    ignore([] { Forms::unload<frmQ>(); });
    ignore([this] { SaveConfig(); });
    if (ErrorState::isSet())
        LogError(QStringLiteral("MDIForm_Unload"), cancel);
}
