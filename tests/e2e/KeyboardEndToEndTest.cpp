#include "ProgramRun.h"

#include <QThread>
#include <QUrl>

namespace {

// A keyboard user at start: no click, a Tab leads from the empty panel to the address
// field, and an address typed there with Enter loads.
TEST_F(TempEnvTest, AtStartTabReachesTheAddressFieldAndATypedAddressLoads)
{
    const QString page = env.writeFile(QStringLiteral("pages/napsana.html"),
                                       "<meta charset=\"utf-8\"><title>Napsaná</title><p>1</p>");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[about:blank\\]$")));
    QThread::msleep(1500); // the window's load gives the keyboard to the panel last

    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Tab")}));
    QThread::msleep(300);
    ASSERT_TRUE(ProgramRun::type(page));
    ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
    EXPECT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[Napsaná\\]$")));

    ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
}

// Alt+D, with no click anywhere: from a fresh start, and again after the typed address
// has loaded, the window's keys reach the address field.
TEST_F(TempEnvTest, AltDFromAFreshStartAndAfterATypedAddressReachesTheAddressField)
{
    const QString first = env.writeFile(QStringLiteral("pages/prvni.html"),
                                        "<meta charset=\"utf-8\"><title>První</title><p>1</p>");
    const QString second = env.writeFile(QStringLiteral("pages/druha.html"),
                                         "<meta charset=\"utf-8\"><title>Druhá</title><p>2</p>");
    ProgramRun run(env);
    ASSERT_TRUE(run.start({}));
    ASSERT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[about:blank\\]$")));
    QThread::msleep(1500); // the window's load gives the keyboard to the panel last

    for (const auto &[page, title] : {std::pair{first, QStringLiteral("První")}, std::pair{second, QStringLiteral("Druhá")}}) {
        SCOPED_TRACE(title.toStdString());
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("alt+d")}));
        QThread::msleep(300);
        ASSERT_TRUE(ProgramRun::type(page));
        ASSERT_TRUE(ProgramRun::key({QStringLiteral("Return")}));
        EXPECT_TRUE(run.waitForWindow(QStringLiteral("^Vorlan - \\[%1\\]$").arg(title)));
        QThread::msleep(1000);
    }

    ASSERT_TRUE(run.close()) << run.output().toStdString() << run.exitSummary().toStdString();
}

} // namespace
