#include "app/frmMain.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StatusPanel.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/ToolbarButton.h"
#include "platform/engine/BrowserControl.h"

#include "MainWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <signal.h>

namespace {

// Generous beside the second a user waits, short beside the minutes a page whose process
// does not answer keeps a window unusable.
constexpr int kDeadlineMs = 10000;

// A browser window whose page's process stops answering, or ends, driven as a user does.
class UnansweringPage : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window = openWindow(env.writeFile("pages/start.html", "<title>Start</title><p>start</p>"), "Start");
        ASSERT_NE(window, nullptr);
    }

    void typeAddress(const QString &text)
    {
        QApplication::setActiveWindow(main);
        QLineEdit *field = main->txtAddress->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    // A text file of 1 GiB: its layout keeps the page's process busy for minutes.
    QString hugeTextFile()
    {
        const QString path = env.writeFile("pages/velky.txt", QByteArray("řádek textu\n").repeated(1000));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(qint64(1) << 30));
        return path;
    }

    bool showsEmptyPage() const
    {
        const QWidget *cover = window->Web->findChild<QWidget *>(QStringLiteral("endedPageCover"));
        return cover && cover->isVisible();
    }
    QString progress() const { return main->sbStatusBar->panel(QStringLiteral("prg")).text(); }

    frmWeb *window = nullptr;
};

TEST_F(UnansweringPage, StopAndANewAddressWorkWhileTheHugeFileIsLaidOut)
{
    const QString huge = hugeTextFile();
    typeAddress(huge);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "velky.txt"; }, kDeadlineMs));
    QTest::qWait(1500);
    ASSERT_TRUE(window->Web->Busy()) << "the file loaded whole: nothing to stop";

    QToolButton *stop = main->tbToolbar[1]->button(QStringLiteral("stop")).widget();
    QTest::mouseClick(stop, Qt::LeftButton, {}, stop->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Web->Busy(); }, kDeadlineMs)) << "Zastavit did nothing";
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress() == "Hotovo"; }, kDeadlineMs)) << progress().toStdString();
    EXPECT_EQ(window->ProgressText, "Hotovo");
    EXPECT_TRUE(showsEmptyPage());
    EXPECT_EQ(QUrl(window->Web->LocationURL()).toLocalFile(), huge);
    EXPECT_EQ(main->txtAddress->currentText(), huge);
    EXPECT_EQ(window->windowTitle(), "velky.txt");
    EXPECT_EQ(main->tbsWindows->caption(WindowTabKey(window->number())), "velky.txt");
    EXPECT_TRUE(main->tbToolbar[1]->button(QStringLiteral("back")).isEnabled()) << "the history was lost";

    typeAddress(env.writeFile("pages/dalsi.html", "<title>Další</title><p>2</p>"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Další"; }, kDeadlineMs));
    EXPECT_FALSE(showsEmptyPage());

    // A new address typed while the page does not answer, without Zastavit.
    typeAddress(huge);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "velky.txt"; }, kDeadlineMs));
    QTest::qWait(1500);
    typeAddress(env.writeFile("pages/treti.html", "<title>Třetí</title><p>3</p>"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Třetí" && !window->Web->Busy(); }, kDeadlineMs))
        << window->windowTitle().toStdString();
}

TEST_F(UnansweringPage, APageWhoseProcessEndedShowsAnEmptyPageAndLoadsTheNextAddress)
{
    auto *view = window->Web->findChild<QWebEngineView *>();
    ASSERT_NE(view, nullptr);
    const qint64 pid = view->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    const QString address = window->Web->LocationURL();
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return showsEmptyPage(); }, kDeadlineMs));
    EXPECT_EQ(window->Web->LocationURL(), address);
    EXPECT_EQ(window->windowTitle(), "Start");
    EXPECT_EQ(progress(), "Hotovo");

    typeAddress(env.writeFile("pages/znovu.html", "<title>Znovu</title><p>z</p>"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == "Znovu"; }, kDeadlineMs));
    EXPECT_FALSE(showsEmptyPage());
}

} // namespace
