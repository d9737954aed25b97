#include "EngineTest.h"

#include <QSignalSpy>
#include <QWebEnginePage>

namespace {

using EngineWarmUp = EngineTest;

// Pages nobody shows: the controls' pages belong to their views, not to the profile.
QList<QWebEnginePage *> sparePages()
{
    return QCoreApplication::instance()->findChildren<QWebEnginePage *>();
}

} // namespace

TEST_F(EngineWarmUp, TheEngineStartsBeforeAnyWindowAndItsSparePageGoesWithTheFirst)
{
    ASSERT_TRUE(sparePages().isEmpty());
    EngineProfile::warmUp();
    EngineProfile::warmUp();
    ASSERT_EQ(sparePages().size(), 1);
    QWebEnginePage *spare = sparePages().first();
    QSignalSpy loaded(spare, &QWebEnginePage::loadFinished);
    ASSERT_TRUE(waitUntil([&] { return !loaded.isEmpty(); }));
    EXPECT_TRUE(loaded.first().first().toBool());

    // The first window takes the running engine; the spare page is not kept.
    BrowserControl &control = newControl();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sparePages().isEmpty());
    ASSERT_TRUE(navigateAndWait(control, logOf(0), fileUrl(writePage(QStringLiteral("a.htm"),
        "<html><head><title>Warm</title></head><body>x</body></html>"))));
    EXPECT_EQ(control.LocationName(), QStringLiteral("Warm"));
    // Once the engine runs, a later warm-up starts nothing more.
    EngineProfile::warmUp();
    EXPECT_TRUE(sparePages().isEmpty());
}
