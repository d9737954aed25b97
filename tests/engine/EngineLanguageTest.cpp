#include "EngineTest.h"

#include <QApplication>
#include <QMenu>

namespace {

using EngineLanguage = EngineTest;

QVariant evaluate(BrowserControl &control, const QString &script)
{
    QVariant result;
    bool done = false;
    control.runScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    QTest::qWaitFor([&] { return done; }, 30000);
    return result;
}

// The engine's own texts are Czech, as the rest of the program: its error pages, the
// languages pages are asked for and its page menu.
TEST_F(EngineLanguage, TheEnginesOwnPagesAndMenuAreCzech)
{
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);

    // Nothing listens on port 1 of the loopback address: the engine shows its error page.
    ASSERT_TRUE(navigateAndWait(control, log, QStringLiteral("http://127.0.0.1:1/")));
    EXPECT_EQ(evaluate(control, QStringLiteral("document.documentElement.lang")).toString(), QStringLiteral("cs"));
    EXPECT_EQ(evaluate(control, QStringLiteral("navigator.languages[0]")).toString().left(2), QStringLiteral("cs"));

    ASSERT_TRUE(navigateAndWait(control, log, writePage(QStringLiteral("menu.html"), "<title>Menu</title><p>Text</p>")));
    QWidget *view = control.focusProxy();
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseMove(target, QPoint(300, 300));
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    QMenu *menu = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr; }));
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    menu->close();
    EXPECT_TRUE(texts.contains(QStringLiteral("Zpět"))) << texts.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Obnovit"))) << texts.join(QStringLiteral(", ")).toStdString();
}

} // namespace
