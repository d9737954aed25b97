#include "EngineTest.h"

#include "ScriptedMessageBoxes.h"
#include "SpecialFiles.h"

#include <QFileInfo>

namespace {

using UnusableAddress = EngineTest;

// Text the engine cannot load must not leave a silently blank window behind.
TEST_F(UnusableAddress, TextThatMakesNoAddressOrAnAddressTheEngineWillNotShowIsReported)
{
    ScriptedMessageBoxes boxes;
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    const QString page = writePage(QStringLiteral("fine.html"), "<title>Fine</title>");
    const QString pipe = QFileInfo(page).path() + QStringLiteral("/pipe");
    ASSERT_TRUE(SpecialFiles::makePipe(pipe));

    struct Case { QString text; QString message; };
    const Case cases[] = {
        {QStringLiteral("not a url %%% <>"), QStringLiteral("„not a url %%% <>“ není platná adresa.")},
        {QStringLiteral("ftp://127.0.0.1/"), QStringLiteral("Adresu „ftp://127.0.0.1/“ program nedokáže otevřít.")},
        // The engine adds the "/" of an empty path before it drops the address.
        {QStringLiteral("ftp://x"), QStringLiteral("Adresu „ftp://x/“ program nedokáže otevřít.")},
        {QStringLiteral("nosuchscheme:abc"), QStringLiteral("Adresu „nosuchscheme:abc“ program nedokáže otevřít.")},
        // The engine would wait on a pipe for ever, and the program with it.
        {QUrl::fromLocalFile(pipe).toString(),
         QStringLiteral("Adresu „%1“ program nedokáže otevřít.").arg(QUrl::fromLocalFile(pipe).toString())},
    };
    for (const Case &unusable : cases) {
        SCOPED_TRACE(unusable.text.toStdString());
        boxes.shown.clear();
        control.Navigate(unusable.text);
        ASSERT_TRUE(waitUntil([&] { return !boxes.shown.isEmpty(); }));
        EXPECT_EQ(boxes.shown[0].prompt, unusable.message);
        EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    }

    // Addresses the engine shows, or that run in the page, say nothing.
    boxes.shown.clear();
    ASSERT_TRUE(navigateAndWait(control, log, page));
    control.Navigate(QStringLiteral("javascript:document.title = 'Changed'"));
    control.Navigate(QString());
    control.Navigate(QStringLiteral("   "));
    ASSERT_TRUE(waitUntil([&] { return control.LocationName() == QStringLiteral("Changed"); }));
    ASSERT_TRUE(navigateAndWait(control, log, QStringLiteral("about:blank")));
    ASSERT_TRUE(navigateAndWait(control, log, page));
    // A load the user stops is no failure either.
    control.Navigate(page);
    control.Stop();
    ASSERT_TRUE(navigateAndWait(control, log, QStringLiteral("about:blank")));
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.value(0).prompt.toStdString();
}

} // namespace
