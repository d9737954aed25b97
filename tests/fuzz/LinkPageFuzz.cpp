// The captured links: any answer of the capture script gives rows with unique keys
// that add up across the modes, and the page saved from them holds no markup but
// its own.

#include "FuzzCheck.h"

#include "browser/CapturedLinksPage.h"
#include "browser/LinkSnapshot.h"

#include <QSet>

namespace {

// A stand-in for rows already in the list: about a third of all keys.
bool keyTaken(const QString &key)
{
    return qHash(key, 7) % 3 == 0;
}

qsizetype linkCount(const PageSnapshot &page)
{
    qsizetype count = page.top.links.size();
    for (const DocumentSnapshot &frame : page.frames)
        count += frame.links.size();
    return count;
}

QList<LinkRow> checkedRows(const PageSnapshot &page, int mode, int rowsBefore)
{
    const QList<LinkRow> rows = capturedLinkRows(page, mode, rowsBefore, keyTaken);
    FUZZ_CHECK(rows.size() <= linkCount(page));
    QSet<QString> keys;
    for (const LinkRow &row : rows) {
        FUZZ_CHECK(!keys.contains(row.key) && !keyTaken(row.key), fuzzShown(row.key));
        keys.insert(row.key);
        FUZZ_CHECK(row.key.startsWith(row.url));
        FUZZ_CHECK(linkProtocolKeys().contains(row.iconKey));
        FUZZ_CHECK(row.source == page.title);
        if (mode >= LinkCaptureMode::AllWithText) {
            FUZZ_CHECK(!row.caption.contains(QLatin1Char('\n')) && !row.caption.contains(QLatin1Char('\r'))
                           && !row.caption.contains(QChar(8)),
                       fuzzShown(row.caption));
        }
    }
    return rows;
}

// What is left of the saved page without its own tags: plain text whose every
// special character is written as an entity. (Plain string matching: a page may
// carry lone surrogates, which regular expressions refuse to look at.)
void checkSavedPage(const QString &html, qsizetype savedRows)
{
    FUZZ_CHECK(html.startsWith(capturedLinksHeader() + QStringLiteral("\r\n<HTML><HEAD><TITLE>Captured links ")));
    FUZZ_CHECK(html.endsWith(QStringLiteral("</HTML>\r\n")));
    FUZZ_CHECK(html.count(QStringLiteral("<A href=\"")) <= savedRows);
    QString text = html;
    text.remove(capturedLinksHeader());
    for (const char *tag : {"<HTML>", "</HTML>", "<HEAD>", "</HEAD>", "<TITLE>", "</TITLE>", "<A href=\"", "<A title=\"", "\">", "</A>", "<BR>"})
        text.remove(QLatin1String(tag));
    FUZZ_CHECK(!text.contains(QLatin1Char('<')) && !text.contains(QLatin1Char('>')) && !text.contains(QLatin1Char('"')),
               fuzzShown(text));
    for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0; at = text.indexOf(QLatin1Char('&'), at + 1)) {
        const QStringView rest = QStringView(text).mid(at);
        FUZZ_CHECK(rest.startsWith(QLatin1String("&amp;")) || rest.startsWith(QLatin1String("&lt;"))
                       || rest.startsWith(QLatin1String("&gt;")) || rest.startsWith(QLatin1String("&quot;")),
                   fuzzShown(rest.left(20).toString()));
    }

    const QByteArray bytes = capturedLinksFileBytes(html);
    FUZZ_CHECK(bytes.startsWith("\xEF\xBB\xBF"));
    if (!hasLoneSurrogate(html))
        FUZZ_CHECK(QString::fromUtf8(bytes.mid(3)) == html);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PageSnapshot page = pageSnapshotFromJson(QString::fromUtf8(fuzzBytes(data, size)));
    if (!page.valid) {
        FUZZ_CHECK(capturedLinkRows(page, LinkCaptureMode::All, 0, keyTaken).isEmpty());
        return 0;
    }
    const int rowsBefore = int(size % 5);
    FUZZ_CHECK(capturedLinkRows(page, 0, rowsBefore, keyTaken).isEmpty());
    FUZZ_CHECK(capturedLinkRows(page, 7, rowsBefore, keyTaken).isEmpty());

    const QList<LinkRow> all = checkedRows(page, LinkCaptureMode::All, rowsBefore);
    // Local and outgoing links split all links between them; so do they the links with text.
    for (const int base : {LinkCaptureMode::All, LinkCaptureMode::AllWithText}) {
        const qsizetype whole = checkedRows(page, base, rowsBefore).size();
        const qsizetype local = checkedRows(page, base + 1, rowsBefore).size();
        const qsizetype outgoing = checkedRows(page, base + 2, rowsBefore).size();
        FUZZ_CHECK(local + outgoing == whole);
    }
    FUZZ_CHECK(checkedRows(page, LinkCaptureMode::AllWithText, rowsBefore).size() <= all.size());

    QList<CapturedLink> links;
    for (const LinkRow &row : all)
        links.append({row.caption, row.url, row.source, row.iconKey});
    qsizetype emails = 0;
    for (const int index : emailRowIndexes([&] {
             QStringList keys;
             for (const LinkRow &row : all)
                 keys.append(row.iconKey);
             return keys;
         }())) {
        FUZZ_CHECK(index >= 1 && index <= all.size() && all.at(index - 1).iconKey == EmailProtocolKey);
        ++emails;
    }
    checkSavedPage(CapturedLinksHtml(links, LinkSaveMode::All, page.title), links.size());
    checkSavedPage(CapturedLinksHtml(links, LinkSaveMode::EmailOnly, page.title), emails);
    checkSavedPage(CapturedLinksHtml(links, LinkSaveMode::AllButEmail, page.title), links.size() - emails);
    return 0;
}
