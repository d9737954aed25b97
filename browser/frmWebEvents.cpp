// The browser window's handlers of its browser control's events. The address combo,
// the status panels and the back and forward commands follow the active window only;
// the caption, the tab, the recorded state and the address history follow every window.
#include "app/frmMain.h"
#include "browser/AddressHistory.h"
#include "browser/AddressText.h"
#include "browser/BrowserEventRules.h"
#include "browser/frmWeb.h"
#include "browser/ProgressText.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/StatusBar.h"
#include "platform/TabStrip.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QSlider>

namespace {

frmMain *mainForm()
{
    return Forms::get<frmMain>();
}

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
}

void frmWeb::WebBrw_BeforeNavigate(const QString &URL, int, const QString &, const QVariant &, const QString &,
                                   bool &Cancel)
{
    IgnoreErrors ignore;
    if (isFavoritesFileAddress(URL)) {
        Cancel = true;
        ignore([&] { mainForm()->FavNodeOpen(QStringLiteral("file"), ToNormalText(URL), false); });
    }
    ErrorState::clear();
}

void frmWeb::WebBrw_CommandStateChange(int Command, bool Enable)
{
    IgnoreErrors ignore;
    QPushButton *recorded = Command == BrowserCommand::Back ? back : Command == BrowserCommand::Forward ? forward : nullptr;
    if (!recorded)
        return;
    ignore([&] { recorded->setEnabled(Enable); });
    if (isActiveByTab()) {
        const bool isBack = Command == BrowserCommand::Back;
        frmMain *main = mainForm();
        ignore([&] { main->menuItem(isBack ? QStringLiteral("mnuGoBack") : QStringLiteral("mnuGoForward"))->setEnabled(Enable); });
        ignore([&] { main->tbToolbar[1]->button(isBack ? QStringLiteral("back") : QStringLiteral("forward")).setEnabled(Enable); });
    }
    ErrorState::clear();
}

void frmWeb::WebBrw_DownloadComplete()
{
    IgnoreErrors ignore;
    ignore([this] { picWhite->hide(); });
    ignore([this] { DocumentLoaded(); });
    ErrorState::clear();
}

void frmWeb::DocumentLoaded()
{
    IgnoreErrors ignore;
    QString address;
    ignore([&] { address = Web->LocationURL(); });
    if (address.left(5).toLower() == QStringLiteral("file:"))
        ignore([this] { Web->Stop(); });
    ignore([this] { resetZoomAfterDownload(); });
    if (address.isEmpty())
        return;
    if (shared().AdjustImg)
        ignore([this] { ZoomImg(); });
    if (!isActiveByTab())
        return;
    frmMain *main = mainForm();
    ignore([main] { main->sliZoom->setValue(100); });
    ignore([main] { main->sbStatusBar->panel(QStringLiteral("zoom")).setText(percentText(100)); });
}

void frmWeb::WebBrw_NewWindow(const QString &URL, int Flags, const QString &TargetFrameName, const QVariant &PostData,
                              const QString &Headers, bool &Processed)
{
    Processed = true;
    windowTable().WindowSwitchDone = false;
    if (isRefusedNewWindowAddress(URL)) {
        runIgnoringErrors([] {
            MsgBox(QString::fromLatin1(kRefusedNewWindowMessage), MsgBoxStyle::Exclamation, QStringLiteral("Vorlan"));
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
    IgnoreErrors ignore;
    // The keyboard as it is now: a remembered key state goes stale when the key is
    // released outside the window.
    if (opensInNewProcess(shiftMask(QGuiApplication::queryKeyboardModifiers())))
        ignore([&] { NewBrowserProcess(URL, Flags, TargetFrameName, PostData, Headers, Processed); });
    else
        ignore([&] { NewWindow(URL); });
    ignore([this] {
        if (mainForm()->tbToolbar[3]->button(QStringLiteral("background")).value() == 1) {
            mainForm()->mdiArea->setActiveSubWindow(this);
            Web->setFocusToPage();
        }
    });
    windowTable().WindowSwitchDone = true;
    ErrorState::clear();
}

void frmWeb::WebBrw_NavigateComplete(const QString &)
{
    IgnoreErrors ignore;
    ignore([this] { ChngAddr(); });
    ignore([this] { resetZoomAfterNavigate(); });
    bool hasDocument = false;
    ignore([&] { hasDocument = !Web->LocationURL().isEmpty(); });
    if (!hasDocument) {
        ErrorState::clear();
        return;
    }
    if (shared().AdjustImg)
        ignore([this] { ZoomImg(); });
    ignore([this] { updateAddressHistory(); });
    ignore([this] { picWhite->hide(); });
    // A window loading in the background leaves the keyboard where the user has it.
    ignore([this] {
        frmMain *main = mainForm();
        if (isActiveByTab() && main->picMain->isVisible())
            main->picMain->setFocus();
    });
    ErrorState::clear();
}

void frmWeb::updateAddressHistory()
{
    const QString address = Web->LocationURL();
    if (address.isEmpty())
        return;
    QComboBox *combo = mainForm()->txtAddress;
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.append(combo->itemText(i));
    const QStringList wanted = addressHistoryAfterVisit(entries, address);
    // Changing the list may change the text; only the active window may do that.
    const QString text = combo->currentText();
    const bool active = isActiveByTab();
    const QSignalBlocker quiet(combo);
    for (int i = combo->count() - 1; i >= 0; --i) {
        if (!wanted.contains(combo->itemText(i)) || combo->itemText(i) == address)
            combo->removeItem(i);
    }
    for (const QString &entry : wanted) {
        if (combo->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
            combo->addItem(entry, entry);
    }
    const int selected = combo->findText(address, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (active && selected >= 0)
        combo->setCurrentIndex(selected);
    else if (combo->currentText() != text)
        combo->setEditText(text);
}

void frmWeb::WebBrw_ProgressChange(int Progress, int ProgressMax)
{
    IgnoreErrors ignore;
    frmMain *main = mainForm();
    bool blank = false;
    ignore([&] { blank = Web->LocationURL() == kBlank; });
    const ProgressDisplay display = progressDisplay(Progress, ProgressMax, blank);
    const bool active = isActiveByTab();
    if (active)
        ignore([&] { main->sbStatusBar->panel(QStringLiteral("prg")).setText(display.panelText); });
    if (display.markLoaded)
        ignore([&] { main->tbsWindows->setImage(WindowTabKey(number()), QStringLiteral("prgyes")); });
    else if (display.markLoading)
        ignore([&] { main->tbsWindows->setImage(WindowTabKey(number()), QStringLiteral("prgno")); });
    if (active && display.loadEnded)
        ignore([&] { main->tbsWindows->setImage(main->tbsWindows->selectedKey(), QString()); });
    ProgressText = display.recordedText;
    ErrorState::clear();
}

void frmWeb::WebBrw_Quit()
{
    close();
}

void frmWeb::WebBrw_StatusTextChange(const QString &Text)
{
    if (isActiveByTab())
        runIgnoringErrors([&] { mainForm()->sbStatusBar->panel(1).setText(Text); });
    ErrorState::clear();
}

void frmWeb::WebBrw_TitleChange(const QString &Text)
{
    if (Text == windowTitle())
        return;
    IgnoreErrors ignore;
    QString locationName;
    if (Text.isEmpty())
        ignore([&] { locationName = Web->LocationName(); });
    const QString caption = windowCaptionFor(Text, locationName);
    setWindowTitle(caption);
    TabStrip *tabs = mainForm()->tbsWindows;
    ignore([&] { tabs->setToolTip(WindowTabKey(number()), caption); });
    ignore([&] { tabs->setCaption(WindowTabKey(number()), tabCaptionFor(caption)); });
    ErrorState::clear();
}
