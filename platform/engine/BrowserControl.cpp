#include "platform/engine/BrowserControl.h"

#include "platform/engine/BrowserPage.h"
#include "platform/engine/EngineProfile.h"
#include "platform/engine/PageProcessGuard.h"
#include "platform/engine/PageRequests.h"
#include "platform/engine/ShownAddress.h"
#include "platform/controls/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QOpenGLWidget>
#include <QFileInfo>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineProfile>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

#include <utility>

namespace {

// The engine's own limit, which the message below names: it shows nothing for a longer
// address.
constexpr qsizetype kMaxAddressLength = 2 * 1024 * 1024;

// The engine reports an address normalised: "ftp://x" as "ftp://x/", "x/a/../b" as "x/b".
QUrl normalisedAddress(const QUrl &url)
{
    QUrl normalised = url.adjusted(QUrl::NormalizePathSegments);
    if (normalised.path().isEmpty() && !normalised.host().isEmpty())
        normalised.setPath(QStringLiteral("/"));
    return normalised;
}

bool sameAddress(const QUrl &a, const QUrl &b)
{
    return normalisedAddress(a) == normalisedAddress(b);
}

// The page's request for a window being answered, while NewWindow is raised; the engine
// drops it once its call returns.
QWebEngineNewWindowRequest *g_windowRequest = nullptr;

// The control whose page the user last clicked, or pressed a key in that follows a link,
// and when: a page the user acts in may send another window to an address.
struct Activation
{
    const void *control = nullptr; // compared, never followed
    QElapsedTimer since;
};
Activation g_lastActivation;
// From the user's click to the other window's navigation: a page may first run a little,
// and a busy machine delays both.
constexpr qint64 kActivationSendsMs = 3000;

// Read in the application's script world, which the page cannot reach: what a script
// wrote into a window's first document, without the scripts and load handler that
// already ran there, and the address to load it under. The address keeps the document's
// origin (a <base> pointing elsewhere does not lend the copy another one); an opaque
// origin gets none.
const char kWrittenDocument[] = R"JS((function () {
    var d = document;
    if (!d.documentElement || !d.body || !d.body.hasChildNodes() && !d.title)
        return { written: false };
    var copy = d.documentElement.cloneNode(true);
    var scripts = copy.querySelectorAll('script');
    for (var i = 0; i < scripts.length; ++i)
        scripts[i].remove();
    var body = copy.querySelector('body, frameset');
    if (body)
        body.removeAttribute('onload');
    var origin = self.origin;
    var base = '';
    if (origin !== 'null')
        base = new URL(d.baseURI).origin === origin ? d.baseURI : origin + '/';
    return { written: true, done: d.readyState === 'complete', base: base,
             html: (d.doctype ? '<!DOCTYPE ' + d.doctype.name + '>' : '') + copy.outerHTML };
})())JS";

// The engine refuses a document it is given whole when it makes an address longer than
// this, percent-encoded with its type; such a written window stays empty.
constexpr qsizetype kMaxWrittenDocument = 2 * 1024 * 1024 - 1024;
// Looks while a script may still be writing: often at first, then seldom.
constexpr int kWrittenLookMs = 250;
constexpr int kWrittenLookLaterMs = 1000;
constexpr int kWrittenLooksOften = 20;
// A document whose writing was never closed counts as written once it stayed the same
// for this many looks.
constexpr int kWrittenSettledLooks = 4;

} // namespace

BrowserControl::BrowserControl(QWidget *parent)
    : QWidget(parent)
    , m_alive(std::make_shared<bool>(true))
{
    m_view = new QWebEngineView(this);
    m_page = new BrowserPage(EngineProfile::profileForNewPage(), m_view);
    EngineProfile::releaseSparePageAfter(m_page);
    m_view->setPage(m_page);
    setFocusProxy(m_view);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_page->setNavigationFilter([this](const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame) {
        const bool accepted = decideNavigation(url, isMainFrame);
        if (accepted && isMainFrame && sentHereByClickElsewhere(type))
            QTimer::singleShot(0, this, &BrowserControl::FrontWanted);
        return accepted;
    });
    connect(m_page, &QWebEnginePage::loadingChanged, this, &BrowserControl::onLoadingChanged);
    connect(m_page, &QWebEnginePage::loadProgress, this, &BrowserControl::onLoadProgress);
    connect(m_page, &QWebEnginePage::urlChanged, this, &BrowserControl::onUrlChanged);
    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserControl::TitleChange);
    connect(m_page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        m_hoveredLink = url;
        emit StatusTextChange(ShownAddress(url));
    });
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &BrowserControl::onNewWindowRequested);
    // The engine asks a page with a leave handler before its window closes; the window
    // closes once the page may go.
    installCloseQuestion();
    m_processGuard = new PageProcessGuard(m_page, this);
    m_processGuard->setWaitsForUser([this] { return pageDialogOpen(); });
    connect(m_processGuard, &PageProcessGuard::processEnded, this, &BrowserControl::onRenderProcessEnded);
    connect(m_processGuard, &PageProcessGuard::notAnswering, this,
            [this] { emit StatusTextChange(QStringLiteral("Stránka neodpovídá.")); });

    // An address that brought a file to save has been answered, though the page stays
    // where it was: should its process be ended for not answering, the address is not
    // fetched again, which would ask for the same file once more.
    connect(m_page->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                if (m_processGuard && download->page() == m_page && !download->isSavePageDownload())
                    m_processGuard->forgetRetry();
            });
    m_requests = new PageRequests(m_page, m_view, {[this] { printWithDialog(); }, [this] { emit Quit(); }});
    installElementHover();
}

void BrowserControl::prepareWindow(QWidget *window)
{
    // The platform that shows nothing cannot bring such a window to its (missing)
    // screen; a window there stays as it is until a control comes.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    // A hidden child that is drawn through the graphics library marks its window as
    // drawn that way; it never shows and never starts a drawing context of its own.
    auto *marker = new QOpenGLWidget(window);
    marker->setObjectName(QStringLiteral("graphicsSurfaceMarker"));
    marker->hide();
}

BrowserControl::~BrowserControl()
{
    // The page is torn down while the control is still whole; none of its last
    // signals or script answers may reach the control any more.
    m_alive.reset();
    delete std::exchange(m_processGuard, nullptr);
    // Logins, downloads and printing answered for this control end with it.
    delete std::exchange(m_requests, nullptr);
    m_page->controlGone();
    disconnect(m_page, nullptr, this, nullptr);
    if (!m_page->dialogOpen()) {
        delete m_view;
        return;
    }
    // A dialog of the page runs inside the engine's call on this view, which must
    // return into a whole view: the view leaves the control and goes once the
    // dialog, closed now, has returned.
    m_page->setWebChannel(nullptr, QWebEngineScript::ApplicationWorld);
    m_view->hide();
    m_view->setParent(nullptr);
    m_page->deleteViewAfterDialog(m_view);
}

void BrowserControl::savePage(const QString &path, std::function<void(bool saved)> done,
                              std::function<void()> requested)
{
    engineDownloadFolder(); // read when the engine reads its own, at the first save
    auto request = std::make_shared<QMetaObject::Connection>();
    *request = connect(m_page->profile(), &QWebEngineProfile::downloadRequested, this,
                       [this, request, done, requested](QWebEngineDownloadRequest *download) {
                           if (download->page() != m_page || !download->isSavePageDownload())
                               return;
                           disconnect(*request);
                           if (requested)
                               requested();
                           connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [download, done] {
                               if (download->isFinished() && done)
                                   done(download->state() == QWebEngineDownloadRequest::DownloadCompleted);
                           });
                           download->accept();
                       });
    m_page->save(path, QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

QString BrowserControl::engineDownloadFolder()
{
    static const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder;
}

QUrl BrowserControl::addressFromUserText(const QString &text, const QString &workingFolder)
{
    // Without AssumeLocalFile a relative name is a file only when it exists, so
    // "www.example.org" stays a web address.
    return QUrl::fromUserInput(text, workingFolder);
}

void BrowserControl::Navigate(const QString &text)
{
    if (text.size() > kMaxAddressLength) {
        reportTooLongAddress();
        return;
    }
    const QUrl url = addressFromUserText(text, QDir::currentPath());
    if (url.isEmpty() || !url.isValid()) {
        if (!text.trimmed().isEmpty())
            reportUnusableAddress(QStringLiteral("„%1“ není platná adresa.").arg(text));
        return;
    }
    // The engine reads a local file on a thread of its own, which would wait for ever
    // on a pipe or a device and keep the program from ending.
    const QFileInfo local(url.isLocalFile() ? url.toLocalFile() : QString());
    if (local.exists() && !local.isFile() && !local.isDir()) {
        reportUnusableAddress(QStringLiteral("Adresu „%1“ program nedokáže otevřít.").arg(ShownAddress(url.toString())));
        return;
    }
    // Blanks and letters beyond ASCII grow when encoded.
    if (url.toEncoded().size() > kMaxAddressLength) {
        reportTooLongAddress();
        return;
    }
    runOrDefer([this, url] {
        m_undecidedAddress = url;
        m_page->load(url);
        m_processGuard->expectAnswer(url);
    });
}

void BrowserControl::reportTooLongAddress()
{
    reportUnusableAddress(QStringLiteral("Adresa je příliš dlouhá. Program otevře adresu nejvýše o 2\u00A0097\u00A0152 znacích."));
}

void BrowserControl::reportUnusableAddress(const QString &message)
{
    // Not from inside the caller or the engine's signal: the box runs a loop of its own.
    QTimer::singleShot(0, this, [this, message] { MsgBox(message, MsgBoxStyle::Exclamation, {}, this); });
}

void BrowserControl::GoBack()
{
    trigger(QWebEnginePage::Back);
}

void BrowserControl::GoForward()
{
    trigger(QWebEnginePage::Forward);
}

void BrowserControl::Refresh()
{
    trigger(QWebEnginePage::Reload);
}

void BrowserControl::Stop()
{
    trigger(QWebEnginePage::Stop);
    // A slot of DownloadComplete stops a load that has already ended: the user waits
    // for nothing there.
    if (!m_endingLoad)
        runOrDefer([this] { m_processGuard->expectAnswer(QUrl()); });
}

void BrowserControl::onRenderProcessEnded(const QUrl &next)
{
    m_undecidedAddress.clear();
    m_lastLoadSucceeded = false;
    endLoad(false);
    if (!next.isEmpty()) {
        m_undecidedAddress = next;
        m_requests->answersStandForRetry();
        m_page->load(next);
    }
}

void BrowserControl::Refresh2(int level)
{
    trigger(level == 3 ? QWebEnginePage::ReloadAndBypassCache : QWebEnginePage::Reload);
}

void BrowserControl::trigger(int action)
{
    runOrDefer([this, action] {
        // A typed address this command stops or replaces has not failed.
        m_undecidedAddress.clear();
        m_page->triggerAction(static_cast<QWebEnginePage::WebAction>(action));
    });
}

void BrowserControl::findText(const QString &text, bool backward, std::function<void(bool found)> callback)
{
    const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    std::weak_ptr<bool> alive = m_alive;
    m_page->findText(text, flags, [alive, callback = std::move(callback)](const QWebEngineFindTextResult &result) {
        if (callback && alive.lock())
            callback(result.numberOfMatches() > 0);
    });
}

void BrowserControl::printWithDialog()
{
    // One print at a time: the engine refuses a second while the first runs.
    if (m_printer)
        return;
    auto printer = std::make_unique<QPrinter>();
    // The dialog belongs to the top window, so that it never goes with this control
    // while it runs; should the control go meanwhile, the dialog closes unanswered.
    const QPointer<BrowserControl> self(this);
    const QPointer<QPrintDialog> dialog = new QPrintDialog(printer.get(), window());
    connect(this, &QObject::destroyed, dialog, &QDialog::reject);
    const int answer = dialog->exec();
    delete dialog.data();
    if (!self || answer != QDialog::Accepted)
        return;
    m_printer = std::move(printer);
    connect(m_view, &QWebEngineView::printFinished, this, [this] { m_printer.reset(); }, Qt::SingleShotConnection);
    m_view->print(m_printer.get());
}

QString BrowserControl::LocationURL() const
{
    // A password typed into the address is the user's secret, never shown again. The
    // address is read as the user sees it: in whatever form, it loads the same page.
    return ShownAddress(m_page->url().toString(QUrl::RemovePassword));
}

void BrowserControl::setOpenedByPage()
{
    m_requests->setOpenedByPage(true);
}

QString BrowserControl::LocationName() const
{
    return m_page->title();
}

bool BrowserControl::Busy() const
{
    return m_load.active && !m_load.swallowed;
}

void BrowserControl::setFocusToPage()
{
    m_view->setFocus(Qt::OtherFocusReason);
}

bool BrowserControl::pageHasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == m_view || m_view->isAncestorOf(focus));
}

void BrowserControl::runScript(const QString &script, std::function<void(const QVariant &)> callback,
                               ScriptWorld world)
{
    const quint32 worldId = world == ScriptWorld::Application ? QWebEngineScript::ApplicationWorld
                                                              : QWebEngineScript::MainWorld;
    if (!callback) {
        m_page->runJavaScript(script, worldId);
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    m_page->runJavaScript(script, worldId, [alive, callback = std::move(callback)](const QVariant &result) {
        if (alive.lock())
            callback(result);
    });
}

bool BrowserControl::decideNavigation(const QUrl &url, bool isMainFrame)
{
    if (!isMainFrame)
        return true;
    m_undecidedAddress.clear();
    bool cancel = false;
    ++m_decidingDepth;
    emit BeforeNavigate(url.toString(), 0, QString(), QVariant(), QString(), cancel);
    --m_decidingDepth;
    if (cancel)
        m_refusedAddresses.append(url);
    else
        acceptNavigation(url);
    return !cancel;
}

void BrowserControl::acceptNavigation(const QUrl &url)
{
    // The engine counts one load from its first start to its last stop, however many
    // navigations follow one another in it; an accepted one makes the load its own,
    // also when it began as a refused navigation.
    m_refusedAddresses.clear();
    if (!m_load.active)
        return;
    const bool wasSwallowed = m_load.swallowed;
    m_load.swallowed = false;
    m_load.committed = false;
    if (wasSwallowed)
        emit StatusTextChange(ShownAddress(url.toString(QUrl::RemovePassword)));
}

void BrowserControl::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        startLoad(info.url());
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        // The engine drops an address it will not show (a scheme it does not know)
        // before ever asking whether to go there, and shows nothing.
        if (!m_undecidedAddress.isEmpty() && sameAddress(info.url(), m_undecidedAddress))
            reportUnusableAddress(QStringLiteral("Adresu „%1“ program nedokáže otevřít.").arg(ShownAddress(info.url().toString())));
        m_undecidedAddress.clear();
        m_lastLoadSucceeded = false;
        endLoad(false);
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        m_undecidedAddress.clear();
        m_lastLoadSucceeded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        endLoad(true);
        break;
    }
}

void BrowserControl::startLoad(const QUrl &url)
{
    // A new load supersedes one still running; that one ends here.
    if (m_load.active)
        endLoad(false);
    // A refused navigation still starts a load of its own, which the engine stops at
    // once unless an accepted navigation takes it over.
    ++m_navigationNumber;
    const bool refused = m_refusedAddresses.removeOne(url);
    m_load = {true, refused, false};
    if (refused)
        return;
    emit StatusTextChange(ShownAddress(url.toString(QUrl::RemovePassword)));
}

void BrowserControl::endLoad(bool documentShown)
{
    if (!m_load.active)
        return;
    const LoadState ended = m_load;
    m_load = {};
    if (ended.swallowed)
        return;
    if (documentShown && !ended.committed)
        emit NavigateComplete(LocationURL());
    raiseCommandStates();
    emit ProgressChange(0, 100);
    emit StatusTextChange(QString());
    m_endingLoad = true;
    emit DownloadComplete();
    m_endingLoad = false;
}

void BrowserControl::onLoadProgress(int progress)
{
    if (Busy())
        emit ProgressChange(qBound(1, progress, 100), 100);
}

void BrowserControl::onUrlChanged()
{
    // A window a page opened drops the address it was asked for when its first load
    // starts, and shows it again once the document is there.
    if (m_load.active && m_page->url().isEmpty())
        return;
    if (m_load.active) {
        if (m_load.swallowed || m_load.committed)
            return;
        m_load.committed = true;
    }
    // Outside a load the address changes only within the document.
    emit NavigateComplete(LocationURL());
    raiseCommandStates();
}

void BrowserControl::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    QString url = request.requestedUrl().toString();
    if (url == QLatin1String("about:blank#blocked")) {
        // The engine names no address it refuses, nor an empty one (a window a script
        // opens to write into). A script address is the one it refuses: when the user
        // has just clicked such a link, or pressed Enter on it, and the link itself asked
        // for a new window, that request is gone, and the window layer hears of the
        // link's address. A script link whose script opens a window gets its window.
        const QString scriptLink = scriptLinkForNewWindow();
        if (!scriptLink.isEmpty()) {
            QTimer::singleShot(0, this, [this, scriptLink] { raiseNewWindow(scriptLink); });
            return;
        }
        url.clear();
    }
    // A window on an address the engine will not show would stay blank: none is asked
    // for, and the user is told as for a typed address.
    if (!url.isEmpty() && !showsScheme(request.requestedUrl())) {
        reportUnusableAddress(QStringLiteral("Adresu „%1“ program nedokáže otevřít.").arg(url));
        return;
    }
    // The request can be taken over only before this call returns.
    QWebEngineNewWindowRequest *const outer = std::exchange(g_windowRequest, &request);
    raiseNewWindow(url);
    g_windowRequest = outer;
}

bool BrowserControl::takeWindowRequest()
{
    QWebEngineNewWindowRequest *const request = std::exchange(g_windowRequest, nullptr);
    if (!request)
        return false;
    // The engine ends the whole program when it draws what a script put into such a
    // window's first, empty document (window.open and document.write or the like): the
    // view stays hidden until a document of the window's own has loaded, and what was
    // written becomes such a document.
    m_view->hide();
    request->openIn(m_page);
    m_showsWindowRequest = true;
    m_writtenWatch = new QTimer(this);
    m_writtenWatch->setInterval(kWrittenLookMs);
    connect(m_writtenWatch, &QTimer::timeout, this, &BrowserControl::lookAtWrittenDocument);
    m_writtenWatch->start();
    auto shown = std::make_shared<QMetaObject::Connection>();
    *shown = connect(m_page, &QWebEnginePage::loadingChanged, this, [this, shown](const QWebEngineLoadingInfo &info) {
        const bool succeeded = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        if (succeeded && info.url().scheme() == QLatin1String("about")) {
            // The first document closed: a script that wrote into it is done.
            lookAtWrittenDocument();
            return;
        }
        // Only a document that replaced the first one may be drawn: a load that failed
        // without its error page (refused, aborted by the writing, a copy too large)
        // leaves the first one in place.
        if (!succeeded && !(info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.isErrorPage()))
            return;
        disconnect(*shown);
        stopWrittenWatch();
        m_view->show();
    });
    return true;
}

void BrowserControl::noteActivation(bool byKey, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    g_lastActivation.control = this;
    g_lastActivation.since.start();
    m_activation.since.start();
    m_activation.byKey = byKey;
    m_activation.modifiers = modifiers;
    m_activation.button = button;
}

QString BrowserControl::scriptLinkForNewWindow() const
{
    if (!m_activation.since.isValid() || m_activation.since.elapsed() >= kActivationSendsMs)
        return {};
    const auto isScript = [](const QString &link) {
        return link.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive);
    };
    const QString link = m_activation.byKey ? m_focusedLink : m_pointedLink;
    if (!isScript(link)) {
        // The engine's own word of a script link under the pointer, of which the page's
        // script world has not told: its target is unknown, and the link is taken to have
        // asked for the window.
        return !m_activation.byKey && isScript(m_hoveredLink) ? m_hoveredLink : QString();
    }
    const QString target = (m_activation.byKey ? m_focusedTarget : m_pointedTarget).toLower();
    const bool namesAnother = !target.isEmpty() && target != QLatin1String("_self")
        && target != QLatin1String("_top") && target != QLatin1String("_parent");
    const bool newWindowHeld = (m_activation.modifiers & (Qt::ShiftModifier | Qt::ControlModifier))
        || m_activation.button == Qt::MiddleButton;
    return namesAnother || newWindowHeld ? link : QString();
}

bool BrowserControl::sentHereByClickElsewhere(int type) const
{
    if (type != QWebEnginePage::NavigationTypeLinkClicked && type != QWebEnginePage::NavigationTypeFormSubmitted)
        return false;
    // A window a page opened is placed by the window layer until its first document is there.
    if (m_writtenWatch)
        return false;
    return g_lastActivation.control && g_lastActivation.control != this && g_lastActivation.since.isValid()
        && g_lastActivation.since.elapsed() < kActivationSendsMs;
}

void BrowserControl::stopWrittenWatch()
{
    delete std::exchange(m_writtenWatch, nullptr);
    m_lastWritten.clear();
}

void BrowserControl::lookAtWrittenDocument()
{
    // A page process that is busy answers the looks in one go later: one at a time.
    if (!m_writtenWatch || m_writtenLookPending)
        return;
    if (++m_writtenUnchanged > kWrittenLooksOften)
        m_writtenWatch->setInterval(kWrittenLookLaterMs);
    m_writtenLookPending = true;
    const quint64 navigation = m_navigationNumber;
    runScript(QString::fromLatin1(kWrittenDocument), [this, navigation](const QVariant &result) {
        m_writtenLookPending = false;
        // A load of the window's own began meanwhile: what was read is gone with it.
        if (!m_writtenWatch || navigation != m_navigationNumber
            || !(m_page->url().isEmpty() || m_page->url().scheme() == QLatin1String("about")))
            return;
        showWrittenDocument(result.toMap());
    }, ScriptWorld::Application);
}

void BrowserControl::showWrittenDocument(const QVariantMap &written)
{
    if (!written.value(QStringLiteral("written")).toBool())
        return;
    const QString html = written.value(QStringLiteral("html")).toString();
    if (html != m_lastWritten) {
        m_lastWritten = html;
        m_writtenUnchanged = 0;
    }
    // Writing that was never closed may still go on: wait until it has rested.
    if (!written.value(QStringLiteral("done")).toBool() && m_writtenUnchanged < kWrittenSettledLooks)
        return;
    stopWrittenWatch();
    if (html.toUtf8().toPercentEncoding().size() > kMaxWrittenDocument)
        return;
    m_page->setHtml(html, QUrl(written.value(QStringLiteral("base")).toString()));
}

bool BrowserControl::showsScheme(const QUrl &url)
{
    static const QStringList builtIn = {
        QStringLiteral("http"),  QStringLiteral("https"),      QStringLiteral("file"),   QStringLiteral("about"),
        QStringLiteral("data"),  QStringLiteral("blob"),       QStringLiteral("filesystem"), QStringLiteral("qrc"),
        QStringLiteral("chrome"), QStringLiteral("view-source"), QStringLiteral("devtools")};
    const QString scheme = url.scheme().toLower();
    return builtIn.contains(scheme) || !QWebEngineUrlScheme::schemeByName(scheme.toLatin1()).name().isEmpty();
}

void BrowserControl::raiseNewWindow(const QString &url)
{
    bool processed = false;
    emit NewWindow(url, 0, QString(), QVariant(), QString(), processed);
}

void BrowserControl::raiseCommandStates()
{
    emit CommandStateChange(BrowserCommand::Forward, m_page->history()->canGoForward());
    emit CommandStateChange(BrowserCommand::Back, m_page->history()->canGoBack());
}

void BrowserControl::runOrDefer(std::function<void()> action)
{
    if (m_decidingDepth > 0)
        QTimer::singleShot(0, this, std::move(action));
    else
        action();
}
