// The main window listens to every browser window. A window's own tab follows it
// whether it is active or not; the address combo, the status panels, the back and
// forward commands and the zoom follow only the active window, the one whose tab is
// selected (commands reach the active window through ActiveForm instead).
#include "app/frmMain.h"

#include "app/Icons.h"
#include "app/WindowCommands.h"
#include "browser/AddressHistory.h"
#include "browser/BrowserEventRules.h"
#include "browser/InspectorTable.h"
#include "browser/WindowTable.h"
#include "browser/ZoomMath.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/store/RegistryRead.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QSlider>

// Each step that touches a control may fail (a panel, a tab or an item that is not
// there); it is skipped, and the failure stays current for the window's handler.
namespace {
const auto step = runIgnoringErrors;
} // namespace

QMdiArea *frmMain::windowArea() const
{
    return mdiArea;
}

bool frmMain::mainPanelShown() const
{
    return picMain->isVisible();
}

bool frmMain::opensNewWindowsBehind() const
{
    bool behind = false;
    step([&] { behind = tbToolbar[3]->button(QStringLiteral("background")).value() == 1; });
    return behind;
}

bool frmMain::isActiveByTab(const frmWeb *window) const
{
    return isActiveWindowTab(tbsWindows->selectedKey(), window->tag());
}

void frmMain::connectBrowserWindows()
{
    WindowTable &table = windowTable();
    connect(&table, &WindowTable::WindowCreated, this, &frmMain::listenToWindow);
    connect(&table, &WindowTable::WindowOpened, this, &frmMain::browserWindowOpened);
}

void frmMain::listenToWindow(frmWeb *window)
{
    connect(window, &frmWeb::Loaded, this, &frmMain::browserWindowLoaded);
    connect(window, &frmWeb::Activated, this, [this, window](bool back, bool forward, const QString &progress) {
        browserWindowActivated(window, back, forward, progress);
    });
    connect(window, &frmWeb::AddressChanged, this,
            [this, window](const QString &shown, bool image) { browserAddressChanged(window, shown, image); });
    connect(window, &frmWeb::CommandStateChanged, this,
            [this, window](int command, bool enabled) { browserCommandStateChanged(window, command, enabled); });
    connect(window, &frmWeb::ZoomChanged, this, [this, window](int percent) { browserZoomChanged(window, percent); });
    connect(window, &frmWeb::PageVisited, this,
            [this, window](const QString &address) { browserPageVisited(window, address); });
    connect(window, &frmWeb::ProgressChanged, this,
            [this, window](const ProgressDisplay &display) { browserProgressChanged(window, display); });
    connect(window, &frmWeb::StatusTextChanged, this, [this, window](const QString &text) {
        if (isActiveByTab(window))
            step([&] { sbStatusBar->panel(1).setText(text); });
    });
    connect(window, &frmWeb::CaptionChanged, this, [this, window](const QString &caption) {
        const QString key = WindowTabKey(window->number());
        step([&] { tbsWindows->setToolTip(key, caption); });
        step([&] { tbsWindows->setCaption(key, tabCaptionFor(caption)); });
    });
    connect(window, &frmWeb::MaximizedChanged, this, [this](bool maximized) {
        step([&] {
            menuItem(QStringLiteral("mnuWindowMaximize"))
                ->setText(maximized ? QStringLiteral("&Obnovit okno") : QStringLiteral("Ma&ximalizovat okno"));
        });
    });
    connect(window, &frmWeb::ElementPointed, this, [this, window](const QVariantMap &element, const QString &address) {
        browserElementPointed(window, element, address);
    });
    connect(window, &frmWeb::AddressKeyPressed, this, [this] { txtAddress->setFocus(); });
    connect(window, &frmWeb::FocusPassedOn, this, [this](bool next) { focusNextPrevChild(next); });
    connect(window, &frmWeb::PaneKeyPressed, this, [this] {
        if (!picMain->isVisible())
            mnuViewMainPanel_Click();
        else
            showNextPane();
    });
    connect(window, &frmWeb::PanelCloseKeyPressed, this, [this] {
        if (picMain->isVisible())
            mnuViewMainPanel_Click();
    });
    connect(window, &frmWeb::ShortcutNavigationCancelled, this,
            [this](const QString &path) {
        FavNodeOpen(QStringLiteral("file"), path, false, ShortcutRequest::Navigation);
    });
    connect(window, &frmWeb::Closed, this, [this, window] { browserWindowClosed(window); });
}

void frmMain::browserWindowOpened(frmWeb *window)
{
    const QString key = WindowTabKey(window->number());
    step([&] { tbsWindows->add(key, QStringLiteral("about:blank")); });
    step([&] { tbsWindows->setToolTip(key, QStringLiteral("about:blank")); });
    // The window was activated while it was shown, before its tab existed: select the
    // tab of whichever window is active now so that the two agree.
    step([this] { syncSelectedTab(); });
}

void frmMain::browserWindowLoaded()
{
    SetWinEnabled();
    step([this] {
        if (picMain->isVisible())
            picMain->setFocus();
    });
}

void frmMain::browserWindowActivated(frmWeb *window, bool canGoBack, bool canGoForward, const QString &progressText)
{
    step([&] { menuItem(QStringLiteral("mnuGoBack"))->setEnabled(canGoBack); });
    step([&] { menuItem(QStringLiteral("mnuGoForward"))->setEnabled(canGoForward); });
    step([&] { tbToolbar[1]->button(QStringLiteral("back")).setEnabled(canGoBack); });
    step([&] { tbToolbar[1]->button(QStringLiteral("forward")).setEnabled(canGoForward); });
    step([&] {
        if (!window->tag().isEmpty())
            tbsWindows->select(WindowTabKey(window->number()));
    });
    step([&] { sbStatusBar->panel(QStringLiteral("prg")).setText(progressText); });
}

void frmMain::browserAddressChanged(frmWeb *window, const QString &shownText, bool image)
{
    if (isActiveByTab(window)) {
        if (txtAddress->currentText() != shownText && !keepsTypedAddress())
            txtAddress->setEditText(shownText);
        step([&] {
            menuItem(QStringLiteral("mnuAdjustNow"))->setEnabled(image);
            sliZoom->setEnabled(image);
            if (image) {
                sliZoom->setValue(100);
                sliZoom->setToolTip(QStringLiteral("100 %"));
            }
        });
    }
    // Every window's address brings the offline mark in line with the registry.
    mnuOffline->setChecked(RegistryRead::isOffline());
}

void frmMain::browserCommandStateChanged(frmWeb *window, int command, bool enabled)
{
    if (!isActiveByTab(window))
        return;
    const bool back = command == BrowserCommand::Back;
    step([&] { menuItem(back ? QStringLiteral("mnuGoBack") : QStringLiteral("mnuGoForward"))->setEnabled(enabled); });
    step([&] { tbToolbar[1]->button(back ? QStringLiteral("back") : QStringLiteral("forward")).setEnabled(enabled); });
}

void frmMain::browserZoomChanged(frmWeb *window, int percent)
{
    if (!isActiveByTab(window))
        return;
    sliZoom->setValue(ZoomMath::sliderPercent(percent));
    step([&] { sbStatusBar->panel(QStringLiteral("zoom")).setText(percentText(sliZoom->value())); });
}

void frmMain::browserPageVisited(frmWeb *window, const QString &address)
{
    const bool active = isActiveByTab(window);
    updateAddressHistory(address, active);
    // A window loading in the background leaves the keyboard where the user has it, and
    // so does a page that loads (a page reloading itself, say) while the user is in the
    // address field and has not sent an address from it.
    const bool userInAddressField = txtAddress->hasFocus() && !m_addressEntered;
    if (active && picMain->isVisible() && !userInAddressField)
        picMain->setFocus();
}

void frmMain::updateAddressHistory(const QString &address, bool active)
{
    if (address.isEmpty())
        return;
    QStringList entries;
    for (int i = 0; i < txtAddress->count(); ++i)
        entries.append(txtAddress->itemText(i));
    const QStringList wanted = addressHistoryAfterVisit(entries, address);
    // Changing the list may change the text; only the active window may do that, and
    // not while the user types: then the text, the cursor and the selection stay.
    const QString text = txtAddress->currentText();
    const bool typing = keepsTypedAddress();
    QLineEdit *edit = txtAddress->lineEdit();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = edit->selectionLength();
    const QSignalBlocker quiet(txtAddress);
    for (int i = txtAddress->count() - 1; i >= 0; --i) {
        if (!wanted.contains(txtAddress->itemText(i)) || txtAddress->itemText(i) == address)
            txtAddress->removeItem(i);
    }
    for (const QString &entry : wanted) {
        if (txtAddress->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
            txtAddress->addItem(Icons::icon(QStringLiteral("htm")), entry, entry);
    }
    const int selected = txtAddress->findText(address, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (active && selected >= 0 && !typing)
        txtAddress->setCurrentIndex(selected);
    else if (txtAddress->currentText() != text)
        txtAddress->setEditText(text);
    // The user in the field keeps the cursor and the selection (the whole address
    // selected on entering it, so that typing replaces it).
    if (txtAddress->hasFocus() && txtAddress->currentText() == text) {
        if (selectionStart >= 0)
            edit->setSelection(selectionStart, selectionLength);
        else
            edit->setCursorPosition(cursor);
    }
}

void frmMain::browserProgressChanged(frmWeb *window, const ProgressDisplay &display)
{
    const bool active = isActiveByTab(window);
    const QString key = WindowTabKey(window->number());
    if (active)
        step([&] { sbStatusBar->panel(QStringLiteral("prg")).setText(display.panelText); });
    if (display.markLoaded)
        step([&] { tbsWindows->setImage(key, QStringLiteral("prgyes")); });
    else if (display.markLoading)
        step([&] { tbsWindows->setImage(key, QStringLiteral("prgno")); });
    if (active && display.loadEnded)
        step([&] { tbsWindows->setImage(tbsWindows->selectedKey(), QString()); });
}

void frmMain::browserElementPointed(frmWeb *window, const QVariantMap &element, const QString &address)
{
    if (!isActiveByTab(window))
        return;
    step([&] {
        if (const std::optional<QString> parameters = InspectorTable::parameterText(element))
            sbStatusBar->panel(5).setText(*parameters);
    });
    step([&] { sbStatusBar->panel(4).setText(InspectorTable::tagText(element)); });
    // An item chosen from the list is no text of the user's, also while the combo has the focus.
    const int current = txtAddress->currentIndex();
    const bool itemChosen = current >= 0 && txtAddress->itemText(current) == txtAddress->currentText();
    const bool typing = txtAddress->hasFocus() && !itemChosen;
    if (!InspectorTable::needsAddressResync(true, typing, txtAddress->currentText(), address))
        return;
    QLineEdit *edit = txtAddress->lineEdit();
    const int start = edit ? edit->selectionStart() : -1;
    const int length = edit ? edit->selectionLength() : 0;
    txtAddress->setEditText(address);
    // A selection the user made survives the re-sync.
    if (edit && start >= 0)
        edit->setSelection(start, length);
}

void frmMain::browserWindowClosed(frmWeb *window)
{
    // Only the active window's closing, or the last one's, clears the address: a
    // background window must not wipe what the user sees or is typing.
    if (isActiveByTab(window) || shared().WindowCount <= 0)
        txtAddress->setEditText(QString());
    if (shared().WindowCount == 0) {
        SetWinDisabled();
        picMain->setFocus();
    }
    step([&] { tbsWindows->remove(WindowTabKey(window->number())); });
}
