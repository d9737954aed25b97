#include "TestEnvironment.h"

#include "platform/engine/BrowserControl.h"

#include <QDir>
#include <QFileInfo>

// What the user types into the address box becomes the address a user expects.
TEST_F(TempEnvTest, TypedTextBecomesTheExpectedAddress)
{
    const QString odd = env.writeFile(QStringLiteral("pages/a%b #c?.html"), "x");
    const QString folder = QFileInfo(odd).path();
    const struct { const char *name; QString text; QUrl expected; } cases[] = {
        {"a bare host goes over http", QStringLiteral("www.example.org"), QUrl(QStringLiteral("http://www.example.org"))},
        {"blanks around it are ignored", QStringLiteral("  www.example.org  "), QUrl(QStringLiteral("http://www.example.org"))},
        {"a name that is no file is a host", QStringLiteral("nosuch.html"), QUrl(QStringLiteral("http://nosuch.html"))},
        {"an address stays", QStringLiteral("http://127.0.0.1:8080/x?y=1#z"), QUrl(QStringLiteral("http://127.0.0.1:8080/x?y=1#z"))},
        {"about:blank stays", QStringLiteral("about:blank"), QUrl(QStringLiteral("about:blank"))},
        {"an existing file with # ? and % in its name", QStringLiteral("a%b #c?.html"), QUrl::fromLocalFile(odd)},
        {"the same file by its absolute path", odd, QUrl::fromLocalFile(odd)},
        {"empty text makes no address", QString(), QUrl()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BrowserControl::addressFromUserText(c.text, folder), c.expected);
    }
}
