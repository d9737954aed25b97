#include "browser/frmWeb.h"

#include "app/frmMain.h"
#include "app/WindowCommands.h"
#include "browser/AddressText.h"
#include "browser/BrowserEventRules.h"
#include "browser/WindowTable.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"
#include "platform/Forms.h"
#include "platform/RegistryRead.h"
#include "platform/StatusBar.h"
#include "platform/TabStrip.h"
#include "platform/Toolbar.h"
#include "platform/Units.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

frmMain *mainForm()
{
    return Forms::get<frmMain>();
}

bool isImageExtension(const QString &extension)
{
    static const QStringList images = {QStringLiteral("jpg"), QStringLiteral("gif"), QStringLiteral("jpe"),
                                       QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("bmp")};
    return images.contains(extension);
}

} // namespace

frmWeb::frmWeb()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("about:blank"));
    setObjectName(QStringLiteral("frmWeb"));

    Web = new BrowserControl(this);
    Web->setObjectName(QStringLiteral("Web"));
    setWidget(Web);
    connect(Web, &BrowserControl::ElementHovered, this, &frmWeb::DocEvents_onmouseover);

    // Covers the browser until its first page is there, so no half-drawn page flashes.
    picWhite = new QWidget(Web);
    picWhite->setObjectName(QStringLiteral("picWhite"));
    picWhite->setAutoFillBackground(true);
    QPalette white = picWhite->palette();
    white.setColor(QPalette::Window, Qt::white);
    picWhite->setPalette(white);
    picWhite->setGeometry(0, 0, Units::twipsToPixels(20000), Units::twipsToPixels(15000));

    tmrVisible = new QTimer(this);
    tmrVisible->setObjectName(QStringLiteral("tmrVisible"));
    tmrVisible->setInterval(2000);
    tmrVisible->setSingleShot(true);
    connect(tmrVisible, &QTimer::timeout, this, &frmWeb::tmrVisible_Timer);

    // A new window has no history yet: nothing to go back or forward to.
    back = new QPushButton(this);
    back->setObjectName(QStringLiteral("back"));
    back->hide();
    back->setEnabled(false);
    forward = new QPushButton(this);
    forward->setObjectName(QStringLiteral("forward"));
    forward->hide();
    forward->setEnabled(false);

    connectBrowserEvents();

    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates oldState, Qt::WindowStates newState) {
        if (!(oldState & Qt::WindowActive) && (newState & Qt::WindowActive))
            Form_Activate();
        if ((oldState ^ newState) & (Qt::WindowMaximized | Qt::WindowMinimized))
            updateMaximizeCaption();
    });
}

frmWeb::~frmWeb() = default;

void frmWeb::setTag(const QString &tag)
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    m_tag = tag;
}

int frmWeb::number() const
{
    return m_tag.toInt();
}

void frmWeb::showInFrame()
{
    QMdiArea *area = mainForm()->mdiArea;
    if (!mdiArea())
        area->addSubWindow(this);
    if (shared().WindowCount == 1)
        showMaximized();
    else
        show();
    area->setActiveSubWindow(this);
}

bool frmWeb::isActiveByTab() const
{
    return isActiveWindowTab(mainForm()->tbsWindows->selectedKey(), m_tag);
}

void frmWeb::Form_Load()
{
    IgnoreErrors ignore;
    SharedState &s = shared();
    ignore([&s] { ++s.WindowCount; });
    ignore([this] { Web->Navigate(QStringLiteral("about:blank")); });
    ignore([] { SetWinEnabled(); });
    ignore([this] {
        frmMain *main = mainForm();
        if (main->picMain->isVisible()) {
            main->picMain->setFocus();
        } else {
            // The window may be closed while the events run.
            const QPointer<frmWeb> self(this);
            QCoreApplication::processEvents();
            if (self)
                Web->setFocusToPage();
        }
    });
    ignore([this] { updateMaximizeCaption(); });
    ignore([this] { tmrVisible->start(); });
}

void frmWeb::Form_Activate()
{
    IgnoreErrors ignore;
    frmMain *main = mainForm();
    ignore([&] { main->menuItem(QStringLiteral("mnuGoBack"))->setEnabled(back->isEnabled()); });
    ignore([&] { main->menuItem(QStringLiteral("mnuGoForward"))->setEnabled(forward->isEnabled()); });
    ignore([&] { main->tbToolbar[1]->button(QStringLiteral("back")).setEnabled(back->isEnabled()); });
    ignore([&] { main->tbToolbar[1]->button(QStringLiteral("forward")).setEnabled(forward->isEnabled()); });
    ignore([&] {
        if (!m_tag.isEmpty())
            main->tbsWindows->select(WindowTabKey(number()));
    });
    ignore([&] { main->sbStatusBar->panel(QStringLiteral("prg")).setText(ProgressText); });
    ignore([this] { ChngAddr(); });
}

void frmWeb::resizeEvent(QResizeEvent *event)
{
    QMdiSubWindow::resizeEvent(event);
    Form_Resize();
}

void frmWeb::Form_Resize()
{
    runIgnoringErrors([this] { updateMaximizeCaption(); });
}

void frmWeb::updateMaximizeCaption()
{
    if (!Forms::isLoaded<frmMain>())
        return;
    QAction *maximize = mainForm()->menuItem(QStringLiteral("mnuWindowMaximize"));
    maximize->setText(isMaximized() ? QStringLiteral("&Obnovit okno") : QStringLiteral("Ma&ximalizovat okno"));
}

void frmWeb::Form_KeyDown(int keyCode, int shift)
{
    ShiftState = shift;
    frmMain *main = mainForm();
    constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
    Q_UNUSED(kShift);
    if ((keyCode == Qt::Key_D && shift == kAlt) || keyCode == Qt::Key_Insert) {
        main->txtAddress->setFocus();
    } else if (keyCode == Qt::Key_F12 && shift == 0) {
        if (!main->picMain->isVisible())
            main->mnuViewMainPanel_Click();
        else
            main->showNextPane();
    } else if (keyCode == Qt::Key_F12 && shift == kCtrl) {
        if (main->picMain->isVisible())
            main->mnuViewMainPanel_Click();
    }
}

void frmWeb::Form_KeyUp()
{
    ShiftState = 0;
}

bool frmWeb::filterKeyEvent(QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int shift = shiftMask(key->modifiers());
        const bool ours = key->key() == Qt::Key_Insert || key->key() == Qt::Key_F12
            || (key->key() == Qt::Key_D && shift == 4);
        if (event->type() == QEvent::ShortcutOverride) {
            if (ours)
                event->accept();
            return false;
        }
        runIgnoringErrors([&] { Form_KeyDown(key->key(), shift); });
        if (ours)
            return true;
    } else if (event->type() == QEvent::KeyRelease) {
        Form_KeyUp();
    }
    return false;
}

void frmWeb::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QMdiSubWindow::closeEvent(event);
}

void frmWeb::Form_Unload()
{
    IgnoreErrors ignore;
    frmMain *main = mainForm();
    SharedState &s = shared();
    WindowTable &table = windowTable();
    // Only the active window's closing, or the last one's, clears the address: a
    // background window must not wipe what the user sees or is typing.
    ignore([&] {
        if (isActiveByTab() || s.WindowCount <= 1)
            main->txtAddress->setEditText(QString());
    });
    ignore([&s] { --s.WindowCount; });
    ignore([&] {
        if (s.WindowCount == 0) {
            SetWinDisabled();
            main->picMain->setFocus();
        }
    });
    const int n = number();
    table.WindowSlotUsed.erase(n);
    ignore([&] { main->tbsWindows->remove(WindowTabKey(n)); });
    table.WindowSlots.erase(n);
}

void frmWeb::tmrVisible_Timer()
{
    IgnoreErrors ignore;
    ignore([this] { picWhite->hide(); });
    ignore([this] { tmrVisible->stop(); });
}

void frmWeb::ChngAddr()
{
    IgnoreErrors ignore;
    frmMain *main = mainForm();
    QString address;
    ignore([&] { address = Web->LocationURL(); });
    if (isActiveByTab()) {
        ignore([&] {
            const QString shown = ExtractResFile(address);
            if (main->txtAddress->currentText() != shown)
                main->txtAddress->setEditText(shown);
        });
        ignore([&] {
            const bool image = isImageExtension(GetFileExtension(address));
            main->menuItem(QStringLiteral("mnuAdjustNow"))->setEnabled(image);
            main->sliZoom->setEnabled(image);
            if (image) {
                main->sliZoom->setValue(100);
                main->sliZoom->setToolTip(QStringLiteral("100 %"));
            }
        });
    }
    ignore([main] {
        main->mnuOffline->setChecked(RegistryRead::isOffline());
    });
}
