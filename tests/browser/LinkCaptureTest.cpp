#include "browser/LinkSnapshot.h"

#include <gtest/gtest.h>

namespace {

const QString kPage = QStringLiteral("file:///home/u/site/page.htm");

LinkInfo link(const QString &href, const QString &text = QStringLiteral("x"), const QString &title = {})
{
    const QString protocol = href.left(href.indexOf(QLatin1Char(':')) + 1);
    return {href, protocol, text, title};
}

DocumentSnapshot body(const QString &url, QList<LinkInfo> links)
{
    return {QStringLiteral("BODY"), url, std::move(links)};
}

PageSnapshot page(DocumentSnapshot top, QList<DocumentSnapshot> frames = {})
{
    return {true, QStringLiteral("Titulek"), std::move(top), std::move(frames)};
}

QStringList urls(const QList<LinkRow> &rows)
{
    QStringList result;
    for (const LinkRow &row : rows)
        result.append(row.url);
    return result;
}

QList<LinkRow> capture(const PageSnapshot &snapshot, int mode)
{
    return capturedLinkRows(snapshot, mode, 0, {});
}

} // namespace

TEST(LinkLocality, FragmentsAndQueriesToThePageItselfAreLocalOtherFilesAreNot)
{
    const struct { QString href; bool local; } cases[] = {
        {kPage + QStringLiteral("#part"), true},
        {kPage + QStringLiteral("?q=1"), true},
        {kPage, true},
        {QStringLiteral("file:///home/u/site/other.htm"), false},
        {kPage.chopped(1), false},
        {QStringLiteral("FILE:///home/u/site/page.htm"), false},
        {QStringLiteral("file://home/u/site/page.htm#a"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.href.toStdString());
        EXPECT_EQ(isLocalLink(c.href, kPage), c.local);
    }
    EXPECT_TRUE(isLocalLink(QStringLiteral("http://h/a/b.htm#x"), QStringLiteral("http://h/a/b.htm")));
    EXPECT_TRUE(isLocalLink(QStringLiteral("file:///c/d.htm"), QStringLiteral("file:///c\\d.htm")));
}

TEST(LinkCaption, TextThenTitleThenLastPathPart)
{
    const struct { LinkInfo link; int mode; QString caption; } cases[] = {
        {link(QStringLiteral("http://h/a/last"), QStringLiteral("  Text "), QStringLiteral("t")), 1, QStringLiteral("Text")},
        {link(QStringLiteral("http://h/a/last"), {}, QStringLiteral(" Title ")), 1, QStringLiteral("Title")},
        {link(QStringLiteral("http://h/a/last"), {}, {}), 1, QStringLiteral("<last>")},
        {link(QStringLiteral("http://h/a/"), {}, {}), 3, QStringLiteral("<>")},
        {link(QStringLiteral("http://h/a/last"), QStringLiteral("  "), QStringLiteral("title")), 1, QString()},
        {link(QStringLiteral("http://h/a/last"), {}, QStringLiteral("title")), 4, QString()},
        {link(QStringLiteral("http://h/"), QStringLiteral("end\r\n")), 1, QStringLiteral("end ")},
        {link(QStringLiteral("http://h/"), QStringLiteral("two\nlines")), 2, QStringLiteral("two lines")},
        {link(QStringLiteral("http://h/"), QStringLiteral("a\rb\bc")), 1, QStringLiteral("a bc")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        EXPECT_EQ(linkCaption(c.link, c.mode), c.caption);
    }
}

TEST(LinkCaptureModes, EachModeTakesItsLinks)
{
    const LinkInfo self = link(kPage + QStringLiteral("#a"), QStringLiteral("self"));
    const LinkInfo selfNoText = link(kPage + QStringLiteral("?q"), {});
    const LinkInfo sibling = link(QStringLiteral("file:///home/u/site/other.htm"), QStringLiteral("sib"));
    const LinkInfo outNoText = link(QStringLiteral("http://example.test/"), {});
    const LinkInfo blanks = link(QStringLiteral("http://example.test/b"), QStringLiteral("  "));
    const PageSnapshot snapshot = page(body(kPage, {self, selfNoText, sibling, outNoText, blanks}));
    const struct { int mode; QStringList taken; } cases[] = {
        {1, {self.href, selfNoText.href, sibling.href, outNoText.href, blanks.href}},
        {2, {self.href, selfNoText.href}},
        {3, {sibling.href, outNoText.href, blanks.href}},
        {4, {self.href, sibling.href, blanks.href}},
        {5, {self.href}},
        {6, {sibling.href, blanks.href}},
        {0, {}},
        {7, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(urls(capture(snapshot, c.mode)), c.taken);
    }
}

TEST(LinkCaptureRows, RowsCarryKeyCaptionUrlSourceAndProtocol)
{
    const PageSnapshot snapshot = page(body(kPage, {link(QStringLiteral("mailto:a@b.test"), QStringLiteral("Mail")),
                                                    link(QStringLiteral("https://h/x"), QStringLiteral("X"))}));
    const QList<LinkRow> rows = capturedLinkRows(snapshot, 1, 3, {});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].key, QStringLiteral("mailto:a@b.test3"));
    EXPECT_EQ(rows[0].caption, QStringLiteral("Mail"));
    EXPECT_EQ(rows[0].source, QStringLiteral("Titulek"));
    EXPECT_EQ(rows[0].iconKey, QStringLiteral("mailto:"));
    EXPECT_EQ(rows[1].key, QStringLiteral("https://h/x4"));
    EXPECT_EQ(rows[1].iconKey, QStringLiteral("https:"));
}

TEST(LinkCaptureRows, FramesetAddsNothingOfItsOwnFramesFollowInOrder)
{
    const QString frameA = QStringLiteral("file:///f/a.htm");
    const QString frameB = QStringLiteral("file:///f/b.htm");
    DocumentSnapshot frameset{QStringLiteral("FRAMESET"), QStringLiteral("file:///f/index.htm"),
                              {link(QStringLiteral("http://h/hidden"))}};
    const PageSnapshot snapshot = page(frameset, {body(frameA, {link(QStringLiteral("http://h/1"))}),
                                                  body(frameB, {link(frameB + QStringLiteral("#x"))})});
    EXPECT_EQ(urls(capture(snapshot, 1)), (QStringList{QStringLiteral("http://h/1"), frameB + QStringLiteral("#x")}));
    // A frame's links are local to the frame's own address; their source is the window's title.
    const QList<LinkRow> local = capture(snapshot, 2);
    ASSERT_EQ(local.size(), 1);
    EXPECT_EQ(local[0].source, QStringLiteral("Titulek"));
}

TEST(LinkCaptureRows, CapturingTwiceListsEveryLinkTwiceWithPositionKeys)
{
    QList<LinkInfo> links;
    for (int i = 0; i < 5; ++i)
        links.append(link(QStringLiteral("http://h/%1").arg(i)));
    const PageSnapshot snapshot = page(body(kPage, links));
    QSet<QString> keys;
    const auto taken = [&](const QString &key) { return keys.contains(key); };
    for (const LinkRow &row : capturedLinkRows(snapshot, 1, 0, taken))
        keys.insert(row.key);
    const QList<LinkRow> second = capturedLinkRows(snapshot, 1, 5, taken);
    ASSERT_EQ(second.size(), 5);
    EXPECT_EQ(second[0].key, QStringLiteral("http://h/05"));
}

TEST(LinkCaptureRows, TakenKeysMoveOnSoNoLinkIsDropped)
{
    // After removals the row count can point at a key still in the list, and an href
    // ending in a digit can meet another href's key.
    const QSet<QString> existing = {QStringLiteral("http://h/a2"), QStringLiteral("http://h/a3")};
    const PageSnapshot snapshot = page(body(kPage, {link(QStringLiteral("http://h/a")), link(QStringLiteral("http://h/a"))}));
    const QList<LinkRow> rows = capturedLinkRows(snapshot, 1, 2, [&](const QString &k) { return existing.contains(k); });
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].key, QStringLiteral("http://h/a4"));
    EXPECT_EQ(rows[1].key, QStringLiteral("http://h/a5"));

    const PageSnapshot digits = page(body(kPage, {link(QStringLiteral("http://h/a1")), link(QStringLiteral("http://h/a"))}));
    const QList<LinkRow> collide = capturedLinkRows(digits, 1, 9, {});
    ASSERT_EQ(collide.size(), 2);
    EXPECT_NE(collide[0].key, collide[1].key);
}

TEST(LinkSnapshotJson, ReadsTheScriptsAnswer)
{
    // Title, document count, then per document: body tag, URL, link count and the
    // links: href and text, or a marked href, text, protocol and title.
    const QString json = QStringLiteral(
        R"([ "T\"\\\/\b\f\n\r\t\u010c\ud83d\ude00", "2",)"
        R"( "BODY", "http://h/", "3", "http://h/a", "A", "\u0000http://h/b", "B", "", "tb",)"
        R"( "\u0000http://[x/", "", ":", "",)"
        "\n"
        R"( "FRAMESET", "http://h/f", "0" ])");
    const PageSnapshot snapshot = pageSnapshotFromJson(json);
    EXPECT_TRUE(snapshot.valid);
    EXPECT_EQ(snapshot.title, QStringLiteral("T\"\\/\b\f\n\r\t\u010C\U0001F600"));
    ASSERT_EQ(snapshot.top.links.size(), 3);
    EXPECT_EQ(snapshot.top.links[0].href, QStringLiteral("http://h/a"));
    EXPECT_EQ(snapshot.top.links[0].protocol, QStringLiteral("http:"));
    EXPECT_EQ(snapshot.top.links[0].text, QStringLiteral("A"));
    EXPECT_EQ(snapshot.top.links[0].title, QString());
    EXPECT_EQ(snapshot.top.links[1].href, QStringLiteral("http://h/b"));
    EXPECT_EQ(snapshot.top.links[1].protocol, QStringLiteral("http:"));
    EXPECT_EQ(snapshot.top.links[1].title, QStringLiteral("tb"));
    EXPECT_EQ(snapshot.top.links[2].href, QStringLiteral("http://[x/"));
    EXPECT_EQ(snapshot.top.links[2].protocol, QStringLiteral(":"));
    ASSERT_EQ(snapshot.frames.size(), 1);
    EXPECT_EQ(snapshot.frames[0].bodyTag, QStringLiteral("FRAMESET"));
    EXPECT_EQ(snapshot.frames[0].url, QStringLiteral("http://h/f"));
}

TEST(LinkSnapshotJson, AnAnswerThatDoesNotAddUpIsRefused)
{
    const char *const answers[] = {
        "", "null", "[]", "[\"T\"]", "[\"T\",\"0\"]", "[\"T\",\"1\"]",
        "[\"T\",\"1\",\"BODY\",\"u\",\"1\",\"h\"]",                      // a link short
        "[\"T\",\"1\",\"BODY\",\"u\",\"1\",\"\\u0000h\",\"x\",\"\"]",    // a marked link short
        "[\"T\",\"1\",\"BODY\",\"u\",\"0\",\"extra\"]",                  // a field too many
        "[\"T\",\"2\",\"BODY\",\"u\",\"0\"]",                            // a document short
        "[\"T\",\"1\",\"BODY\",\"u\",\"-1\"]", "[\"T\",\"1\",\"BODY\",\"u\",\"x\"]",
        "[\"T\",\"1\",\"BODY\",\"u\",\"0\"] x", "[\"T\",\"1\",\"BODY\",\"u\",\"0\",]",
        "[\"T\" \"1\"]", "[\"T\",1]", "[\"T\\q\",\"1\"]", "[\"T\\u12\",\"1\"]", "[\"T\\u12g4\",\"1\"]",
        "[\"T\n\",\"1\"]", "[\"T\",\"1\",\"BODY\",\"u\",\"0\"", "[\"T\",\"1\",\"BODY\",\"u\",\"0",
    };
    for (const char *answer : answers) {
        SCOPED_TRACE(answer);
        EXPECT_FALSE(pageSnapshotFromJson(QString::fromUtf8(answer)).valid);
    }
    EXPECT_TRUE(pageSnapshotFromJson(QStringLiteral(" [\"\",\"1\",\"\",\"\",\"0\"] ")).valid);
}

TEST(LinkSnapshotJson, AnAnswerInPartsReadsAsTheWhole)
{
    LinkAnswerReader reader;
    QList<DocumentPart> parts = reader.read(QStringLiteral(R"(["T", "3", "BODY", "http://h/", "3", "http://h/a", "A"])"));
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(parts[0].begins);
    EXPECT_FALSE(parts[0].ends);
    EXPECT_EQ(reader.title(), QStringLiteral("T"));
    EXPECT_FALSE(reader.complete());

    // The rest of the first document, an empty frameset and the start of a frame.
    parts = reader.read(QStringLiteral(R"(["http://h/b", "B", "\u0000http://h/c", "C", "", "tc",)"
                                       R"( "FRAMESET", "http://h/s", "0", "BODY", "http://h/f", "1"])"));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].document, 0);
    EXPECT_FALSE(parts[0].begins);
    EXPECT_TRUE(parts[0].ends);
    EXPECT_EQ(parts[0].links.url, QStringLiteral("http://h/"));
    ASSERT_EQ(parts[0].links.links.size(), 2);
    EXPECT_EQ(parts[0].links.links[1].title, QStringLiteral("tc"));
    EXPECT_TRUE(parts[1].begins && parts[1].ends);
    EXPECT_EQ(parts[1].links.bodyTag, QStringLiteral("FRAMESET"));
    EXPECT_EQ(parts[2].document, 2);
    EXPECT_TRUE(parts[2].begins);
    EXPECT_FALSE(parts[2].ends);

    parts = reader.read(QStringLiteral(R"(["mailto:x@h", "M"])"));
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(parts[0].ends);
    EXPECT_EQ(parts[0].links.links[0].protocol, QStringLiteral("mailto:"));
    EXPECT_TRUE(reader.complete());

    // Nothing may follow the whole answer.
    EXPECT_TRUE(reader.read(QStringLiteral(R"(["x", "y"])")).isEmpty());
    EXPECT_TRUE(reader.failed());

    // A part may not split a link, nor come empty while links are still to come.
    LinkAnswerReader split;
    split.read(QStringLiteral(R"(["T", "1", "BODY", "u", "2", "http://h/a", "A", "\u0000http://h/b", "B"])"));
    EXPECT_TRUE(split.failed());
    LinkAnswerReader empty;
    empty.read(QStringLiteral(R"(["T", "1", "BODY", "u", "1"])"));
    EXPECT_TRUE(empty.read(QStringLiteral("[]")).isEmpty());
    EXPECT_TRUE(empty.failed());
}

TEST(EmailRemoval, EmailRowsInARowAreAllFoundLastFirst)
{
    const QStringList keys = {QStringLiteral("http:"), QStringLiteral("mailto:"), QStringLiteral("mailto:"),
                              QStringLiteral("mailto:"), QStringLiteral("ftp:"), QStringLiteral("mailto:")};
    EXPECT_EQ(emailRowIndexes(keys), (QList<int>{6, 4, 3, 2}));
    EXPECT_TRUE(emailRowIndexes({QStringLiteral("https:")}).isEmpty());
}
