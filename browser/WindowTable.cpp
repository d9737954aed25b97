#include "browser/WindowTable.h"

#include "browser/frmWeb.h"
#include "core/ErrorLog.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/DetachedProcess.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/Singleton.h"

#include <QCoreApplication>

frmWeb *WindowTable::slot(int number) const
{
    const auto found = WindowSlots.find(number);
    return found == WindowSlots.end() ? nullptr : found->second.data();
}

bool WindowTable::used(int number) const
{
    return WindowSlotUsed.count(number) != 0;
}

WindowTable &windowTable()
{
    return Singleton<WindowTable>::instance();
}

void resetWindowTable()
{
    WindowTable &table = windowTable();
    table.WindowSlots.clear();
    table.WindowSlotUsed.clear();
    table.WindowNumber = 0;
    table.CreatingWindow = false;
    table.WindowSwitchDone = false;
}

QString WindowTabKey(int number)
{
    return QStringLiteral("key ") + QString::number(number);
}

namespace {

void createWindow(const QString &url, int number)
{
    WindowTable &table = windowTable();
    if (number < 1 || number > kMaxWindowNumber)
        raiseError(ErrorNumber::SubscriptOutOfRange);
    auto *window = new frmWeb();
    // A window made for a page's request shows what the page asked for (a form's data
    // among it); loading its bare address would ask for it again, without them.
    const bool requested = window->Web->takeWindowRequest();
    emit table.WindowCreated(window);
    table.WindowSlots[number] = window;
    window->setTag(QString::number(number));
    if (!requested)
        window->Web->Navigate(url.isEmpty() ? QStringLiteral("about:blank") : url);
    window->showInFrame();
    table.WindowSlotUsed.insert(number);
    emit table.WindowOpened(window);
}

} // namespace

void NewWindow(const QString &url)
{
    WindowTable &table = windowTable();
    if (table.CreatingWindow)
        return;
    table.CreatingWindow = true;
    ErrorState::clear();
    const int number = ++table.WindowNumber;
    if (!runIgnoringErrors([&] { createWindow(url, number); })) {
        if (ErrorState::current().number == ErrorNumber::OutOfMemory)
            MsgBox(QStringLiteral("Nastal nedostatek paměti. Není možno otevřít další okna."), MsgBoxStyle::Critical,
                   QStringLiteral("Uživatelská chyba"));
    }
    table.CreatingWindow = false;
    if (ErrorState::isSet())
        LogError(QStringLiteral("NewWindow"), url);
}

namespace {
QString &browserProcessProgram()
{
    static QString program;
    return program;
}
} // namespace

void setBrowserProcessProgram(const QString &path)
{
    browserProcessProgram() = path;
}

QVariant NewBrowserProcess(const QString &URL, int, const QString &, const QVariant &, const QString &Headers,
                           bool &Processed)
{
    IgnoreErrors ignore;
    bool started = false;
    ignore([&] {
        // The address goes over as one argument: no shell ever sees it.
        const QString &program = browserProcessProgram();
        startDetachedProcess(program.isEmpty() ? QCoreApplication::applicationFilePath() : program, {URL});
        started = true;
    });
    if (ErrorState::isSet())
        LogError(QStringLiteral("NewBrowserProcess"),
                 URL + Headers + settingText(Processed) + settingText(started));
    return {};
}
