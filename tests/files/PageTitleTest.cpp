#include "files/PageTitle.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(PageTitle, Rules)
{
    struct Case { const char *what; QByteArray page; const char *title; };
    const Case cases[] = {
        {"plain", "<html><head><title>Pokus</title>", "Pokus"},
        {"tag in capitals", "<TITLE>Velk\xC3\xA1</TITLE>", "Velká"},
        {"entities", "<title>a &amp; b &lt;c&gt; &quot;d&quot;&nbsp;e</title>", "a & b <c> \"d\" e"},
        {"empty element", "<title></title>", ""},
        {"no tag", "<html><body>nic</body></html>", "[untitled]"},
        {"nothing", "", "[untitled]"},
        {"CR LF joins without a blank", "<title>Prvn\xC3\xAD\r\nDruh\xC3\xA1</title>", "PrvníDruhá"},
        {"two line feeds give a blank", "<title>jedna\n\ndva</title>", "jedna dva"},
        {"tag with attributes is none", "<title lang=cs>X</title>", "[untitled]"},
        {"blanks around", "<title>  mezery  </title>", "mezery  "},
        {"no closing tag: the last character goes", "<title>Konec", "Kone"},
        {"Windows-1250", "<title>P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD</title>", "Příliš žluťoučký"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pageTitle(c.page), QString::fromUtf8(c.title));
    }
}

TEST(PageTitle, AHeadCutInsideALetterIsStillUtf8)
{
    QByteArray head = "<title>\xC5\x99\xC5\x99</title>" + QByteArray(100, 'x') + "\xC5";
    EXPECT_EQ(pageTitle(head), QStringLiteral("řř"));
}

TEST_F(TempEnvTest, FileTitleReadsOnlyTheHead)
{
    const QString late = env.writeFile(QStringLiteral("late.html"), QByteArray(PageTitleHead, ' ') + "<title>Pozd\xC4\x9B</title>");
    const QString early = env.writeFile(QStringLiteral("early.html"), "<title>Brzy</title>" + QByteArray(PageTitleHead, ' '));
    EXPECT_EQ(GetFileTitle(late), QStringLiteral("[untitled]"));
    EXPECT_EQ(GetFileTitle(early), QStringLiteral("Brzy"));
    EXPECT_EQ(GetFileTitle(env.path(QStringLiteral("missing.html"))), QStringLiteral("[untitled]"));
}
