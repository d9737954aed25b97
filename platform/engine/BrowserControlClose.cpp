// Closing a page's window: the page is asked first, so that what the user typed into it
// is not lost without a word.
#include "platform/engine/BrowserControl.h"

#include "platform/engine/BrowserPage.h"
#include "platform/engine/PageProcessGuard.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWebEngineView>

namespace {

// How long a page may take to answer whether it may close while it asks nothing; a page
// whose process does not answer is closed after that.
constexpr int kCloseAnswerMs = 3000;
// Time for the engine to finish with a leave question the user refused (a turn of its
// loop was enough in every try; this leaves room for a loaded machine).
constexpr int kLeaveSettleMs = 500;

} // namespace

void BrowserControl::installCloseQuestion()
{
    // Closing the window from inside the engine's own call would pull the page from
    // under it.
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &BrowserControl::onWindowCloseRequested,
            Qt::QueuedConnection);
    m_page->setLeaveRefusedHandler([this] {
        m_leaveRefused.start();
        QTimer::singleShot(0, this, [this] {
            answerClose(false);
            emit LeaveRefused();
        });
    });
    m_closeDeadline = new QTimer(this);
    m_closeDeadline->setSingleShot(true);
    m_closeDeadline->setInterval(kCloseAnswerMs);
    connect(m_closeDeadline, &QTimer::timeout, this, [this] {
        // The user is not hurried: the question stays until answered.
        if (pageDialogOpen())
            m_closeDeadline->start();
        else
            answerClose(true);
    });
    // The page's input reaches the view's children, which the view makes and replaces
    // as pages come and go.
    watchPageInput(m_view);
}

void BrowserControl::watchPageInput(QObject *object)
{
    object->installEventFilter(this);
    for (QObject *child : object->children()) {
        if (child->isWidgetType())
            watchPageInput(child);
    }
}

bool BrowserControl::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            watchPageInput(child);
        break;
    }
    case QEvent::MouseButtonPress: {
        m_pageTouched = true;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        noteActivation(false, mouse->modifiers(), mouse->button());
        break;
    }
    case QEvent::TouchBegin:
        m_pageTouched = true;
        noteActivation(false, Qt::NoModifier, Qt::LeftButton);
        break;
    case QEvent::KeyPress: {
        m_pageTouched = true;
        const auto *key = static_cast<QKeyEvent *>(event);
        // The keys that follow a link or send a form; typing does not.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            noteActivation(true, key->modifiers(), Qt::NoButton);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool BrowserControl::pageDialogOpen() const
{
    return m_page->dialogOpen();
}

bool BrowserControl::asksBeforeClosing() const
{
    return m_pageTouched && !pageDialogOpen() && !m_processGuard->coverShown();
}

void BrowserControl::askToClose(std::function<void(bool mayClose)> answer)
{
    if (!asksBeforeClosing()) {
        answer(true);
        return;
    }
    m_closeAnswers.push_back(std::move(answer));
    if (m_closeAnswers.size() > 1)
        return;
    m_closeDeadline->start();
    // The engine drops a close asked for while it still finishes a leave question the
    // user has just answered (closed by quitting, say): the page would then neither ask
    // nor agree, and the deadline would close it unasked.
    const qint64 sinceRefusal = m_leaveRefused.isValid() ? m_leaveRefused.elapsed() : kLeaveSettleMs;
    if (sinceRefusal >= kLeaveSettleMs) {
        m_page->triggerAction(QWebEnginePage::RequestClose);
        return;
    }
    QTimer::singleShot(kLeaveSettleMs - sinceRefusal, this, [this] {
        if (!m_closeAnswers.empty())
            m_page->triggerAction(QWebEnginePage::RequestClose);
    });
}

void BrowserControl::onWindowCloseRequested()
{
    // The engine at times still reports the close the user has just refused.
    if (m_closeAnswers.empty() && m_leaveRefused.isValid() && m_leaveRefused.elapsed() < kCloseAnswerMs)
        return;
    if (m_closeAnswers.empty())
        emit Quit();
    else
        answerClose(true);
}

void BrowserControl::answerClose(bool mayClose)
{
    m_closeDeadline->stop();
    // An answer may close the window and with it this control.
    const std::weak_ptr<bool> alive = m_alive;
    for (auto &answer : std::exchange(m_closeAnswers, {})) {
        if (!alive.lock())
            return;
        answer(mayClose);
    }
}
