#include "Waits.h"

#include <QApplication>

#include <gtest/gtest.h>

// One QApplication for every test program; widget tests run on the offscreen
// platform unless the environment chose a display.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Shader caches would land in the real home before any test points HOME elsewhere.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    installTestDeadline();
    return RUN_ALL_TESTS();
}
