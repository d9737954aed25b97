#include "Waits.h"
#include "app/frmMain.h"
#include "browser/AddressText.h"
#include "browser/WindowTable.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabStrip.h"

#include "LoopbackServer.h"
#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kDeadlineMs = 30000;

// Browser windows in a real main window, over pages in the test's own folder.
class ZoomInspector : public MainWindowTest
{
protected:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        EngineProfile::resetInstance();
        MainWindowTest::SetUp();
        main->resize(1000, 800);
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        EngineProfile::resetInstance();
    }

    QString image(const char *name, int width, int height)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QString path = env.path(QStringLiteral("pages/") + QString::fromLatin1(name));
        picture.save(path);
        return QUrl::fromLocalFile(path).toString();
    }

    QString page(const char *name, const QByteArray &html)
    {
        return QUrl::fromLocalFile(env.writeFile(QStringLiteral("pages/") + QString::fromLatin1(name), html)).toString();
    }

    // Opens a window on the address and waits until its document has loaded.
    frmWeb *open(const QString &address)
    {
        NewWindow(address);
        frmWeb *window = windowTable().slot(shared().WindowCount);
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(waitFor([&] {
            return window->Web->LocationURL() == address && !window->Web->Busy()
                && evaluate(window, QStringLiteral("document.readyState")).toString() == QStringLiteral("complete");
        }, kDeadlineMs));
        return window;
    }

    static QSize imageSize(frmWeb *window)
    {
        const QVariantList pair = evaluate(window, QStringLiteral("[document.images[0].width, document.images[0].height]")).toList();
        return pair.size() == 2 ? QSize(pair[0].toInt(), pair[1].toInt()) : QSize();
    }

    QString zoomPanel() const { return main->sbStatusBar->panel(QStringLiteral("zoom")).text(); }

    void zoomTo(int percent)
    {
        main->sliZoom->setValue(percent);
        main->sliZoom_Change();
    }

    // The widget the page's real mouse input reaches, and a move of the pointer over it.
    static QWidget *inputTarget(frmWeb *window)
    {
        QWidget *view = window->Web->focusProxy();
        EXPECT_NE(view, nullptr);
        return view && view->focusProxy() ? view->focusProxy() : view;
    }
    static void hover(QWidget *target, QPointF point)
    {
        QMouseEvent move(QEvent::MouseMove, point, target->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
    }

    // Moves the mouse onto the point from the page's empty part, as a hand does, until the
    // inspector panel names the tag: an element reports a mouse-over only as the mouse
    // enters it, and the page's listener may not have been there yet the first time.
    bool hoverShows(QWidget *target, QPointF point, const QString &tag)
    {
        const auto named = [&] { return main->sbStatusBar->panel(4).text() == tag; };
        return waitFor([&] {
            hover(target, QPointF(400, 300));
            hover(target, point);
            return QTest::qWaitFor(named, 500);
        }, kDeadlineMs);
    }

    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(ZoomInspector, ALoneImageIsFittedZoomedAndKeepsItsSizeThroughAResize)
{
    shared().AdjustImg = true;
    frmWeb *window = open(image("wide.png", 3000, 600));
    // Fitted at load into the window's own room, the width being the side that does not fit.
    ASSERT_TRUE(waitFor([&] { return imageSize(window).width() < 3000; }, kDeadlineMs));
    const QSize fitted = imageSize(window);
    EXPECT_LE(fitted.width(), window->Web->width());
    EXPECT_NEAR(fitted.height(), fitted.width() / 5, 1);
    const int percent = qRound(fitted.height() * 100.0 / 600);
    EXPECT_TRUE(waitFor([&] { return main->sliZoom->value() == percent; }, kDeadlineMs));
    EXPECT_EQ(zoomPanel(), QString::number(percent) + QStringLiteral(" %"));

    // The engine's own refit on a resize does not undo the zoom.
    const int webWidth = window->Web->width();
    main->resize(main->width() - 200, main->height() - 100);
    EXPECT_TRUE(waitFor([&] { return window->Web->width() < webWidth; }, kDeadlineMs));
    QTest::qWait(0);
    EXPECT_EQ(imageSize(window), fitted);

    zoomTo(150);
    EXPECT_TRUE(waitFor([&] { return imageSize(window) == QSize(4500, 900); }, kDeadlineMs));
    EXPECT_EQ(zoomPanel(), QStringLiteral("150 %"));
    EXPECT_EQ(main->sliZoom->toolTip(), QStringLiteral("150 %"));

    main->ZoomNow();
    EXPECT_TRUE(waitFor([&] { return imageSize(window).width() < 4500; }, kDeadlineMs));
}

// What the panel says is what the user sees: the engine's own shrinking of a lone image,
// and a fit of ours, never pass for the image's own size.
TEST_F(ZoomInspector, ThePanelShowsTheZoomABigImageReallyHas)
{
    frmWeb *window = nullptr;
    const auto shownWidth = [&] {
        return evaluate(window, QStringLiteral("document.images[0].getBoundingClientRect().width")).toDouble();
    };
    const auto panelPercent = [&] { return zoomPanel().section(QLatin1Char(' '), 0, 0).toInt(); };
    const auto panelIsTrue = [&] { return std::abs(shownWidth() - 40.0 * panelPercent()) <= 40.0; };
    const auto why = [&] { return zoomPanel().toStdString() + " for an image shown " + std::to_string(shownWidth()) + " px wide"; };

    shared().AdjustImg = false;
    window = open(image("big.png", 4000, 3000));
    EXPECT_TRUE(waitFor([&] { return zoomPanel() == QStringLiteral("100 %") && panelIsTrue(); }, kDeadlineMs))
        << why();

    shared().AdjustImg = true;
    const QString address = image("big2.png", 4000, 3000);
    window->Web->Navigate(address);
    ASSERT_TRUE(waitFor([&] { return window->Web->LocationURL() == address && !window->Web->Busy(); }, kDeadlineMs));
    EXPECT_TRUE(waitFor([&] { return panelPercent() < 100 && panelIsTrue(); }, kDeadlineMs)) << why();
    // A download that completes once the image is fitted (the navigation's own fit can
    // come first) measures the image anew.
    window->DocumentLoaded();
    EXPECT_TRUE(waitFor([&] { return panelPercent() < 100 && panelIsTrue(); }, kDeadlineMs)) << why();

    const int fitted = panelPercent();
    main->sliZoom->setFocus();
    QTest::keyClick(main->sliZoom, Qt::Key_Right);
    EXPECT_TRUE(waitFor([&] { return panelPercent() == fitted + 1 && panelIsTrue(); }, kDeadlineMs)) << why();
}

TEST_F(ZoomInspector, EachWindowRemembersItsOwnImageAndABackgroundFitLeavesTheSliderAlone)
{
    shared().AdjustImg = false;
    frmWeb *first = open(image("first.png", 400, 300));
    frmWeb *second = open(image("second.png", 200, 100));
    ASSERT_EQ(main->ActiveForm(), second);
    zoomTo(50);
    ASSERT_TRUE(waitFor([&] { return imageSize(second) == QSize(100, 50); }, kDeadlineMs));
    EXPECT_EQ(second->Zoom.origWidth, 200);
    EXPECT_EQ(first->Zoom.origWidth, 0);

    main->mdiArea->setActiveSubWindow(first);
    ASSERT_TRUE(waitFor([&] { return main->ActiveForm() == first; }, kDeadlineMs));
    zoomTo(200);
    ASSERT_TRUE(waitFor([&] { return imageSize(first) == QSize(800, 600); }, kDeadlineMs));
    EXPECT_EQ(imageSize(second), QSize(100, 50));

    // The background window fits itself into its own room without touching the active
    // window's slider.
    main->mdiArea->tileSubWindows();
    main->mdiArea->setActiveSubWindow(first);
    ASSERT_TRUE(waitFor([&] { return second->Web->height() > 100 && main->ActiveForm() == first; }, kDeadlineMs));
    main->sliZoom->setValue(200);
    main->sbStatusBar->panel(QStringLiteral("zoom")).setText(QStringLiteral("200 %"));
    second->resetZoomAfterDownload();
    second->ZoomNow();
    const int roomWidth = (second->Web->width() * 15 - 650) / 15;
    const int roomHeight = (second->Web->height() * 15 - 650) / 15;
    ASSERT_TRUE(waitFor([&] {
        const QSize size = imageSize(second);
        return size.width() >= roomWidth - 1 || size.height() >= roomHeight - 1;
    }, kDeadlineMs));
    EXPECT_EQ(main->sliZoom->value(), 200);
    EXPECT_EQ(zoomPanel(), QStringLiteral("200 %"));
}

TEST_F(ZoomInspector, TheInspectorNamesRealMouseOversOnlyAndPutsTheAddressBack)
{
    const QString address = page("inspect.html", R"(<html><body style="margin:0">
        <a id="link" href="target.html" style="display:block;width:200px;height:100px">link</a>
        <font size="3" face="Arial" color="#ff0000" style="display:block;width:200px;height:100px">font</font>
        <script>window.spoofed = 0;</script></body></html>)");
    frmWeb *window = open(address);
    QWidget *target = inputTarget(window);
    ASSERT_NE(target, nullptr);
    main->txtAddress->setEditText(QStringLiteral("something else"));
    auto panel = [&](int index) { return main->sbStatusBar->panel(index).text(); };

    ASSERT_TRUE(hoverShows(target, QPointF(50, 50), QStringLiteral("A")));
    EXPECT_EQ(panel(5), address.left(address.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral("target.html"));
    EXPECT_NE(main->txtAddress->currentText(), QStringLiteral("something else"));

    ASSERT_TRUE(hoverShows(target, QPointF(50, 150), QStringLiteral("FONT")));
    EXPECT_EQ(panel(5), QStringLiteral("s: 3; f: Arial; c: #ff0000"));

    // The page can neither see the channel nor make up a mouse-over of its own.
    EXPECT_EQ(evaluate(window, QStringLiteral("typeof qt")).toString(), QStringLiteral("undefined"));
    evaluate(window, QStringLiteral("document.getElementById('link').dispatchEvent(new MouseEvent('mouseover', {bubbles: true})); 1"));
    QTest::qWait(0);
    bool spoofed = false;
    // A spoofed mouse-over would show within this while; none must come.
    (void)waitFor([&] {
        spoofed = panel(4) == QStringLiteral("A");
        return spoofed;
    }, 500);
    EXPECT_FALSE(spoofed);
}

TEST_F(ZoomInspector, AHistoryItemChosenInTheFocusedComboMakesWayForThePageAddressOnTheFirstMove)
{
    // Only web addresses enter the history.
    LoopbackServer server("<html><body style=\"margin:0\"><p style=\"margin:0;height:60px\">page</p></body></html>");
    ASSERT_TRUE(server.isListening());
    const QString first = server.address(QStringLiteral("/first.html"));
    const QString second = server.address(QStringLiteral("/second.html"));
    frmWeb *window = open(first);
    window->Web->Navigate(second);
    ASSERT_TRUE(waitFor([&] { return window->Web->LocationURL() == second && !window->Web->Busy(); }, kDeadlineMs));
    QComboBox *combo = main->txtAddress;
    const QString shown = combo->currentText();
    const int chosen = combo->findText(ExtractResFile(first));
    ASSERT_GE(chosen, 0) << "the first page is in the history";

    // The user picks the other page from the list with the keyboard; the combo keeps the focus.
    combo->activateWindow();
    combo->setFocus();
    // Focusing selects the whole text, once the event that gave the focus is over.
    ASSERT_TRUE(waitFor([&] {
        return combo->hasFocus() && combo->lineEdit()->selectedText() == combo->currentText();
    }, kDeadlineMs));
    for (int tries = 0; tries < combo->count() && combo->currentText() == shown; ++tries)
        QTest::keyClick(combo, chosen < combo->currentIndex() ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(combo->currentText(), ExtractResFile(first));
    combo->lineEdit()->setSelection(1, 3);

    QWidget *target = inputTarget(window);
    ASSERT_NE(target, nullptr);
    // The page's hook may come after the pointer entered an element, and the engine
    // merges moves that come fast: the pointer goes in and out at a hand's pace until
    // the element under it is reported.
    const auto hoverUntil = [&](QPointF point, QPointF away, const QString &tag) {
        const auto shown = [&] { return main->sbStatusBar->panel(4).text() == tag; };
        for (int moves = 0; moves < kDeadlineMs / 100 && !shown(); ++moves) {
            hover(target, moves % 2 ? away : point);
            (void)waitFor(shown, 100);
        }
        return shown();
    };
    EXPECT_TRUE(hoverUntil(QPointF(40, 30), QPointF(40, 120), QStringLiteral("P")));
    EXPECT_EQ(combo->currentText(), ExtractResFile(second));
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_EQ(combo->lineEdit()->selectionStart(), 1);
    EXPECT_EQ(combo->lineEdit()->selectedText().size(), 3);

    // Text the user types stays while the combo has the focus.
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("abc"));
    EXPECT_TRUE(hoverUntil(QPointF(40, 120), QPointF(40, 30), QStringLiteral("BODY")));
    EXPECT_EQ(combo->currentText(), QStringLiteral("abc"));
}
