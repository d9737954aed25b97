#include "platform/engine/PageProcessGuard.h"

#include "platform/controls/MessageBox.h"
#include "platform/engine/ShownAddress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWidget>

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace {

// Every guard alive, to find the pages that share a process.
QList<PageProcessGuard *> &allGuards()
{
    static QList<PageProcessGuard *> guards;
    return guards;
}

// By system call: this C library declares the wrappers without C linkage.
int openProcess(qint64 pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0U));
}

void endProcessHeldBy(int pidfd)
{
    ::syscall(SYS_pidfd_send_signal, pidfd, SIGKILL, nullptr, 0U);
}

} // namespace

struct PageProcessGuard::Check
{
    qint64 pid = 0;
    int pidfd = -1; // none for the program's own process
    bool answered = false;

    Check() = default;
    Check(const Check &) = delete;
    Check &operator=(const Check &) = delete;
    ~Check()
    {
        if (pidfd >= 0)
            ::close(pidfd);
    }
};

PageProcessGuard::PageProcessGuard(QWebEnginePage *page, QWidget *control)
    : QObject(control)
    , m_page(page)
    , m_control(control)
    , m_alive(std::make_shared<bool>(true))
{
    allGuards().append(this);

    m_cover = new QWidget(control);
    m_cover->setObjectName(QStringLiteral("endedPageCover"));
    m_cover->setAutoFillBackground(true);
    QPalette white = m_cover->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_cover->setPalette(white);
    // The keyboard stays in the window: the engine drops the view's own widget with
    // the process, and the window's keys (Alt+D among them) would go nowhere.
    m_cover->setFocusPolicy(Qt::ClickFocus);
    m_cover->hide();
    control->installEventFilter(this);

    // Handled on the next turn: the engine is still tearing the page's frames down, and
    // an address loaded from inside that would be taken for the load that just failed.
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        const QWidget *focus = QApplication::focusWidget();
        m_keyboardInPage = focus && m_control->isAncestorOf(focus);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        forgetCheck();
        showCover();
        emit processEnded(std::exchange(m_retryAfterEnd, QUrl()));
    }, Qt::QueuedConnection);
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) {
        // The page has left the process it was asked about.
        forgetCheck();
        if (pid > 0)
            hideCover();
    });
    connect(page, &QWebEnginePage::urlChanged, this, &PageProcessGuard::hideCover);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        // The load the ended process was serving fails without an error of its own and
        // shows nothing; a stopped load shows nothing new either.
        const bool showsSomething = info.status() == QWebEngineLoadingInfo::LoadStartedStatus
            || info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
            || (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
                && info.errorDomain() != QWebEngineLoadingInfo::NoErrorDomain);
        if (showsSomething)
            hideCover();
    });
}

PageProcessGuard::~PageProcessGuard()
{
    m_alive.reset();
    allGuards().removeOne(this);
}

void PageProcessGuard::expectAnswer(const QUrl &retry)
{
    m_retry = retry;
    // A question already asked stands, and so does the time it was asked.
    if (m_check)
        return;
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0)
        return;
    auto check = std::make_unique<Check>();
    check->pid = pid;
    if (pid != QCoreApplication::applicationPid()) {
        check->pidfd = openProcess(pid);
        if (check->pidfd < 0)
            return; // gone already
    }
    m_check = std::move(check);
    const quint64 number = ++m_checkNumber;
    std::weak_ptr<bool> alive = m_alive;
    // An empty answer (the document went away) is an answer too.
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [this, alive, number](const QVariant &) {
                              if (!alive.lock() || !m_check || number != m_checkNumber)
                                  return;
                              m_check->answered = true;
                              if (!m_asking)
                                  forgetCheck();
                          });
    // A coarse timer may fire a little early.
    QTimer::singleShot(kAnswerMs, Qt::PreciseTimer, this, [this, number] { onNoAnswer(number); });
}

bool PageProcessGuard::coverShown() const
{
    return m_cover->isVisible();
}

void PageProcessGuard::forgetRetry()
{
    m_retry.clear();
    m_retryAfterEnd.clear();
}

void PageProcessGuard::onNoAnswer(quint64 number)
{
    if (!m_check || number != m_checkNumber || m_check->answered)
        return;
    const qint64 pid = m_check->pid;
    if (m_page->renderProcessPid() != pid) {
        forgetCheck();
        return;
    }
    if (m_check->pidfd < 0) {
        forgetCheck();
        emit notAnswering();
        return;
    }
    QStringList others;
    for (PageProcessGuard *guard : std::as_const(allGuards())) {
        if (guard->m_page->renderProcessPid() != pid)
            continue;
        // A dialog holds the process until the user answers it.
        if (guard->m_waitsForUser && guard->m_waitsForUser()) {
            forgetCheck();
            return;
        }
        if (guard != this)
            others.append(guard->pageName());
    }
    if (!others.isEmpty()) {
        const QPointer<PageProcessGuard> self(this);
        const bool end = userAgreesToEnd(others);
        if (!self)
            return;
        // The page may have answered or moved on while the user read the question.
        const bool stillHung = m_check && number == m_checkNumber && !m_check->answered
            && m_page->renderProcessPid() == pid;
        if (!end || !stillHung) {
            forgetCheck();
            return;
        }
    }
    endProcess();
}

bool PageProcessGuard::userAgreesToEnd(const QStringList &others)
{
    QStringList names;
    for (const QString &name : others)
        names.append(QStringLiteral("„%1“").arg(name));
    MessageBoxRequest request;
    request.prompt = QStringLiteral("Stránka „%1“ neodpovídá.\n\n"
                                    "Běží v jednom procesu se stránkami těchto oken:\n%2\n\n"
                                    "Ukončí-li se, zmizí i ony, se vším, co v nich bylo napsáno. "
                                    "Ukončit stránku? Zvolíte-li Ne, program počká a nic se nezmění.")
                         .arg(pageName(), names.join(QLatin1Char('\n')));
    request.style = MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
    request.parent = m_control->window();
    request.owner = this;
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const QPointer<PageProcessGuard> self(this);
    m_asking = true;
    const int answer = showMessageBox(request);
    if (!self)
        return false;
    m_asking = false;
    if (focus) {
        focus->activateWindow();
        focus->setFocus(Qt::OtherFocusReason);
    }
    return answer == MsgBoxResult::Yes;
}

void PageProcessGuard::endProcess()
{
    m_retryAfterEnd = m_retry;
    endProcessHeldBy(m_check->pidfd);
    forgetCheck();
}

void PageProcessGuard::forgetCheck()
{
    if (!m_check)
        return;
    m_check.reset();
    ++m_checkNumber;
    m_retry.clear();
}

void PageProcessGuard::showCover()
{
    // The view would keep the last picture of a page that is gone, or nothing at all.
    m_cover->setGeometry(m_control->rect());
    m_cover->raise();
    m_cover->show();
    if (std::exchange(m_keyboardInPage, false))
        m_cover->setFocus(Qt::OtherFocusReason);
}

void PageProcessGuard::hideCover()
{
    const bool keyboardHere = m_cover->hasFocus();
    m_cover->hide();
    if (keyboardHere)
        m_control->setFocus(Qt::OtherFocusReason);
}

QString PageProcessGuard::pageName() const
{
    const QString title = m_page->title();
    return title.isEmpty() ? ShownAddress(m_page->url().toString()) : title;
}

bool PageProcessGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control && event->type() == QEvent::Resize)
        m_cover->setGeometry(m_control->rect());
    return QObject::eventFilter(watched, event);
}
