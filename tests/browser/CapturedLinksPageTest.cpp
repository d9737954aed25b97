#include "browser/CapturedLinksPage.h"

#include "TestEnvironment.h"
#include "WriteFailure.h"
#include "platform/system/ErrorState.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kDate = QStringLiteral("6.12.2026 17:00:00");

QList<CapturedLink> fiveLinks()
{
    return {
        {QStringLiteral("Mail 1"), QStringLiteral("mailto:a@b.test"), QStringLiteral("Src"), QStringLiteral("mailto:")},
        {QStringLiteral("Web"), QStringLiteral("http://h/"), QStringLiteral("Src"), QStringLiteral("http:")},
        {QStringLiteral("Mail 2"), QStringLiteral("mailto:c@d.test"), QStringLiteral("Src"), QStringLiteral("mailto:")},
        {QStringLiteral("Ftp"), QStringLiteral("ftp://h/f"), QStringLiteral("Src"), QStringLiteral("ftp:")},
        {QStringLiteral("File"), QStringLiteral("file:///x"), QStringLiteral("Src"), QStringLiteral("file:")},
    };
}

QStringList lines(const QString &html)
{
    QStringList result = html.split(QStringLiteral("\r\n"));
    EXPECT_EQ(result.takeLast(), QString()); // the last line ends with CR LF too
    return result;
}

} // namespace

TEST(CapturedLinksPage, LayoutPerMode)
{
    const QString head = QStringLiteral("<HTML><HEAD><TITLE>Captured links 6.12.2026 17:00:00</TITLE></HEAD>");
    const struct { int mode; QStringList body; } cases[] = {
        {1,
         {QStringLiteral("Src: <A href=\"mailto:a@b.test\">Mail 1</A><BR>"), QStringLiteral("Src: <A href=\"http://h/\">Web</A><BR>"),
          QStringLiteral("Src: <A href=\"mailto:c@d.test\">Mail 2</A><BR>"), QStringLiteral("Src: <A href=\"ftp://h/f\">Ftp</A><BR>"),
          QStringLiteral("Src: <A href=\"file:///x\">File</A><BR>")}},
        {7,
         {QStringLiteral("<A href=\"mailto:a@b.test\">Src: Mail 1</A><BR>"),
          QStringLiteral("<A href=\"mailto:c@d.test\">Src: Mail 2</A><BR>")}},
        {8,
         {QStringLiteral("<A href=\"http://h/\">Src: Web</A><BR>"), QStringLiteral("<A href=\"ftp://h/f\">Src: Ftp</A><BR>"),
          QStringLiteral("<A href=\"file:///x\">Src: File</A><BR>")}},
        {2, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        const QStringList expected = QStringList{capturedLinksHeader(), head} + c.body + QStringList{QStringLiteral("</HTML>")};
        EXPECT_EQ(lines(CapturedLinksHtml(fiveLinks(), c.mode, kDate)), expected);
    }
}

TEST(CapturedLinksPage, PageTextCannotInjectMarkup)
{
    const CapturedLink hostile{QStringLiteral("<script>alert(1)</script> & co"), QStringLiteral("http://h/?a=1&b=\"><script>"),
                               QStringLiteral("<b>\"Src\"</b>"), QStringLiteral("http:")};
    const QStringList page = lines(CapturedLinksHtml({hostile}, 1, kDate));
    EXPECT_EQ(page.at(2), QStringLiteral("&lt;b&gt;&quot;Src&quot;&lt;/b&gt;: <A href=\"http://h/?a=1&amp;b=&quot;&gt;&lt;script&gt;\">"
                                         "&lt;script&gt;alert(1)&lt;/script&gt; &amp; co</A><BR>"));
    EXPECT_EQ(escapedHtml(QStringLiteral("<last>")), QStringLiteral("&lt;last&gt;"));
}

TEST(CapturedLinksPage, ScriptLinksAreWrittenAsInertText)
{
    // Opening the saved page must never run a script a captured page carried.
    const QList<CapturedLink> links = {
        {QStringLiteral("Run"), QStringLiteral("javascript:alert(\"<x>\")"), QStringLiteral("Src"), QStringLiteral("javascript:")},
        {QStringLiteral("Tabbed"), QStringLiteral(" java\tScript:void(0)"), QStringLiteral("Src"), QStringLiteral("http:")},
        {QStringLiteral("Web"), QStringLiteral("http://h/javascript:x"), QStringLiteral("Src"), QStringLiteral("http:")},
    };
    const QStringList all = lines(CapturedLinksHtml(links, LinkSaveMode::All, kDate));
    EXPECT_EQ(all.at(2), QStringLiteral("Src: <A title=\"javascript:alert(&quot;&lt;x&gt;&quot;)\">Run</A><BR>"));
    EXPECT_EQ(all.at(3), QStringLiteral("Src: <A title=\" java\tScript:void(0)\">Tabbed</A><BR>"));
    EXPECT_EQ(all.at(4), QStringLiteral("Src: <A href=\"http://h/javascript:x\">Web</A><BR>"));
    EXPECT_EQ(lines(CapturedLinksHtml(links, LinkSaveMode::AllButEmail, kDate)).at(2),
              QStringLiteral("<A title=\"javascript:alert(&quot;&lt;x&gt;&quot;)\">Src: Run</A><BR>"));
}

TEST(CapturedLinksPage, FileIsUtf8BehindAByteOrderMark)
{
    const QByteArray bytes = capturedLinksFileBytes(QStringLiteral("Nápis"));
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBFN\xC3\xA1pis"));
}

using CapturedLinksFile = TempEnvTest;

TEST_F(CapturedLinksFile, ReplacesAnExistingFileWhole)
{
    const QString path = env.writeFile(QStringLiteral("out/links.htm"), QByteArray(10000, 'x'));
    writeCapturedLinksFile(path, "new");
    EXPECT_EQ(TestEnvironment::readFile(path), QByteArray("new"));
}

TEST_F(CapturedLinksFile, AFailedWriteRaisesAndLeavesNoPartialFile)
{
    const QString folder = env.path(QStringLiteral("full"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/links.htm");
    int number = 0;
    {
        WriteFailure failure(WriteFailureKind::CutShort, folder);
        try {
            writeCapturedLinksFile(path, QByteArray(4096, 'y'));
        } catch (const RuntimeError &error) {
            number = error.number();
        }
    }
    EXPECT_EQ(number, 75);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
