#include "app/frmSplash.h"
#include "platform/controls/Forms.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(Splash, IsASmallFramelessToolWindowAroundItsText)
{
    frmSplash *splash = Forms::get<frmSplash>();
    splash->show();
    EXPECT_EQ(splash->windowType(), Qt::Tool);
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint) << "no title bar";
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(splash->frameGeometry().size(), QSize(316, 56));
    EXPECT_EQ(splash->Label1->geometry(), QRect(3, 3, 310, 50)) << "the client area inside a border of 3 pixels";
    Forms::unload<frmSplash>();
}

TEST(Splash, ChangesItsTextThenHidesItself)
{
    frmSplash *splash = Forms::get<frmSplash>();
    EXPECT_EQ(splash->windowTitle(), QStringLiteral("Spouštění programu…"));
    EXPECT_EQ(splash->captionText(), QStringLiteral("Spouští se Vorlan 2.4 …"));
    EXPECT_EQ(splash->Timer1->interval(), 150);
    EXPECT_EQ(splash->Timer2->interval(), 2000);
    splash->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash->captionText() == QStringLiteral("Načítání uživatelských nastavení..."); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash->isVisible(); }, 5000));
    EXPECT_TRUE(Forms::isLoaded<frmSplash>()) << "hidden, still loaded";
    Forms::unload<frmSplash>();
}

TEST(Splash, WritingTheTextAfterUnloadLoadsItAgainHidden)
{
    Forms::get<frmSplash>()->show();
    Forms::unload<frmSplash>();
    EXPECT_FALSE(Forms::isLoaded<frmSplash>());
    Forms::get<frmSplash>()->setCaptionText(QStringLiteral("Otevírání okna..."));
    EXPECT_TRUE(Forms::isLoaded<frmSplash>());
    EXPECT_FALSE(Forms::get<frmSplash>()->isVisible());
    Forms::unload<frmSplash>();
}

} // namespace
