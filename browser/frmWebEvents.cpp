// The browser window's handlers of its browser control's events. The window keeps its
// own state and reports what the main window shows; there the address combo, the
// status panels and the back and forward commands follow the active window only, the
// tab and the address history every window.
#include "browser/AddressText.h"
#include "browser/BrowserEventRules.h"
#include "browser/ProgressText.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/BrowserHost.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kBlank = QStringLiteral("about:blank");

} // namespace

void frmWeb::connectBrowserEvents()
{
    // Direct connections: the handlers answer "cancel" and "processed" by reference.
    connect(Web, &BrowserControl::BeforeNavigate, this, &frmWeb::WebBrw_BeforeNavigate, Qt::DirectConnection);
    connect(Web, &BrowserControl::CommandStateChange, this, &frmWeb::WebBrw_CommandStateChange, Qt::DirectConnection);
    connect(Web, &BrowserControl::DownloadComplete, this, &frmWeb::WebBrw_DownloadComplete, Qt::DirectConnection);
    connect(Web, &BrowserControl::FrameNewWindow, this, &frmWeb::WebBrw_FrameNewWindow, Qt::DirectConnection);
    connect(Web, &BrowserControl::NavigateComplete, this, &frmWeb::WebBrw_NavigateComplete, Qt::DirectConnection);
    connect(Web, &BrowserControl::NewWindow, this, &frmWeb::WebBrw_NewWindow, Qt::DirectConnection);
    connect(Web, &BrowserControl::ProgressChange, this, &frmWeb::WebBrw_ProgressChange, Qt::DirectConnection);
    connect(Web, &BrowserControl::Quit, this, &frmWeb::WebBrw_Quit, Qt::DirectConnection);
    connect(Web, &BrowserControl::StatusTextChange, this, &frmWeb::WebBrw_StatusTextChange, Qt::DirectConnection);
    connect(Web, &BrowserControl::TitleChange, this, &frmWeb::WebBrw_TitleChange, Qt::DirectConnection);
    // The user stayed on a page that asked whether to leave it: an address typed for
    // this window, or the window's closing, did not happen, and the page's address shows.
    connect(Web, &BrowserControl::LeaveRefused, this, &frmWeb::ChngAddr);
    // A link the user clicked elsewhere named this window: it comes to the front, its
    // tab with it, as the user switching to it would.
    connect(Web, &BrowserControl::FrontWanted, this, [this] {
        if (mdiArea() && mdiArea()->activeSubWindow() != this)
            mdiArea()->setActiveSubWindow(this);
    });
}

void frmWeb::WebBrw_BeforeNavigate(const QString &URL, int, const QString &, const QVariant &, const QString &,
                                   bool &Cancel)
{
    if (isFavoritesFileAddress(URL)) {
        Cancel = true;
        emit ShortcutNavigationCancelled(ToNormalText(URL));
    }
    ErrorState::clear();
}

void frmWeb::WebBrw_CommandStateChange(int Command, bool Enable)
{
    ErrorState::clear();
    QPushButton *recorded = Command == BrowserCommand::Back ? back : Command == BrowserCommand::Forward ? forward : nullptr;
    if (!recorded)
        return;
    recorded->setEnabled(Enable);
    emit CommandStateChanged(Command, Enable);
    ErrorState::clear();
}

void frmWeb::WebBrw_DownloadComplete()
{
    picWhite->hide();
    DocumentLoaded();
    ErrorState::clear();
}

void frmWeb::DocumentLoaded()
{
    IgnoreErrors ignore;
    const QString address = Web->LocationURL();
    if (address.left(5).toLower() == QStringLiteral("file:"))
        Web->Stop();
    resetZoomAfterDownload();
    if (address.isEmpty())
        return;
    if (shared().AdjustImg)
        ignore([this] { ZoomImg(); });
    emit ZoomChanged(100);
}

void frmWeb::WebBrw_NewWindow(const QString &URL, int Flags, const QString &TargetFrameName, const QVariant &PostData,
                              const QString &Headers, bool &Processed)
{
    Processed = true;
    windowTable().WindowSwitchDone = false;
    if (isRefusedNewWindowAddress(URL)) {
        // The engine waits for this handler to return: the box comes on the next turn.
        QTimer::singleShot(0, this, [] {
            runIgnoringErrors([] {
                MsgBox(QString::fromLatin1(kRefusedNewWindowMessage), MsgBoxStyle::Exclamation, QStringLiteral("Vorlan"));
            });
            ErrorState::clear();
        });
        ErrorState::clear();
        return;
    }
    openRequestedWindow(URL, Flags, TargetFrameName, PostData, Headers, Processed);
}

void frmWeb::WebBrw_FrameNewWindow(const QString &URL, int Flags, const QString &TargetFrameName,
                                   const QVariant &PostData, const QString &Headers, bool &Processed)
{
    Processed = true;
    windowTable().WindowSwitchDone = false;
    openRequestedWindow(URL, Flags, TargetFrameName, PostData, Headers, Processed);
}

void frmWeb::openRequestedWindow(const QString &URL, int Flags, const QString &TargetFrameName,
                                 const QVariant &PostData, const QString &Headers, bool &Processed)
{
    // The keyboard as it is now: a remembered key state goes stale when the key is
    // released outside the window.
    if (opensInNewProcess(shiftMask(QGuiApplication::queryKeyboardModifiers())))
        NewBrowserProcess(URL, Flags, TargetFrameName, PostData, Headers, Processed);
    else
        openWindowForPage(URL);
    const BrowserHost *host = BrowserHost::current();
    if (host && host->opensNewWindowsBehind()) {
        mdiArea()->setActiveSubWindow(this);
        Web->setFocusToPage();
    }
    windowTable().WindowSwitchDone = true;
    ErrorState::clear();
}

void frmWeb::openWindowForPage(const QString &URL)
{
    WindowTable &table = windowTable();
    const int before = table.WindowNumber;
    NewWindow(URL);
    // A window whose address turns out to be a download closes again instead of staying empty.
    if (table.WindowNumber != before)
        if (frmWeb *opened = table.slot(table.WindowNumber)) {
            opened->Web->setOpenedByPage();
            opened->m_opener = this;
        }
}

void frmWeb::WebBrw_NavigateComplete(const QString &)
{
    IgnoreErrors ignore;
    ChngAddr();
    resetZoomAfterNavigate();
    if (Web->LocationURL().isEmpty()) {
        ErrorState::clear();
        return;
    }
    if (shared().AdjustImg)
        ignore([this] { ZoomImg(); });
    picWhite->hide();
    // The main window keeps the address history and, for the active window, the keyboard.
    emit PageVisited(Web->LocationURL());
    ErrorState::clear();
}

void frmWeb::WebBrw_ProgressChange(int Progress, int ProgressMax)
{
    const ProgressDisplay display = progressDisplay(Progress, ProgressMax, Web->LocationURL() == kBlank);
    emit ProgressChanged(display);
    ProgressText = display.recordedText;
    ErrorState::clear();
}

void frmWeb::WebBrw_Quit()
{
    // The engine has asked the user already, where the page had anything to ask.
    m_pageAgreed = true;
    // A pop-up that closes itself hands the user back to the page that opened it.
    if (m_opener && mdiArea() && mdiArea()->activeSubWindow() == this)
        mdiArea()->setActiveSubWindow(m_opener);
    close();
}

void frmWeb::WebBrw_StatusTextChange(const QString &Text)
{
    emit StatusTextChanged(Text);
    ErrorState::clear();
}

void frmWeb::WebBrw_TitleChange(const QString &Text)
{
    const QString shown = TitleShownFor(Text, Web->LocationURL());
    if (shown == windowTitle())
        return;
    const QString caption = windowCaptionFor(shown, shown.isEmpty() ? Web->LocationName() : QString());
    setWindowTitle(caption);
    emit CaptionChanged(caption);
    ErrorState::clear();
}
