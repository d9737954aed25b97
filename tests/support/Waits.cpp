#include "Waits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString describe(QWidget *widget)
{
    QString text;
    if (auto *box = qobject_cast<QMessageBox *>(widget))
        text = box->text();
    else if (const QLabel *label = widget->findChild<QLabel *>(); label && !label->text().isEmpty())
        text = label->text();
    QString name = QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                  widget->windowTitle());
    if (!text.isEmpty())
        name += QStringLiteral(": ") + text;
    return name;
}

QString joined(const QStringList &names)
{
    return names.join(QStringLiteral("; "));
}

} // namespace

QStringList closeOpenDialogs()
{
    QStringList names;
    while (QWidget *popup = QApplication::activePopupWidget()) {
        names << describe(popup);
        if (!popup->close())
            break;
    }
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible()) {
            names << describe(dialog);
            dialog->reject();
        }
    }
    return names;
}

void failOnOpenDialogs(const char *when)
{
    const QStringList open = closeOpenDialogs();
    if (!open.isEmpty())
        ADD_FAILURE() << "still open " << when << ": " << joined(open).toStdString();
}

bool waitFor(const std::function<bool()> &condition, int deadlineMs)
{
    const int level = QThread::currentThread()->loopLevel();
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        expired = true;
        // Inside the wait's own turns nothing is held up; inside a loop that runs within
        // the wait, that loop would keep the wait from ever returning.
        const bool nested = QThread::currentThread()->loopLevel() > level;
        const QStringList open = closeOpenDialogs();
        if (nested || !open.isEmpty())
            ADD_FAILURE() << "a wait of " << deadlineMs << " ms ran out"
                          << (nested ? " inside an event loop started within it" : "")
                          << (open.isEmpty() ? "" : "; closed: ") << joined(open).toStdString();
    });
    deadline.start(deadlineMs);
    // The timer ends the wait; the wait's own limit is only there should the timer
    // never get a turn.
    (void)QTest::qWaitFor([&] { return expired || condition(); }, deadlineMs + 5000);
    return !expired && condition();
}

namespace {

class TestDeadline : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo &) override
    {
        const int ms = qEnvironmentVariableIsSet("VORLAN_TEST_DEADLINE_MS")
                           ? qEnvironmentVariableIntValue("VORLAN_TEST_DEADLINE_MS")
                           : 150000;
        m_timer = new QTimer;
        m_timer->setSingleShot(true);
        QObject::connect(m_timer, &QTimer::timeout, [ms] {
            const QStringList open = closeOpenDialogs();
            ADD_FAILURE() << "the test ran past its deadline of " << ms << " ms"
                          << (open.isEmpty() ? "" : "; closed: ") << joined(open).toStdString();
        });
        m_timer->start(ms);
    }
    void OnTestEnd(const ::testing::TestInfo &) override { delete m_timer.data(); }

private:
    QPointer<QTimer> m_timer;
};

} // namespace

void installTestDeadline()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestDeadline);
}
