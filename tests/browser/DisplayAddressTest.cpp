#include "browser/AddressText.h"
#include "browser/LinkSnapshot.h"
#include "browser/WindowTable.h"

#include <QUrl>

#include <gtest/gtest.h>

namespace {

TEST(DisplayAddress, ShowsReadableTextThatStillNamesTheSameAddress)
{
    const std::pair<const char *, const char *> cases[] = {
        // A local file shows as its native path, whatever the case of the scheme.
        {"file:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"FILE:///home/Moje%20dokumenty/a.htm", "/home/Moje dokumenty/a.htm"},
        {"file:///tmp/a%23b.html", "/tmp/a#b.html"},
        {"http://host/a%20b", "http://host/a b"},
        // Decoding these would load another address when the user presses Enter.
        {"http://host/a%2520b", "http://host/a%2520b"},
        {"http://host/a%23b", "http://host/a%23b"},
        {"http://host/?q=a%26b", "http://host/?q=a%26b"},
        // Lower-case codes and codes outside the table stay.
        {"http://host/%e1%3F", "http://host/%e1%3F"},
        {"about:blank", "about:blank"},
        {"", ""},
    };
    for (const auto &[address, shown] : cases) {
        SCOPED_TRACE(address);
        EXPECT_EQ(ToNormalText(QString::fromUtf8(address)), QString::fromUtf8(shown));
    }
}

TEST(DisplayAddress, ResourceAddressesShowTheirPartAfterTheFirstHash)
{
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm#http://host/a%20b")), QStringLiteral("http://host/a b"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("RES://lib/page.htm#x")), QStringLiteral("RES://lib/page.htm#x"));
    EXPECT_EQ(ExtractResFile(QStringLiteral("res://lib/page.htm")), QStringLiteral("res://lib/page.htm"));
}

// Characters that can make one name pass for another stay escaped in the address field,
// and the text shown still loads the same file when the user presses Enter.
TEST(DisplayAddress, DeceptiveCharactersStayEscapedAndTheShownTextLoadsTheSameFile)
{
    const struct
    {
        QString path;
        QString shown;
    } cases[] = {
        {QStringLiteral("/tmp/x#y#z.txt"), QStringLiteral("/tmp/x#y#z.txt")},
        {QStringLiteral("/tmp/faktura\u202Etxt.exe"), QStringLiteral("file:///tmp/faktura%E2%80%AEtxt.exe")},
        {QStringLiteral("/tmp/new\nline 100%#?.txt"), QStringLiteral("file:///tmp/new%0Aline 100%25%23%3F.txt")},
        {QStringLiteral("/tmp/Čeština\u200B\u2067.htm"), QStringLiteral("file:///tmp/Čeština%E2%80%8B%E2%81%A7.htm")},
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.path.toStdString());
        const QUrl file = QUrl::fromLocalFile(line.path);
        for (const QString &address : {file.toString(), file.toString(QUrl::FullyEncoded)}) {
            const QString shown = ExtractResFile(address);
            EXPECT_EQ(shown, line.shown) << address.toStdString();
            EXPECT_EQ(QUrl::fromUserInput(shown, QStringLiteral("/")).toLocalFile(), line.path);
        }
    }
    EXPECT_EQ(ExtractResFile(QStringLiteral("http://h/a\u202Eb")), QStringLiteral("http://h/a%E2%80%AEb"));
    EXPECT_EQ(EscapeDeceptiveCharacters(QStringLiteral("a\uFEFF\u200F\u2069\r\u2028b c")),
              QStringLiteral("a%EF%BB%BF%E2%80%8F%E2%81%A9%0D%E2%80%A8b c"));
}

// A host reads in Unicode only when all its letters are Latin; any other script shows
// the xn-- form, whatever the domain. The shown text names the same address.
TEST(DisplayAddress, AHostShowsInUnicodeOnlyWhenAllItsLettersAreLatin)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("http://xn--80ak6aa92e.com/ucet"), QStringLiteral("http://xn--80ak6aa92e.com/ucet")},
        {QStringLiteral("http://аррӏе.com/ucet"), QStringLiteral("http://xn--80ak6aa92e.com/ucet")},
        {QStringLiteral("http://xn--pklad-zsa96e.cz/"), QStringLiteral("http://příklad.cz/")},
        {QStringLiteral("https://jan@xn--pklad-zsa96e.cz:8080/a?b#c"), QStringLiteral("https://jan@příklad.cz:8080/a?b#c")},
        // Latin with one Cyrillic letter, and Greek, are not Latin.
        {QStringLiteral("http://pаypal.cz/"), QStringLiteral("http://xn--pypal-4ve.cz/")},
        {QStringLiteral("http://ελληνικά.gr/"), QStringLiteral("http://xn--hxargifdar.gr/")},
        {QStringLiteral("http://127.0.0.1:80/"), QStringLiteral("http://127.0.0.1:80/")},
        {QStringLiteral("http://[::1]/ž"), QStringLiteral("http://[::1]/ž")},
        {QStringLiteral("about:blank"), QStringLiteral("about:blank")},
    };
    for (const auto &[address, shown] : cases) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(ShownAddress(address), shown);
        EXPECT_EQ(ExtractResFile(address), shown);
        EXPECT_EQ(QUrl(shown), QUrl(address));
    }
    // Every bidi control is escaped, the Arabic letter mark among them.
    EXPECT_EQ(ShownAddress(QStringLiteral("http://h/a\u061Cb\u200Ec\u2066d")), QStringLiteral("http://h/a%D8%9Cb%E2%80%8Ec%E2%81%A6d"));
}

// A captured link's address shows as any other address does.
TEST(DisplayAddress, ACapturedLinkShowsItsAddressSafely)
{
    DocumentSnapshot document{QStringLiteral("BODY"), QStringLiteral("http://h/"),
                              {{QStringLiteral("http://xn--80ak6aa92e.com/a%E2%80%AEb"), QStringLiteral("http:"), QStringLiteral("odkaz"), {}}}};
    const QList<LinkRow> rows = capturedDocumentRows(document, QStringLiteral("Zdroj"), LinkCaptureMode::All, 0, {});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].url, QStringLiteral("http://xn--80ak6aa92e.com/a%E2%80%AEb"));
    const QList<LinkRow> czech = capturedDocumentRows(
        {QStringLiteral("BODY"), QStringLiteral("http://h/"), {{QStringLiteral("http://xn--pklad-zsa96e.cz/\u202E"), QStringLiteral("http:"), QStringLiteral("odkaz"), {}}}},
        QStringLiteral("Zdroj"), LinkCaptureMode::All, 0, {});
    ASSERT_EQ(czech.size(), 1);
    EXPECT_EQ(czech[0].url, QStringLiteral("http://příklad.cz/%E2%80%AE"));
}

// An untitled file's title is the engine's encoded last part of its address; the
// window shows the name as it is on disk, deceptive characters escaped. A title of the
// page's own stays as it is.
TEST(DisplayAddress, AFilePageIsTitledWithItsNameAsOnDisk)
{
    const struct
    {
        QString name;
        QString title;
        QString shown;
    } cases[] = {
        {QStringLiteral("x#y#z.txt"), QStringLiteral("x%23y%23z.txt"), QStringLiteral("x#y#z.txt")},
        {QStringLiteral("quest?.txt"), QStringLiteral("quest%3F.txt"), QStringLiteral("quest?.txt")},
        {QStringLiteral("new\nline.txt"), QStringLiteral("new%0Aline.txt"), QStringLiteral("new%0Aline.txt")},
        {QStringLiteral("faktura\u202Etxt.exe"), QStringLiteral("faktura%E2%80%AEtxt.exe"), QStringLiteral("faktura%E2%80%AEtxt.exe")},
        {QStringLiteral("100%.txt"), QStringLiteral("100%25.txt"), QStringLiteral("100%.txt")},
        {QStringLiteral("a.htm"), QStringLiteral("Vlastní titulek"), QStringLiteral("Vlastní titulek")},
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.name.toStdString());
        const QString address = QUrl::fromLocalFile(QStringLiteral("/tmp/") + line.name).toString();
        EXPECT_EQ(TitleShownFor(line.title, address), line.shown);
    }
    EXPECT_EQ(TitleShownFor(QStringLiteral("a%23b"), QStringLiteral("http://h/a%23b")), QStringLiteral("a%23b"));
}

} // namespace
