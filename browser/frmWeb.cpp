#include "browser/frmWeb.h"

#include "browser/AddressText.h"
#include "browser/BrowserEventRules.h"
#include "browser/WindowTable.h"
#include "core/BrowserHost.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/controls/MessageBox.h"
#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

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
            emit MaximizedChanged(isMaximized());
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
    const BrowserHost *host = BrowserHost::current();
    QMdiArea *area = host ? host->windowArea() : nullptr;
    if (!area)
        raiseError(ErrorNumber::ObjectVariableNotSet);
    if (!mdiArea())
        area->addSubWindow(this);
    if (shared().WindowCount == 1)
        showMaximized();
    else
        show();
    area->setActiveSubWindow(this);
}

void frmWeb::Form_Load()
{
    ErrorState::clear();
    ++shared().WindowCount;
    // A window that shows a page's request has its page already.
    if (!Web->showsWindowRequest())
        Web->Navigate(QStringLiteral("about:blank"));
    // The main window enables the commands and, while its panel shows, keeps the keyboard there.
    emit Loaded();
    const BrowserHost *host = BrowserHost::current();
    if (!host || !host->mainPanelShown()) {
        // The window may be closed while the events run.
        const QPointer<frmWeb> self(this);
        QCoreApplication::processEvents();
        if (self)
            Web->setFocusToPage();
    }
    emit MaximizedChanged(isMaximized());
    tmrVisible->start();
}

void frmWeb::Form_Activate()
{
    ErrorState::clear();
    emit Activated(back->isEnabled(), forward->isEnabled(), ProgressText);
    ChngAddr();
}

void frmWeb::resizeEvent(QResizeEvent *event)
{
    QMdiSubWindow::resizeEvent(event);
    Form_Resize();
}

void frmWeb::Form_Resize()
{
    emit MaximizedChanged(isMaximized());
}

void frmWeb::Form_KeyDown(int keyCode, int shift)
{
    ShiftState = shift;
    constexpr int kCtrl = 2, kAlt = 4;
    if ((keyCode == Qt::Key_D && shift == kAlt) || keyCode == Qt::Key_Insert)
        emit AddressKeyPressed();
    else if (keyCode == Qt::Key_F12 && shift == 0)
        emit PaneKeyPressed();
    else if (keyCode == Qt::Key_F12 && shift == kCtrl)
        emit PanelCloseKeyPressed();
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

bool frmWeb::asksBeforeClosing() const
{
    return !m_unloaded && !m_pageAgreed && !DialogLoops::ending() && Web->asksBeforeClosing();
}

void frmWeb::askPageToClose(std::function<void(bool mayClose)> answer)
{
    const QPointer<frmWeb> self(this);
    Web->askToClose([self, answer = std::move(answer)](bool mayClose) {
        if (!self)
            return;
        if (mayClose)
            self->m_pageAgreed = true;
        answer(mayClose);
    });
}

void frmWeb::closeEvent(QCloseEvent *event)
{
    // A page the user typed into may ask whether to leave it; the window stays while
    // it is asked and when the user chooses to stay.
    if (asksBeforeClosing()) {
        event->ignore();
        const QPointer<frmWeb> self(this);
        askPageToClose([self](bool mayClose) {
            if (mayClose)
                self->close();
        });
        return;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QMdiSubWindow::closeEvent(event);
}

void frmWeb::Form_Unload()
{
    ErrorState::clear();
    --shared().WindowCount;
    WindowTable &table = windowTable();
    table.WindowSlotUsed.erase(number());
    table.WindowSlots.erase(number());
    // The main window takes the window's tab away and, after the last window, the commands.
    emit Closed();
}

void frmWeb::tmrVisible_Timer()
{
    ErrorState::clear();
    picWhite->hide();
    tmrVisible->stop();
}

void frmWeb::ChngAddr()
{
    ErrorState::clear();
    const QString address = Web->LocationURL();
    emit AddressChanged(ExtractResFile(address), isImageExtension(GetFileExtension(address)));
}

bool frmWeb::focusNextPrevChild(bool next)
{
    // The page hands the keyboard on when Tab leaves its last link; a bar over the page
    // keeps Tab among its own controls.
    if (!Web->pageHasFocus())
        return QMdiSubWindow::focusNextPrevChild(next);
    emit FocusPassedOn(next);
    return true;
}
