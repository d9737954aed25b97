#include "app/MainGeometry.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// Qt gives a shown window a new native window when its surface has to change (the
// first page view does that); the window manager takes the state only from the
// window it maps.
class NativeWindowSwap : public QWidget
{
public:
    void replaceNativeWindow()
    {
        destroy();
        create();
    }
};

TEST(WindowState, MinimisedAndMaximisedSurviveANewNativeWindow)
{
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        SCOPED_TRACE(state);
        NativeWindowSwap window;
        window.setGeometry(50, 60, 300, 200);
        MainGeometry::keepStateOnNewNativeWindows(&window);
        window.setWindowState(state);
        window.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.windowHandle()->windowStates() & state);
        window.replaceNativeWindow();
        EXPECT_TRUE(window.windowHandle()->windowStates() & state);
        EXPECT_EQ(window.normalGeometry().size(), QSize(300, 200));
    }
}

} // namespace
