#include "Waits.h"
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
    waitFor([&] { return done; }, 30000);
    return result;
}

// Right-clicks the control at the point and returns the texts of the visible items of
// the menu that pops up; empty when none does.
QStringList pageMenuTexts(BrowserControl &control, const QPoint &at)
{
    QWidget *view = control.focusProxy();
    QWidget *target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, at);
    QMenu *menu = nullptr;
    if (!waitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr; },
                         30000))
        return {};
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator() && action->isVisible())
            texts << action->text();
    }
    menu->close();
    return texts;
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
    const QStringList texts = pageMenuTexts(control, QPoint(300, 300));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts.contains(QStringLiteral("Zpět"))) << texts.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Obnovit"))) << texts.join(QStringLiteral(", ")).toStdString();
}

// The program has windows and no tabs: a link's menu offers a new window once.
TEST_F(EngineLanguage, ALinksMenuOffersANewWindowOnce)
{
    BrowserControl &control = newControl();
    BrowserEventLog &log = logOf(0);
    ASSERT_TRUE(navigateAndWait(control, log, writePage(QStringLiteral("link.html"),
        "<title>Odkaz</title><a href=\"other.html\" style=\"display:block;font-size:80px\">Jinam</a>")));
    const QStringList texts = pageMenuTexts(control, QPoint(60, 50));
    ASSERT_TRUE(texts.contains(QStringLiteral("Kopírovat adresu odkazu"))) << texts.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(texts.count(QStringLiteral("Otevřít odkaz v novém okně")), 1) << texts.join(QStringLiteral(", ")).toStdString();
}

} // namespace
